// The processor-exception handler and the event thread's end of its report.

#include "runtime/support/processor_exceptions.h"

#include <errno.h>
#include <pthread.h>
#include <setjmp.h>
#include <time.h>
#include <ucontext.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "runtime/support/console_events.h"
#include "runtime/support/emission.h"
#include "runtime/support/environment.h"
#include "runtime/support/error_numbers.h"
#include "runtime/support/errors.h"
#include "runtime/support/exception_context.h"
#include "runtime/support/lifecycle.h"
#include "runtime/support/message_text.h"
#include "runtime/support/termination.h"
#include "runtime/support/traceback.h"
#include "runtime/support/window_services_owner.h"
#include "runtime/window_services.h"

namespace runtime {
namespace {

constexpr int kHandledSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGTRAP};
struct sigaction g_previous_actions[NSIG];
std::atomic<bool> g_handlers_installed{false};

// A segment violation this close below the stack pointer (or just above it) is taken for a
// stack overflow: the guard page lies right under the last frame.
constexpr unsigned long kStackOverflowReachBelow = 1024 * 1024;
constexpr unsigned long kStackOverflowReachAbove = 4096;

// Alternate signal stacks, handed out to the threads that start the runtime or run the main
// routine. Static storage: they must outlive every thread, static destructors included.
constexpr std::size_t kAlternateStackSize = 64 * 1024;
constexpr int kAlternateStackCount = 4;
alignas(16) char g_alternate_stacks[kAlternateStackCount][kAlternateStackSize];
std::atomic<int> g_alternate_stacks_used{0};

// The report prepared by the handler and finished by the event thread. Static: a handler may
// not allocate, and the alternate stack is small.
enum Stage : int {
  kHandedOver,    // waiting for the event thread
  kRendering,     // the event thread lays out the traceback and writes log and standard error
  kShowing,       // the error box waits for the user
  kClosingUnits,  // the exit handler runs
  kEnding,        // the program-end sequence (may wait for the user)
};
struct PreparedReport {
  int number = 0;
  Severity severity = Severity::Severe;
  bool show_in_window = false;
  bool display = true;
  void* frames[kMaxTracebackFrames];
  int frame_count = 0;
  bool walk_failed = false;
  std::uintptr_t fault_pc = 0;
  bool has_machine = false;
  ucontext_t machine;
  // Set (release) once the fields above are filled; the event thread reads them after it
  // sees the flag (acquire). The hand-over signal alone orders nothing for the memory model.
  std::atomic<bool> prepared{false};
  std::atomic<bool> delivered{false};
  std::atomic<int> stage{kHandedOver};
};
PreparedReport g_report;
char g_event_thread_storage[24 * 1024];
char g_handler_storage[24 * 1024];
TextBuffer g_event_thread_text(g_event_thread_storage, sizeof g_event_thread_storage);
TextBuffer g_handler_text(g_handler_storage, sizeof g_handler_storage);

std::atomic<bool> g_exception_in_progress{false};
std::atomic<pthread_t> g_reporting_thread{};
// The stack walk may itself fault; the nested handler jumps back here.
sigjmp_buf g_walk_jump;
std::atomic<bool> g_walking{false};

// How long the faulting thread waits for a stage that needs no user before it finishes the
// report itself.
constexpr long kStageTimeoutSeconds = 10;

bool raw_switch(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && switch_value_is_true(value);
}

std::uintptr_t program_counter(const void* machine) {
  if (machine == nullptr) return 0;
  const auto* uc = static_cast<const ucontext_t*>(machine);
#if defined(__x86_64__)
  return static_cast<std::uintptr_t>(uc->uc_mcontext.gregs[REG_RIP]);
#elif defined(__aarch64__)
  return static_cast<std::uintptr_t>(uc->uc_mcontext.pc);
#else
  (void)uc;
  return 0;
#endif
}

unsigned long stack_pointer(const void* machine) {
  if (machine == nullptr) return 0;
  const auto* uc = static_cast<const ucontext_t*>(machine);
#if defined(__x86_64__)
  return static_cast<unsigned long>(uc->uc_mcontext.gregs[REG_RSP]);
#elif defined(__aarch64__)
  return static_cast<unsigned long>(uc->uc_mcontext.sp);
#else
  (void)uc;
  return 0;
#endif
}

long seconds_now() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return now.tv_sec;
}

void sleep_briefly() {
  timespec pause{0, 20 * 1000 * 1000};
  nanosleep(&pause, nullptr);
}

[[noreturn]] void wait_for_ever() {
  for (;;) sleep_briefly();
}

