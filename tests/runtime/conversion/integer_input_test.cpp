// text_to_integer: blanks, signs, radixes, flags, 64-bit accumulation and item ranges.

#include <cstdint>
#include <limits>
#include <string>

#include "conversion_test_support.h"

namespace runtime::test {
namespace {

constexpr unsigned BN = kIgnoreBlanks;
constexpr unsigned BZ = kBlanksAreZeros;

struct IntegerInputCase {
  std::string text;
  int radix;
  unsigned flags;
  int size;
  int status;
  std::int64_t value;
};

void check(const IntegerInputCase& c) {
  std::int64_t value = 12345;  // a failed conversion must leave 0, not this
  const int status = text_to_integer(c.text, c.radix, c.flags, c.size, value);
  EXPECT_EQ(status, c.status) << '"' << c.text << "\" radix " << c.radix << " flags " << c.flags;
  EXPECT_EQ(value, c.value) << '"' << c.text << "\" radix " << c.radix << " flags " << c.flags;
}

TEST(IntegerInput, BlanksAndSigns) {
  const IntegerInputCase cases[] = {
      {"12", 10, BN, 4, kConverted, 12},
      {"1 2   ", 10, BN, 4, kConverted, 12},
      {"1 2   ", 10, BZ, 4, kConverted, 102000},
      {"12    ", 10, BZ, 4, kConverted, 120000},
      {"     3", 10, BZ, 4, kConverted, 3},  // leading blanks are skipped in either mode
      {"", 10, BN, 4, kConverted, 0},
      {"      ", 10, BN, 4, kConverted, 0},
      {"      ", 10, BZ, 4, kConverted, 0},
      {"-", 10, BN, 4, kConverted, 0},
      {"  +   ", 10, BN, 4, kConverted, 0},
      {"+7", 10, BN, 4, kConverted, 7},
      {" -  5", 10, BN, 4, kConverted, -5},
      {"-0", 10, BN, 4, kConverted, 0},
      {"1 2", 10, BN | BZ, 4, kConverted, 102},  // blanks as zeros wins
      {"12  ", 10, 0, 4, kConverted, 12},        // no blank mode: trailing blanks end the number
      {"1 2", 10, 0, 4, kInvalidIntegerCharacter, 0},
      {"\t5", 10, BN, 4, kInvalidIntegerCharacter, 0},
      {"\t5", 10, BN | kTabIsBlank, 4, kConverted, 5},
      {"5\t6", 10, BZ | kTabIsBlank, 4, kConverted, 506},
      {"1_000", 10, BN, 4, kInvalidIntegerCharacter, 0},
      {"1_000", 10, BN | kIgnoreUnderscores, 4, kConverted, 1000},
      {"_-_1_", 10, BN | kIgnoreUnderscores, 4, kConverted, -1},
  };
  for (const auto& c : cases) check(c);
}

TEST(IntegerInput, InvalidCharacters) {
  const IntegerInputCase cases[] = {
      {"a", 10, BN, 4, kInvalidIntegerCharacter, 0},
      {"1a", 10, BN, 4, kInvalidIntegerCharacter, 0},
      {"1e5", 10, BN, 4, kInvalidIntegerCharacter, 0},
      {"1.5", 10, BN, 4, kInvalidIntegerCharacter, 0},
      {"1-2", 10, BN, 4, kInvalidIntegerCharacter, 0},
      {"--1", 10, BN, 4, kInvalidIntegerCharacter, 0},
      {"1,2", 10, BN, 4, kInvalidIntegerCharacter, 0},
      {"12x", 10, BN, 4, kInvalidIntegerCharacter, 0},
      {std::string("1\0", 2), 10, BN, 4, kInvalidIntegerCharacter, 0},
      {"\xff", 10, BN, 4, kInvalidIntegerCharacter, 0},
  };
  for (const auto& c : cases) check(c);
}

TEST(IntegerInput, Radixes) {
  const IntegerInputCase cases[] = {
      {"ff", 16, BN, 4, kConverted, 255},
      {"FF", 16, BN, 4, kConverted, 255},
      {"7fffffff", 16, BN, 4, kConverted, 2147483647},
      {"g", 16, BN, 4, kInvalidIntegerCharacter, 0},
      {"101", 2, BN, 4, kConverted, 5},
      {"2", 2, BN, 4, kInvalidIntegerCharacter, 0},
      {"777", 8, BN, 4, kConverted, 511},
      {"8", 8, BN, 4, kInvalidIntegerCharacter, 0},
      {"zz", 36, BN, 4, kInvalidRadix, 0},
      {"1", 1, BN, 4, kInvalidRadix, 0},
      {"1", 0, BN, 4, kInvalidRadix, 0},
      {"1", 17, BN, 4, kInvalidRadix, 0},
      {"-12", 3, BN, 4, kConverted, -5},
  };
  for (const auto& c : cases) check(c);
}

TEST(IntegerInput, Flags) {
  const IntegerInputCase cases[] = {
      {"12", 10, BN | kIntegerFlagNoEffect, 4, kConverted, 12},
      {"12", 10, 1u << 2, 4, kInvalidFlags, 0},
      {"12", 10, 1u << 5, 4, kInvalidFlags, 0},
      {"12", 10, 1u << 31, 4, kInvalidFlags, 0},
      {"12", 10, 0, 3, kInvalidFlags, 0},  // no such item size
  };
  for (const auto& c : cases) check(c);
}

TEST(IntegerInput, RangesByItemSize) {
  const IntegerInputCase cases[] = {
      {"3000000000", 10, BN, 4, kValueOutOfRange, 0},
      {"3000000000", 10, BN, 8, kConverted, 3000000000LL},
      {"2147483647", 10, BN, 4, kConverted, 2147483647},
      {"2147483648", 10, BN, 4, kValueOutOfRange, 0},
      {"-2147483648", 10, BN, 4, kConverted, -2147483648LL},
      {"-2147483649", 10, BN, 4, kValueOutOfRange, 0},
      {"127", 10, BN, 1, kConverted, 127},
      {"128", 10, BN, 1, kValueOutOfRange, 0},
      {"-128", 10, BN, 1, kConverted, -128},
      {"-129", 10, BN, 1, kValueOutOfRange, 0},
      {"32767", 10, BN, 2, kConverted, 32767},
      {"32768", 10, BN, 2, kValueOutOfRange, 0},
      {"-32768", 10, BN, 2, kConverted, -32768},
      {"9223372036854775807", 10, BN, 8, kConverted, std::numeric_limits<std::int64_t>::max()},
      {"-9223372036854775808", 10, BN, 8, kConverted, std::numeric_limits<std::int64_t>::min()},
      {"9223372036854775808", 10, BN, 8, kValueOutOfRange, 0},
      // Magnitudes that fit 64 unsigned bits but not the signed item do not wrap.
      {"18446744073709551615", 10, BN, 8, kValueOutOfRange, 0},
      {"ffffffffffffffff", 16, BN, 8, kValueOutOfRange, 0},
      {"18446744073709551616", 10, BN, 8, kValueOutOfRange, 0},
      {"99999999999999999999999", 10, BN, 8, kValueOutOfRange, 0},
      {"ffffffff", 16, BN, 4, kValueOutOfRange, 0},
      {std::string(5000, '0') + "7", 10, BN, 4, kConverted, 7},
      {std::string(5000, '1'), 10, BN, 8, kValueOutOfRange, 0},
      {"-" + std::string(100000, ' ') + "9", 10, BN, 4, kConverted, -9},
  };
  for (const auto& c : cases) check(c);
}

}  // namespace
}  // namespace runtime::test
