// Storage of the exception context.

#include "runtime/support/exception_context.h"

#include <atomic>

namespace runtime {
namespace {
ExceptionContext g_context;
std::atomic<bool> g_context_exists{false};
}  // namespace

ExceptionContext* exception_context() { return g_context_exists.load() ? &g_context : nullptr; }

void allocate_exception_context() { g_context_exists.store(true); }

// Only the flag changes: a handler on another thread may still be reading the storage.
void release_exception_context() { g_context_exists.store(false); }

}  // namespace runtime
