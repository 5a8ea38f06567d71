#pragma once
// The byte channel under a unit: an operating-system descriptor (regular file, standard
// handle, device) or a text window reached through WindowServices.
//
// Regular files are written through the channel's own buffer, flushed when it is full, at
// close and at program end, so that writing a million short records costs one system call
// per buffer. Console and device descriptors are written at once, so prompts and messages
// appear in order.
//
// Every write() hands over whole records, and the buffer keeps where each one ends. When the
// file refuses bytes part way (disk full, file size limit), the file is cut back to the end
// of the last record that reached it whole, so it never ends in a torn record that could
// read back as a plausible value; the records not written are dropped and the error is
// returned. A file opened by name that loses its last name while connected (it, or its
// directory, removed) refuses further writes with ENOENT: its records could never be read
// back, and the program must not go on as if they were kept.
//
// Input is read a buffer at a time from files and one byte at a time from the standard input,
// so that nothing after a record's line feed is taken from a stream the process shares with
// others.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace runtime {

class ByteChannel {
 public:
  enum class Kind : unsigned char { None, Descriptor, Window };

  ByteChannel() = default;
  ~ByteChannel();
  ByteChannel(const ByteChannel&) = delete;
  ByteChannel& operator=(const ByteChannel&) = delete;
  ByteChannel(ByteChannel&& other) noexcept;
  ByteChannel& operator=(ByteChannel&& other) noexcept;

  // A descriptor channel. `owned`: closed by close(); `buffered_writes`: output is kept in the
  // channel's buffer until it fills; `byte_at_a_time`: input reads single bytes.
  static ByteChannel for_descriptor(int descriptor, bool owned, bool buffered_writes, bool byte_at_a_time);
  static ByteChannel for_window(int window);

  // For a file opened by name (not a scratch file, which has none): once the file has no name
  // left, every write that reaches it fails with ENOENT.
  void refuse_writes_once_removed() { refuse_writes_once_removed_ = true; }

  Kind kind() const { return kind_; }
  int descriptor() const { return descriptor_; }
  int window() const { return window_; }
  bool is_open() const { return kind_ != Kind::None; }

  // Output. Returns 0, or an errno value (a window that refuses the text gives EIO).
  [[nodiscard]] int write(std::string_view bytes);
  [[nodiscard]] int flush();

  // Input. fill() makes buffered input available and returns the number of bytes available
  // (0 at end of file, -1 on a read failure with read_error() telling the errno value).
  long fill();
  std::string_view available() const;
  void consume(std::size_t count);
  int read_error() const { return read_error_; }

  // Flushes, gives back unread input of an unowned seekable descriptor, and closes an owned
  // descriptor. Returns 0 or the first errno value met.
  [[nodiscard]] int close();

 private:
  [[nodiscard]] int prepare_for_output();
  // Writes all of [data, data + size); on a failure `written` tells how much reached the
  // descriptor and the errno value is returned. ENOENT when the bytes reached a file that
  // must keep its name and has none left.
  [[nodiscard]] int write_through(const char* data, std::size_t size, std::size_t& written);
  // After a failed write of which `torn` bytes (the start of a record) reached the file:
  // cuts them off again.
  void cut_torn_record(std::size_t torn);

  Kind kind_ = Kind::None;
  int descriptor_ = -1;
  int window_ = -1;
  bool owned_ = false;
  bool buffered_writes_ = false;
  bool byte_at_a_time_ = false;
  bool refuse_writes_once_removed_ = false;
  int read_error_ = 0;

  // Output buffer (regular files only).
  std::unique_ptr<char[]> output_;
  std::size_t output_used_ = 0;
  // Where each record in the output buffer ends, in order.
  std::vector<std::uint32_t> record_ends_;

  // Input buffer: bytes [input_begin_, input_end_) are read but not yet consumed.
  std::unique_ptr<char[]> input_;
  std::size_t input_begin_ = 0;
  std::size_t input_end_ = 0;
  char single_byte_ = 0;
  bool using_single_byte_ = false;
};

inline constexpr std::size_t kChannelBufferSize = 64 * 1024;

}  // namespace runtime
