#pragma once
// Text building into a caller-owned fixed buffer, without allocation or locks, so that the
// same code builds run-time messages on the normal path and inside signal handlers. Catalogue
// texts are filled by our own directive interpreter, never by printf, so an insert can never
// act as a format.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "runtime/support/errors.h"

namespace runtime {

// Appends to a fixed buffer; what does not fit is dropped and remembered as truncation.
class TextBuffer {
 public:
  TextBuffer(char* storage, std::size_t capacity) : storage_(storage), capacity_(capacity) {}
  TextBuffer(const TextBuffer&) = delete;
  TextBuffer& operator=(const TextBuffer&) = delete;

  void append(std::string_view text);
  void append_char(char c);
  void append_repeated(char c, std::size_t count);
  // Like "%-W.Ps" (left) or "%W.Ps" (right): at most `precision` characters of `text`,
  // padded with blanks to `width`.
  void append_field(std::string_view text, std::size_t width, std::size_t precision, bool left_align);
  void append_decimal(std::int64_t value);
  // At least `min_digits` hexadecimal digits.
  void append_hex(std::uint64_t value, std::size_t min_digits, bool upper_case);

  std::string_view view() const { return {storage_, length_}; }
  std::size_t size() const { return length_; }
  bool truncated() const { return truncated_; }
  void clear() {
    length_ = 0;
    truncated_ = false;
  }

 private:
  char* storage_;
  std::size_t capacity_;
  std::size_t length_ = 0;
  bool truncated_ = false;
};

template <std::size_t Capacity>
class FixedText : public TextBuffer {
 public:
  FixedText() : TextBuffer(storage_, Capacity) {}

 private:
  char storage_[Capacity];
};

// Fills the inserts of a catalogue text. When `inserts.has_unit` is set and the text ends in
// "unit %d, file %s", that tail takes the unit number and the file name ("unknown" for an
// unnamed unit). Every other directive takes the next of `inserts.numbers` (%d, %i, %ld, %lx,
// %c, and the precision of %.*s) or `inserts.text` (%s, %.*s); "%%" is a percent sign and an
// unknown directive is copied as it stands.
void fill_catalogue_text(std::string_view catalogue_text, const ErrorInserts& inserts, TextBuffer& out);

// "%s (%i): %s" for `number`: severity prefix, number, filled text; no line end.
void compose_runtime_message(int number, const ErrorInserts& inserts, TextBuffer& out);

}  // namespace runtime
