// Real input: text_to_real for F, E, D, G, EN and ES fields.
//
// The field is read into a normalized decimal string (significant digits and a power of ten)
// that std::from_chars rounds correctly to the item's precision. At most 800 significant
// digits are kept; a non-zero digit beyond them is kept as a final 1, which is enough to
// round correctly whatever the length of the field. Exponents saturate, so fields of any
// width and any count of digits cost linear time and never overflow.
//
// Choices:
// - The words Infinity, Inf and NaN (any case) are accepted after the sign; other partial
//   words (Infin) and anything but blanks after the word are invalid.
// - A field whose mantissa has no digit reads as 0 when nothing else follows the sign (a lone
//   sign); a lone point, or an exponent without mantissa digits, is invalid.
// - An exponent needs at least one digit (1.5E and 1.5- are invalid).
// - A negative d counts as 0 implied fraction digits.
// - 4-byte items: values whose decimal exponent is 39 or more, or that round beyond the
//   largest float, are out of range (status 8); values that round below the smallest
//   subnormal float read as 0.0 with the field's sign. Item sizes other than 4 read as 8.

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "runtime/conversion/conversion_internal.h"

namespace runtime {
namespace {

constexpr std::size_t kKeptDigits = 800;
constexpr std::int64_t kExponentCap = 1'000'000'000;

struct Mantissa {
  char digits[kKeptDigits + 1];
  std::size_t kept = 0;
  std::int64_t significant = 0;  // significant digits seen, kept or not
  bool sticky = false;           // a digit beyond the kept ones was not 0
  std::int64_t after_point = 0;  // digits after the point, leading zeros included
  bool any_digit = false;
  bool point = false;

  void add(char c) {
    any_digit = true;
    if (point) ++after_point;
    if (significant == 0 && c == '0') return;  // leading zeros carry no value
    if (kept < kKeptDigits) {
      digits[kept++] = c;
    } else if (c != '0') {
      sticky = true;
    }
    ++significant;
  }
};

bool is_white_space(char c) { return c == ' ' || (c >= 9 && c <= 13); }

bool is_exponent_letter(char c) {
  switch (c) {
    case 'E':
    case 'e':
    case 'D':
    case 'd':
    case 'Q':
    case 'q': return true;
    default: return false;
  }
}

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool starts_with_word(std::string_view text, std::string_view word) {
  if (text.size() < word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (lower(text[i]) != word[i]) return false;
  }
  return true;
}

double signed_zero(bool negative) { return negative ? -0.0 : 0.0; }

int read_special_word(std::string_view rest, bool negative, double& value) {
  std::size_t length = 0;
  bool nan = false;
  if (starts_with_word(rest, "infinity")) {
    length = 8;
  } else if (starts_with_word(rest, "inf")) {
    length = 3;
  } else if (starts_with_word(rest, "nan")) {
    length = 3;
    nan = true;
  } else {
    return kInvalidText;
  }
  for (std::size_t i = length; i < rest.size(); ++i) {
    if (rest[i] != ' ') return kInvalidText;
  }
  if (nan) {
    value = std::numeric_limits<double>::quiet_NaN();
    return kConvertedNaN;
  }
  value = negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
  return kConvertedInfinity;
}

template <typename Real>
int round_decimal(const char* begin, const char* end, bool leading_positive, bool negative, double& value) {
  Real result{};
  const auto parsed = std::from_chars(begin, end, result, std::chars_format::scientific);
  if (parsed.ec == std::errc::result_out_of_range) {
    if (leading_positive) return kValueOutOfRange;
    value = signed_zero(negative);
    return kConverted;
  }
  if (parsed.ec != std::errc() || !std::isfinite(result)) return kValueOutOfRange;
  value = negative ? -static_cast<double>(result) : static_cast<double>(result);
  return kConverted;
}

}  // namespace

int text_to_real(std::string_view text, BlankMode blank, std::int32_t digits_after_point, std::int32_t scale,
                 int item_size, double& value) {
  value = 0.0;
  const std::size_t n = text.size();
  std::size_t i = 0;
  while (i < n && is_white_space(text[i])) ++i;
  if (i == n) return kConverted;  // empty or all blank

  bool negative = false;
  if (text[i] == '+' || text[i] == '-') {
    negative = text[i] == '-';
    ++i;
  }
  if (i < n) {
    const char first = lower(text[i]);
    if (first == 'i' || first == 'n') return read_special_word(text.substr(i), negative, value);
  }

  const bool blanks_are_zeros = blank == BlankMode::Zero;
  Mantissa mantissa;
  bool has_exponent = false;
  for (; i < n; ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      mantissa.add(c);
    } else if (c == ' ') {
      if (blanks_are_zeros) mantissa.add('0');
    } else if (c == '.') {
      if (mantissa.point) return kInvalidText;
      mantissa.point = true;
    } else if (is_exponent_letter(c)) {
      has_exponent = true;
      ++i;
      break;
    } else if (c == '+' || c == '-') {  // 1.5-3: the sign itself starts the exponent
      has_exponent = true;
      break;
    } else {
      return kInvalidText;
    }
  }

  std::int64_t exponent = 0;
  if (has_exponent) {
    if (!mantissa.any_digit) return kInvalidText;
    bool exponent_negative = false;
    bool sign_allowed = true;
    bool any_exponent_digit = false;
    for (; i < n; ++i) {
      char c = text[i];
      if ((c == '+' || c == '-') && sign_allowed) {
        exponent_negative = c == '-';
        sign_allowed = false;
        continue;
      }
      if (c == ' ') {
        if (!blanks_are_zeros) continue;
        c = '0';
      }
      if (c < '0' || c > '9') return kInvalidText;
      any_exponent_digit = true;
      sign_allowed = false;
      exponent = std::min(exponent * 10 + (c - '0'), kExponentCap);
    }
    if (!any_exponent_digit) return kInvalidText;
    if (exponent_negative) exponent = -exponent;
  } else {
    if (!mantissa.any_digit) {
      if (mantissa.point) return kInvalidText;
      value = signed_zero(negative);  // a lone sign
      return kConverted;
    }
    exponent = -static_cast<std::int64_t>(scale);
  }

  if (mantissa.kept == 0) {  // every digit was 0
    value = signed_zero(negative);
    return kConverted;
  }
  // Without a point, the last d digits of the field are the fraction.
  const std::int64_t fraction = mantissa.point ? mantissa.after_point : std::max<std::int64_t>(digits_after_point, 0);
  std::int64_t power = exponent - fraction + (mantissa.significant - static_cast<std::int64_t>(mantissa.kept));
  const std::int64_t leading_exponent = power + static_cast<std::int64_t>(mantissa.kept) - 1;
  const bool single = item_size == 4;
  if (leading_exponent >= (single ? 39 : 310)) return kValueOutOfRange;
  if (leading_exponent < (single ? -50 : -330)) {  // far below the smallest subnormal
    value = signed_zero(negative);
    return kConverted;
  }
  if (mantissa.sticky) {
    mantissa.digits[mantissa.kept++] = '1';
    --power;
  }
  char decimal[kKeptDigits + 32];
  std::memcpy(decimal, mantissa.digits, mantissa.kept);
  char* end = decimal + mantissa.kept;
  *end++ = 'e';
  end = std::to_chars(end, decimal + sizeof decimal, power).ptr;
  const bool leading_positive = leading_exponent > 0;
  return single ? round_decimal<float>(decimal, end, leading_positive, negative, value)
                : round_decimal<double>(decimal, end, leading_positive, negative, value);
}

}  // namespace runtime
