#include "terminal/transcript.h"

#include <unistd.h>
#include <cerrno>

namespace terminal {

Transcript::Transcript(Sink sink, bool input_is_terminal)
    : sink_(std::move(sink)), input_is_terminal_(input_is_terminal) {}

void Transcript::send(std::string_view bytes) {
  if (bytes.empty()) return;
  at_line_start_ = bytes.back() == '\n';
  if (sink_) sink_(bytes);
}

void Transcript::write(std::string_view bytes, console::TextOrigin origin) {
  std::lock_guard lock(mutex_);
  if (input_is_terminal_ && origin != console::TextOrigin::Program) return;
  if (origin == console::TextOrigin::EchoErase) {
    bytes = "\b \b";
  }
  if (origin == console::TextOrigin::Program && drop_line_end_) {
    drop_line_end_ = false;
    if (bytes.substr(0, 2) == "\r\n") {
      bytes.remove_prefix(2);
    } else if (bytes.substr(0, 1) == "\n") {
      bytes.remove_prefix(1);
    }
  }
  std::string out;
  out.reserve(bytes.size() + 1);
  for (const char c : bytes) {
    if (held_carriage_return_) {
      held_carriage_return_ = false;
      if (c == '\n') {
        out.push_back('\n');
        continue;
      }
      out.push_back('\r');
    }
    if (c == '\r') {
      held_carriage_return_ = true;
    } else {
      out.push_back(c);
    }
  }
  send(out);
}

void Transcript::line_typed() {
  std::lock_guard lock(mutex_);
  if (!input_is_terminal_) return;
  drop_line_end_ = true;
  at_line_start_ = true;  // the terminal's own echo of Enter ended the line
}

void Transcript::write_prompt(std::string_view bytes) {
  {
    std::lock_guard lock(mutex_);
    if (held_carriage_return_) {
      held_carriage_return_ = false;
      send("\n");
    } else if (!at_line_start_) {
      send("\n");
    }
  }
  write(bytes, console::TextOrigin::Program);
}

void Transcript::finish() {
  std::lock_guard lock(mutex_);
  if (held_carriage_return_) {
    held_carriage_return_ = false;
    send("\r");
  }
}

Transcript::Sink file_descriptor_sink(int fd) {
  return [fd](std::string_view bytes) {
    while (!bytes.empty()) {
      const ssize_t n = ::write(fd, bytes.data(), bytes.size());
      if (n < 0) {
        if (errno == EINTR) continue;
        return;  // the reader went away (EPIPE) or the descriptor is unusable
      }
      bytes.remove_prefix(static_cast<std::size_t>(n));
    }
  };
}

}  // namespace terminal