// Lets the exception go on as if this handler were not there: to the handler installed before,
// or to the default action (re-raised for signals that a return would not repeat).
void pass_on(int signal_number, siginfo_t* info, void* machine) {
  const struct sigaction& previous = g_previous_actions[signal_number];
  if ((previous.sa_flags & SA_SIGINFO) != 0 && previous.sa_sigaction != nullptr) {
    previous.sa_sigaction(signal_number, info, machine);
    return;
  }
  if (previous.sa_handler != SIG_DFL && previous.sa_handler != SIG_IGN) {
    previous.sa_handler(signal_number);
    return;
  }
  // An ignored fault would repeat for ever: use the default action for it too.
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  sigemptyset(&fallback.sa_mask);
  sigaction(signal_number, &fallback, nullptr);
  if (info == nullptr || info->si_code <= 0 || signal_number == SIGTRAP) ::raise(signal_number);
}

// The faulting thread waits while the event thread finishes the report; the stages that need
// no user are bounded. Returns when the event thread did not get through in time.
void wait_for_event_thread() {
  int seen_stage = -1;
  long stage_started = 0;
  for (;;) {
    const int stage = g_report.stage.load();
    if (stage != seen_stage) {
      seen_stage = stage;
      stage_started = seconds_now();
    }
    const bool bounded = stage == kHandedOver || stage == kRendering || stage == kClosingUnits;
    if (bounded && seconds_now() - stage_started > kStageTimeoutSeconds) return;
    sleep_briefly();
  }
}

// In the handler: the error and the raw stack walk (guarded: the walk may fault).
void prepare_report(int number, const void* machine) {
  g_report.number = number;
  g_report.severity = catalogue_severity(number);
  g_report.fault_pc = program_counter(machine);
  g_report.has_machine = machine != nullptr;
  if (machine != nullptr) g_report.machine = *static_cast<const ucontext_t*>(machine);
  g_report.frame_count = 0;
  g_report.walk_failed = false;
  if (sigsetjmp(g_walk_jump, 1) == 0) {
    g_walking.store(true);
    g_report.frame_count = walk_stack(g_report.frames, kMaxTracebackFrames);
    g_walking.store(false);
  } else {
    g_walking.store(false);
    g_report.walk_failed = true;
  }
}

// The message and its traceback; names are demangled only off the signal handler.
void render_report(TextBuffer& text, bool may_allocate) {
  text.clear();
  compose_runtime_message(g_report.number, ErrorInserts{}, text);
  text.append_char('\n');
  if (raw_switch("FOR_DISABLE_STACK_TRACE")) return;
  TracebackOptions options;
  options.may_allocate = may_allocate;
  options.verbose = raw_switch("FOR_ENABLE_VERBOSE_STACK_TRACE");
  options.fault_pc = g_report.fault_pc;
  options.machine_context = g_report.has_machine ? &g_report.machine : nullptr;
  append_traceback_frames(text, g_report.frames, g_report.frame_count, g_report.walk_failed, options);
}

// The log, and standard error when no error box shows the message.
void write_report(const TextBuffer& text, bool box_follows) {
  // The process is ending on an exception: a report that cannot be written has nowhere
  // else to go.
  static_cast<void>(redirect_standard_error_once());
  static_cast<void>(append_to_diagnostic_log(text.view()));
  if (g_report.display && !box_follows) write_all(2, text.view());
}

// A second exception while one is being reported.
void handle_nested_exception() {
  if (pthread_equal(g_reporting_thread.load(), pthread_self()) == 0) {
    wait_for_ever();  // another thread's report ends the process
  }
  if (g_walking.load()) siglongjmp(g_walk_jump, 1);
  // A fault in the report itself, outside the walk: end with what is known.
  write_all(2, "duzevi: severe: processor exception while reporting a processor exception\n");
  std::_Exit(process_exit_status(g_report.number != 0 ? g_report.number : kAccessViolation));
}

void processor_exception_handler(int signal_number, siginfo_t* info, void* machine) {
  const int saved_errno = errno;
  if (raw_switch("FOR_IGNORE_EXCEPTIONS")) {
    pass_on(signal_number, info, machine);
    errno = saved_errno;
    return;
  }
  if (g_exception_in_progress.exchange(true)) {
    handle_nested_exception();
    errno = saved_errno;
    return;
  }
  g_reporting_thread.store(pthread_self());

  const bool marked_for_debugger = raw_switch("FOR__IS_DEBUGGER_PRESENT");
  if (ExceptionContext* context = exception_context()) {
    if (info != nullptr) context->info = *info;
    if (machine != nullptr) context->machine = *static_cast<const ucontext_t*>(machine);
    context->holds_exception = true;
    context->marked_for_debugger = marked_for_debugger;
  }

  const int number = processor_exception_error(signal_number, info ? info->si_code : 0, info ? info->si_addr : nullptr,
                                               stack_pointer(machine));
  const Severity severity = catalogue_severity(number);
  if (severity == Severity::Severe && debug_exception_requested(number)) raise_debug_exception();

  prepare_report(number, machine);
  g_report.display = !raw_switch("FOR_DISABLE_DIAGNOSTIC_DISPLAY");
  // The error box needs the GUI thread: not when the exception is on that thread itself.
  g_report.show_in_window =
      g_report.display && window_services() != nullptr && !window_services_registered_by_this_thread();

  // An error-severity exception under a debugger goes on to the debugger after its message.
  if (severity != Severity::Severe && marked_for_debugger) {
    render_report(g_handler_text, false);
    write_report(g_handler_text, false);
    pass_on(signal_number, info, machine);
    errno = saved_errno;
    return;
  }

  g_report.prepared.store(true, std::memory_order_release);
  if (hand_over_to_event_thread()) wait_for_event_thread();
  // No event thread, or it did not get through in time: finish here, without the exit handler,
  // which might need a lock this thread holds.
  if (!g_report.delivered.load()) {
    render_report(g_handler_text, false);
    write_report(g_handler_text, false);
  }
  std::_Exit(process_exit_status(number));
}

}  // namespace

