// Lays out a numeric output field from its parts: blanks, sign, integer digits or a leading
// 0, the point, fraction digits, an exponent and trailing blanks, or asterisks when the parts
// do not fit the width.

#include <algorithm>
#include <cstring>

#include "runtime/conversion/conversion_internal.h"
#include "runtime/support/short_copy.h"

namespace runtime::conversion_detail {
namespace {

// Copies source positions [from, to) to `out`; positions outside the stored digits are zeros.
char* copy_digits(const DecimalDigits& source, std::int64_t from, std::int64_t to, char* out) {
  if (from >= to) return out;
  const std::int64_t stored_from = std::clamp<std::int64_t>(from, 0, source.length);
  const std::int64_t stored_to = std::clamp<std::int64_t>(to, 0, source.length);
  if (stored_from >= stored_to) {  // nothing stored in range: all zeros
    std::memset(out, '0', static_cast<std::size_t>(to - from));
    return out + (to - from);
  }
  std::memset(out, '0', static_cast<std::size_t>(stored_from - from));
  out += stored_from - from;
  std::memcpy(out, source.digits + stored_from, static_cast<std::size_t>(stored_to - stored_from));
  out += stored_to - stored_from;
  std::memset(out, '0', static_cast<std::size_t>(to - stored_to));
  return out + (to - stored_to);
}

}  // namespace

void fill_asterisks(char* field, std::int64_t width) {
  if (width > 0) std::memset(field, '*', static_cast<std::size_t>(width));
}

char* right_justify(char* field, std::int64_t width, std::int64_t length) {
  if (length > width) {
    fill_asterisks(field, width);
    return nullptr;
  }
  fill_short(field, ' ', static_cast<std::size_t>(width - length));
  return field + (width - length);
}

int write_number_field(const NumberField& number, char* field, std::int64_t width) {
  const DecimalDigits& source = number.source;
  // Leading zeros of the integer part are not written.
  // Positions outside the stored digits are zeros, so the scan stops at the stored end.
  const std::int64_t integer_end = source.point;
  std::int64_t integer_begin = std::max<std::int64_t>(number.integer_begin, 0);
  while (integer_begin < integer_end && integer_begin < source.length && source.digits[integer_begin] == '0') {
    ++integer_begin;
  }
  if (integer_begin >= source.length) integer_begin = integer_end;
  const std::int64_t integer_digits = std::max<std::int64_t>(integer_end - integer_begin, 0);

  std::int64_t exponent_length = 0;
  if (number.has_exponent) {
    exponent_length = (number.exponent_letter != 0 ? 1 : 0) + 1 + number.exponent_zeros +
                      static_cast<std::int64_t>(number.exponent_digits.size());
  }
  const std::int64_t required = (number.sign != 0 ? 1 : 0) + integer_digits + 1 + number.fraction_digits +
                                exponent_length + number.trailing_blanks;
  bool zero_before_point = false;
  if (integer_digits == 0) {
    zero_before_point = number.leading_zero == LeadingZero::Required || required < width;
  }
  char* out = right_justify(field, width, required + (zero_before_point ? 1 : 0));
  if (out == nullptr) return kFieldOverflow;
  if (number.sign != 0) *out++ = number.sign;
  if (zero_before_point) *out++ = '0';
  out = copy_digits(source, integer_begin, integer_end, out);
  *out++ = '.';
  out = copy_digits(source, source.point, source.point + number.fraction_digits, out);
  if (number.has_exponent) {
    if (number.exponent_letter != 0) *out++ = number.exponent_letter;
    *out++ = number.exponent_sign;
    std::memset(out, '0', static_cast<std::size_t>(number.exponent_zeros));
    out += number.exponent_zeros;
    std::memcpy(out, number.exponent_digits.data(), number.exponent_digits.size());
    out += number.exponent_digits.size();
  }
  std::memset(out, ' ', static_cast<std::size_t>(number.trailing_blanks));
  return kConverted;
}

}  // namespace runtime::conversion_detail
