#include "runtime/io/byte_channel.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <utility>

#include "runtime/support/emission.h"
#include "runtime/window_services.h"
#include "runtime/support/short_copy.h"

namespace runtime {

// A destructor cannot report: owners that need the outcome call close() first.
ByteChannel::~ByteChannel() { static_cast<void>(close()); }

ByteChannel::ByteChannel(ByteChannel&& other) noexcept { *this = std::move(other); }

ByteChannel& ByteChannel::operator=(ByteChannel&& other) noexcept {
  if (this != &other) {
    static_cast<void>(close());  // as in the destructor
    kind_ = std::exchange(other.kind_, Kind::None);
    descriptor_ = std::exchange(other.descriptor_, -1);
    window_ = std::exchange(other.window_, -1);
    owned_ = std::exchange(other.owned_, false);
    buffered_writes_ = std::exchange(other.buffered_writes_, false);
    byte_at_a_time_ = std::exchange(other.byte_at_a_time_, false);
    refuse_writes_once_removed_ = std::exchange(other.refuse_writes_once_removed_, false);
    read_error_ = std::exchange(other.read_error_, 0);
    output_ = std::move(other.output_);
    output_used_ = std::exchange(other.output_used_, 0);
    record_ends_ = std::move(other.record_ends_);
    other.record_ends_.clear();
    input_ = std::move(other.input_);
    input_begin_ = std::exchange(other.input_begin_, 0);
    input_end_ = std::exchange(other.input_end_, 0);
    single_byte_ = other.single_byte_;
    using_single_byte_ = std::exchange(other.using_single_byte_, false);
  }
  return *this;
}

ByteChannel ByteChannel::for_descriptor(int descriptor, bool owned, bool buffered_writes, bool byte_at_a_time) {
  ByteChannel channel;
  channel.kind_ = Kind::Descriptor;
  channel.descriptor_ = descriptor;
  channel.owned_ = owned;
  channel.buffered_writes_ = buffered_writes;
  channel.byte_at_a_time_ = byte_at_a_time;
  return channel;
}

ByteChannel ByteChannel::for_window(int window) {
  ByteChannel channel;
  channel.kind_ = Kind::Window;
  channel.window_ = window;
  return channel;
}

int ByteChannel::write_through(const char* data, std::size_t size, std::size_t& written) {
  const int error = write_fully(descriptor_, std::string_view(data, size), written);
  if (error != 0 || !refuse_writes_once_removed_) return error;
  // The write succeeds on a file whose name is gone, but nobody can read what it holds: one
  // look per buffer (every 64 KiB of records) finds the removal at the first write after it.
  struct stat info {};
  if (::fstat(descriptor_, &info) == 0 && info.st_nlink == 0) return ENOENT;
  return 0;
}

void ByteChannel::cut_torn_record(std::size_t torn) {
  if (torn == 0) return;
  const off_t end = ::lseek(descriptor_, 0, SEEK_CUR);
  if (end < 0 || static_cast<std::size_t>(end) < torn) return;  // not a seekable file
  const off_t cut = end - static_cast<off_t>(torn);
  if (::ftruncate(descriptor_, cut) == 0) ::lseek(descriptor_, cut, SEEK_SET);
}

// Input read ahead from a file is given back before writing, so that output lands where the
// program's position in the file is.
int ByteChannel::prepare_for_output() {
  std::size_t unread = input_end_ - input_begin_;
  input_begin_ = input_end_ = 0;
  if (unread > 0 && kind_ == Kind::Descriptor) {
    if (::lseek(descriptor_, -static_cast<off_t>(unread), SEEK_CUR) < 0) return errno;
  }
  return 0;
}

int ByteChannel::write(std::string_view bytes) {
  switch (kind_) {
    case Kind::None: return EBADF;
    case Kind::Window: {
      WindowServices* services = window_services();
      if (services == nullptr) return EIO;
      long written = services->write_window(window_, bytes);
      return written < 0 ? EIO : 0;
    }
    case Kind::Descriptor: break;
  }
  if (input_begin_ != input_end_) {
    if (int error = prepare_for_output()) return error;
  }
  std::size_t written = 0;
  if (!buffered_writes_) return write_through(bytes.data(), bytes.size(), written);
  if (!output_) {
    output_.reset(new (std::nothrow) char[kChannelBufferSize]);
    if (!output_) {
      const int error = write_through(bytes.data(), bytes.size(), written);
      if (error != 0) cut_torn_record(written);
      return error;
    }
  }
  if (output_used_ + bytes.size() > kChannelBufferSize) {
    if (int error = flush()) return error;
    if (bytes.size() >= kChannelBufferSize) {
      const int error = write_through(bytes.data(), bytes.size(), written);
      if (error != 0) cut_torn_record(written);
      return error;
    }
  }
  copy_short(output_.get() + output_used_, bytes.data(), bytes.size());
  output_used_ += bytes.size();
  try {
    record_ends_.push_back(static_cast<std::uint32_t>(output_used_));
  } catch (const std::bad_alloc&) {
    return flush();  // without room to note where the record ends, it goes out now
  }
  return 0;
}

int ByteChannel::flush() {
  if (kind_ != Kind::Descriptor || output_used_ == 0) return 0;
  const std::size_t used = output_used_;
  output_used_ = 0;
  std::size_t written = 0;
  const int error = write_through(output_.get(), used, written);
  if (error != 0) {
    // The last record that reached the file whole ends at the last record end not past
    // `written`; whatever came after it is cut off again.
    const auto after = std::upper_bound(record_ends_.begin(), record_ends_.end(), written);
    const std::size_t whole = after == record_ends_.begin() ? 0 : *(after - 1);
    cut_torn_record(written - whole);
  }
  record_ends_.clear();
  return error;
}

long ByteChannel::fill() {
  read_error_ = 0;
  if (input_begin_ != input_end_) return static_cast<long>(input_end_ - input_begin_);
  if (kind_ != Kind::Descriptor) {
    read_error_ = EBADF;
    return -1;
  }
  if (int error = flush()) {
    read_error_ = error;
    return -1;
  }
  char* target = &single_byte_;
  std::size_t capacity = 1;
  if (!byte_at_a_time_) {
    if (!input_) input_.reset(new (std::nothrow) char[kChannelBufferSize]);
    if (input_) {
      target = input_.get();
      capacity = kChannelBufferSize;
    }
  }
  for (;;) {
    ssize_t got = ::read(descriptor_, target, capacity);
    if (got < 0) {
      if (errno == EINTR) continue;
      read_error_ = errno;
      return -1;
    }
    using_single_byte_ = target == &single_byte_;
    input_begin_ = 0;
    input_end_ = static_cast<std::size_t>(got);
    return got;
  }
}

std::string_view ByteChannel::available() const {
  if (input_begin_ == input_end_) return {};
  const char* base = using_single_byte_ ? &single_byte_ : input_.get();
  return {base + input_begin_, input_end_ - input_begin_};
}

void ByteChannel::consume(std::size_t count) {
  std::size_t left = input_end_ - input_begin_;
  input_begin_ += count < left ? count : left;
  if (input_begin_ == input_end_) input_begin_ = input_end_ = 0;
}

int ByteChannel::close() {
  if (kind_ == Kind::None) return 0;
  int first_error = flush();
  if (kind_ == Kind::Descriptor) {
    std::size_t unread = input_end_ - input_begin_;
    if (!owned_ && unread > 0) {
      // A shared descriptor gets its unread bytes back (a seekable standard input).
      ::lseek(descriptor_, -static_cast<off_t>(unread), SEEK_CUR);
    }
    if (owned_ && ::close(descriptor_) != 0 && first_error == 0 && errno != EINTR) {
      first_error = errno;
    }
  }
  kind_ = Kind::None;
  descriptor_ = -1;
  window_ = -1;
  owned_ = false;
  refuse_writes_once_removed_ = false;
  output_used_ = 0;
  record_ends_.clear();
  input_begin_ = input_end_ = 0;
  return first_error;
}

}  // namespace runtime
