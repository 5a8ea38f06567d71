#include "runtime/io/input_record.h"

#include <cstring>
#include <new>

#include "runtime/io/byte_channel.h"
#include "runtime/io/output_record.h"
#include "runtime/support/error_numbers.h"
#include "runtime/window_services.h"

namespace runtime {

namespace {
constexpr char kControlZ = 26;
}

// Doubles the buffer until it holds `wanted` bytes. 22 when it cannot.
int InputRecord::ensure_capacity(std::size_t wanted) {
  if (storage_ && wanted <= capacity_) return 0;
  if (wanted > kMaxRecordLength) return kInputRecordTooLong;
  std::size_t size = capacity_ > 0 ? capacity_ : (initial_capacity_ > 0 ? initial_capacity_ : 1024);
  if (size > kMaxRecordLength) size = kMaxRecordLength;
  while (size < wanted) size = size * 2 > kMaxRecordLength ? kMaxRecordLength : size * 2;
  std::unique_ptr<char[]> bigger(new (std::nothrow) char[size]);
  if (!bigger) return kInputRecordTooLong;
  if (length_ > 0) std::memcpy(bigger.get(), storage_.get(), length_);
  storage_ = std::move(bigger);
  capacity_ = size;
  return 0;
}

int InputRecord::finish_record() {
  position = RecordPosition{};
  continues = false;
  if (length_ == 1 && storage_[0] == kControlZ) {
    length_ = 0;
    return kEndOfFileDuringRead;
  }
  return 0;
}

int InputRecord::read_from_channel(ByteChannel& channel, const RecordLayout& layout) {
  length_ = 0;
  position = RecordPosition{};
  continues = false;
  if (int error = ensure_capacity(1)) return error;
  const bool fixed = layout.end == RecordLayout::End::FixedLength && layout.fixed_length > 0;
  const char terminator = layout.end == RecordLayout::End::CarriageReturn ? '\r' : '\n';
  bool any_byte = false;
  for (;;) {
    long available = channel.fill();
    if (available < 0) return kErrorDuringRead;
    if (available == 0) {
      if (!any_byte) return kEndOfFileDuringRead;
      // The last record of a file that does not end with a line terminator.
      if (!fixed && terminator == '\n' && length_ > 0 && storage_[length_ - 1] == '\r') --length_;
      return finish_record();
    }
    any_byte = true;
    std::string_view bytes = channel.available();
    std::size_t take = bytes.size();
    bool ended = false;
    if (fixed) {
      std::size_t missing = layout.fixed_length - length_;
      if (take >= missing) {
        take = missing;
        ended = true;
      }
    } else if (const void* found = std::memchr(bytes.data(), terminator, bytes.size())) {
      take = static_cast<std::size_t>(static_cast<const char*>(found) - bytes.data());
      ended = true;
    }
    if (int error = ensure_capacity(length_ + take)) return error;
    std::memcpy(storage_.get() + length_, bytes.data(), take);
    length_ += take;
    channel.consume(ended && !fixed ? take + 1 : take);
    if (ended) {
      if (!fixed && terminator == '\n' && length_ > 0 && storage_[length_ - 1] == '\r') --length_;
      return finish_record();
    }
  }
}

int InputRecord::read_from_window(int window) {
  length_ = 0;
  position = RecordPosition{};
  continues = false;
  // The window delivers at most the room left in the buffer, and never less than 1024 bytes,
  // so a typed line always arrives whole.
  std::size_t room = initial_capacity_ > 1024 ? initial_capacity_ : 1024;
  if (int error = ensure_capacity(room)) return error;
  WindowServices* services = window_services();
  if (services == nullptr) return kErrorDuringRead;
  long count = services->read_window_line(window, storage_.get(), capacity_);
  if (count < 0) return kErrorDuringRead;
  length_ = static_cast<std::size_t>(count) < capacity_ ? static_cast<std::size_t>(count) : capacity_;
  services->write_window(window, "\r\n");
  while (length_ > 0 && (storage_[length_ - 1] == '\n' || storage_[length_ - 1] == '\r')) --length_;
  return finish_record();
}

}  // namespace runtime