int processor_exception_error(int signal_number, int signal_code, const void* fault_address,
                              unsigned long stack_pointer) {
  const bool from_processor = signal_code > 0;
  switch (signal_number) {
    case SIGSEGV: {
      const auto address = reinterpret_cast<unsigned long>(fault_address);
      if (from_processor && stack_pointer != 0 && address < stack_pointer + kStackOverflowReachAbove &&
          address + kStackOverflowReachBelow >= stack_pointer) {
        return kStackOverflowException;  // stack overflow
      }
      return kAccessViolation;  // access violation
    }
    case SIGBUS:
      if (from_processor && signal_code == BUS_ADRALN) return kDatatypeMisalignment;  // datatype misalignment
      return kInPageError;                                                            // in-page error
    case SIGILL:
      if (from_processor && (signal_code == ILL_PRVOPC || signal_code == ILL_PRVREG)) return kPrivilegedInstruction;
      return kIllegalInstruction;  // illegal instruction
    case SIGFPE:
      if (!from_processor) return kFloatingPointException;
      switch (signal_code) {
        case FPE_INTDIV: return kIntegerDivideByZeroException;
        case FPE_INTOVF: return kIntegerOverflowException;
        case FPE_FLTDIV: return kFloatingDivideByZeroError;
        case FPE_FLTOVF: return kFloatingOverflowError;
        case FPE_FLTUND: return kFloatingUnderflowError;
        case FPE_FLTRES: return kFloatingInexactError;
        case FPE_FLTINV: return kFloatingInvalidError;
        case FPE_FLTSUB: return kArrayBoundsExceeded;
        default: return kFloatingPointException;  // floating point exception
      }
    case SIGTRAP:
      if (from_processor && signal_code == TRAP_TRACE) return kSingleStep;  // single step
      return kBreakpoint;                                                   // breakpoint
    default: return kOtherProcessorException;
  }
}

// SIGRTMIN reads a value the C library fixes at start-up, so this is safe in a handler.
int processor_exception_handover_signal() { return SIGRTMIN + 3; }

void ensure_alternate_signal_stack() {
  stack_t current{};
  if (sigaltstack(nullptr, &current) != 0 || (current.ss_flags & SS_DISABLE) == 0) return;
  const int slot = g_alternate_stacks_used.fetch_add(1);
  if (slot >= kAlternateStackCount) return;
  stack_t alternate{};
  alternate.ss_sp = g_alternate_stacks[slot];
  alternate.ss_size = kAlternateStackSize;
  sigaltstack(&alternate, nullptr);
}

void install_processor_exception_handlers() {
  if (g_handlers_installed.exchange(true)) return;
  prepare_traceback();

  ensure_alternate_signal_stack();

  struct sigaction action {};
  action.sa_sigaction = processor_exception_handler;
  // SA_NODEFER lets a fault during the stack walk reach the handler again, which then ends
  // the walk with "Stack trace terminated abnormally.".
  action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_NODEFER;
  sigemptyset(&action.sa_mask);
  for (int signal_number : kHandledSignals) {
    sigaction(signal_number, &action, &g_previous_actions[signal_number]);
  }
}

void finish_processor_exception() {
  while (!g_report.prepared.load(std::memory_order_acquire)) sleep_briefly();
  g_report.stage.store(kRendering);
  render_report(g_event_thread_text, true);
  write_report(g_event_thread_text, g_report.show_in_window);
  g_report.stage.store(kShowing);
  if (g_report.show_in_window) {
    if (WindowServices* services = window_services()) {
      std::string_view box_text = g_event_thread_text.view();
      while (!box_text.empty() && box_text.back() == '\n') box_text.remove_suffix(1);
      services->show_runtime_error(kRuntimeErrorCaption, box_text);
    }
  }
  g_report.delivered.store(true);
  g_report.stage.store(kClosingUnits);
  run_exit_handler();
  g_report.stage.store(kEnding);
  if (g_report.severity == Severity::Severe) end_after_severe_error(g_report.number);
  end_process(g_report.number);
}

}  // namespace runtime
