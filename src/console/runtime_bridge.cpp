// Connecting the console to the formatted I/O runtime (connect_runtime and runtime_main in
// core_access.h): the console's routines are registered with the runtime, units are mapped to
// windows through the runtime's unit table, the line end that a window's unit still owes is
// written through the runtime (display_cursor), and the runtime's exit handler joins the
// console's exit list. The program then runs through the runtime's main wrapper.

#include "console/console_core.h"
#include "console/console_window_services.h"
#include "console/core_access.h"
#include "runtime/io/statements.h"
#include "runtime/support/console_events.h"
#include "runtime/support/lifecycle.h"
#include "runtime/window_services.h"

namespace console {

void connect_runtime(ConsoleCore& core) {
  // The services live as long as the process (never freed): the runtime may call them up
  // to its very end, also after the console's entry has returned.
  auto* services = new ConsoleWindowServices(core);
  runtime::register_window_services(services);
  core.set_unit_mapper([](std::int32_t unit) { return runtime::unit_window_index(unit); });
  core.set_pending_line_end_writer([](int window) { runtime::write_owed_line_end(window); });
  core.register_exit_routine([] { runtime::run_exit_handler(); });
  core.set_program_end_claim([] { return runtime::claim_program_end(); });
}

std::function<int()> runtime_main(std::vector<std::string> arguments, std::function<void()> main_routine) {
  return [arguments = std::move(arguments), main_routine = std::move(main_routine)] {
    return runtime::run_main_wrapper(arguments, main_routine);
  };
}

}  // namespace console
