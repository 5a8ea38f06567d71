#pragma once
// Connects the console to the formatted I/O runtime: the console's routines are registered
// with the runtime (window units, dialogs, the program end, the pause gate), units are
// mapped to windows through the runtime's unit table, the line end that a window's unit
// still owes is written through the runtime (display_cursor), and the runtime's exit
// handler joins the console's exit list. The program then runs through the runtime's main wrapper on the
// program thread.

#include <functional>
#include <string>
#include <vector>

#include "console/console_core.h"
#include "console/presentation.h"

namespace console {

// Registers the console's routines with the runtime (call before the core is installed).
void connect_runtime(ConsoleCore& core);
// The program thread's routine: the runtime's main wrapper around `main_routine`.
std::function<int()> runtime_main(std::vector<std::string> arguments, std::function<void()> main_routine);

// run_console with both of the above.
int run_runtime_program(Presentation& presentation, ConsoleOptions options, std::vector<std::string> arguments,
                        std::function<void()> main_routine);

}  // namespace console
