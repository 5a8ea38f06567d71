// Integer output fields: Iw.m in decimal with a sign, and Ow.m, Zw.m, Bw.m of an item's bit
// pattern without a sign. Digits are right-justified; zeros pad to m digits; a value of 0 with
// m = 0 leaves the field blank; a value that does not fit gives asterisks.

#include <charconv>
#include <cstring>

#include "runtime/conversion/conversion_internal.h"

namespace runtime::conversion_detail {
namespace {

// Writes [blanks][sign][zeros][digits] right-justified, or asterisks.
int lay_out_digits(char sign, std::int64_t digit_count, std::int64_t min_digits, char* field, std::int64_t width,
                   char*& digits_start) {
  const std::int64_t zeros = min_digits > digit_count ? min_digits - digit_count : 0;
  char* out = right_justify(field, width, (sign != 0 ? 1 : 0) + zeros + digit_count);
  if (out == nullptr) return kFieldOverflow;
  if (sign != 0) *out++ = sign;
  std::memset(out, '0', static_cast<std::size_t>(zeros));
  digits_start = out + zeros;
  return kConverted;
}

}  // namespace

int write_integer(std::int64_t value, std::int64_t min_digits, SignMode sign, char* field, std::int64_t width) {
  // The magnitude in unsigned arithmetic is exact for the most negative value too.
  const bool negative = value < 0;
  const std::uint64_t magnitude =
      negative ? std::uint64_t{0} - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  char digits[24];
  // A zero has no digits of its own: with m >= 1 the zero padding writes it.
  const std::int64_t digit_count =
      magnitude == 0 ? 0 : std::to_chars(digits, digits + sizeof digits, magnitude).ptr - digits;
  const bool blank_zero = magnitude == 0 && min_digits == 0;
  const char sign_char = blank_zero ? 0 : sign_character(negative, magnitude == 0, sign);
  char* digits_start = nullptr;
  const int status = lay_out_digits(sign_char, digit_count, min_digits, field, width, digits_start);
  if (status == kConverted) std::memcpy(digits_start, digits, static_cast<std::size_t>(digit_count));
  return status;
}

int write_bit_pattern(const unsigned char* bytes, std::size_t count, int bits_per_digit, std::int64_t min_digits,
                      char* field, std::int64_t width) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  // Significant bits: up to and including the highest set bit.
  std::size_t top_byte = count;
  while (top_byte > 0 && bytes[top_byte - 1] == 0) --top_byte;
  std::int64_t significant_bits = 0;
  if (top_byte > 0) {
    unsigned top = bytes[top_byte - 1];
    int bits_in_top = 0;
    while (top != 0) {
      ++bits_in_top;
      top >>= 1;
    }
    significant_bits = static_cast<std::int64_t>(top_byte - 1) * 8 + bits_in_top;
  }
  const std::int64_t digit_count = (significant_bits + bits_per_digit - 1) / bits_per_digit;
  char* digits_start = nullptr;
  const int status = lay_out_digits(0, digit_count, min_digits, field, width, digits_start);
  if (status != kConverted) return status;
  // Digit i (from the right) holds bits [i * bits_per_digit, (i + 1) * bits_per_digit).
  for (std::int64_t i = 0; i < digit_count; ++i) {
    unsigned digit = 0;
    for (int b = bits_per_digit - 1; b >= 0; --b) {
      const std::int64_t bit = i * bits_per_digit + b;
      const std::size_t byte = static_cast<std::size_t>(bit / 8);
      const unsigned bit_value = byte < count ? (bytes[byte] >> (bit % 8)) & 1u : 0u;
      digit = (digit << 1) | bit_value;
    }
    digits_start[digit_count - 1 - i] = kDigits[digit];
  }
  return kConverted;
}

}  // namespace runtime::conversion_detail
