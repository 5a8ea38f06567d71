// The terminal entry for programs written against the formatted I/O runtime (kept apart
// from terminal_entry.cpp so that users of the presentation alone do not need the runtime).

#include "console/core_access.h"
#include "terminal/terminal_entry.h"

namespace terminal {

int run_terminal_program(int& argc, char** argv, std::vector<std::string> arguments, const TerminalOptions& options,
                         std::function<void()> main_routine) {
  return run_terminal(argc, argv, options, console::connect_runtime,
                      console::runtime_main(std::move(arguments), std::move(main_routine)));
}

}  // namespace terminal
