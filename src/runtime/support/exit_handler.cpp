// The exit handler (closes every unit once, from whichever thread ends the program first) and
// the end of the process.
//
// The process ends with std::_Exit after the exit handler, the windowing runtime's program-end
// sequence and a flush of the standard streams. Once the runtime has started, other threads
// are always running (the GUI thread, the console-event thread); a plain exit() would run
// static destructors underneath them. Everything that must reach a file has been written by
// then: the units by the exit handler, the standard streams by the flush.

#include <stdio.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <iostream>
#include <mutex>
#include <thread>

#include "runtime/support/exception_context.h"
#include "runtime/support/lifecycle.h"
#include "runtime/support/termination.h"
#include "runtime/window_services.h"

namespace runtime {
namespace {

std::atomic<void (*)()> g_unit_closer{nullptr};

enum class HandlerState { NotRun, Running, Done };
std::mutex g_state_mutex;
std::condition_variable g_done;
HandlerState g_state = HandlerState::NotRun;
std::thread::id g_running_thread;
thread_local bool t_running_exit_handler = false;

// How long a second thread waits for the first to finish closing units before it goes on
// ending the process. Bounded so that two threads that end the program at once (a severe error
// on the program thread while the GUI thread closes the frame) can never wait on each other
// for ever.
constexpr auto kWaitForOtherThread = std::chrono::seconds(10);

std::atomic<bool> g_process_exit_started{false};

void exit_handler_at_process_exit() {
  g_process_exit_started.store(true);
  run_exit_handler();
}

}  // namespace

void run_exit_handler() {
  {
    std::unique_lock lock(g_state_mutex);
    if (g_state == HandlerState::Done) return;
    if (g_state == HandlerState::Running) {
      // Re-entered from the closing itself (a report that ends the program): go back to it.
      if (g_running_thread == std::this_thread::get_id()) return;
      g_done.wait_for(lock, kWaitForOtherThread, [] { return g_state == HandlerState::Done; });
      return;
    }
    g_state = HandlerState::Running;
    g_running_thread = std::this_thread::get_id();
  }
  t_running_exit_handler = true;
  // No floating-point mode of this runtime counts traps (every exception is masked), so there
  // are no trap counts to report here.
  if (void (*close_all_units)() = g_unit_closer.load()) close_all_units();
  release_exception_context();
  t_running_exit_handler = false;
  {
    std::lock_guard lock(g_state_mutex);
    g_state = HandlerState::Done;
  }
  g_done.notify_all();
}

void set_unit_closer(void (*close_all_units)()) {
  g_unit_closer.store(close_all_units);
  // Registered again here so that, at process exit, the exit handler runs before the
  // destructors of static objects the unit layer built before it registered its closer.
  static std::atomic<bool> registered{false};
  if (close_all_units != nullptr && !registered.exchange(true)) register_exit_handler_at_exit();
}

bool exit_handler_running_on_this_thread() { return t_running_exit_handler; }

bool process_exit_started() { return g_process_exit_started.load(); }

void register_exit_handler_at_exit() { std::atexit(exit_handler_at_process_exit); }

int process_exit_status(int exit_code) {
  const int status = exit_code & 0xFF;
  return (status == 0 && exit_code != 0) ? 255 : status;
}

void flush_standard_streams() {
  // Only the two output streams: fflush(nullptr) would lock every stream, including standard
  // input while another thread waits in a read on it.
  std::cout.flush();
  std::cerr.flush();
  std::clog.flush();
  fflush(stdout);
  fflush(stderr);
}

bool claim_end_sequence() {
  static std::atomic<bool> claimed{false};
  return !claimed.exchange(true);
}

void end_process(int exit_code) {
  run_exit_handler();
  if (claim_end_sequence()) {
    if (WindowServices* services = window_services()) services->end_program(exit_code);
  }
  flush_standard_streams();
  std::_Exit(process_exit_status(exit_code));
}

}  // namespace runtime
