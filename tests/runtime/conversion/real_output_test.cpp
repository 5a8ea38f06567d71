// Real output fields: F, E, D, EN, ES, G, scale factors, signs, Infinity and NaN.

#include <cmath>
#include <complex>
#include <limits>

#include "conversion_test_support.h"

namespace runtime::test {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct RealCase {
  double value;
  const char* format;
  SignMode sign;
  std::int32_t scale;
  const char* expected;
  int status;
};

constexpr SignMode S = SignMode::Processor;
constexpr SignMode SP = SignMode::Plus;
constexpr SignMode SS = SignMode::Suppress;

void check(const RealCase& c) {
  const double value = c.value;
  const Written out = write_field(item(value), c.format, modes(c.sign, c.scale));
  EXPECT_EQ(out.text, c.expected) << c.format << " of " << c.value << " scale " << c.scale;
  EXPECT_EQ(out.status, c.status) << c.format << " of " << c.value << " scale " << c.scale;
}

TEST(FixedOutput, SeriesFileExamples) {
  const RealCase cases[] = {
      {0.5, "F20.10", S, 0, "        0.5000000000", kConverted},
      {-1.2345, "F20.10", S, 0, "       -1.2345000000", kConverted},
      {123456789.0, "F20.10", S, 0, "123456789.0000000000", kConverted},
      {1.0e9, "F20.10", S, 0, "********************", kFieldOverflow},
      {-1.0e8, "F20.10", S, 0, "********************", kFieldOverflow},
      {1.0e-11, "F20.10", S, 0, "        0.0000000000", kConverted},
      {6.0e-11, "F20.10", S, 0, "        0.0000000001", kConverted},
      {1.0e300, "F20.10", S, 0, "********************", kFieldOverflow},
      {0.0, "F20.10", S, 0, "        0.0000000000", kConverted},
  };
  for (const auto& c : cases) check(c);
}

TEST(FixedOutput, LeadingZeroAndSigns) {
  const RealCase cases[] = {
      {0.5, "F4.2", S, 0, "0.50", kConverted},
      {-0.5, "F4.2", S, 0, "-.50", kConverted},
      {-0.5, "F3.2", S, 0, "***", kFieldOverflow},
      {0.5, "F3.2", S, 0, ".50", kConverted},
      {0.5, "F4.2", SP, 0, "+.50", kConverted},
      {0.5, "F5.2", SP, 0, "+0.50", kConverted},
      {1.5, "F6.2", SP, 0, " +1.50", kConverted},
      {-1.5, "F6.2", SS, 0, " -1.50", kConverted},
      {1.5, "F6.2", SS, 0, "  1.50", kConverted},
      {0.0, "F5.2", SP, 0, "+0.00", kConverted},
      // Values that round to zero are written without a minus sign, -0.0 included.
      {-1.0e-11, "F20.10", S, 0, "        0.0000000000", kConverted},
      {-0.004, "F5.2", S, 0, " 0.00", kConverted},
      {-0.0, "F5.2", S, 0, " 0.00", kConverted},
      {-0.006, "F5.2", S, 0, "-0.01", kConverted},
      {-0.0004, "F7.3", SP, 0, " +0.000", kConverted},
      {-0.0006, "F7.3", SP, 0, " -0.001", kConverted},
      {-0.4, "F3.0", S, 0, " 0.", kConverted},
      {-1.0e-30, "F4.2", S, 0, "0.00", kConverted},
      {-0.09, "F4.1", S, 0, "-0.1", kConverted},
      // d = 0: the point alone would hold no digit, so a 0 always stands before it.
      {0.4, "F3.0", S, 0, " 0.", kConverted},
      {0.4, "F2.0", S, 0, "0.", kConverted},
      {0.4, "F1.0", S, 0, "*", kFieldOverflow},
      {-0.6, "F3.0", S, 0, "-1.", kConverted},
      {12.0, "F3.0", S, 0, "12.", kConverted},
      {12.0, "F2.0", S, 0, "**", kFieldOverflow},
      {1.5, "F3.5", S, 0, "***", kFieldOverflow},
      {1.5, "F0.0", S, 0, "", kFieldOverflow},
  };
  for (const auto& c : cases) check(c);
}

TEST(FixedOutput, ExactDigitsWithTiesToEven) {
  const RealCase cases[] = {
      {2.25, "F5.1", S, 0, "  2.2", kConverted},  // exact tie: to even
      {2.35, "F5.1", S, 0, "  2.4", kConverted},  // 2.35000000000000008882 is above the tie
      {2.26, "F5.1", S, 0, "  2.3", kConverted},
      {0.125, "F5.2", S, 0, " 0.12", kConverted},
      {0.375, "F5.2", S, 0, " 0.38", kConverted},
      {2.5, "F3.0", S, 0, " 2.", kConverted},
      {3.5, "F3.0", S, 0, " 4.", kConverted},
      {2.675, "F5.2", S, 0, " 2.67", kConverted},  // 2.67499999999999982236431605997495353221893310546875
      {0.05, "F5.1", S, 0, "  0.1", kConverted},   // 0.05000000000000000277
      {0.1, "F34.30", S, 0, "  0.100000000000000005551115123126", kConverted},
      {9.9996, "F6.3", S, 0, "10.000", kConverted},
      {9.9996, "F5.3", S, 0, "*****", kFieldOverflow},
      {5e-324, "F10.3", S, 0, "     0.000", kConverted},
      {1e22, "F25.1", S, 0, "10000000000000000000000.0", kConverted},
      {1e23, "F26.1", S, 0, " 99999999999999991611392.0", kConverted},
  };
  for (const auto& c : cases) check(c);
}

TEST(FixedOutput, ScaleFactorShiftsDecimalDigits) {
  const RealCase cases[] = {
      {1.2345, "F8.2", S, 2, "  123.45", kConverted},
      // 0.15 is 0.1499999999999999944...: shifting the digits gives 1, whereas 0.15 * 10
      // computed in binary is exactly 1.5 and would round to 2.
      {0.15, "F3.0", S, 1, " 1.", kConverted},
      {123.456, "F8.4", S, -2, "  1.2346", kConverted},
      {1234.5, "F6.1", S, -3, "   1.2", kConverted},  // rounded at the hundreds: 1200
      {1250.0, "F6.1", S, -3, "   1.2", kConverted},  // tie at the hundreds: to even
      {1350.0, "F6.1", S, -3, "   1.4", kConverted},
      {1250.5, "F6.1", S, -3, "   1.3", kConverted},  // the fraction breaks the tie
      {1234.5, "F6.1", S, -4, "   0.1", kConverted},
      {1234.5, "F6.1", S, -5, "   0.0", kConverted},
      {6000.0, "F6.1", S, -5, "   0.1", kConverted},
      {5000.0, "F6.1", S, -5, "   0.0", kConverted},
      {5000.5, "F6.1", S, -5, "   0.1", kConverted},
      {9999.0, "F6.1", S, -3, "  10.0", kConverted},  // carry out of the top digit
      {6000.0, "F6.1", S, -6, "   0.0", kConverted},
      {-6000.0, "F6.1", S, -6, "   0.0", kConverted},
      {1.0, "F6.1", S, 1000, "******", kFieldOverflow},
      {1.0, "F6.1", S, -1000, "   0.0", kConverted},
      {0.0, "F6.1", S, 1000000000, "   0.0", kConverted},
  };
  for (const auto& c : cases) check(c);
}

TEST(FixedOutput, InfinityAndNaN) {
  const RealCase cases[] = {
      {kInf, "F3.1", S, 0, "***", kFieldOverflow},
      {kInf, "F10.3", S, 0, "  Infinity", kConvertedInfinity},
      {-kInf, "F10.3", S, 0, " -Infinity", kConvertedInfinity},
      {kInf, "F10.3", SP, 0, " +Infinity", kConvertedInfinity},
      {kInf, "F8.2", S, 0, "Infinity", kConvertedInfinity},
      {-kInf, "F8.2", S, 0, "********", kFieldOverflow},
      {kNaN, "F10.3", S, 0, "       NaN", kConvertedNaN},
      {kNaN, "F10.3", SP, 0, "       NaN", kConvertedNaN},
      {kNaN, "F2.1", S, 0, "**", kFieldOverflow},
      {kInf, "E12.4", S, 0, "    Infinity", kConvertedInfinity},
      {kNaN, "ES12.4", S, 0, "         NaN", kConvertedNaN},
      {-kInf, "EN12.4", S, 0, "   -Infinity", kConvertedInfinity},
      {kNaN, "G12.4", S, 0, "         NaN", kConvertedNaN},
  };
  for (const auto& c : cases) check(c);
}

TEST(FixedOutput, WideFieldsAndLongFractions) {
  const double one_and_half = 1.5;
  Written out = write_field(item(one_and_half), "F100000.5");
  EXPECT_EQ(out.status, kConverted);
  EXPECT_EQ(out.text, std::string(99993, ' ') + "1.50000");

  const double one = 1.0;
  out = write_field(item(one), "F3000.2990");
  EXPECT_EQ(out.status, kConverted);
  EXPECT_EQ(out.text, std::string(8, ' ') + "1." + std::string(2990, '0'));

  // The exact expansion of the smallest subnormal ends 1074 digits after the point.
  const double tiny = 5e-324;
  out = write_field(item(tiny), "F1200.1100");
  EXPECT_EQ(out.status, kConverted);
  EXPECT_EQ(out.text.substr(0, 100), std::string(98, ' ') + "0.");
  EXPECT_EQ(out.text.substr(100, 323), std::string(323, '0'));
  EXPECT_EQ(out.text.substr(423, 4), "4940");
  EXPECT_EQ(out.text.substr(1100 + 74), std::string(26, '0'));
  EXPECT_EQ(out.text[1100 + 73], '5');
}

TEST(ExponentOutput, EAndDForms) {
  const RealCase cases[] = {
      {1234.5678, "E12.4", S, 0, "  0.1235E+04", kConverted},
      {1234.5678, "D12.4", S, 0, "  0.1235D+04", kConverted},
      {-0.00012346, "E12.4", S, 0, " -0.1235E-03", kConverted},
      {-0.00012346, "E10.4", S, 0, "-.1235E-03", kConverted},
      {-0.00012346, "E9.4", S, 0, "*********", kFieldOverflow},
      {0.0, "E12.4", S, 0, "  0.0000E+00", kConverted},
      {-0.0, "E12.4", S, 0, "  0.0000E+00", kConverted},
      {1.0, "E12.4", SP, 0, " +0.1000E+01", kConverted},
      {9.9996, "E10.3", S, 0, " 0.100E+02", kConverted},
      {0.125, "E10.2", S, 0, "  0.12E+00", kConverted},
      {1e100, "E12.4", S, 0, "  0.1000+101", kConverted},
      {1e-100, "E12.4", S, 0, "  0.1000E-99", kConverted},
      {1e-101, "E12.4", S, 0, "  0.1000-100", kConverted},
      {1e100, "D12.4", S, 0, "  0.1000+101", kConverted},
      {5e-324, "E12.4", S, 0, "  0.4941-323", kConverted},
      {1234.5678, "E12.4E3", S, 0, " 0.1235E+004", kConverted},
      {1234.5678, "E10.4E1", S, 0, " 0.1235E+4", kConverted},
      {1e10, "E10.4E1", S, 0, "**********", kFieldOverflow},
      {1e-300, "E14.4E4", S, 0, "  0.1000E-0299", kConverted},
      {1.0, "E25.16", S, 0, "   0.1000000000000000E+01", kConverted},
  };
  for (const auto& c : cases) check(c);
}

TEST(ExponentOutput, ScaleFactorOnEAndD) {
  const RealCase cases[] = {
      {1234.5678, "E12.4", S, 1, "  1.2346E+03", kConverted},
      {1234.5678, "E12.4", S, 2, "  12.346E+02", kConverted},
      {1234.5678, "E12.4", S, 5, "  12346.E-01", kConverted},
      {1234.5678, "E12.4", S, -1, "  0.0123E+05", kConverted},
      {1234.5678, "D12.4", S, -3, "  0.0001D+07", kConverted},
      {0.0, "E12.4", S, 2, "   0.000E+00", kConverted},
      // No layout exists outside -d < k < d + 2.
      {1234.5678, "E12.4", S, -4, "************", kInvalidFlags},
      {1234.5678, "E12.4", S, 6, "************", kInvalidFlags},
      {1234.5678, "E12.0", S, 0, "************", kInvalidFlags},
      {1234.5678, "E12.0", S, 1, "      1.E+03", kConverted},
  };
  for (const auto& c : cases) check(c);
  // An exponent beyond 999 has no room even in the three-digit form.
  const double huge = 1e300;
  const Written out = write_field(item(huge), "E1000.800", modes(S, -700));
  EXPECT_EQ(out.text, std::string(1000, '*'));
  EXPECT_EQ(out.status, kFieldOverflow);
}

TEST(ExponentOutput, EngineeringAndScientific) {
  const RealCase cases[] = {
      {12345.0, "EN12.3", S, 0, "  12.345E+03", kConverted},
      {1234.5, "EN12.3", S, 0, "   1.234E+03", kConverted},  // tie at the fourth digit: even
      {0.00012345, "EN12.3", S, 0, " 123.450E-06", kConverted},
      {999.9996, "EN12.3", S, 0, "   1.000E+03", kConverted},
      {99.9996, "EN12.3", S, 0, " 100.000E+00", kConverted},
      {0.0, "EN12.3", S, 0, "   0.000E+00", kConverted},
      {-1.0, "EN12.3", S, 0, "  -1.000E+00", kConverted},
      {12345.0, "EN12.3", S, 2, "  12.345E+03", kConverted},  // the scale factor has no effect
      {1e-5, "EN12.3", S, 0, "  10.000E-06", kConverted},
      {1234.5678, "ES12.3", S, 0, "   1.235E+03", kConverted},
      {1234.5678, "ES12.3", S, 2, "   1.235E+03", kConverted},
      {0.0, "ES12.3", S, 0, "   0.000E+00", kConverted},
      {9.9996, "ES12.3", S, 0, "   1.000E+01", kConverted},
      {5.0, "ES10.0", S, 0, "    5.E+00", kConverted},
      {-5.0, "ES6.0", S, 0, "******", kFieldOverflow},
      {1e-200, "ES12.3E3", S, 0, "  1.000E-200", kConverted},
      // These doubles lie just below a power of ten, closer than 17 digits can show.
      {1e98, "EN40.30", S, 0, "   99.999999999999999769037024514371E+96", kConverted},
      {1e-14, "EN30.20", S, 0, "    9.99999999999999998819E-15", kConverted},
  };
  for (const auto& c : cases) check(c);
}

TEST(GeneralOutput, ChoosesFixedOrExponentByMagnitude) {
  const RealCase cases[] = {
      {0.0, "G12.4", S, 0, "   0.000    ", kConverted},
      {1234.5678, "G12.4", S, 0, "   1235.    ", kConverted},
      {1234.5678, "G12.4", SP, 0, "  +1235.    ", kConverted},
      {12345.678, "G12.4", S, 0, "  0.1235E+05", kConverted},
      {0.12345, "G12.4", S, 0, "  0.1235    ", kConverted},
      {0.012346, "G12.4", S, 0, "  0.1235E-01", kConverted},
      {9999.6, "G12.4", S, 0, "  0.1000E+05", kConverted},    // rounds up to 10^4: E form
      {0.099996, "G12.4", S, 0, "  0.1000    ", kConverted},  // rounds up to 0.1: F form
      {2.5, "G12.4", S, 0, "   2.500    ", kConverted},
      {1234.5678, "G12.4E3", S, 0, "  1235.     ", kConverted},
      {1234.5678, "G12.4", S, 2, "   1235.    ", kConverted},  // F form ignores kP
      {12345.678, "G12.4", S, 1, "  1.2346E+04", kConverted},  // E form applies it
      {1234.5678, "G7.4", S, 0, "*******", kFieldOverflow},
      {1.0, "G25.16", S, 0, "    1.000000000000000    ", kConverted},
  };
  for (const auto& c : cases) check(c);
}

TEST(RealOutput, SingleComplexAndDefaults) {
  const float tenth = 0.1f;  // 0.100000001490116119384765625
  EXPECT_EQ(write_field(item(tenth), "F12.10").text, "0.1000000015");
  EXPECT_EQ(write_field(item(tenth), "F").text, "      0.1000000");
  EXPECT_EQ(write_field(item(tenth), "E").text, "  0.1000000E+00");
  const double one = 1.0;
  EXPECT_EQ(write_field(item(one), "E").text, "   0.1000000000000000E+01");
  EXPECT_EQ(write_field(item(one), "G").text, "    1.000000000000000    ");

  const std::complex<double> z(1.5, -2.25);
  EXPECT_EQ(write_field(item(z), "F6.2", {}, 0).text, "  1.50");
  EXPECT_EQ(write_field(item(z), "F6.2", {}, 1).text, " -2.25");
  const std::complex<float> zf(0.5f, 4.0f);
  EXPECT_EQ(write_field(item(zf), "ES9.2", {}, 1).text, " 4.00E+00");
}

}  // namespace
}  // namespace runtime::test
