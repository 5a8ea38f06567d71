#pragma once
// Pieces shared by the conversion files and used nowhere else: exact decimal digits of a
// double, the layout of a numeric output field, and the writers that each data descriptor
// family uses. Item access lives in item_values.h.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "runtime/conversion/conversion.h"
#include "runtime/conversion/item_values.h"

namespace runtime::conversion_detail {

// ---- Exact decimal digits ----------------------------------------------------------------

// A digit string with a decimal point: the number is 0.d... shifted so that `point` digits
// stand before the point. Positions outside [0, length) read as '0', so leading and trailing
// zeros need no storage (a fraction of 30000 digits costs nothing).
struct DecimalDigits {
  const char* digits = nullptr;
  std::int64_t length = 0;
  std::int64_t point = 0;

  char at(std::int64_t position) const { return (position >= 0 && position < length) ? digits[position] : '0'; }
  bool is_zero() const;
};

// Room for the longest digit string produced below: 309 integer digits and the at most 1074
// fraction digits that a double's exact expansion has, with slack.
inline constexpr std::size_t kDigitBufferSize = 1600;
struct DigitBuffer {
  char text[kDigitBufferSize];
};

// `magnitude` (finite, >= 0) rounded to `fraction_digits` digits after the point, ties to
// even. A negative count rounds to the left of the point (-2: to hundreds).
DecimalDigits round_to_fraction_digits(double magnitude, std::int64_t fraction_digits, DigitBuffer& buffer);

// `magnitude` (finite, >= 0) rounded to `significant` (>= 1) significant digits, ties to even.
// The result reads d1.d2d3... times 10^exponent; zero gives no digits and exponent 0.
struct SignificantDigits {
  const char* digits = nullptr;
  std::int64_t length = 0;
  std::int64_t exponent = 0;
};
SignificantDigits round_to_significant_digits(double magnitude, std::int64_t significant, DigitBuffer& buffer);

// floor(log10(magnitude)) computed exactly, for a finite magnitude > 0.
std::int64_t decimal_exponent(double magnitude);

// ---- Fixed-point text ---------------------------------------------------------------------

// The largest fraction digit count that exact_fixed_text handles (5^27 < 2^64).
inline constexpr int kExactFixedDigitsLimit = 27;

// The text std::to_chars writes for `magnitude` (finite, >= 0) in fixed notation with
// `fraction_digits` digits after the point ("iii.fff", the integer part at least "0", no point
// when there are no fraction digits), made by exact integer arithmetic from the binary value,
// rounded ties to even. Returns the end of the text, or null (nothing written) when the
// count exceeds kExactFixedDigitsLimit or the rounded value needs more than 19 digits. `out`
// needs room for 20 + fraction_digits characters.
char* exact_fixed_text(double magnitude, int fraction_digits, char* out);

// The same text for any finite magnitude: exact_fixed_text, or std::to_chars where that
// declines. Returns the end.
char* fixed_text(double magnitude, int fraction_digits, char* begin, char* end);

// ---- Numeric field layout ----------------------------------------------------------------

enum class LeadingZero : std::uint8_t { Optional, Required };

// One numeric field: [sign][integer digits | 0].[fraction digits][exponent][trailing blanks],
// right-justified with blanks on the left. Integer digits come from `source` positions
// [integer_begin, source.point) with leading zeros dropped; fraction digits from
// [source.point, source.point + fraction_digits).
struct NumberField {
  char sign = 0;  // 0, '-' or '+'
  DecimalDigits source;
  std::int64_t integer_begin = 0;
  std::int64_t fraction_digits = 0;
  // When no integer digit remains: Optional puts a 0 before the point only if the field has
  // room for it; Required always does (a field such as "0." would otherwise hold no digit).
  LeadingZero leading_zero = LeadingZero::Optional;
  // Exponent: optional letter, sign, `exponent_zeros` zeros, then the digits.
  bool has_exponent = false;
  char exponent_letter = 0;
  char exponent_sign = '+';
  std::int64_t exponent_zeros = 0;
  std::string_view exponent_digits;
  std::int64_t trailing_blanks = 0;
};

// Writes the field into `field` (exactly `width` characters). Returns kConverted, or
// kFieldOverflow with the field full of asterisks when it does not fit.
[[nodiscard]] int write_number_field(const NumberField& number, char* field, std::int64_t width);

// The layout of every numeric field: a text of `length` characters stands right-justified in
// the `width` columns of `field`, blanks before it. Writes the blanks and returns where the
// text goes; or, when the text does not fit, fills the field with asterisks and returns null
// (the writer's status is then kFieldOverflow).
char* right_justify(char* field, std::int64_t width, std::int64_t length);

void fill_asterisks(char* field, std::int64_t width);

// The sign a number gets: '-' for a negative value whose written digits are not all zero,
// '+' for the rest under SP, none otherwise. A negative value that rounds to zero is written
// without its minus sign: the field then reads back as the same value, 0, either way, and a
// column of results does not show "-0.00" beside "0.00" for the same printed number.
inline char sign_character(bool negative, bool digits_are_zero, SignMode mode) {
  const char positive = mode == SignMode::Plus ? '+' : 0;
  return negative && !digits_are_zero ? '-' : positive;
}

// ---- Writers per descriptor family ------------------------------------------------------

// Iw.m of a signed value. `min_digits` is m.
[[nodiscard]] int write_integer(std::int64_t value, std::int64_t min_digits, SignMode sign, char* field,
                                std::int64_t width);
// O, Z, B of `count` bytes (little-endian bit pattern) with `bits_per_digit` 3, 4 or 1.
[[nodiscard]] int write_bit_pattern(const unsigned char* bytes, std::size_t count, int bits_per_digit,
                                    std::int64_t min_digits, char* field, std::int64_t width);

// Infinity or NaN right-justified (kConvertedInfinity / kConvertedNaN), or asterisks.
[[nodiscard]] int write_special_value(double value, SignMode sign, char* field, std::int64_t width,
                                      std::int64_t trailing_blanks = 0);

// Fw.d with the scale factor applied to the decimal digits; `trailing_blanks` of the width
// are left blank at the right (G's F form).
[[nodiscard]] int write_fixed(double value, std::int64_t fraction_digits, std::int32_t scale, SignMode sign,
                              char* field, std::int64_t width, std::int64_t trailing_blanks = 0);

// The exponent forms. `kind` is E, D, EN or ES; `exponent_digits` is e when `has_e`.
struct ExponentForm {
  DescriptorKind kind = DescriptorKind::E;
  std::int64_t fraction_digits = 0;  // d
  bool has_e = false;
  std::int64_t exponent_digits = 2;  // e
  std::int32_t scale = 0;            // used by E and D only
};
[[nodiscard]] int write_exponent_form(double value, const ExponentForm& form, SignMode sign, char* field,
                                      std::int64_t width);

// Gw.d(Ee) of a real: the F form followed by blanks, or the E form, by magnitude.
[[nodiscard]] int write_general_real(double value, const ExponentForm& form, SignMode sign, char* field,
                                     std::int64_t width);

// ---- Input helpers -------------------------------------------------------------------------

// Parses an integer field into a sign and an unsigned 64-bit magnitude, with the flags and
// radix of text_to_integer. Returns kConverted, kInvalidIntegerCharacter, kInvalidFlags,
// kInvalidRadix or kValueOutOfRange (the magnitude exceeds 64 bits).
[[nodiscard]] int parse_integer_text(std::string_view text, int radix, unsigned flags, bool& negative,
                                     std::uint64_t& magnitude);

// The conversion flags of a numeric field under blank mode `blank`.
unsigned blank_mode_flags(BlankMode blank);

}  // namespace runtime::conversion_detail
