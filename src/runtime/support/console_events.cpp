// The console-event thread: waits on a signal descriptor for control-C, control-BREAK,
// window-CLOSE, SIGTERM and the processor-exception hand-over, and arbitrates between a
// console event and another end of the program racing it.

#include "runtime/support/console_events.h"

#include <errno.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>

#include "runtime/statement_flags.h"
#include "runtime/support/error_numbers.h"
#include "runtime/support/errors.h"
#include "runtime/support/lifecycle.h"
#include "runtime/support/processor_exceptions.h"
#include "runtime/support/termination.h"

namespace runtime {
namespace {

// A shell reports a process killed by signal N with the status 128 + N. Control-C and SIGTERM
// end the program with that status, so that a script sees the interruption as a failure.
constexpr int kShellSignalStatusBase = 128;
constexpr int kControlBreakStatus = 1;
constexpr int kWindowCloseStatus = 2;

constexpr ConsoleEvent kConsoleEvents[] = {
    {SIGINT, "control-C", kShellSignalStatusBase + SIGINT},
    {SIGQUIT, "control-BREAK", kControlBreakStatus},
    {SIGHUP, "window-CLOSE", kWindowCloseStatus},
    {SIGTERM, "window-CLOSE", kShellSignalStatusBase + SIGTERM},
};

// Who ends the program: nobody yet, a console event, or another end (end of input).
enum class EndClaim { None, ConsoleEvent, Other };
std::atomic<EndClaim> g_end_claim{EndClaim::None};
static_assert(std::atomic<EndClaim>::is_always_lock_free, "claimed from a signal handler");

std::atomic<bool> g_event_thread_running{false};
pthread_t g_event_thread;
int g_signal_descriptor = -1;

sigset_t event_signal_set() {
  sigset_t set;
  sigemptyset(&set);
  for (const ConsoleEvent& event : kConsoleEvents) sigaddset(&set, event.signal_number);
  sigaddset(&set, processor_exception_handover_signal());
  return set;
}

// Signal-safe. True when the end is now the console event's.
bool claim_end_for_console_event() {
  EndClaim expected = EndClaim::None;
  return g_end_claim.compare_exchange_strong(expected, EndClaim::ConsoleEvent) || expected == EndClaim::ConsoleEvent;
}

// Installed for the console-event signals: a thread that does not block them (one created
// before the runtime started) passes them to the event thread, which does. The end is
// claimed here, as the signal leaves the pending set.
void pass_to_event_thread(int signal_number, siginfo_t*, void*) {
  const int saved_errno = errno;
  if (g_event_thread_running.load() && claim_end_for_console_event()) pthread_kill(g_event_thread, signal_number);
  errno = saved_errno;
}

bool is_pass_on_handler(const struct sigaction& action) {
  return (action.sa_flags & SA_SIGINFO) != 0 && action.sa_sigaction == pass_to_event_thread;
}

enum class EventAction { EndProgram, ProgramHandler, Ignore };

// What an event of `signal_number` does now; `current` receives the signal's action.
EventAction event_action(int signal_number, struct sigaction& current) {
  current = {};
  sigaction(signal_number, nullptr, &current);
  if ((current.sa_flags & SA_SIGINFO) != 0) {
    return is_pass_on_handler(current) ? EventAction::EndProgram : EventAction::ProgramHandler;
  }
  if (current.sa_handler == SIG_IGN) return EventAction::Ignore;
  if (current.sa_handler != SIG_DFL) return EventAction::ProgramHandler;
  return EventAction::EndProgram;
}

// True when a console event that would end the program is pending (for the process, or for
// the calling thread), without taking it.
bool console_event_pending() {
  sigset_t pending;
  if (sigpending(&pending) != 0) return false;
  for (const ConsoleEvent& event : kConsoleEvents) {
    struct sigaction current {};
    if (sigismember(&pending, event.signal_number) == 1 &&
        event_action(event.signal_number, current) == EventAction::EndProgram) {
      return true;
    }
  }
  return false;
}

void* event_thread_main(void*) {
  const int handover = processor_exception_handover_signal();
  for (;;) {
    pollfd watched{g_signal_descriptor, POLLIN, 0};
    if (poll(&watched, 1, -1) < 0) continue;  // EINTR
    // The end is claimed while the event is still pending, before it is taken.
    if (console_event_pending()) claim_end_for_console_event();
    signalfd_siginfo info{};
    if (read(g_signal_descriptor, &info, sizeof info) != static_cast<ssize_t>(sizeof info)) continue;
    const int signal_number = static_cast<int>(info.ssi_signo);
    if (signal_number == handover) {
      finish_processor_exception();
      continue;
    }
    if (const ConsoleEvent* event = find_console_event(signal_number)) handle_console_event(*event);
  }
  return nullptr;
}

}  // namespace

const ConsoleEvent* find_console_event(int signal_number) {
  for (const ConsoleEvent& event : kConsoleEvents) {
    if (event.signal_number == signal_number) return &event;
  }
  return nullptr;
}

void handle_console_event(const ConsoleEvent& event) {
  // The process is already exiting normally: static objects may be going away, so end at once.
  if (process_exit_started()) std::_Exit(event.exit_status);

  struct sigaction current {};
  switch (event_action(event.signal_number, current)) {
    case EventAction::Ignore: return;
    case EventAction::ProgramHandler: {
      if ((current.sa_flags & SA_SIGINFO) != 0) {
        siginfo_t info{};
        info.si_signo = event.signal_number;
        current.sa_sigaction(event.signal_number, &info, nullptr);
      } else {
        current.sa_handler(event.signal_number);
      }
      return;
    }
    case EventAction::EndProgram: break;
  }
  // Another end was claimed before this event arrived: it is under way and decides.
  if (!claim_end_for_console_event()) return;

  ErrorInserts inserts;
  inserts.text = event.name;
  report_runtime_error(kProgramAbortingDueToEvent, 0, inserts);
  end_process(event.exit_status);
}

bool start_console_event_thread() {
  if (g_event_thread_running.load()) return true;
  const sigset_t set = event_signal_set();
  sigset_t previous;
  pthread_sigmask(SIG_BLOCK, &set, &previous);
  // A descriptor rather than sigwaitinfo: the thread can see that a signal is pending (and
  // claim the end for it) before it takes the signal.
  g_signal_descriptor = signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
  if (g_signal_descriptor < 0) {
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return false;
  }
  if (pthread_create(&g_event_thread, nullptr, event_thread_main, nullptr) != 0) {
    close(g_signal_descriptor);
    g_signal_descriptor = -1;
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return false;
  }
  pthread_detach(g_event_thread);
  g_event_thread_running.store(true);

  struct sigaction action {};
  action.sa_sigaction = pass_to_event_thread;
  action.sa_flags = SA_SIGINFO | SA_RESTART;
  sigemptyset(&action.sa_mask);
  for (const ConsoleEvent& event : kConsoleEvents) sigaction(event.signal_number, &action, nullptr);
  return true;
}

bool hand_over_to_event_thread() {
  if (!g_event_thread_running.load()) return false;
  if (pthread_equal(pthread_self(), g_event_thread) != 0) return false;
  return pthread_kill(g_event_thread, processor_exception_handover_signal()) == 0;
}

bool claim_program_end() {
  if (g_end_claim.load() == EndClaim::Other) return true;
  // A signal sent before this call is pending now, or the event thread has claimed the end
  // for it already (it claims before it takes the signal): either way the event decides.
  if (console_event_pending()) return false;
  EndClaim expected = EndClaim::None;
  return g_end_claim.compare_exchange_strong(expected, EndClaim::Other) || expected == EndClaim::Other;
}

}  // namespace runtime
