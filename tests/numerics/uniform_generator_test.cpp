#include "numerics/uniform_generator.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "numerics/error_printing.h"
#include "numerics/error_stack.h"
#include "recording_error_output.h"

namespace numerics {
namespace {

// 16807 * seed mod (2^31 - 1) in 64-bit arithmetic, independent of Schrage's method.
std::int32_t reference_next(std::int64_t seed) { return static_cast<std::int32_t>(seed * 16807 % 2147483647); }

// A clock whose time the tests choose; it counts how often it is read.
std::optional<TimeOfDay> g_clock_time;
int g_clock_reads = 0;
std::optional<TimeOfDay> test_clock() {
  ++g_clock_reads;
  return g_clock_time;
}

class UniformGeneratorTest : public ::testing::Test {
 protected:
  void SetUp() override { testing::reset_library_state(); }
  void TearDown() override { testing::reset_library_state(); }
};

TEST_F(UniformGeneratorTest, KnownSequences) {
  struct Case {
    std::int32_t seed;
    std::vector<std::int32_t> seeds;
    std::vector<double> deviates;
  };
  const Case cases[] = {
      {1, {16807, 282475249, 1622650073}, {}},
      {134508, {113192309, 1900109768, 2063039886}, {0.05270927634682007, 0.8848075610049104, 0.9606778095293221}},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(init_uniform_generator(c.seed));
    for (std::size_t i = 0; i < c.seeds.size(); ++i) {
      double r = 0.0;
      DRNUN(1, {&r, 1});
      EXPECT_EQ(uniform_seed(), c.seeds[i]) << c.seed;
      EXPECT_EQ(r, static_cast<double>(c.seeds[i]) * 4.656612875245797e-10);
      if (!c.deviates.empty()) {
        EXPECT_DOUBLE_EQ(r, c.deviates[i]);
      }
    }
  }
  ASSERT_TRUE(init_uniform_generator(1));
  std::vector<double> r(10000);
  DRNUN(10000, r);
  EXPECT_EQ(uniform_seed(), 1043618065);
}

TEST_F(UniformGeneratorTest, SchrageStepMatchesWideArithmetic) {
  for (const std::int32_t seed : {1, 2, 127772, 127773, 127774, 16807, 1 << 30, 2147483645, 2147483646}) {
    ASSERT_TRUE(init_uniform_generator(seed));
    double r = 0.0;
    DRNUN(1, {&r, 1});
    EXPECT_EQ(uniform_seed(), reference_next(seed)) << seed;
    EXPECT_TRUE(r > 0.0 && r < 1.0) << seed;
  }
}

TEST_F(UniformGeneratorTest, SeedFromTheClockAtTheFirstCallOnly) {
  struct Case {
    std::optional<TimeOfDay> time;
    std::int32_t seed;
  };
  const Case cases[] = {
      {TimeOfDay{0, 0, 0}, 123457},    {TimeOfDay{0, 0, 1}, 2},         {TimeOfDay{13, 45, 7}, 134508},
      {TimeOfDay{23, 59, 59}, 235960}, {TimeOfDay{23, 59, 60}, 235961}, {std::nullopt, 123457},
      {TimeOfDay{-5, 0, 0}, 123457},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.seed);
    std::vector<std::vector<double>> runs;
    for (int run = 0; run < 2; ++run) {  // two runs in the same second give the same noise
      restart_uniform_generator();
      set_local_clock(test_clock);
      g_clock_time = c.time;
      g_clock_reads = 0;
      runs.emplace_back(6);
      DRNUN(3, std::span<double>(runs.back()).first(3));
      g_clock_time = TimeOfDay{1, 2, 3};  // later calls go on with the same sequence
      DRNUN(3, std::span<double>(runs.back()).last(3));
      EXPECT_EQ(g_clock_reads, 1);
    }
    EXPECT_EQ(runs[0], runs[1]);
    std::int32_t seed = c.seed;
    for (const double r : runs[0]) {
      seed = reference_next(seed);
      EXPECT_EQ(r, seed * kUniformScale);
    }
  }
}

TEST_F(UniformGeneratorTest, SeedRequests) {
  set_local_clock(test_clock);
  g_clock_time = TimeOfDay{13, 45, 7};
  g_clock_reads = 0;
  ASSERT_TRUE(init_uniform_generator(77));
  for (const std::int32_t refused : {-1, 2147483647, INT32_MIN}) {
    EXPECT_FALSE(init_uniform_generator(refused)) << refused;
  }
  EXPECT_TRUE(init_uniform_generator(0));  // a seed is set: the clock is not read
  double r = 0.0;
  DRNUN(1, {&r, 1});
  EXPECT_EQ(g_clock_reads, 0);
  EXPECT_EQ(uniform_seed(), reference_next(77));
}

TEST_F(UniformGeneratorTest, SplitCallsGiveTheSameDeviates) {
  ASSERT_TRUE(init_uniform_generator(134508));
  std::vector<double> whole(5);
  DRNUN(5, whole);
  ASSERT_TRUE(init_uniform_generator(134508));
  std::vector<double> split(5);
  DRNUN(3, std::span<double>(split).first(3));
  DRNUN(2, std::span<double>(split).last(2));
  EXPECT_EQ(whole, split);
}

TEST_F(UniformGeneratorTest, BadCountIsATerminalErrorAndTouchesNothing) {
  struct Case {
    std::int32_t nr;
    std::size_t capacity;
    const char* message;
  };
  const Case cases[] = {
      {0, 4, "NR = 0.  NR must be greater than or equal to 1."},
      {-7, 4, "NR = -7.  NR must be greater than or equal to 1."},
      {5, 4, "NR = 5.  NR must be greater than or equal to 1 and less than or equal to 4."},
      {1, 0, "NR = 1.  NR must be greater than or equal to 1 and less than or equal to 0."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    for (const bool stop : {true, false}) {
      testing::reset_library_state();
      set_error_stop_attribute(kTerminal, stop);
      std::vector<double> r(4, -1.0);
      if (stop) {
        EXPECT_THROW(DRNUN(c.nr, std::span<double>(r).first(c.capacity)), testing::LibraryStopped);
        EXPECT_EQ(current_error_message(), c.message);
      } else {  // the call returns and the caller sees the error
        DRNUN(c.nr, std::span<double>(r).first(c.capacity));
        EXPECT_EQ(error_stack_level(), 1);
        EXPECT_EQ(current_error_code(), 1);
      }
      EXPECT_EQ(current_error_type(), kTerminal);
      EXPECT_EQ(testing::printed_lines().at(0).rfind(" *** TERMINAL ERROR 1 from DRNUN.  ", 0), 0u);
      EXPECT_EQ(r, std::vector<double>(4, -1.0));
      EXPECT_EQ(uniform_seed(), 0);  // the generator was not started
    }
  }
}

}  // namespace
}  // namespace numerics
