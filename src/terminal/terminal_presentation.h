#pragma once
// The terminal presentation: the console runs with every child window and its surface on
// the offscreen platform and nothing shown.
// - Text written to any window goes to standard output as written (Transcript).
// - When a read waits, the next line of standard input goes to the waiting window as if
//   typed: its bytes one by one, then Enter, with their echo. A carriage return inside a
//   line ends it there and the rest is typed as the next line. Bytes are typed as they are:
//   control codes act as the keys would (a byte 8 is Backspace, 3 is Ctrl+C).
// - While the program is paused, lines are still read and typed into the window typed into
//   last (refused as keys typed while paused are, except those that resume).
// - End of file on standard input while a read waits, or while the program is paused, ends
//   the program as closing the frame does: the exit list (the runtime's exit handler) runs,
//   a one-line message goes to standard error and the exit status is 1. A console event
//   (control-C and the rest) that is pending or being handled by then ends the program
//   instead, with its own message and status.
// - The file dialog becomes the console prompt "File name missing or blank - please enter
//   file name\r\nUNIT %d? " (on a line of its own), answered from the same reader; a blank
//   answer counts as cancelled, end of file ends the program as above.
// - A message box writes its caption (trailing blanks removed) on one line and its text on
//   the following lines to standard error, and takes its default answer; the program-end
//   box is answered Yes, so the process ends with the program's exit code (and is not
//   written when its announcement is turned off).
// - With a pictures directory, the picture saver runs when the program ends, before the
//   exit list.
// Work that must happen on the main (GUI) thread is queued to it; the presentation's
// notification methods never block.

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "console/core_access.h"
#include "console/presentation.h"
#include "terminal/main_thread_queue.h"
#include "terminal/stdin_line_reader.h"
#include "terminal/transcript.h"

namespace terminal {

// Saves the whole surface of every child window into `directory`; false on failure.
using PictureSaver = std::function<bool(console::CoreAccess& core, const std::string& directory)>;

struct TerminalStreams {
  int input = 0;
  int output = 1;
  int error = 2;
};

class TerminalPresentation final : public console::Presentation {
 public:
  explicit TerminalPresentation(TerminalStreams streams = {});
  ~TerminalPresentation() override;
  TerminalPresentation(const TerminalPresentation&) = delete;
  TerminalPresentation& operator=(const TerminalPresentation&) = delete;

  // The console served; set before the console is installed.
  void attach(console::CoreAccess& core) { core_.store(&core); }
  void set_save_pictures(std::string directory, PictureSaver saver);
  // Whether the program-end box is written to standard error (it is by default).
  void set_announce_program_end(bool announce) { announce_program_end_ = announce; }

  void window_event(int window, console::WindowEvent event) override;
  void status_changed() override;
  void text_written(int window, std::string_view bytes, console::TextOrigin origin) override;
  void beep() override;
  void close_frame() override;
  console::MessageBoxAnswer message_box(const console::MessageBoxRequest& request) override;
  bool choose_file(const console::FileDialogRequest& request, std::string& name) override;

 private:
  void post(std::function<void()> work);
  // Main thread only.
  void check_input();
  // The window that a line read now is typed into (0: none, the line is held).
  int typing_window(const console::StatusView& view) const;
  void deliver_line(std::optional<std::string> line);
  void type_line(int window, std::string line);
  void end_of_input();
  void finish(int code_if_running);
  void write_error(std::string_view text);

  const TerminalStreams streams_;
  Transcript transcript_;
  std::atomic<console::CoreAccess*> core_{nullptr};
  std::string pictures_directory_;
  PictureSaver picture_saver_;
  bool announce_program_end_ = true;
  // Main thread only.
  bool line_requested_ = false;
  std::optional<std::string> held_line_;
  int last_typed_window_ = 0;
  bool finishing_ = false;
  // Declared last: destroyed first, so that the reader thread has stopped before the
  // queue that its deliveries go to.
  MainThreadQueue main_thread_;
  StdinLineReader reader_;
};

}  // namespace terminal
