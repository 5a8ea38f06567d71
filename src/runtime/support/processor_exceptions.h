#pragma once
// Processor exceptions: SIGSEGV, SIGBUS, SIGILL, SIGFPE and SIGTRAP become numbered run-time
// errors. The handler runs on an alternate signal stack (so a stack overflow can still be
// reported), copies the exception into the exception context, builds the message and its
// traceback in static storage without locks or allocation, writes it to the diagnostic log
// (and to standard error when no error box can show it), and hands the rest (the error box,
// the exit handler, the program-end sequence) to the console-event thread. The process then
// ends with the error number as its status.
//
// With FOR_IGNORE_EXCEPTIONS true the exception goes on to the handler that was installed
// before, or to the system's default action.

#include <signal.h>

namespace runtime {

// The error number of a processor exception. `stack_pointer` is the faulting thread's stack
// pointer (0 when unknown); a segment violation just below it is a stack overflow (170).
int processor_exception_error(int signal_number, int signal_code, const void* fault_address,
                              unsigned long stack_pointer);

// Installs the handlers and, when the calling thread has none, an alternate signal stack.
void install_processor_exception_handlers();

// Gives the calling thread an alternate signal stack when it has none (a few threads only: the
// one that starts the runtime and the one that runs the main routine), so that a stack overflow
// on it can still be reported.
void ensure_alternate_signal_stack();

// The real-time signal with which a handler hands its prepared report to the event thread.
int processor_exception_handover_signal();

// Runs on the event thread: shows the prepared report, runs the exit handler and ends the
// process. Does not return.
[[noreturn]] void finish_processor_exception();

}  // namespace runtime
