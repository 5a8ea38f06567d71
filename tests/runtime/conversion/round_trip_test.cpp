// Properties over many values: what output writes, input reads back; and arbitrary bytes in
// any field never crash the conversions or give a status outside the documented set.

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>

#include "conversion_test_support.h"

namespace runtime::test {
namespace {

// Finite doubles spread over the whole exponent range, from random bit patterns.
double random_finite_double(std::mt19937_64& random) {
  for (;;) {
    const std::uint64_t bits = random();
    double value;
    std::memcpy(&value, &bits, sizeof value);
    if (std::isfinite(value)) return value;
  }
}

std::string write_text(const IoItem& target, std::string_view format, const EditModes& m = {}) {
  const Written out = write_field(target, format, m);
  EXPECT_TRUE(conversion_succeeded(out.status)) << format << ": " << out.text;
  return out.text;
}

TEST(RoundTrip, SeventeenSignificantDigitsReadBackExactly) {
  std::mt19937_64 random(20240601);
  for (int i = 0; i < 20000; ++i) {
    const double value = random_finite_double(random);
    for (const char* format : {"E26.17", "ES25.16", "D26.17"}) {
      const std::string text = write_text(item(value), format);
      double back = 0.0;
      ASSERT_EQ(text_to_real(text, BlankMode::Null, 0, 0, 8, back), kConverted) << text;
      EXPECT_EQ(std::memcmp(&back, &value, sizeof value) == 0 || (value == 0.0 && back == 0.0), true)
          << format << " " << text;
    }
  }
}

TEST(RoundTrip, NineSignificantDigitsForFloats) {
  std::mt19937 random(7);
  for (int i = 0; i < 20000; ++i) {
    const std::uint32_t bits = random();
    float value;
    std::memcpy(&value, &bits, sizeof value);
    if (!std::isfinite(value)) continue;
    const std::string text = write_text(item(value), "ES16.8");
    float back = 0.0f;
    ASSERT_EQ(convert_input_field(text, descriptor("ES16.8"), {}, item(back), 0), kConverted) << text;
    EXPECT_TRUE(back == value || (value == 0.0f && back == 0.0f)) << text;
  }
}

TEST(RoundTrip, FixedFieldsAreStable) {
  // Under F20.10 a value read back is the nearest double to the printed decimal, and writing
  // it again prints the same field; the difference from the original is at most half a unit
  // of the tenth decimal.
  std::mt19937_64 random(99);
  std::uniform_real_distribution<double> magnitude(-9.0, 8.0);
  for (int i = 0; i < 20000; ++i) {
    const double value = (random() & 1 ? -1.0 : 1.0) * std::pow(10.0, magnitude(random));
    const std::string text = write_text(item(value), "F20.10");
    double back = 0.0;
    ASSERT_EQ(text_to_real(text, BlankMode::Null, 10, 0, 8, back), kConverted) << text;
    EXPECT_LE(std::fabs(back - value), 0.5e-10 * (1 + 1e-6) + std::fabs(value) * 1e-15) << text;
    EXPECT_EQ(write_text(item(back), "F20.10"), text);
  }
}

TEST(RoundTrip, ScaledFieldsReadBackWithTheSameScaleFactor) {
  std::mt19937_64 random(5);
  std::uniform_real_distribution<double> magnitude(-3.0, 3.0);
  for (int scale = -3; scale <= 3; ++scale) {
    for (int i = 0; i < 500; ++i) {
      const double value = std::pow(10.0, magnitude(random));
      const std::string text = write_text(item(value), "F30.12", modes(SignMode::Processor, scale));
      double back = 0.0;
      ASSERT_EQ(text_to_real(text, BlankMode::Null, 12, scale, 8, back), kConverted) << text;
      EXPECT_NEAR(back, value, 1e-9 * std::pow(10.0, -scale)) << text << " scale " << scale;
    }
  }
}

TEST(RoundTrip, IntegersThroughEveryRadix) {
  std::mt19937_64 random(11);
  for (int i = 0; i < 5000; ++i) {
    const auto value = static_cast<std::int64_t>(random()) >> (random() % 64);
    const auto v32 = static_cast<std::int32_t>(value);
    for (const char* format : {"I25", "O25", "Z25", "B70"}) {
      std::int64_t back64 = 0;
      ASSERT_EQ(convert_input_field(write_text(item(value), format), descriptor(format), {}, item(back64), 0),
                kConverted);
      EXPECT_EQ(back64, value) << format;
      std::int32_t back32 = 0;
      ASSERT_EQ(convert_input_field(write_text(item(v32), format), descriptor(format), {}, item(back32), 0),
                kConverted);
      EXPECT_EQ(back32, v32) << format;
    }
  }
}

TEST(Robustness, ArbitraryBytesInAnyField) {
  std::mt19937_64 random(3);
  const char alphabet[] = "0123456789+-.eEdDqQ ,\t_iInNfFaAtTyY\x80\xff";
  const struct {
    const char* format;
    bool real;
  } formats[] = {{"I12", false},   {"Z12", false},  {"O12", false},   {"B12", false}, {"F20.10", true},
                 {"E25.16", true}, {"G12.3", true}, {"EN12.3", true}, {"L5", false},  {"G12.3", false}};
  for (int i = 0; i < 20000; ++i) {
    std::string field(random() % 40, ' ');
    for (char& c : field) {
      c = (random() % 4 == 0) ? static_cast<char>(random()) : alphabet[random() % (sizeof alphabet - 1)];
    }
    const BlankMode blank = (random() & 1) ? BlankMode::Zero : BlankMode::Null;
    for (const auto& [format, real_item] : formats) {
      std::int64_t integer = 0;
      double real = 0.0;
      const EditDescriptor d = descriptor(format);
      const IoItem target = real_item ? item(real) : item(integer);
      const int status = convert_input_field(field, d, modes(SignMode::Processor, 0, blank), target, 0);
      const bool known = status == kConverted || status == kConvertedNaN || status == kConvertedInfinity ||
                         status == kInvalidText || status == kInvalidIntegerCharacter || status == kValueOutOfRange;
      EXPECT_TRUE(known) << format << " '" << field << "' gave " << status;
      if (status == kConverted && target.type == ItemType::Real) {
        EXPECT_TRUE(std::isfinite(real)) << field;
      }
    }
  }
}

TEST(Robustness, HugeDescriptorNumbersNeverOverflow) {
  const double value = 1.5;
  std::string field(64, '#');
  EditDescriptor d = descriptor("F20.10");
  d.d = 2147483647;
  EXPECT_EQ(convert_output_field(item(value), 0, d, {}, field.data(), 20), kFieldOverflow);
  EXPECT_EQ(field.substr(0, 20), std::string(20, '*'));
  d = descriptor("E20.10E3");
  d.e = 2147483647;
  EXPECT_EQ(convert_output_field(item(value), 0, d, {}, field.data(), 20), kFieldOverflow);
  d = descriptor("E20.10");
  d.d = 2147483647;
  EXPECT_EQ(convert_output_field(item(value), 0, d, modes(SignMode::Processor, 2147483647), field.data(), 20),
            kFieldOverflow);
  EXPECT_EQ(convert_output_field(item(value), 0, d, modes(SignMode::Processor, -2147483647 - 1), field.data(), 20),
            kInvalidFlags);
  d = descriptor("I20.5");
  d.d = 2147483647;
  const std::int64_t integer = 5;
  EXPECT_EQ(convert_output_field(item(integer), 0, d, {}, field.data(), 20), kFieldOverflow);
  d = descriptor("F20.10");
  EXPECT_EQ(convert_output_field(item(value), 0, d, modes(SignMode::Processor, 2147483647), field.data(), 20),
            kFieldOverflow);
  EXPECT_EQ(convert_output_field(item(value), 0, d, modes(SignMode::Processor, -2147483647 - 1), field.data(), 20),
            kConverted);
  EXPECT_EQ(field.substr(0, 20), "        0.0000000000");
  EXPECT_EQ(field.substr(20), std::string(44, '#'));
  // Input: 15 with d = 2^31 - 1 implied decimals and a scale factor of -2^31 is 15 * 10^1.
  double back = 0.0;
  EXPECT_EQ(text_to_real("15", BlankMode::Null, 2147483647, -2147483647 - 1, 8, back), kConverted);
  EXPECT_EQ(back, 150.0);
  EXPECT_EQ(text_to_real("15", BlankMode::Null, 2147483647, 0, 8, back), kConverted);
  EXPECT_EQ(back, 0.0);
  EXPECT_EQ(text_to_real("1.5", BlankMode::Null, 0, -2147483647 - 1, 8, back), kValueOutOfRange);
  EXPECT_EQ(text_to_real("1.5", BlankMode::Null, 0, 2147483647, 8, back), kConverted);
  EXPECT_EQ(back, 0.0);
}

}  // namespace
}  // namespace runtime::test
