// The console-event thread: sigwaitinfo on control-C, control-BREAK, window-CLOSE and the
// processor-exception hand-over.

#include "runtime/support/console_events.h"

#include <errno.h>
#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <cstdlib>

#include "runtime/statement_flags.h"
#include "runtime/support/errors.h"
#include "runtime/support/lifecycle.h"
#include "runtime/support/processor_exceptions.h"
#include "runtime/support/termination.h"

namespace runtime {
namespace {

constexpr ConsoleEvent kConsoleEvents[] = {
    {SIGINT, "control-C", 0},
    {SIGQUIT, "control-BREAK", 1},
    {SIGHUP, "window-CLOSE", 2},
};

std::atomic<bool> g_event_thread_running{false};
pthread_t g_event_thread;

sigset_t event_signal_set() {
  sigset_t set;
  sigemptyset(&set);
  for (const ConsoleEvent& event : kConsoleEvents) sigaddset(&set, event.signal_number);
  sigaddset(&set, processor_exception_handover_signal());
  return set;
}

// Installed for the console-event signals: a thread that does not block them (one created
// before the runtime started) passes them to the event thread, which does.
void pass_to_event_thread(int signal_number, siginfo_t*, void*) {
  const int saved_errno = errno;
  if (g_event_thread_running.load()) pthread_kill(g_event_thread, signal_number);
  errno = saved_errno;
}

bool is_pass_on_handler(const struct sigaction& action) {
  return (action.sa_flags & SA_SIGINFO) != 0 && action.sa_sigaction == pass_to_event_thread;
}

void* event_thread_main(void*) {
  const sigset_t set = event_signal_set();
  const int handover = processor_exception_handover_signal();
  for (;;) {
    siginfo_t info{};
    const int signal_number = sigwaitinfo(&set, &info);
    if (signal_number < 0) continue;  // EINTR: a signal outside the set was handled here
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
  sigaction(event.signal_number, nullptr, &current);
  if ((current.sa_flags & SA_SIGINFO) != 0 && !is_pass_on_handler(current)) {
    siginfo_t info{};
    info.si_signo = event.signal_number;
    current.sa_sigaction(event.signal_number, &info, nullptr);
    return;
  }
  if ((current.sa_flags & SA_SIGINFO) == 0) {
    if (current.sa_handler == SIG_IGN) return;
    if (current.sa_handler != SIG_DFL) {
      current.sa_handler(event.signal_number);
      return;
    }
  }

  ErrorInserts inserts;
  inserts.text = event.name;
  report_runtime_error(200, 0, inserts);
  end_process(event.exit_status);
}

bool start_console_event_thread() {
  if (g_event_thread_running.load()) return true;
  const sigset_t set = event_signal_set();
  sigset_t previous;
  pthread_sigmask(SIG_BLOCK, &set, &previous);
  if (pthread_create(&g_event_thread, nullptr, event_thread_main, nullptr) != 0) {
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

}  // namespace runtime
