#pragma once
// The transcript: what the child windows show, written to standard output as it is written
// to them. Its byte rules:
// - A carriage return followed by a line feed (also when they arrive in separate writes) is
//   one line end, written as a line feed; a line feed alone is a line feed; a carriage
//   return not followed by a line feed is kept (the window goes back to column 1 of the same
//   row, and so does a terminal). A carriage return is held until the next byte shows which
//   it is, and written by finish() when nothing follows.
// - Every other byte is copied unchanged (tabs, bells, form feeds and bytes above 127 as
//   they are); a window wrapping a long line at its right column adds nothing.
// - A window's text ends at a NUL byte (the console cuts it there before it arrives).
// - Echo of typed characters is copied, so the transcript holds the answers too, except
//   when standard input is a terminal, which shows the typed line itself: then the echo is
//   left out, and so is the line end the program echoes after the line (line_typed()).
// - Backspace's erase of one typed character is written as backspace, blank, backspace.
// - A prompt of the terminal's own (the file-name question) starts on a line of its own: a
//   line end is written first unless the transcript is at the start of a line.
// Writes from several threads are serialised; each write goes out at once (no buffering).

#include <functional>
#include <mutex>
#include <string>
#include <string_view>

#include "console/presentation.h"

namespace terminal {

class Transcript {
 public:
  using Sink = std::function<void(std::string_view)>;
  Transcript(Sink sink, bool input_is_terminal);

  void write(std::string_view bytes, console::TextOrigin origin);
  // A line typed on the terminal went to a read: drop the line end echoed after it.
  void line_typed();
  // Writes a prompt of the terminal's own (the console prompt for a file name).
  void write_prompt(std::string_view bytes);
  // Writes a held carriage return.
  void finish();
  bool input_is_terminal() const { return input_is_terminal_; }

 private:
  void send(std::string_view bytes);

  std::mutex mutex_;
  Sink sink_;
  const bool input_is_terminal_;
  bool held_carriage_return_ = false;
  bool drop_line_end_ = false;
  bool at_line_start_ = true;
};

// A sink writing to a file descriptor, retrying interrupted and partial writes; a closed
// reader (EPIPE) makes further output disappear silently.
Transcript::Sink file_descriptor_sink(int fd);

}  // namespace terminal
