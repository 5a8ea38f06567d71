#pragma once
// The one reader of standard input. It reads only when a line is asked for, one byte at a
// time, so that nothing after the line's end is taken from the descriptor (the runtime may
// read standard input itself between two requests). A line ends at a line feed; a carriage
// return right before it is dropped. At end of file a partial line is a line; after it,
// every request gets nothing. Over-long lines keep their first kMaximumLineLength bytes and
// the rest up to the line feed is skipped.
//
// Requests are served in order on the reader's own thread. The destructor wakes a blocked
// read and joins the thread.

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace terminal {

class StdinLineReader {
 public:
  static constexpr std::size_t kMaximumLineLength = 4096;
  using Delivery = std::function<void(std::optional<std::string> line)>;

  explicit StdinLineReader(int fd = 0);
  ~StdinLineReader();
  StdinLineReader(const StdinLineReader&) = delete;
  StdinLineReader& operator=(const StdinLineReader&) = delete;

  // Asks for the next line; `deliver` runs on the reader's thread with the line, or with
  // nothing at end of file.
  void request(Delivery deliver);
  // Asks for the next line and waits for it (nothing at end of file or when stopping).
  std::optional<std::string> read_line();

 private:
  void run();
  // Reads one byte; false at end of file, on an error or when stopping.
  bool read_byte(char& byte);
  std::optional<std::string> read_one_line();

  const int fd_;
  int wake_read_ = -1;
  int wake_write_ = -1;
  std::mutex mutex_;
  std::condition_variable condition_;
  std::deque<Delivery> requests_;
  bool stopping_ = false;
  bool end_of_file_ = false;
  std::thread thread_;
};

}  // namespace terminal
