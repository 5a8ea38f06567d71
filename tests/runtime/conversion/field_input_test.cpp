// convert_input_field: each descriptor into each kind of item, what a failure leaves in the
// item, logical and character fields.

#include <complex>
#include <cstdint>
#include <cstring>
#include <string>

#include "conversion_test_support.h"

namespace runtime::test {
namespace {

int read(std::string_view field, std::string_view format, const IoItem& target, const EditModes& m = {},
         std::size_t part = 0) {
  return convert_input_field(field, descriptor(format), m, target, part);
}

TEST(FieldInput, IntegerFieldsFromTheDialogue) {
  struct Case {
    const char* field;  // as cut from the record
    const char* format;
    BlankMode blank;
    int status;
    std::int32_t value;
  } cases[] = {
      {"1", "I1", BlankMode::Null, kConverted, 1},
      {"a", "I1", BlankMode::Null, kInvalidIntegerCharacter, 0},
      {" ", "I1", BlankMode::Null, kConverted, 0},
      {"1 2   ", "I6", BlankMode::Null, kConverted, 12},
      {"1 2   ", "I6", BlankMode::Zero, kConverted, 102000},
      {"12    ", "I6", BlankMode::Zero, kConverted, 120000},
      {"-     ", "I6", BlankMode::Null, kConverted, 0},
      {"123456", "I6", BlankMode::Null, kConverted, 123456},
      {"+7    ", "I6", BlankMode::Null, kConverted, 7},
      {"999999", "I6", BlankMode::Null, kConverted, 999999},
      {"3000000000  ", "I12", BlankMode::Null, kValueOutOfRange, 0},
      {"42", "G2", BlankMode::Null, kConverted, 42},
  };
  for (const auto& c : cases) {
    std::int32_t value = 77;
    const int status = read(c.field, c.format, item(value), modes(SignMode::Processor, 0, c.blank));
    EXPECT_EQ(status, c.status) << c.field;
    EXPECT_EQ(value, c.value) << c.field;  // a failed integer conversion leaves 0
    EXPECT_EQ(input_conversion_error(status), c.status == kConverted ? 0 : 64);
  }
}

TEST(FieldInput, BitPatternFieldsReadBackWhatOutputWrites) {
  std::int32_t v32 = 0;
  EXPECT_EQ(read("FFFFFFFF", "Z8", item(v32)), kConverted);
  EXPECT_EQ(v32, -1);
  EXPECT_EQ(read("7FFFFFFF", "Z8", item(v32)), kConverted);
  EXPECT_EQ(v32, 2147483647);
  EXPECT_EQ(read("-1", "Z8", item(v32)), kConverted);
  EXPECT_EQ(v32, -1);
  EXPECT_EQ(read("100000000", "Z9", item(v32)), kValueOutOfRange);
  EXPECT_EQ(v32, 0);
  std::int8_t v8 = 0;
  EXPECT_EQ(read("377", "O3", item(v8)), kConverted);
  EXPECT_EQ(v8, -1);
  EXPECT_EQ(read("-201", "O4", item(v8)), kValueOutOfRange);  // -129
  std::int16_t v16 = 0;
  EXPECT_EQ(read("1111111111111111", "B16", item(v16)), kConverted);
  EXPECT_EQ(v16, -1);
  EXPECT_EQ(read("12", "B2", item(v16)), kInvalidIntegerCharacter);
  std::int64_t v64 = 0;
  EXPECT_EQ(read("FFFFFFFFFFFFFFFF", "Z16", item(v64)), kConverted);
  EXPECT_EQ(v64, -1);
  EXPECT_EQ(read("10000000000000000", "Z17", item(v64)), kValueOutOfRange);
  double real = 0.0;
  EXPECT_EQ(read("3FF0000000000000", "Z16", item(real)), kConverted);
  EXPECT_EQ(real, 1.0);
  float real_f = 0.0f;
  EXPECT_EQ(read("3F800000", "Z8", item(real_f)), kConverted);
  EXPECT_EQ(real_f, 1.0f);
  char text[2] = {'x', 'x'};
  EXPECT_EQ(read("4241", "Z4", item(text, 2)), kConverted);
  EXPECT_EQ(std::string(text, 2), "AB");
  EXPECT_EQ(read("10000", "Z5", item(text, 2)), kValueOutOfRange);
}

TEST(FieldInput, RealFields) {
  double value = 0.0;
  EXPECT_EQ(read("1.4                 ", "F20.10", item(value)), kConverted);
  EXPECT_EQ(value, 1.4);
  EXPECT_EQ(read("2                   ", "F20.10", item(value)), kConverted);
  EXPECT_EQ(value, 2.0e-10);
  EXPECT_EQ(read("1.5", "F5.0", item(value), modes(SignMode::Processor, 2)), kConverted);
  EXPECT_EQ(value, 0.015);
  EXPECT_EQ(read("12345", "E", item(value)), kConverted);  // default d = 16
  EXPECT_EQ(value, 12345e-16);
  EXPECT_EQ(read("2.5", "G10.3", item(value)), kConverted);
  EXPECT_EQ(value, 2.5);

  value = 9.0;
  EXPECT_EQ(read("1,5", "F20.10", item(value)), kInvalidText);
  EXPECT_EQ(value, 9.0);  // a failed real conversion leaves the item alone
  EXPECT_EQ(read("1e400", "F20.10", item(value)), kValueOutOfRange);
  EXPECT_EQ(value, 9.0);
  EXPECT_EQ(input_conversion_error(kValueOutOfRange), 64);

  float single = 0.0f;
  EXPECT_EQ(read("0.1", "F5.0", item(single)), kConverted);
  EXPECT_EQ(single, 0.1f);
  EXPECT_EQ(read("1e39", "F5.0", item(single)), kValueOutOfRange);

  std::complex<double> z(0.0, 0.0);
  EXPECT_EQ(read("1.5", "F5.0", item(z), {}, 0), kConverted);
  EXPECT_EQ(read("-2.5", "F5.0", item(z), {}, 1), kConverted);
  EXPECT_EQ(z, std::complex<double>(1.5, -2.5));
  EXPECT_EQ(read("Inf", "F5.0", item(z), {}, 1), kConvertedInfinity);
  EXPECT_TRUE(std::isinf(z.imag()));
}

TEST(FieldInput, LogicalFields) {
  struct Case {
    const char* field;
    int status;
    std::int32_t value;
  } cases[] = {
      {"T", kConverted, -1},        {"t", kConverted, -1},     {".T", kConverted, -1},  {".t", kConverted, -1},
      {"  .TRUE.", kConverted, -1}, {"Tx", kConverted, -1},    {"F", kConverted, 0},    {".f", kConverted, 0},
      {"FALSE", kConverted, 0},     {"   ", kConverted, 0},    {"", kConverted, 0},     {"X", kInvalidText, 55},
      {".", kInvalidText, 55},      {" .x", kInvalidText, 55}, {"1", kInvalidText, 55}, {"\tT", kInvalidText, 55},
  };
  for (const auto& c : cases) {
    std::int32_t value = 55;
    EXPECT_EQ(read(c.field, "L5", logical_item(value)), c.status) << c.field;
    EXPECT_EQ(value, c.value) << c.field;
  }
  std::int8_t small = 0;
  EXPECT_EQ(read("T", "L1", logical_item(small)), kConverted);
  EXPECT_EQ(small, -1);  // all bits set
  std::int64_t wide = 0;
  EXPECT_EQ(read("T", "G1", logical_item(wide)), kConverted);
  EXPECT_EQ(wide, -1);
  std::int32_t integer = 0;
  EXPECT_EQ(read("T", "L1", item(integer)), kConverted);
  EXPECT_EQ(integer, -1);
}

TEST(FieldInput, CharacterFields) {
  struct Case {
    const char* field;
    std::size_t length;
    const char* stored;
  } cases[] = {
      {"y", 1, "y"},  {"ab", 3, "ab "}, {"abc", 3, "abc"}, {"abcde", 3, "cde"},
      {"", 3, "   "}, {" ", 1, " "},    {"x", 0, ""},
  };
  for (const auto& c : cases) {
    char buffer[4] = {'#', '#', '#', '#'};
    EXPECT_EQ(read(c.field, "A", item(buffer, c.length)), kConverted) << c.field;
    EXPECT_EQ(std::string(buffer, c.length), c.stored) << c.field;
    EXPECT_EQ(std::string(buffer + c.length, 4 - c.length), std::string(4 - c.length, '#')) << c.field;
  }
  std::int32_t bytes = 0;
  EXPECT_EQ(read("ABCD", "A4", item(bytes)), kConverted);
  EXPECT_EQ(bytes, 0x44434241);
}

TEST(FieldInput, RemainingLengthAndRejectedPairs) {
  std::int32_t count = -1;
  EXPECT_EQ(read("hello", "Q", item(count)), kConverted);
  EXPECT_EQ(count, 5);
  std::int8_t small = 0;
  EXPECT_EQ(read(std::string(200, 'x'), "Q", item(small)), kValueOutOfRange);

  std::int32_t integer = 7;
  double real = 7.0;
  char text[1] = {'q'};
  EXPECT_EQ(read("1.5", "F5.1", item(integer)), kInvalidFlags);
  EXPECT_EQ(read("1", "I1", item(real)), kInvalidFlags);
  EXPECT_EQ(read("T", "L1", item(real)), kInvalidFlags);
  EXPECT_EQ(read("1", "G1", item(text, 1)), kInvalidFlags);
  EXPECT_EQ(read("1", "I1", item(integer), {}, 1), kInvalidFlags);
  EXPECT_EQ(integer, 7);
  EXPECT_EQ(real, 7.0);
  EXPECT_EQ(text[0], 'q');
  const IoItem missing{ItemType::Integer, 4, nullptr, 0};
  EXPECT_EQ(read("1", "I1", missing), kInvalidFlags);
  const IoItem odd{ItemType::Real, 6, &real, 0};
  EXPECT_EQ(read("1", "F1.0", odd), kInvalidFlags);
}

}  // namespace
}  // namespace runtime::test
