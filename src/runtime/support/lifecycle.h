#pragma once
// Start-up, termination and the services the program calls around them: the main wrapper,
// the command-line arguments that blank-name OPENs consume, the division-flaw check, the
// thread mode, dynamic arrays, STOP, and the exit handler that closes every unit once.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace runtime {

// Initialises the runtime for `arguments` (the program's arguments after its name): unit
// locks, exit handler at process exit, exception context, console-event and processor
// exception handlers, floating-point exceptions masked. Runs once per process.
void start_runtime(std::vector<std::string> arguments);

// The main wrapper: start_runtime, then `main_routine`, then the normal end (with the
// windowing runtime present its program-end sequence, otherwise the exit handler). Returns
// the exit code (0) when the process is to exit normally.
[[nodiscard]] int run_main_wrapper(std::vector<std::string> arguments, const std::function<void()>& main_routine);

// Splits a command line: white space separates arguments; a double quote starts and ends a
// quoted part in which white space is kept; two double quotes inside a quoted part are one.
std::vector<std::string> split_command_line(std::string_view command_line);

// The next command-line argument not yet used by a blank-name OPEN (leading blanks stripped),
// marked used; nothing when all are used.
std::optional<std::string> take_next_command_argument();

// Raises severe error 201 when the division test fails (unless FOR_RUN_FLAWED_PENTIUM is true).
void check_division_flaw();

// Stores *mode as the thread mode unless it is 3; returns the previous mode.
int set_thread_mode(const int* mode);
int thread_mode();

// Flags of allocate_array and deallocate_array.
inline constexpr unsigned kArrayStatusVariable = 1u << 0;    // errors are returned, not reported
inline constexpr unsigned kArrayAlreadyAllocated = 1u << 1;  // allocate: treat as allocated
inline constexpr unsigned kArrayMayBeUnallocated = 1u << 1;  // deallocate: null is no error

// Allocates `bytes` into *pointer. 0, or 151 (already allocated) / 41 (no memory).
int allocate_array(std::size_t bytes, void** pointer, unsigned flags);
// Frees `pointer`. 0, or 153 (not allocated). The caller nulls its pointer afterwards.
int deallocate_array(void* pointer, unsigned flags);

// STOP: `text` (may be empty), `display` (the call's display flag), optional numeric code.
inline constexpr unsigned kStopDisplay = 1u << 0;
[[noreturn]] void stop_program(std::string_view text, unsigned flags, std::optional<std::int64_t> code);

// Closes every connected unit with its default disposition, once per process; a failing
// close is reported and the walk goes on.
void run_exit_handler();

// Registers the routine that the exit handler calls to close every unit (the unit layer).
void set_unit_closer(void (*close_all_units)());

// Ends the process after the exit handler: hands over to the windowing runtime's
// program-end sequence when one is registered, then exits with `exit_code`.
[[noreturn]] void end_process(int exit_code);

}  // namespace runtime
