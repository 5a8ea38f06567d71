#pragma once
// The printed form of the numerical library's errors: the error types and their names, the
// routine name as printed, and the message cut into lines. An error prints as
//   " *** TERMINAL ERROR 1 from DRNUN.  NR = 0.  NR must be greater than or equal to 1."
// wrapped at blanks to the line width, continuation lines starting with " ***          ".
// A "%/" in the message forces a line break there.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace numerics {

// Error types; 0 means no error is pending.
inline constexpr int kNoError = 0;
inline constexpr int kNote = 1;
inline constexpr int kAlert = 2;
inline constexpr int kWarning = 3;
inline constexpr int kFatal = 4;
inline constexpr int kTerminal = 5;
inline constexpr int kWarningImmediate = 6;
inline constexpr int kFatalImmediate = 7;

inline constexpr std::size_t kPrintedLineWidth = 72;
inline constexpr std::string_view kFirstLinePrefix = " *** ";
inline constexpr std::string_view kContinuationPrefix = " ***          ";

// "NOTE", "ALERT", "WARNING", "FATAL", "TERMINAL", "WARNING", "FATAL" for types 1..7; empty
// for any other number.
std::string_view error_type_name(int type);

// The routine name as printed: trailing blanks dropped, and the first letter raised to upper
// case when the second letter is an upper-case letter ("dRNUN" prints as "DRNUN").
std::string printed_routine_name(std::string_view name);

// The lines of an error of `type` with `code` raised by `routine` (no " from ..." part when
// the routine name is blank).
std::vector<std::string> format_error_lines(int type, int code, std::string_view routine, std::string_view message,
                                            std::size_t width = kPrintedLineWidth);

// The lines of a message printed without a type header (the stack's own errors).
std::vector<std::string> format_plain_lines(std::string_view message, std::size_t width = kPrintedLineWidth);

}  // namespace numerics
