// Exact decimal digits of doubles. std::to_chars with a precision produces the exact decimal
// expansion rounded at the requested digit with ties to even, which is the rounding rule of
// every real output field; this file adapts it to rounding positions left of the point and to
// precisions beyond what a double's expansion needs.

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#include "runtime/conversion/conversion_internal.h"

namespace runtime::conversion_detail {
namespace {

// A double's exact expansion has at most 1074 fraction digits and 767 significant digits:
// precisions beyond these only add zeros, which DecimalDigits supplies implicitly.
constexpr std::int64_t kMaxFixedPrecision = 1100;
constexpr std::int64_t kMaxSignificantDigits = 800;

// Rounds to a position left of the point: drops `dropped` (> 0) integer digits.
DecimalDigits round_integer_part(double magnitude, std::int64_t dropped, DigitBuffer& buffer) {
  DecimalDigits result;
  result.digits = buffer.text + 1;
  const double integer_part = std::floor(magnitude);
  const double fraction = magnitude - integer_part;  // exact for doubles
  // One slot is kept free in front for a carry out of the top digit.
  char* const first = buffer.text + 1;
  const auto written = std::to_chars(first, buffer.text + kDigitBufferSize, integer_part, std::chars_format::fixed, 0);
  std::int64_t count = written.ptr - first;
  if (count == 1 && first[0] == '0') count = 0;  // no integer digits at all

  if (dropped > count) {  // the value is below a tenth of the rounding unit: it rounds to 0
    result.length = 0;
    result.point = dropped;
    return result;
  }
  const std::int64_t kept = count - dropped;
  bool round_up = false;
  const char first_dropped = first[kept];
  if (first_dropped > '5') {
    round_up = true;
  } else if (first_dropped == '5') {
    bool beyond_half = fraction > 0.0;
    for (std::int64_t i = kept + 1; i < count && !beyond_half; ++i) beyond_half = first[i] != '0';
    if (beyond_half) {
      round_up = true;
    } else {  // an exact tie: round to even (an empty kept part counts as 0, which is even)
      round_up = kept > 0 && ((first[kept - 1] - '0') % 2 == 1);
    }
  }
  char* digits = first;
  std::int64_t length = kept;
  if (round_up) {
    std::int64_t i = kept - 1;
    while (i >= 0 && first[i] == '9') first[i--] = '0';
    if (i >= 0) {
      ++first[i];
    } else {
      digits = buffer.text;
      digits[0] = '1';
      ++length;
    }
  }
  result.digits = digits;
  result.length = length;
  result.point = length + dropped;
  return result;
}

}  // namespace

bool DecimalDigits::is_zero() const {
  for (std::int64_t i = 0; i < length; ++i) {
    if (digits[i] != '0') return false;
  }
  return true;
}

DecimalDigits round_to_fraction_digits(double magnitude, std::int64_t fraction_digits, DigitBuffer& buffer) {
  if (fraction_digits < 0) {
    // Beyond 330 dropped digits every double rounds to 0.
    return round_integer_part(magnitude, std::min<std::int64_t>(-fraction_digits, 330), buffer);
  }
  const int precision = static_cast<int>(std::min(fraction_digits, kMaxFixedPrecision));
  char* const first = buffer.text + 1;
  const auto written =
      std::to_chars(first, buffer.text + kDigitBufferSize, magnitude, std::chars_format::fixed, precision);
  DecimalDigits result;
  const std::int64_t count = written.ptr - first;
  if (precision == 0) {  // no point written
    result.digits = first;
    result.length = count;
    result.point = count;
    return result;
  }
  // "iii.fff" with exactly `precision` fraction digits: moving the integer digits (usually
  // one) over the point joins the two parts.
  const std::int64_t integer_digits = count - precision - 1;
  std::memmove(first + 1, first, static_cast<std::size_t>(integer_digits));
  result.digits = first + 1;
  result.length = count - 1;
  result.point = integer_digits;
  return result;
}

SignificantDigits round_to_significant_digits(double magnitude, std::int64_t significant, DigitBuffer& buffer) {
  SignificantDigits result;
  result.digits = buffer.text;
  if (magnitude == 0.0) return result;
  const int precision = static_cast<int>(std::clamp<std::int64_t>(significant, 1, kMaxSignificantDigits) - 1);
  char* const first = buffer.text + 1;
  const auto written =
      std::to_chars(first, buffer.text + kDigitBufferSize, magnitude, std::chars_format::scientific, precision);
  // "d.ddde+XX" (or "de+XX" without fraction digits): the exponent follows the digits.
  char* const exponent_mark = first + (precision == 0 ? 1 : precision + 2);
  int exponent = 0;
  std::from_chars(exponent_mark + (exponent_mark[1] == '+' ? 2 : 1), written.ptr, exponent);
  if (precision > 0) first[1] = first[0];  // the first digit moves over the point
  result.digits = first + (precision == 0 ? 0 : 1);
  result.length = precision + 1;
  result.exponent = exponent;
  return result;
}

std::int64_t decimal_exponent(double magnitude) {
  DigitBuffer buffer;
  // 17 significant digits tell the exponent unless rounding carried into a new power of ten,
  // which shows as 1.0000000000000000; then the exact expansion decides.
  SignificantDigits probe = round_to_significant_digits(magnitude, 17, buffer);
  bool all_zero_after_one = probe.digits[0] == '1';
  for (std::int64_t i = 1; i < probe.length && all_zero_after_one; ++i) {
    all_zero_after_one = probe.digits[i] == '0';
  }
  if (!all_zero_after_one) return probe.exponent;
  return round_to_significant_digits(magnitude, kMaxSignificantDigits, buffer).exponent;
}

}  // namespace runtime::conversion_detail
