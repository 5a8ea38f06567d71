#pragma once
// Messages of the mathematical library and of the floating-point signal, in their own style:
// "M" and the number, ": MATH", a line break, "- " and the text, a line break. They are
// severe: reporting one shows it (error box captioned "run-time error ", or standard error
// after a line break and "run-time error ") and ends the program with the number as code.

#include <string>
#include <string_view>

namespace runtime {

enum class MathErrorKind { Domain, Singularity, Overflow, Underflow, TotalLoss, PartialLoss };

enum class FloatingSignalKind {
  Invalid,
  Denormal,
  DivideByZero,
  Overflow,
  Underflow,
  Inexact,
  SquareRoot,
  StackOverflow,
  StackUnderflow,
};

// 6201 to 6206.
int math_error_number(MathErrorKind kind);
// 6101 to 6111.
int floating_signal_error_number(FloatingSignalKind kind);

// "M6201: MATH\r\n- log: DOMAIN error\r\n" for `function_name` (the runtime's own routines pass
// "cotan", "sign", "nint", "dim", "cpow", "cabs", "ccos", "csin", "cexp", "clog", "csqrt",
// "**", "fmod" or "mod"; the C library's functions their own names).
std::string build_math_error_message(MathErrorKind kind, std::string_view function_name);
// "M6103: MATH\r\n- floating-point error: divide by zero\r\n".
std::string build_floating_signal_message(FloatingSignalKind kind);

// Shows the message and ends the program (inside the exit handler they only show it).
void report_math_error(MathErrorKind kind, std::string_view function_name);
void report_floating_signal_error(FloatingSignalKind kind);

}  // namespace runtime
