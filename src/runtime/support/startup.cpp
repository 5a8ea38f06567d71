// Start-up of the runtime, the main wrapper, the division-flaw check and the thread mode.

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <mutex>

#include "runtime/statement_flags.h"
#include "runtime/support/command_arguments.h"
#include "runtime/support/console_events.h"
#include "runtime/support/division_check.h"
#include "runtime/support/environment.h"
#include "runtime/support/error_numbers.h"
#include "runtime/support/errors.h"
#include "runtime/support/exception_context.h"
#include "runtime/support/floating_point.h"
#include "runtime/support/lifecycle.h"
#include "runtime/support/processor_exceptions.h"
#include "runtime/support/termination.h"
#include "runtime/window_services.h"

namespace runtime {
namespace {

std::atomic<int> g_thread_mode{0};

// A standard descriptor (0, 1, 2) that the process was started without is opened on the
// null device. Otherwise the next descriptor made (the event loop's wake-up descriptor, a
// unit's file) would take its number, and what is meant for the standard handle would go to
// it: a read of standard input would wait on the event loop's descriptor for ever, and the
// transcript could be written into a series file. A closed standard input thus reads as at
// its end.
void open_missing_standard_descriptors() {
  for (int descriptor = STDIN_FILENO; descriptor <= STDERR_FILENO; ++descriptor) {
    if (fcntl(descriptor, F_GETFD) != -1 || errno != EBADF) continue;
    const int opened = open("/dev/null", descriptor == STDIN_FILENO ? O_RDONLY : O_WRONLY);
    // The lowest free number is taken, which is `descriptor` while the lower ones are open.
    if (opened >= 0 && opened != descriptor) {
      dup2(opened, descriptor);
      close(opened);
    }
  }
}

void start_once(std::vector<std::string>& arguments) {
  // First: everything below may make descriptors.
  open_missing_standard_descriptors();
  // The unit table creates its own slot locks with the table (the unit layer owns both).
  register_exit_handler_at_exit();
  allocate_exception_context();
  // Before anything else creates a thread: threads made from here on inherit the blocked
  // console-event signals.
  start_console_event_thread();
  // The windowed console registers its routines (WindowServices) itself when it starts.
  // FOR_NOERROR_DIALOGS asks the system not to show its own dialogs for critical errors,
  // protection faults and missing files; Linux shows none, so there is nothing to turn off.

  // A write to a closed pipe fails with an error that the unit reports, as on a system
  // without this signal, instead of killing the process without a word.
  signal(SIGPIPE, SIG_IGN);
  apply_floating_point_mode(kProgramFloatingMode);
  process_command_arguments().assign(std::move(arguments));
  install_processor_exception_handlers();
}

}  // namespace

void start_runtime(std::vector<std::string> arguments) {
  static std::once_flag started;
  std::call_once(started, [&arguments] { start_once(arguments); });
}

int run_main_wrapper(std::vector<std::string> arguments, const std::function<void()>& main_routine) {
  start_runtime(std::move(arguments));
  // Start-up may have run on another thread (to block the console-event signals early).
  ensure_alternate_signal_stack();
  if (main_routine) main_routine();
  // The normal end: units closed first, so that everything is written before the windowing
  // runtime's end box appears.
  run_exit_handler();
  if (claim_end_sequence()) {
    if (WindowServices* services = window_services()) services->end_program(0);
  }
  return 0;
}

double division_residue(double dividend, double divisor) {
  // volatile keeps the compiler from folding the test away at build time.
  volatile double x = dividend;
  volatile double y = divisor;
  const double quotient = x / y;
  return x - quotient * y;
}

void check_division_operands(double dividend, double divisor) {
  if (division_residue(dividend, divisor) == 0.0) return;
  if (environment_switch("FOR_RUN_FLAWED_PENTIUM")) return;
  report_runtime_error(kDivisionFlawDetected, 0);
}

void check_division_flaw() { check_division_operands(kDivisionCheckDividend, kDivisionCheckDivisor); }

int set_thread_mode(const int* mode) {
  if (mode == nullptr || *mode == 3) return g_thread_mode.load();
  return g_thread_mode.exchange(*mode);
}

int thread_mode() { return g_thread_mode.load(); }

}  // namespace runtime
