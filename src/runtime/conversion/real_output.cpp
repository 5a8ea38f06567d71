// Real output fields: Fw.d, the exponent forms Ew.d(Ee), Dw.d, ENw.d(Ee), ESw.d(Ee), the
// general form Gw.d(Ee), and the texts Infinity and NaN.
//
// Layout choices:
// - The scale factor k moves the decimal point of the exact digits (F: value times 10^k;
//   E and D: k digits before the point, d - k + 1 after, or |k| zeros after the point and
//   d + k significant digits). EN and ES ignore it, as does G when it picks the F form.
// - E and D with a scale factor outside -d < k < d + 2 have no valid layout: the field holds
//   asterisks and the status is kInvalidFlags (an invalid argument, output error 63).
// - Exponent part: without Ee, a letter, a sign and two digits up to 99, a sign and three
//   digits (no letter) up to 999, asterisks beyond; with Ee (e >= 1), the letter, a sign and
//   e digits, asterisks when the exponent needs more; E0 counts as no Ee.
// - G picks the F form when the value rounded to d significant digits lies in [0.1, 10^d):
//   F(w-n).(d-s) with s the integer digits, then n blanks (n = e + 2, or 4); zero uses
//   F(w-n).(d-1). Otherwise the E form with the scale factor.
// - Infinity and NaN stand right-justified in the field; a + precedes Infinity under SP.

#include <charconv>
#include <cmath>
#include <cstring>

#include "runtime/conversion/conversion_internal.h"
#include "runtime/support/short_copy.h"

