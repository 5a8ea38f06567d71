#pragma once
// Starting a program in the frame on screen: the Qt application, the console with the
// frame's presentation, the initial-settings hook, the frame (shown as the profile key and
// the hook ask), the program on a program thread at a priority below the GUI thread's, and
// the event loop on the calling thread until the frame is closed.

#include <QString>

#include <functional>
#include <string>
#include <vector>

#include "console/core_access.h"
#include "gui/analysis_hooks.h"

namespace gui {

class WindowCommands;

struct GuiOptions {
  // The program's initial-settings hook (INITIALSETTINGS): called once on the GUI thread
  // before the frame exists, with the whole core (console_core.h). It may ask for the frame's
  // state and size with core.set_window_size(console::kFrameUnit, ...), which is recorded and
  // applied when the frame is first shown. Returning false shows error box 7 ("INITIALMENU
  // failed").
  std::function<bool(console::ConsoleCore& core)> initial_settings;
  // The INI file of the profile key "ZODAVeveziviz"; empty: the user's file for the program.
  QString settings_file;
  // Select, Copy, Save and Print (not owned); null: the frame's own (PictureCommands with
  // Qt's dialogs).
  WindowCommands* window_commands = nullptr;
  // The analyses the program offers in an Analysis popup after Help; without maps the
  // frame has no such popup.
  AnalysisHooks analysis;
};

// Runs `program` (its result is the exit code) on the console in the frame; `prepare` runs
// on the GUI thread before the console is installed. Returns the exit status (or ends the
// process with it, see run_console).
int run_gui(int& argc, char** argv, const GuiOptions& options,
            const std::function<void(console::ConsoleCore&)>& prepare, std::function<int()> program);

// The same for a program written against the formatted I/O runtime: `main_routine` runs
// through the runtime's main wrapper with `arguments` (the file names for blank-name OPENs).
int run_gui_program(int& argc, char** argv, std::vector<std::string> arguments, const GuiOptions& options,
                    std::function<void()> main_routine);

}  // namespace gui
