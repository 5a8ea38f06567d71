// Mathematical-style messages.

#include "runtime/support/math_errors.h"

#include "runtime/support/emission.h"
#include "runtime/support/errors.h"

namespace runtime {
namespace {

struct MathKindText {
  MathErrorKind kind;
  int number;
  std::string_view text;
};
constexpr MathKindText kMathKinds[] = {
    {MathErrorKind::Domain, 6201, "DOMAIN error"}, {MathErrorKind::Singularity, 6202, "SING"},
    {MathErrorKind::Overflow, 6203, "OVERFLOW"},   {MathErrorKind::Underflow, 6204, "UNDERFLOW"},
    {MathErrorKind::TotalLoss, 6205, "TLOSS"},     {MathErrorKind::PartialLoss, 6206, "PLOSS"},
};

struct SignalKindText {
  FloatingSignalKind kind;
  int number;
  std::string_view text;
};
constexpr SignalKindText kSignalKinds[] = {
    {FloatingSignalKind::Invalid, 6101, "invalid"},
    {FloatingSignalKind::Denormal, 6102, "denormal"},
    {FloatingSignalKind::DivideByZero, 6103, "divide by zero"},
    {FloatingSignalKind::Overflow, 6104, "overflow"},
    {FloatingSignalKind::Underflow, 6105, "underflow"},
    {FloatingSignalKind::Inexact, 6106, "inexact"},
    {FloatingSignalKind::SquareRoot, 6108, "square root"},
    {FloatingSignalKind::StackOverflow, 6110, "stack overflow"},
    {FloatingSignalKind::StackUnderflow, 6111, "stack underflow"},
};

const MathKindText& math_kind(MathErrorKind kind) {
  for (const MathKindText& entry : kMathKinds) {
    if (entry.kind == kind) return entry;
  }
  return kMathKinds[0];
}

const SignalKindText& signal_kind(FloatingSignalKind kind) {
  for (const SignalKindText& entry : kSignalKinds) {
    if (entry.kind == kind) return entry;
  }
  return kSignalKinds[0];
}

std::string math_style(int number, std::string_view text) {
  std::string message = "M";
  message.append(std::to_string(number)).append(": MATH\r\n- ").append(text).append("\r\n");
  return message;
}

}  // namespace

int math_error_number(MathErrorKind kind) { return math_kind(kind).number; }

int floating_signal_error_number(FloatingSignalKind kind) { return signal_kind(kind).number; }

std::string build_math_error_message(MathErrorKind kind, std::string_view function_name) {
  std::string text(function_name);
  text.append(": ").append(math_kind(kind).text);
  return math_style(math_kind(kind).number, text);
}

std::string build_floating_signal_message(FloatingSignalKind kind) {
  std::string text = "floating-point error: ";
  text.append(signal_kind(kind).text);
  return math_style(signal_kind(kind).number, text);
}

void report_math_error(MathErrorKind kind, std::string_view function_name) {
  emit_message_text(build_math_error_message(kind, function_name), kMathErrorCaption, Severity::Severe,
                    math_error_number(kind));
}

void report_floating_signal_error(FloatingSignalKind kind) {
  emit_message_text(build_floating_signal_message(kind), kMathErrorCaption, Severity::Severe,
                    floating_signal_error_number(kind));
}

}  // namespace runtime
