#pragma once
// The output record of a unit: the bytes of the record being built, the current column, the
// left tab limit and the high-water mark (the rightmost column written). Columns passed over
// by position descriptors and never written hold blanks when the record is emitted. The
// buffer keeps a few bytes before column 1 and after the record so that carriage-control
// bytes and the record terminator go out with the record in one write.

#include <cstddef>
#include <memory>

#include "runtime/format/format.h"

namespace runtime {

// Records longer than this are refused (41 on output, 22 on input) instead of letting a huge
// field width or an endless line exhaust memory.
inline constexpr std::size_t kMaxRecordLength = std::size_t{64} << 20;

class OutputRecord {
 public:
  static constexpr std::size_t kHeadroom = 8;
  static constexpr std::size_t kTailroom = 8;
  static constexpr std::size_t kGrowthStep = 512;

  // Makes columns [0, end) writable. Returns 0, or 41 when the buffer cannot grow that far.
  [[nodiscard]] int reserve(std::size_t end) { return storage_ && end <= capacity_ ? 0 : grow(end); }
  // Column 1 of the record (valid after a successful reserve; reserve(0) allocates).
  char* columns() { return storage_.get() + kHeadroom; }
  // The bytes before column 1 and after the record, for carriage control and terminators.
  char* headroom() { return storage_.get(); }
  std::size_t capacity() const { return capacity_; }

  // Starts a new, empty record.
  void start_new() {
    length = 0;
    position = RecordPosition{};
  }

  std::size_t length = 0;   // high-water mark: the record's bytes are columns()[0, length)
  RecordPosition position;  // current column and left tab limit

 private:
  [[nodiscard]] int grow(std::size_t end);

  std::unique_ptr<char[]> storage_;
  std::size_t capacity_ = 0;  // writable columns
};

}  // namespace runtime
