#pragma once
// The low-level steps of emitting a run-time message and of ending the program after a
// severe error. Everything here except end_after_severe_error is safe inside a signal handler
// (no locks, no allocation), because the processor-exception handler uses the same steps.

#include <cstddef>
#include <string_view>

namespace runtime {

// Caption of the error box for standard-style messages.
inline constexpr std::string_view kRuntimeErrorCaption = "Quillon run-time error ";
// Caption of the error box, and lead-in on standard error, for mathematical-style messages.
inline constexpr std::string_view kMathErrorCaption = "run-time error ";

// Writes all of `bytes` to `fd`, resuming after interruptions and partial writes: the one
// retry loop of every descriptor write in the runtime. Returns 0, or the errno value of the
// refusal (EIO when the descriptor takes nothing) with `written` telling how many bytes
// reached it.
[[nodiscard]] int write_fully(int fd, std::string_view bytes, std::size_t& written);

// write_fully for callers that only ask whether everything was written. Returns false when
// the descriptor refuses the data (closed, full device); nothing else happens then.
bool write_all(int fd, std::string_view text);

// Once per process: when FORT0 names a file, standard error is reopened on it in append mode.
// Returns the system error number when the file cannot be opened (standard error is then left
// as it was), else 0.
[[nodiscard]] int redirect_standard_error_once();

// Writes `text` with every line end that is a bare line feed written as CR LF.
bool write_with_record_ends(int fd, std::string_view text);

// Appends `text` to the file named by FOR_DIAGNOSTIC_LOG_FILE, when set, its lines ended by
// CR LF as the runtime's records are. Returns the system error number when the file cannot
// be written, else 0.
[[nodiscard]] int append_to_diagnostic_log(std::string_view text);

// FOR_GENERATE_DEBUG_EXCEPTION for a severe error `number`: true when the switch is set, the
// exception context exists, is not marked for the debugger, and the error is not 169.
bool debug_exception_requested(int number);
// Raises the trap signal with its default action: a debugger stops here; without one the
// process ends with a core dump. Does not return unless a debugger resumes it.
void raise_debug_exception();
// f77_dump_flag (or, when unset, harrowfort_dump_flag) begins with Y or y.
bool core_dump_requested();
// abort() with the default action, which writes a core dump where the system allows it.
[[noreturn]] void abort_with_core_dump();

// The end of a severe error (not signal-safe): the exit handler, a break into the debugger
// when FOR__IS_DEBUGGER_PRESENT is true, the core dump when requested, then end_process.
[[noreturn]] void end_after_severe_error(int exit_code);

}  // namespace runtime