namespace runtime::conversion_detail {
namespace {

std::int64_t floor_mod3(std::int64_t value) {
  const std::int64_t r = value % 3;
  return r < 0 ? r + 3 : r;
}

// Fills the exponent part of `number` for `exponent`; false when it cannot be written.
bool set_exponent(NumberField& number, std::int64_t exponent, char letter, bool has_e, std::int64_t exponent_digits,
                  char (&text)[24]) {
  const std::uint64_t magnitude =
      exponent < 0 ? static_cast<std::uint64_t>(-exponent) : static_cast<std::uint64_t>(exponent);
  const auto written = std::to_chars(text, text + sizeof text, magnitude);
  const auto digit_count = static_cast<std::int64_t>(written.ptr - text);
  std::int64_t field_digits = 0;
  if (has_e && exponent_digits > 0) {
    if (digit_count > exponent_digits) return false;
    field_digits = exponent_digits;
    number.exponent_letter = letter;
  } else if (magnitude <= 99) {
    field_digits = 2;
    number.exponent_letter = letter;
  } else if (magnitude <= 999) {
    field_digits = 3;
    number.exponent_letter = 0;
  } else {
    return false;
  }
  number.has_exponent = true;
  number.exponent_sign = exponent < 0 ? '-' : '+';
  number.exponent_zeros = field_digits - digit_count;
  number.exponent_digits = std::string_view(text, static_cast<std::size_t>(digit_count));
  return true;
}

}  // namespace

int write_special_value(double value, SignMode sign, char* field, std::int64_t width, std::int64_t trailing_blanks) {
  const bool nan = std::isnan(value);
  char text[10];
  std::size_t length = 0;
  if (!nan) {
    if (std::signbit(value)) {
      text[length++] = '-';
    } else if (sign == SignMode::Plus) {
      text[length++] = '+';
    }
  }
  const char* word = nan ? "NaN" : "Infinity";
  const std::size_t word_length = std::strlen(word);
  std::memcpy(text + length, word, word_length);
  length += word_length;
  char* out = right_justify(field, width, static_cast<std::int64_t>(length) + trailing_blanks);
  if (out == nullptr) return kFieldOverflow;
  std::memcpy(out, text, length);
  std::memset(out + length, ' ', static_cast<std::size_t>(trailing_blanks));
  return nan ? kConvertedNaN : kConvertedInfinity;
}

namespace {

// Fw.d without a scale factor, the form of every value in the series file: the fixed text
// ("iii.fff", exact digits rounded ties to even) already has the layout of the field, so it
// is copied as it stands.
int write_fixed_unscaled(double value, std::int64_t fraction_digits, SignMode sign, char* field, std::int64_t width,
                         std::int64_t trailing_blanks) {
  // A series has random signs and magnitudes on either side of 1: the layout below decides
  // with arithmetic and conditional moves rather than branches, which would each be
  // mispredicted for about every other value.
  char text[kDigitBufferSize];
  const bool negative = std::signbit(value);
  const auto precision = static_cast<int>(fraction_digits);
  const char* const end = fixed_text(std::fabs(value), precision, text, text + sizeof text);
  const std::int64_t length = end - text;  // with the point when precision > 0
  const std::int64_t integer_digits = precision > 0 ? length - precision - 1 : length;
  const bool integer_is_zero = (integer_digits == 1) & (text[0] == '0');
  // All digits are zero only if the first fraction digit is: only then is the rest looked at.
  const char first_fraction_digit = precision > 0 ? end[-precision] : '0';
  bool digits_are_zero = negative & integer_is_zero & (first_fraction_digit == '0');
  for (const char* p = end - precision; p < end && digits_are_zero; ++p) digits_are_zero = *p == '0';
  const char sign_char = sign_character(negative, digits_are_zero, sign);
  // The body is the fixed text without its lone integer 0, plus the point when d = 0.
  const char* body = text + (integer_is_zero ? 1 : 0);
  const std::int64_t body_length = length - (integer_is_zero ? 1 : 0) + (precision == 0 ? 1 : 0);
  const std::int64_t required = (sign_char != 0 ? 1 : 0) + body_length + trailing_blanks;
  const bool zero_before_point = integer_is_zero & ((precision == 0) | (required < width));
  char* out = right_justify(field, width, required + (zero_before_point ? 1 : 0));
  if (out == nullptr) return kFieldOverflow;
  // The sign and the zero are stored either way and kept only when they belong: at least one
  // body character follows, so a column not kept is written over.
  *out = sign_char;
  out += sign_char != 0 ? 1 : 0;
  *out = '0';
  out += zero_before_point ? 1 : 0;
  if (precision == 0) {
    copy_short(out, body, static_cast<std::size_t>(body_length - 1));
    out[body_length - 1] = '.';
  } else {
    copy_short(out, body, static_cast<std::size_t>(body_length));
  }
  out += body_length;
  if (trailing_blanks > 0) std::memset(out, ' ', static_cast<std::size_t>(trailing_blanks));
  return kConverted;
}

}  // namespace

int write_fixed(double value, std::int64_t fraction_digits, std::int32_t scale, SignMode sign, char* field,
                std::int64_t width, std::int64_t trailing_blanks) {
  if (!std::isfinite(value)) return write_special_value(value, sign, field, width);
  // Up to 1000 digits after the point, the fixed text fits the digit buffer whole.
  if (scale == 0 && fraction_digits <= 1000 && fraction_digits + 1 + trailing_blanks <= width) {
    return write_fixed_unscaled(value, fraction_digits, sign, field, width, trailing_blanks);
  }
  // The point and the fraction alone may already be too wide: no digits needed then.
  if (fraction_digits + 1 + trailing_blanks > width) {
    fill_asterisks(field, width);
    return kFieldOverflow;
  }
  const bool negative = std::signbit(value);
  DigitBuffer buffer;
  NumberField number;
  number.source = round_to_fraction_digits(std::fabs(value), fraction_digits + scale, buffer);
  number.source.point += scale;
  number.sign = sign_character(negative, negative && number.source.is_zero(), sign);
  number.fraction_digits = fraction_digits;
  number.leading_zero = fraction_digits == 0 ? LeadingZero::Required : LeadingZero::Optional;
  number.trailing_blanks = trailing_blanks;
  return write_number_field(number, field, width);
}

int write_exponent_form(double value, const ExponentForm& form, SignMode sign, char* field, std::int64_t width) {
  if (!std::isfinite(value)) return write_special_value(value, sign, field, width);
  const std::int64_t d = form.fraction_digits;
  const double magnitude = std::fabs(value);
  DigitBuffer buffer;
  NumberField number;
  std::int64_t exponent = 0;

  switch (form.kind) {
    case DescriptorKind::EN: {
      // Mantissa in [1, 1000) with an exponent that is a multiple of 3.
      if (magnitude == 0.0) {
        number.source = {buffer.text, 0, 1};
        break;
      }
      const std::int64_t true_exponent = decimal_exponent(magnitude);
      const std::int64_t integer_digits = floor_mod3(true_exponent) + 1;
      const SignificantDigits rounded = round_to_significant_digits(magnitude, integer_digits + d, buffer);
      if (rounded.exponent == true_exponent) {
        number.source = {rounded.digits, rounded.length, integer_digits};
        exponent = true_exponent - floor_mod3(true_exponent);
      } else {
        // Rounding carried into the next power of ten: the value is exactly 10^x.
        const std::int64_t x = true_exponent + 1;
        buffer.text[0] = '1';
        number.source = {buffer.text, 1, floor_mod3(x) + 1};
        exponent = x - floor_mod3(x);
      }
      break;
    }
    case DescriptorKind::ES: {
      const SignificantDigits rounded = round_to_significant_digits(magnitude, d + 1, buffer);
      number.source = {rounded.digits, rounded.length, 1};
      exponent = rounded.exponent;
      break;
    }
    default: {  // E and D
      const std::int64_t k = form.scale;
      if (k <= 0 ? d + k < 1 : k > d + 1) {
        fill_asterisks(field, width);
        return kInvalidFlags;
      }
      const std::int64_t significant = k <= 0 ? d + k : d + 1;
      const SignificantDigits rounded = round_to_significant_digits(magnitude, significant, buffer);
      number.source = {rounded.digits, rounded.length, k};
      exponent = magnitude == 0.0 ? 0 : rounded.exponent + 1 - k;
      break;
    }
  }
  // E and D with k > 0 keep d - k + 1 fraction digits; every other form keeps d.
  const bool scaled_up = (form.kind == DescriptorKind::E || form.kind == DescriptorKind::D) && form.scale > 0;
  number.fraction_digits = scaled_up ? d - form.scale + 1 : d;
  number.sign = sign_character(std::signbit(value), number.source.is_zero(), sign);
  number.leading_zero = LeadingZero::Optional;
  char exponent_text[24];
  const char letter = form.kind == DescriptorKind::D ? 'D' : 'E';
  if (!set_exponent(number, exponent, letter, form.has_e, form.exponent_digits, exponent_text)) {
    fill_asterisks(field, width);
    return kFieldOverflow;
  }
  return write_number_field(number, field, width);
}

int write_general_real(double value, const ExponentForm& form, SignMode sign, char* field, std::int64_t width) {
  if (!std::isfinite(value)) return write_special_value(value, sign, field, width);
  const std::int64_t d = form.fraction_digits;
  const std::int64_t blanks = (form.has_e && form.exponent_digits > 0) ? form.exponent_digits + 2 : 4;
  ExponentForm exponent_form = form;
  exponent_form.kind = DescriptorKind::E;
  if (d < 1) return write_exponent_form(value, exponent_form, sign, field, width);
  if (value == 0.0) return write_fixed(value, d - 1, 0, sign, field, width, blanks);
  DigitBuffer buffer;
  const SignificantDigits rounded = round_to_significant_digits(std::fabs(value), d, buffer);
  const std::int64_t integer_digits = rounded.exponent + 1;
  if (integer_digits >= 0 && integer_digits <= d) {
    return write_fixed(value, d - integer_digits, 0, sign, field, width, blanks);
  }
  return write_exponent_form(value, exponent_form, sign, field, width);
}

}  // namespace runtime::conversion_detail
