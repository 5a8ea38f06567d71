// Integer input: text_to_integer for I fields (and O, Z, B with radix 8, 16, 2).
//
// Leading blanks are skipped, then an optional sign and the blanks after it; an all-blank
// field and a lone sign read as 0. After that, digits of the radix accumulate into an
// unsigned 64-bit magnitude; blanks are zeros (kBlanksAreZeros, which wins when both blank
// flags are set) or skipped (kIgnoreBlanks); with neither flag a blank ends the number and
// only blanks may follow. Tabs count as blanks under kTabIsBlank and are invalid otherwise;
// underscores are skipped anywhere under kIgnoreUnderscores.
//
// The signed result must fit the item: for 8-byte items too, a magnitude above 2^63 - 1
// (2^63 with a minus sign) is out of range rather than wrapping to a negative value.

#include <limits>

#include "runtime/conversion/conversion_internal.h"

namespace runtime {
namespace conversion_detail {
namespace {

constexpr unsigned kKnownFlags =
    kTabIsBlank | kIgnoreBlanks | kIgnoreUnderscores | kBlanksAreZeros | kIntegerFlagNoEffect;

int digit_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

unsigned blank_mode_flags(BlankMode blank) { return blank == BlankMode::Zero ? kBlanksAreZeros : kIgnoreBlanks; }

int parse_integer_text(std::string_view text, int radix, unsigned flags, bool& negative, std::uint64_t& magnitude) {
  negative = false;
  magnitude = 0;
  if ((flags & ~kKnownFlags) != 0) return kInvalidFlags;
  if (radix < 2 || radix > 16) return kInvalidRadix;

  const bool tab_is_blank = (flags & kTabIsBlank) != 0;
  const bool skip_underscores = (flags & kIgnoreUnderscores) != 0;
  const bool blanks_are_zeros = (flags & kBlanksAreZeros) != 0;
  const bool ignore_blanks = !blanks_are_zeros && (flags & kIgnoreBlanks) != 0;
  auto is_blank = [&](char c) { return c == ' ' || (c == '\t' && tab_is_blank); };
  auto is_skipped = [&](char c) { return c == '_' && skip_underscores; };

  std::size_t i = 0;
  const std::size_t n = text.size();
  auto skip_blanks = [&] {
    while (i < n && (is_blank(text[i]) || is_skipped(text[i]))) ++i;
  };
  skip_blanks();
  if (i < n && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
    skip_blanks();
  }

  const auto base = static_cast<std::uint64_t>(radix);
  const std::uint64_t limit = std::numeric_limits<std::uint64_t>::max();
  for (; i < n; ++i) {
    const char c = text[i];
    if (is_skipped(c)) continue;
    int digit = 0;
    if (is_blank(c)) {
      if (ignore_blanks) continue;
      if (!blanks_are_zeros) {  // the number ends here: only blanks may follow
        for (; i < n; ++i) {
          if (!is_blank(text[i]) && !is_skipped(text[i])) return kInvalidIntegerCharacter;
        }
        break;
      }
    } else {
      digit = digit_value(c);
      if (digit < 0 || digit >= radix) return kInvalidIntegerCharacter;
    }
    const auto d = static_cast<std::uint64_t>(digit);
    if (magnitude > (limit - d) / base) return kValueOutOfRange;
    magnitude = magnitude * base + d;
  }
  return kConverted;
}

}  // namespace conversion_detail

int text_to_integer(std::string_view text, int radix, unsigned flags, int item_size, std::int64_t& value) {
  value = 0;
  if (!conversion_detail::is_integer_size(item_size)) return kInvalidFlags;
  bool negative = false;
  std::uint64_t magnitude = 0;
  const int status = conversion_detail::parse_integer_text(text, radix, flags, negative, magnitude);
  if (status != kConverted) return status;
  // Largest magnitude of each sign for the item size.
  const int bits = item_size * 8;
  const std::uint64_t max_positive = (std::uint64_t{1} << (bits - 1)) - 1;
  const std::uint64_t max_negative = std::uint64_t{1} << (bits - 1);
  if (magnitude > (negative ? max_negative : max_positive)) return kValueOutOfRange;
  value = negative ? static_cast<std::int64_t>(std::uint64_t{0} - magnitude) : static_cast<std::int64_t>(magnitude);
  return kConverted;
}

}  // namespace runtime
