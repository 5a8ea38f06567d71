#pragma once
// The exception context: the signal information and the processor context of the last
// processor exception. It lives in static storage (a signal handler must not allocate); it
// "exists" from start-up until the exit handler releases it.

#include <signal.h>
#include <ucontext.h>

namespace runtime {

struct ExceptionContext {
  siginfo_t info;
  ucontext_t machine;
  bool holds_exception;      // info and machine were filled by an exception
  bool marked_for_debugger;  // FOR__IS_DEBUGGER_PRESENT was true at the exception
};

// The context, or null when it does not exist (before start-up, after the exit handler).
ExceptionContext* exception_context();
void allocate_exception_context();
void release_exception_context();

}  // namespace runtime
