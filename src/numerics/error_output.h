#pragma once
// Where the numerical library's printed errors go and how the library ends the program. The
// library itself only builds the lines; these two functions hand them on. The program's
// build writes each line as one record under "(A)" to unit 6 (standard output) through the
// formatted I/O runtime and stops through the runtime's STOP with return code 1, so that a
// library error never ends the run with a success status.

#include <span>
#include <string>

namespace numerics {

void print_library_lines(std::span<const std::string> lines);
[[noreturn]] void stop_after_library_error();

}  // namespace numerics
