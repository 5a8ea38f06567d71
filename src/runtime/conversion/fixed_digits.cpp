// The digits of a fixed-point field ("iii.fff") by exact integer arithmetic.
//
// A finite double is m x 2^e with an integer m < 2^53. Rounded to d fraction digits it is
// N / 10^d with N = round(m x 5^d x 2^(e + d)): for d <= 27, m x 5^d is below 2^117 and is
// formed exactly in 128 bits, so one multiplication and one shift (with the bits shifted
// out deciding the rounding, ties to even) give N. While N < 10^19, N splits into the
// integer part N / 10^d and the fraction N mod 10^d, both written two digits at a time.
// Larger values (beyond any field that the series file or a label can hold) and more
// fraction digits take std::to_chars, whose text this one equals digit for digit.

#include <array>
#include <bit>
#include <charconv>
#include <cstring>
#include <utility>

#include "runtime/conversion/conversion_internal.h"

namespace runtime::conversion_detail {
namespace {

using Wide = unsigned __int128;

constexpr int kSignificandBits = 52;
constexpr int kExponentBias = 1075;  // the exponent of the significand's lowest bit is e - 1075
constexpr std::uint64_t kHiddenBit = std::uint64_t{1} << kSignificandBits;
constexpr std::uint64_t kLargestExactValue = 10'000'000'000'000'000'000u;  // 10^19: at most 19 digits

constexpr std::uint64_t power_of(std::uint64_t base, int exponent) {
  std::uint64_t result = 1;
  for (int i = 0; i < exponent; ++i) result *= base;
  return result;
}

template <std::uint64_t Base>
constexpr auto powers() {
  std::array<std::uint64_t, kExactFixedDigitsLimit + 1> table{};
  for (int i = 0; i <= kExactFixedDigitsLimit; ++i) table[static_cast<std::size_t>(i)] = power_of(Base, i);
  return table;
}

constexpr auto kPowersOfFive = powers<5>();
// 10^k for k = 0..19 (N < 10^19 has at most 19 digits).
constexpr auto kPowersOfTen = [] {
  std::array<std::uint64_t, 20> table{};
  for (int i = 0; i < 20; ++i) table[static_cast<std::size_t>(i)] = power_of(10, i);
  return table;
}();

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Writes exactly `count` digits of `value` (value < 10^count, count <= 8) ending just before
// `end`, two at a time in 32-bit arithmetic.
void write_short_digits_backwards(std::uint32_t value, int count, char* end) {
  while (count >= 2) {
    const std::uint32_t pair = value % 100;
    value /= 100;
    end -= 2;
    std::memcpy(end, kDigitPairs + 2 * pair, 2);
    count -= 2;
  }
  if (count == 1) *--end = static_cast<char>('0' + value);
}

constexpr std::uint64_t kEightDigits = 100'000'000;

// Writes exactly `count` digits of `value` (value < 10^count) ending just before `end`: eight
// at a time from the right, each eight in 32-bit arithmetic.
void write_digits_backwards(std::uint64_t value, int count, char* end) {
  while (count > 8) {
    const std::uint64_t high = value / kEightDigits;
    write_short_digits_backwards(static_cast<std::uint32_t>(value - high * kEightDigits), 8, end);
    value = high;
    end -= 8;
    count -= 8;
  }
  write_short_digits_backwards(static_cast<std::uint32_t>(value), count, end);
}

// The same for a count known here (the fraction of Fw.d): the value is split in halves,
// and the halves again, so that the divisions of one level do not wait for each other.
template <int Count>
void write_counted_digits_backwards(std::uint64_t value, char* end) {
  if constexpr (Count > 8) {
    const std::uint64_t high = value / kEightDigits;
    write_counted_digits_backwards<8>(value - high * kEightDigits, end);
    write_counted_digits_backwards<Count - 8>(high, end - 8);
  } else if constexpr (Count > 4) {
    const auto short_value = static_cast<std::uint32_t>(value);
    const std::uint32_t high = short_value / 10'000;
    write_counted_digits_backwards<4>(short_value - high * 10'000, end);
    write_counted_digits_backwards<Count - 4>(high, end - 4);
  } else if constexpr (Count > 2) {
    const auto short_value = static_cast<std::uint32_t>(value);
    const std::uint32_t high = short_value / 100;
    std::memcpy(end - 2, kDigitPairs + 2 * (short_value - high * 100), 2);
    write_counted_digits_backwards<Count - 2>(high, end - 2);
  } else if constexpr (Count == 2) {
    std::memcpy(end - 2, kDigitPairs + 2 * value, 2);
  } else if constexpr (Count == 1) {
    *(end - 1) = static_cast<char>('0' + value);
  }
}

// The number of decimal digits of `value` (1 for 0).
int decimal_length(std::uint64_t value) {
  // bit_width x log10(2) estimates the length; one comparison corrects it.
  // (0 counts as 1: no power of ten lies between 1 and 0 | 1.)
  value |= 1;
  const int estimate = (std::bit_width(value) * 1233) >> 12;
  return estimate + (value >= kPowersOfTen[static_cast<std::size_t>(estimate)] ? 1 : 0);
}

// Writes N / 10^D (at least one digit), and for D > 0 the point and the D fraction digits
// of N mod 10^D. D is a constant here, so the split is a multiplication, not a division.
template <int D>
char* write_split(std::uint64_t scaled, char* out) {
  constexpr std::uint64_t unit = power_of(10, D);
  const std::uint64_t integer_part = scaled / unit;
  const std::uint64_t fraction = scaled - integer_part * unit;
  if (integer_part < 10) {
    *out++ = static_cast<char>('0' + integer_part);  // a series of order one
  } else {
    const int integer_length = decimal_length(integer_part);
    write_digits_backwards(integer_part, integer_length, out + integer_length);
    out += integer_length;
  }
  if constexpr (D > 0) {
    *out++ = '.';
    out += D;
    write_counted_digits_backwards<D>(fraction, out);
  }
  return out;
}

using SplitWriter = char* (*)(std::uint64_t, char*);

template <int... D>
constexpr std::array<SplitWriter, sizeof...(D)> split_writers(std::integer_sequence<int, D...>) {
  return {&write_split<D>...};
}

// For D = 0..19; N < 10^19 leaves a zero integer part for every larger D.
constexpr auto kSplitWriters = split_writers(std::make_integer_sequence<int, 20>());

}  // namespace

char* exact_fixed_text(double magnitude, int fraction_digits, char* out) {
  if (fraction_digits < 0 || fraction_digits > kExactFixedDigitsLimit) return nullptr;
  const std::uint64_t bits = std::bit_cast<std::uint64_t>(magnitude);
  const int biased_exponent = static_cast<int>(bits >> kSignificandBits);
  if (biased_exponent >= 0x7FF) return nullptr;  // infinite, NaN or negative
  std::uint64_t significand = bits & (kHiddenBit - 1);
  int exponent = 1 - kExponentBias;  // subnormals and zero
  if (biased_exponent != 0) {
    significand |= kHiddenBit;
    exponent = biased_exponent - kExponentBias;
  }

  // N = round(significand x 5^d x 2^(exponent + d)), ties to even.
  const Wide product = Wide{significand} * kPowersOfFive[static_cast<std::size_t>(fraction_digits)];
  const int shift = exponent + fraction_digits;
  std::uint64_t scaled = 0;
  if (shift >= 0) {
    if (shift >= 64 || (product >> (64 - shift)) != 0) return nullptr;
    scaled = static_cast<std::uint64_t>(product << shift);
  } else if (shift > -124) {
    const int right = -shift;
    const Wide kept = product >> right;
    if ((kept >> 64) != 0) return nullptr;
    scaled = static_cast<std::uint64_t>(kept);
    const Wide dropped = product - (kept << right);
    const Wide half = Wide{1} << (right - 1);
    // Added, not branched on: for a series the rounding direction is a coin toss.
    scaled += static_cast<std::uint64_t>((dropped > half) | ((dropped == half) & ((scaled & 1) != 0)));
  }
  // A shift of 124 or more leaves less than a half (the product is below 2^117): N = 0.
  if (scaled >= kLargestExactValue) return nullptr;

  // Integer part (at least one digit, as to_chars writes it), point, fraction.
  if (fraction_digits < static_cast<int>(kSplitWriters.size())) {
    return kSplitWriters[static_cast<std::size_t>(fraction_digits)](scaled, out);
  }
  // More fraction digits than N has: "0.", zeros, then N's 19 digits.
  *out++ = '0';
  *out++ = '.';
  std::memset(out, '0', static_cast<std::size_t>(fraction_digits - 19));
  out += fraction_digits;
  write_digits_backwards(scaled, 19, out);
  return out;
}

char* fixed_text(double magnitude, int fraction_digits, char* begin, char* end) {
  if (char* written = exact_fixed_text(magnitude, fraction_digits, begin)) return written;
  return std::to_chars(begin, end, magnitude, std::chars_format::fixed, fraction_digits).ptr;
}

}  // namespace runtime::conversion_detail
