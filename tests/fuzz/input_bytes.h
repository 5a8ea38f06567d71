#pragma once
// InputBytes: reads a fuzz input from the front, a byte or a run of bytes at a time, so that
// seed inputs can be written by hand (a few header bytes, then readable text). Past the end
// every byte reads as 0 and every run as empty.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace fuzz {

class InputBytes {
 public:
  InputBytes(const std::uint8_t* data, std::size_t size) : text_(reinterpret_cast<const char*>(data), size) {}

  bool empty() const { return text_.empty(); }
  std::uint8_t byte() {
    if (text_.empty()) return 0;
    const auto value = static_cast<std::uint8_t>(text_.front());
    text_.remove_prefix(1);
    return value;
  }
  // Up to `count` bytes.
  std::string_view bytes(std::size_t count) {
    const std::string_view run = text_.substr(0, count);
    text_.remove_prefix(run.size());
    return run;
  }
  std::string_view rest() { return bytes(text_.size()); }

 private:
  std::string_view text_;
};

}  // namespace fuzz
