#pragma once
// Internal pieces of ending the process, shared by the exit handler, STOP, console events and
// processor exceptions.

namespace runtime {

// True while this thread runs the exit handler (a severe error reported then must not end
// the program: the handler goes on with the next unit).
bool exit_handler_running_on_this_thread();

// The status the process exits with for `exit_code`. The system keeps only the low 8 bits;
// a non-zero code whose low 8 bits are 0 (such as error 256) would read as success, so it
// becomes 255 instead.
int process_exit_status(int exit_code);

// Writes what the C and C++ standard streams hold for standard output and standard error.
void flush_standard_streams();

// True once the process has begun its normal exit (static destructors may be running).
bool process_exit_started();

// True for the first caller only: the windowing runtime's program-end sequence runs once,
// and a second thread that ends the process meanwhile exits without a second end box.
bool claim_end_sequence();

// Registers the exit handler to run at process exit (once; later calls do nothing).
void register_exit_handler_at_exit();

}  // namespace runtime
