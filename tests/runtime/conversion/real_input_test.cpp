// text_to_real: the answers the dialogue reads under F20.10, exponent forms, blank modes,
// implied decimals, scale factors, Infinity and NaN, limits, rounding and malformed text.

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "conversion_test_support.h"

namespace runtime::test {
namespace {

constexpr BlankMode BN = BlankMode::Null;
constexpr BlankMode BZ = BlankMode::Zero;

struct RealInputCase {
  std::string text;
  BlankMode blank;
  std::int32_t d;
  std::int32_t scale;
  int size;
  int status;
  double value;
};

bool same_value(double a, double b) {
  if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
  return std::memcmp(&a, &b, sizeof a) == 0;  // tells -0.0 from 0.0
}

void check(const RealInputCase& c) {
  double value = 123.0;
  const int status = text_to_real(c.text, c.blank, c.d, c.scale, c.size, value);
  EXPECT_EQ(status, c.status) << '"' << c.text << '"';
  if (conversion_succeeded(status)) {
    EXPECT_TRUE(same_value(value, c.value)) << '"' << c.text << "\" gave " << value << ", expected " << c.value;
  }
}

TEST(RealInput, DialogueAnswersUnderF20_10) {
  const RealInputCase cases[] = {
      {"1.4", BN, 10, 0, 8, kConverted, 1.4},
      {"-0.25", BN, 10, 0, 8, kConverted, -0.25},
      {"1.0e-3", BN, 10, 0, 8, kConverted, 0.001},
      {"2", BN, 10, 0, 8, kConverted, 2.0e-10},
      {"1e-3", BN, 10, 0, 8, kConverted, 1.0e-13},
      {"", BN, 10, 0, 8, kConverted, 0.0},
      {"                    ", BN, 10, 0, 8, kConverted, 0.0},
      {"3 . 5", BN, 10, 0, 8, kConverted, 3.5},
      {"5", BN, 10, 0, 8, kConverted, 5.0e-10},
      {"5.", BN, 10, 0, 8, kConverted, 5.0},
      {"1", BN, 10, 0, 8, kConverted, 1.0e-10},  // the record 1,5 is cut at the comma
      {"1e400", BN, 10, 0, 8, kValueOutOfRange, 0.0},
      {"  \t 2.5", BN, 10, 0, 8, kConverted, 2.5},
  };
  for (const auto& c : cases) check(c);
}

TEST(RealInput, ExponentsAndBlankModes) {
  const RealInputCase cases[] = {
      {"1.5-3", BN, 0, 0, 8, kConverted, 1.5e-3},  {"1.5+3", BN, 0, 0, 8, kConverted, 1500.0},
      {"1.5D2", BN, 0, 0, 8, kConverted, 150.0},   {"1.5d-2", BN, 0, 0, 8, kConverted, 0.015},
      {"1.5q2", BN, 0, 0, 8, kConverted, 150.0},   {"1.5Q+2", BN, 0, 0, 8, kConverted, 150.0},
      {"1.5E 2", BN, 0, 0, 8, kConverted, 150.0},  {"1.5E 2", BZ, 0, 0, 8, kConverted, 150.0},
      {"1.5E2 ", BZ, 0, 0, 8, kConverted, 1.5e20}, {"1.5E-2 ", BN, 0, 0, 8, kConverted, 0.015},
      {"1.5  ", BZ, 0, 0, 8, kConverted, 1.5},     {"12    ", BZ, 2, 0, 8, kConverted, 1200.0},
      {"1 2", BN, 0, 0, 8, kConverted, 12.0},      {"1 2", BZ, 0, 0, 8, kConverted, 102.0},
      {"-  1.5", BN, 0, 0, 8, kConverted, -1.5},   {".5", BN, 0, 0, 8, kConverted, 0.5},
      {"-.5e1", BN, 0, 0, 8, kConverted, -5.0},    {"000000000000000000000000000001.5", BN, 0, 0, 8, kConverted, 1.5},
  };
  for (const auto& c : cases) check(c);
}

TEST(RealInput, ImpliedDecimalsAndScaleFactor) {
  const RealInputCase cases[] = {
      {"12345", BN, 2, 0, 8, kConverted, 123.45},
      {"12345", BN, 0, 0, 8, kConverted, 12345.0},
      {"123.45", BN, 5, 0, 8, kConverted, 123.45},   // a point overrides d
      {"12345e1", BN, 2, 0, 8, kConverted, 1234.5},  // d applies before the exponent
      {"1.5", BN, 0, 2, 8, kConverted, 0.015},
      {"1.5", BN, 0, -2, 8, kConverted, 150.0},
      {"1.5E1", BN, 0, 2, 8, kConverted, 15.0},  // an exponent overrides the scale factor
      {"15", BN, 1, 1, 8, kConverted, 0.15},
      {"7", BN, -3, 0, 8, kConverted, 7.0},  // a negative d counts as none
  };
  for (const auto& c : cases) check(c);
}

TEST(RealInput, InfinityAndNaN) {
  constexpr double inf = std::numeric_limits<double>::infinity();
  constexpr double nan = std::numeric_limits<double>::quiet_NaN();
  const RealInputCase cases[] = {
      {"Infinity", BN, 10, 0, 8, kConvertedInfinity, inf},
      {"-infinity", BN, 10, 0, 8, kConvertedInfinity, -inf},
      {"  +INF   ", BN, 10, 0, 8, kConvertedInfinity, inf},
      {"iNfInItY", BN, 10, 0, 4, kConvertedInfinity, inf},
      {"nan", BN, 10, 0, 8, kConvertedNaN, nan},
      {"-NaN  ", BN, 10, 0, 8, kConvertedNaN, nan},
      {"Infin", BN, 10, 0, 8, kInvalidText, 0.0},
      {"Infinity1", BN, 10, 0, 8, kInvalidText, 0.0},
      {"nano", BN, 10, 0, 8, kInvalidText, 0.0},
      {"In", BN, 10, 0, 8, kInvalidText, 0.0},
      {"1Inf", BN, 10, 0, 8, kInvalidText, 0.0},
  };
  for (const auto& c : cases) check(c);
  double value = 0.0;
  ASSERT_EQ(text_to_real("NaN", BN, 0, 0, 8, value), kConvertedNaN);
  EXPECT_TRUE(std::isnan(value));
}

TEST(RealInput, MalformedText) {
  const char* texts[] = {
      "1,5", "1\t5",    "1_5",     "1.2.3",  "abc", "1x",    "1.5E", "1.5-", "1.5E+", "E5",     ".",
      "-.",  "1.5E2.5", "1.5E--2", "1.5E2-", "++1", "1+2+3", "$1",   "\x80", "0x10",  "1.5E  ",
  };
  for (const char* text : texts) {
    double value = 0.0;
    EXPECT_EQ(text_to_real(text, BN, 0, 0, 8, value), kInvalidText) << '"' << text << '"';
  }
  double value = 0.0;
  EXPECT_EQ(text_to_real(std::string("1\0", 2), BN, 0, 0, 8, value), kInvalidText);
}

TEST(RealInput, LimitsOfEightByteItems) {
  const RealInputCase cases[] = {
      {"1e309", BN, 0, 0, 8, kValueOutOfRange, 0.0},
      {"1.8e308", BN, 0, 0, 8, kValueOutOfRange, 0.0},
      {"1.7976931348623157e308", BN, 0, 0, 8, kConverted, DBL_MAX},
      {"-1.7976931348623157e308", BN, 0, 0, 8, kConverted, -DBL_MAX},
      {"0.0001e312", BN, 0, 0, 8, kConverted, 1e308},
      {"1e-400", BN, 0, 0, 8, kConverted, 0.0},
      {"-1e-400", BN, 0, 0, 8, kConverted, -0.0},
      {"-1e-330", BN, 0, 0, 8, kConverted, -0.0},
      {"2e-324", BN, 0, 0, 8, kConverted, 0.0},  // below half the smallest subnormal
      {"4.9e-324", BN, 0, 0, 8, kConverted, 4.9406564584124654e-324},
      {"1e-310", BN, 0, 0, 8, kConverted, 1e-310},
      {"-0", BN, 0, 0, 8, kConverted, -0.0},
      {"-", BN, 0, 0, 8, kConverted, -0.0},
      {"+", BN, 0, 0, 8, kConverted, 0.0},
      {"0e99999", BN, 0, 0, 8, kConverted, 0.0},
      {"1e99999999999999999999", BN, 0, 0, 8, kValueOutOfRange, 0.0},
      {"1e-99999999999999999999", BN, 0, 0, 8, kConverted, 0.0},
      {"1" + std::string(1000, '0') + ".", BN, 0, 0, 8, kValueOutOfRange, 0.0},
      {"0." + std::string(1000, '0') + "1", BN, 0, 0, 8, kConverted, 0.0},
      {"0." + std::string(300, '0') + "1", BN, 0, 0, 8, kConverted, 1e-301},
      {"1" + std::string(100000, '0') + "e-100000", BN, 0, 0, 8, kConverted, 1.0},
  };
  for (const auto& c : cases) check(c);
}

TEST(RealInput, CorrectRounding) {
  const RealInputCase cases[] = {
      {"0.1", BN, 0, 0, 8, kConverted, 0.1},
      {"9007199254740993", BN, 0, 0, 8, kConverted, 9007199254740992.0},  // tie: to even
      {"9007199254740993.0000000000000000001", BN, 0, 0, 8, kConverted, 9007199254740994.0},
      // A digit far beyond the 800 kept ones still breaks the tie.
      {"9007199254740993." + std::string(2000, '0') + "1", BN, 0, 0, 8, kConverted, 9007199254740994.0},
      {"9007199254740993." + std::string(2000, '0'), BN, 0, 0, 8, kConverted, 9007199254740992.0},
      {"9007199254740995", BN, 0, 0, 8, kConverted, 9007199254740996.0},
  };
  for (const auto& c : cases) check(c);
}

TEST(RealInput, FourByteItems) {
  const RealInputCase cases[] = {
      {"0.1", BN, 0, 0, 4, kConverted, static_cast<double>(0.1f)},
      {"3.4028235e38", BN, 0, 0, 4, kConverted, static_cast<double>(FLT_MAX)},
      {"3.5e38", BN, 0, 0, 4, kValueOutOfRange, 0.0},
      {"1e39", BN, 0, 0, 4, kValueOutOfRange, 0.0},
      {"-1e-50", BN, 0, 0, 4, kConverted, -0.0},
      {"1.4e-45", BN, 0, 0, 4, kConverted, static_cast<double>(std::numeric_limits<float>::denorm_min())},
      // Rounded once, straight to float: through a double it would fall on the tie and go
      // down to 16777216.
      {"16777217.000000001", BN, 0, 0, 4, kConverted, 16777218.0},
      {"16777217", BN, 0, 0, 4, kConverted, 16777216.0},
      {"1e300", BN, 0, 0, 4, kValueOutOfRange, 0.0},
  };
  for (const auto& c : cases) check(c);
}

}  // namespace
}  // namespace runtime::test
