#include "terminal/stdin_line_reader.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <future>

namespace terminal {

StdinLineReader::StdinLineReader(int fd) : fd_(fd) {
  int pipe_ends[2];
  if (::pipe2(pipe_ends, O_CLOEXEC) == 0) {
    wake_read_ = pipe_ends[0];
    wake_write_ = pipe_ends[1];
  }
  thread_ = std::thread([this] { run(); });
}

StdinLineReader::~StdinLineReader() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  condition_.notify_all();
  if (wake_write_ >= 0) {
    const char byte = 1;
    while (::write(wake_write_, &byte, 1) < 0 && errno == EINTR) {
    }
  }
  if (thread_.joinable()) thread_.join();
  if (wake_read_ >= 0) ::close(wake_read_);
  if (wake_write_ >= 0) ::close(wake_write_);
}

void StdinLineReader::request(Delivery deliver) {
  {
    std::lock_guard lock(mutex_);
    requests_.push_back(std::move(deliver));
  }
  condition_.notify_all();
}

std::optional<std::string> StdinLineReader::read_line() {
  auto answer = std::make_shared<std::promise<std::optional<std::string>>>();
  std::future<std::optional<std::string>> result = answer->get_future();
  request([answer](std::optional<std::string> line) { answer->set_value(std::move(line)); });
  return result.get();
}

bool StdinLineReader::read_byte(char& byte) {
  while (true) {
    pollfd watched[2] = {{fd_, POLLIN, 0}, {wake_read_, POLLIN, 0}};
    const int ready = ::poll(watched, wake_read_ >= 0 ? 2 : 1, -1);
    if (ready < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (wake_read_ >= 0 && (watched[1].revents & POLLIN)) return false;
    if (watched[0].revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL)) {
      const ssize_t n = ::read(fd_, &byte, 1);
      if (n == 1) return true;
      if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
      return false;  // end of file or a read error
    }
  }
}

std::optional<std::string> StdinLineReader::read_one_line() {
  std::string line;
  bool any = false;
  char byte = 0;
  while (read_byte(byte)) {
    any = true;
    if (byte == '\n') {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      return line;
    }
    if (line.size() < kMaximumLineLength) line.push_back(byte);
  }
  end_of_file_ = true;
  if (!any) return std::nullopt;
  return line;
}

void StdinLineReader::run() {
  while (true) {
    Delivery deliver;
    {
      std::unique_lock lock(mutex_);
      condition_.wait(lock, [this] { return stopping_ || !requests_.empty(); });
      if (stopping_) break;
      deliver = std::move(requests_.front());
      requests_.pop_front();
    }
    // A read interrupted by stopping answers nothing, as end of file does.
    std::optional<std::string> line;
    if (!end_of_file_) line = read_one_line();
    deliver(std::move(line));
  }
  // Requests still queued get nothing.
  std::deque<Delivery> left;
  {
    std::lock_guard lock(mutex_);
    left.swap(requests_);
  }
  for (auto& deliver : left) deliver(std::nullopt);
}

}  // namespace terminal
