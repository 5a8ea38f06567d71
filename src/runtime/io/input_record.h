#pragma once
// The input record of a unit: one record read from the unit's channel or text window,
// without its line terminator, with the current column and the left tab limit.
//
// Reading a record: bytes up to a line feed (a carriage return just before it is dropped);
// the last bytes of a file without a line feed form a last record; no bytes at all, or a
// record holding only control-Z, is end of file (24); a failing read is 39; a record that
// outgrows the buffer, which doubles up to kMaxRecordLength, is 22. A text window delivers
// one typed line per record and gets a carriage return and line feed echoed back.

#include <cstddef>
#include <memory>
#include <string_view>

#include "runtime/format/format.h"

namespace runtime {

class ByteChannel;

// How records end in the unit's file.
struct RecordLayout {
  enum class End : unsigned char { LineFeed, CarriageReturn, FixedLength };
  End end = End::LineFeed;
  std::size_t fixed_length = 0;  // FixedLength: bytes per record
};

class InputRecord {
 public:
  explicit InputRecord(std::size_t initial_capacity = 1024) : initial_capacity_(initial_capacity) {}

  // Reads the next record. Returns 0, 24, 39 or 22.
  [[nodiscard]] int read_from_channel(ByteChannel& channel, const RecordLayout& layout);
  // Reads one line typed into `window`; `room` is how many bytes the window may deliver.
  [[nodiscard]] int read_from_window(int window);

  std::string_view text() const { return {storage_.get(), length_}; }
  std::size_t length() const { return length_; }
  std::size_t capacity() const { return capacity_; }
  void set_initial_capacity(std::size_t capacity) { initial_capacity_ = capacity; }

  RecordPosition position;
  // A non-advancing READ left this record for the next READ to continue.
  bool continues = false;

  // Drops the current record.
  void clear() {
    length_ = 0;
    position = RecordPosition{};
    continues = false;
  }

 private:
  [[nodiscard]] int ensure_capacity(std::size_t wanted);
  [[nodiscard]] int finish_record();

  std::unique_ptr<char[]> storage_;
  std::size_t capacity_ = 0;
  std::size_t length_ = 0;
  std::size_t initial_capacity_;
};

}  // namespace runtime
