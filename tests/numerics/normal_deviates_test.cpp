#include "numerics/normal_deviates.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include "numerics/error_stack.h"
#include "numerics/uniform_generator.h"
#include "recording_error_output.h"

namespace numerics {
namespace {

class NormalDeviatesTest : public ::testing::Test {
 protected:
  void SetUp() override { testing::reset_library_state(); }
  void TearDown() override { testing::reset_library_state(); }
};

constexpr double kSmallestUniform = 4.656612875245797e-10;

TEST_F(NormalDeviatesTest, KnownValues) {
  struct Case {
    double p;
    double expected;  // to nine decimals
  };
  const Case cases[] = {
      {0.6, 0.253347103},
      {0.9, 1.281551492},
      {0.975, 1.959963955},
      {0.999, 3.090232183},
      {0.025, -1.959963955},
      {kSmallestUniform, -6.120756334},
      {1.0 - kSmallestUniform, 6.120756334},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.p);
    EXPECT_NEAR(inverse_normal_cdf(c.p), c.expected, 6e-10);
  }
  EXPECT_EQ(inverse_normal_cdf(0.5), 0.0);
}

// Checks the quantile against the distribution function from the library's erfc: an error
// dx in the quantile moves the probability by about density(x) * dx. Comparing in the
// smaller tail keeps full relative precision for p near 0 and near 1. The points cover every
// region of the approximation over the range of the uniform generator, and the far tails
// below the machine spacing. (Between about 1e-12 and 2.2e-16 the cancellation in 1 - 2p
// costs the central formula its accuracy; the generator never comes there.)
TEST_F(NormalDeviatesTest, WithinThreeTenMillionthsOfTheExactQuantile) {
  std::vector<double> ps;
  for (int i = 1; i < 200; ++i) ps.push_back(i / 200.0);
  for (int k = 3; k <= 9; ++k) ps.push_back(std::pow(10.0, -k));
  for (double p : {0.925, 0.926, 1e-3, 2e-8, 3e-8, kSmallestUniform, 2e-16, 1e-20, 1e-50}) {
    ps.push_back(p);
  }
  const std::size_t lower_half = ps.size();
  for (std::size_t i = 0; i < lower_half; ++i) ps.push_back(1.0 - ps[i]);
  for (const double p : ps) {
    SCOPED_TRACE(p);
    const double x = inverse_normal_cdf(p);
    const double tail = p < 0.5 ? p : 1.0 - p;
    const double tail_of_x = 0.5 * std::erfc(std::fabs(x) / std::sqrt(2.0));
    const double density = std::exp(-0.5 * x * x) / std::sqrt(2.0 * std::numbers::pi);
    EXPECT_LE(std::fabs(tail_of_x - tail), density * 3e-7 + 1e-300);
    EXPECT_EQ(x < 0.0, p < 0.5);
  }
}

TEST_F(NormalDeviatesTest, NeverDecreasingAcrossTheRegions) {
  double previous = -std::numeric_limits<double>::infinity();
  for (double p = 1e-300; p < 0.5; p *= 1.01) {
    const double x = inverse_normal_cdf(p);
    ASSERT_GE(x, previous) << p;
    previous = x;
  }
}

TEST_F(NormalDeviatesTest, ArgumentsOutsideTheOpenInterval) {
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(inverse_normal_cdf(0.0), -inf);
  EXPECT_EQ(inverse_normal_cdf(1.0), inf);
  for (const double p : {-0.25, 1.5, -inf, inf, std::numeric_limits<double>::quiet_NaN()}) {
    EXPECT_TRUE(std::isnan(inverse_normal_cdf(p))) << p;
  }
}

TEST_F(NormalDeviatesTest, OneUniformPerDeviate) {
  ASSERT_TRUE(init_uniform_generator(134508));
  double r = 0.0;
  DRNNOR(1, {&r, 1});
  EXPECT_EQ(uniform_seed(), 113192309);
  EXPECT_EQ(r, inverse_normal_cdf(0.05270927634682007));

  ASSERT_TRUE(init_uniform_generator(99));
  std::vector<double> uniforms(300);
  DRNUN(300, uniforms);
  ASSERT_TRUE(init_uniform_generator(99));
  std::vector<double> normals(300);
  DRNNOR(300, normals);
  for (std::size_t i = 0; i < normals.size(); ++i) {
    ASSERT_EQ(normals[i], inverse_normal_cdf(uniforms[i])) << i;
  }
}

TEST_F(NormalDeviatesTest, BadCountIsReportedUnderItsOwnName) {
  ASSERT_TRUE(init_uniform_generator(5));
  std::vector<double> r(2, 7.0);
  for (const std::int32_t nr : {0, -1, 3}) {
    SCOPED_TRACE(nr);
    testing::printed_lines().clear();
    reset_error_stack();
    EXPECT_THROW(DRNNOR(nr, r), testing::LibraryStopped);
    ASSERT_FALSE(testing::printed_lines().empty());
    EXPECT_EQ(testing::printed_lines()[0].rfind(" *** TERMINAL ERROR 1 from DRNNOR.  NR = ", 0), 0u);
    EXPECT_EQ(r, std::vector<double>(2, 7.0));
    EXPECT_EQ(uniform_seed(), 5);
  }
}

}  // namespace
}  // namespace numerics
