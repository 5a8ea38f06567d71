// Integer, bit-pattern, logical and character output fields, and bad descriptor/item pairs.

#include <cstdint>
#include <limits>
#include <string>

#include "conversion_test_support.h"

namespace runtime::test {
namespace {

struct IntegerCase {
  std::int64_t value;
  int size;
  const char* format;
  SignMode sign;
  const char* expected;
  int status;
};

Written write_integer_case(const IntegerCase& c) {
  const auto v8 = static_cast<std::int8_t>(c.value);
  const auto v16 = static_cast<std::int16_t>(c.value);
  const auto v32 = static_cast<std::int32_t>(c.value);
  const std::int64_t v64 = c.value;
  const IoItem it = c.size == 1 ? item(v8) : c.size == 2 ? item(v16) : c.size == 4 ? item(v32) : item(v64);
  return write_field(it, c.format, modes(c.sign));
}

TEST(IntegerOutput, DecimalFields) {
  constexpr SignMode S = SignMode::Processor;
  constexpr SignMode SP = SignMode::Plus;
  const IntegerCase cases[] = {
      {7, 4, "I2", S, " 7", kConverted},
      {123, 4, "I2", S, "**", kFieldOverflow},
      {-5, 4, "I2", S, "-5", kConverted},
      {-10, 4, "I2", S, "**", kFieldOverflow},
      {7, 4, "I5.3", S, "  007", kConverted},
      {-7, 4, "I5.3", S, " -007", kConverted},
      {0, 4, "I5.3", S, "  000", kConverted},
      {0, 4, "I5", S, "    0", kConverted},
      {0, 4, "I5.0", S, "     ", kConverted},
      {0, 4, "I5.0", SP, "     ", kConverted},
      {0, 4, "I5", SP, "   +0", kConverted},
      {12, 4, "I3", SP, "+12", kConverted},
      {12, 4, "I2", SP, "**", kFieldOverflow},
      {12, 4, "I3", SignMode::Suppress, " 12", kConverted},
      {7, 4, "I3.5", S, "***", kFieldOverflow},
      {5, 4, "I0", S, "", kFieldOverflow},
      {0, 4, "I0.0", S, "", kConverted},
      {std::numeric_limits<std::int64_t>::min(), 8, "I20", S, "-9223372036854775808", kConverted},
      {std::numeric_limits<std::int64_t>::min(), 8, "I19", S, "*******************", kFieldOverflow},
      {std::numeric_limits<std::int64_t>::max(), 8, "I20", S, " 9223372036854775807", kConverted},
      {std::numeric_limits<std::int32_t>::min(), 4, "I11", S, "-2147483648", kConverted},
      {-128, 1, "I4", S, "-128", kConverted},
      {32767, 2, "I6", S, " 32767", kConverted},
      {5, 4, "I", S, "           5", kConverted},
      {-5, 1, "I", S, "     -5", kConverted},
      {-5, 8, "I", S, "                     -5", kConverted},
      {42, 4, "G5.2", S, "   42", kConverted},  // G on an integer is Iw with m = 1
      {42, 4, "G", S, "          42", kConverted},
  };
  for (const auto& c : cases) {
    const Written out = write_integer_case(c);
    EXPECT_EQ(out.text, c.expected) << c.format << " of " << c.value;
    EXPECT_EQ(out.status, c.status) << c.format << " of " << c.value;
  }
}

TEST(IntegerOutput, BitPatterns) {
  constexpr SignMode S = SignMode::Processor;
  const IntegerCase cases[] = {
      {8, 4, "O4", S, "  10", kConverted},
      {255, 4, "Z4", S, "  FF", kConverted},
      {-1, 4, "Z8", S, "FFFFFFFF", kConverted},
      {-1, 4, "Z8", SignMode::Plus, "FFFFFFFF", kConverted},  // no sign, ever
      {5, 4, "B8", S, "     101", kConverted},
      {5, 4, "B8.6", S, "  000101", kConverted},
      {0, 4, "Z4.0", S, "    ", kConverted},
      {0, 4, "Z4", S, "   0", kConverted},
      {-1, 1, "Z", S, "     FF", kConverted},
      {-2, 2, "Z3", S, "***", kFieldOverflow},
      {-1, 4, "O", S, " 37777777777", kConverted},
      {-1, 8, "O", S, " 1777777777777777777777", kConverted},
      {0x123456789ABCDEF0LL, 8, "Z", S, "       123456789ABCDEF0", kConverted},
  };
  for (const auto& c : cases) {
    const Written out = write_integer_case(c);
    EXPECT_EQ(out.text, c.expected) << c.format << " of " << c.value;
    EXPECT_EQ(out.status, c.status) << c.format << " of " << c.value;
  }
  const std::int32_t minus_one = -1;
  EXPECT_EQ(write_field(item(minus_one), "B").text, " " + std::string(32, '1'));
  const std::int64_t minus_one_64 = -1;
  EXPECT_EQ(write_field(item(minus_one_64), "B").text, " " + std::string(64, '1'));
}

TEST(IntegerOutput, BitPatternsOfOtherItems) {
  const double one = 1.0;
  EXPECT_EQ(write_field(item(one), "Z").text, "       3FF0000000000000");
  const float one_f = 1.0f;
  EXPECT_EQ(write_field(item(one_f), "Z").text, "    3F800000");
  EXPECT_EQ(write_field(item(std::string_view("AB")), "Z").text, " 4241");
  EXPECT_EQ(write_field(item(std::string_view("AB")), "B16").text, " 100001001000001");
  const std::int32_t true_value = -1;
  EXPECT_EQ(write_field(logical_item(true_value), "Z").text, "    FFFFFFFF");
  // A long character item has far more digits than a narrow field.
  const std::string long_text(100000, 'x');
  const Written out = write_field(item(std::string_view(long_text)), "Z10");
  EXPECT_EQ(out.text, "**********");
  EXPECT_EQ(out.status, kFieldOverflow);
}

TEST(LogicalAndCharacterOutput, Fields) {
  const std::int32_t yes = -1, no = 0, one = 1;
  const std::int8_t small_yes = 1;
  EXPECT_EQ(write_field(logical_item(yes), "L1").text, "T");
  EXPECT_EQ(write_field(logical_item(no), "L3").text, "  F");
  EXPECT_EQ(write_field(logical_item(one), "L").text, " T");
  EXPECT_EQ(write_field(logical_item(small_yes), "L2").text, " T");
  EXPECT_EQ(write_field(item(no), "L2").text, " F");  // L accepts integer items
  EXPECT_EQ(write_field(logical_item(yes), "G4").text, "   T");
  EXPECT_EQ(write_field(logical_item(yes), "L0").status, kFieldOverflow);

  const std::string_view hello = "hello";
  EXPECT_EQ(write_field(item(hello), "A3").text, "hel");
  EXPECT_EQ(write_field(item(hello), "A7").text, "  hello");
  EXPECT_EQ(write_field(item(hello), "A").text, "hello");
  const Written empty = write_field(item(hello), "A0");
  EXPECT_EQ(empty.text, "");
  EXPECT_EQ(empty.status, kConverted);
  EXPECT_EQ(write_field(item(std::string_view()), "A3").text, "   ");
  const std::int32_t letters = 0x44434241;  // "ABCD" in memory
  EXPECT_EQ(write_field(item(letters), "A").text, "ABCD");
  EXPECT_EQ(write_field(item(letters), "A6").text, "  ABCD");
}

TEST(OutputField, RejectsBadArguments) {
  const std::int32_t integer = 5;
  const double real = 1.5;
  const std::string_view text = "abc";
  struct Case {
    IoItem item;
    const char* format;
  } mismatches[] = {
      {item(integer), "F6.2"}, {item(integer), "E10.3"}, {item(real), "I5"},
      {item(real), "L5"},      {item(text), "F6.2"},     {item(text), "I5"},
  };
  for (const auto& c : mismatches) {
    const Written out = write_field(c.item, c.format);
    EXPECT_EQ(out.status, kInvalidFlags) << c.format;
    EXPECT_EQ(out.text, std::string(out.text.size(), '*')) << c.format;
  }

  char field[8] = {};
  EXPECT_EQ(convert_output_field(item(integer), 0, descriptor("I5"), {}, field, -1), kNegativeLength);
  EXPECT_EQ(convert_output_field(item(integer), 1, descriptor("I5"), {}, field, 5), kInvalidFlags);
  const IoItem missing{ItemType::Real, 8, nullptr, 0};
  EXPECT_EQ(convert_output_field(missing, 0, descriptor("F5.1"), {}, field, 5), kInvalidFlags);
  const IoItem odd_size{ItemType::Integer, 3, field, 0};
  EXPECT_EQ(convert_output_field(odd_size, 0, descriptor("I5"), {}, field, 5), kInvalidFlags);
  EXPECT_EQ(convert_output_field(item(integer), 0, descriptor("I5"), {}, nullptr, 0), kFieldOverflow);
  EditDescriptor negative_digits = descriptor("F6.2");
  negative_digits.d = -3;
  EXPECT_EQ(convert_output_field(item(real), 0, negative_digits, {}, field, 6), kNegativeLength);
}

}  // namespace
}  // namespace runtime::test
