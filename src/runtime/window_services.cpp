// The registry of the windowed console's routines. A plain atomic pointer: the console
// registers once at start-up and any thread of the runtime may read it. The registering
// thread is remembered too: the console registers from its GUI thread, and a processor
// exception on that thread must not wait for the GUI thread to show a message box.

#include "runtime/window_services.h"

#include <pthread.h>

#include <atomic>

#include "runtime/support/window_services_owner.h"

namespace runtime {
namespace {
std::atomic<WindowServices*> g_window_services{nullptr};
std::atomic<bool> g_has_registering_thread{false};
std::atomic<pthread_t> g_registering_thread{};
}  // namespace

void register_window_services(WindowServices* services) {
  g_registering_thread.store(pthread_self());
  g_has_registering_thread.store(services != nullptr);
  g_window_services.store(services);
}

WindowServices* window_services() { return g_window_services.load(); }

bool window_services_registered_by_this_thread() {
  return g_has_registering_thread.load() && pthread_equal(g_registering_thread.load(), pthread_self()) != 0;
}

}  // namespace runtime
