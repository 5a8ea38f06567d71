#pragma once
// Starting a program in the terminal presentation: the Qt application on the offscreen
// platform (whatever QT_QPA_PLATFORM says), the console with the terminal presentation, the
// program on the program thread, the event loop on the calling thread. The standard units
// use the standard handles here (standard output already is the transcript).

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "console/core_access.h"
#include "terminal/terminal_presentation.h"

namespace terminal {

struct TerminalOptions {
  // --save-pictures DIR: the window pictures are saved into DIR when the program ends.
  std::optional<std::string> save_pictures_directory;
  // --picture-format: the pictures' file format.
  console::PictureFormat picture_format = console::PictureFormat::Bitmap;
  // The program-end box goes to standard error ("Program Terminated with exit code ...");
  // false answers it without a word, for commands whose output is their files.
  bool announce_program_end = true;
  // What saves them; empty: save_window_pictures (picture_saver.h), which writes
  // DIR/<window title>.bmp (or .png) for every window with a picture.
  PictureSaver picture_saver;
};

// Runs `program` (its result is the exit code) on the console with the terminal
// presentation; `prepare` runs before the console is installed. Returns the exit status
// (or ends the process with it, see run_console).
int run_terminal(int& argc, char** argv, const TerminalOptions& options,
                 const std::function<void(console::ConsoleCore&)>& prepare, std::function<int()> program);

// The same for a program written against the formatted I/O runtime: `main_routine` runs
// through the runtime's main wrapper with `arguments` (the file names for blank-name OPENs).
int run_terminal_program(int& argc, char** argv, std::vector<std::string> arguments, const TerminalOptions& options,
                         std::function<void()> main_routine);

}  // namespace terminal
