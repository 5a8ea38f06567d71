// The series files of the five maps against fixed expected files, byte for byte.
//
// The files in fixed_series/ were computed once, apart from the explorer and from the
// oracle of series_oracle.cpp, by a short Python script that followed the map formulas and
// the recording's steps as written (transient, the buffered first hundred points, the second
// phase, divergence tested before every step) and wrote each value as the exact decimal
// expansion of the double rounded at the tenth digit, right-justified in 20 columns, with
// CR LF. The script checked that no value was a decimal tie or a negative value rounding to
// zero, so the rounding rule cannot matter. The files were checked by hand: the first step
// of every map from its initial state against the formulas, and every record of the
// quadratic, Henon and RL-diode files against the one before it (or two, for Henon's y).
// The divergent file ends with its first divergent point, record 235. The script is not
// kept: these files are the expectation, and a change to them needs a reason of its own.

#include <gtest/gtest.h>

#include <string>

#include "explorer_process.h"
#include "series_oracle.h"

namespace {

struct FixedSeriesCase {
  const char* name;  // fixed_series/<name>.dat
  const char* answers;
  e2e::SeriesRequest request;
  bool diverges;
};

// Test names show the case name.
void PrintTo(const FixedSeriesCase& c, std::ostream* os) { *os << c.name; }

class FixedSeries : public ::testing::TestWithParam<FixedSeriesCase> {};

// The answers: the map, its parameters and initial state, the variable to record (maps with
// two variables), new settings Ntrans and N, no noise, and no to every later question.
const FixedSeriesCase kCases[] = {
    {"quadratic", "1\n1.8\n0.3\ny\n100\n300\nn\nn\nn\nn\n", {1, {1.8, 0, 0, 0}, {0.3}, 1, 100, 300}, false},
    {"henon",
     "2\n1.4\n0.3\n0.1\n0.1\n2\ny\n100\n300\nn\nn\nn\nn\n",
     {2, {1.4, 0.3, 0, 0}, {0.1, 0.1}, 2, 100, 300},
     false},
    {"dissipative",
     "3\n1.7\n0.2\n0.3\n0.4\n1\ny\n100\n300\nn\nn\nn\nn\n",
     {3, {1.7, 0.2, 0, 0}, {0.3, 0.4}, 1, 100, 300},
     false},
    {"linear",
     "4\n1.6\n0.1\n0.2\n-0.3\n2\ny\n100\n300\nn\nn\nn\nn\n",
     {4, {1.6, 0.1, 0, 0}, {0.2, -0.3}, 2, 100, 300},
     false},
    {"rl_diode",
     "5\n5.0\n0.1\n0.5\n0.5\n0.1\ny\n100\n300\nn\nn\nn\nn\n",
     {5, {5.0, 0.1, 0.5, 0.5}, {0.1}, 1, 100, 300},
     false},
    {"quadratic_divergent", "1\n2.002\n0.1\ny\n0\n300\nn\nn\nn\nn\n", {1, {2.002, 0, 0, 0}, {0.1}, 1, 0, 300}, true},
};

TEST_P(FixedSeries, TheExplorerWritesTheFixedFile) {
  const FixedSeriesCase& c = GetParam();
  const std::string expected = e2e::read_file(std::string(MAPEXPLORER_FIXED_SERIES_DIR) + "/" + c.name + ".dat");
  ASSERT_FALSE(expected.empty());
  e2e::TemporaryDirectory directory;
  const e2e::ExplorerRun run = e2e::run_explorer_in(directory, {"--terminal", "series.dat"}, c.answers);
  ASSERT_FALSE(run.timed_out);
  EXPECT_EQ(run.exit_status, 0) << run.err;
  EXPECT_EQ(run.out.find("Incorrect input"), std::string::npos) << run.out;
  EXPECT_EQ(run.out.find("The trajectory goes to infinity") != std::string::npos, c.diverges) << run.out;
  EXPECT_EQ(e2e::read_file(directory.file("series.dat")), expected);
}

// The oracle that the other end-to-end tests compare with gives the same files.
TEST_P(FixedSeries, TheOracleGivesTheFixedFile) {
  const FixedSeriesCase& c = GetParam();
  const std::string expected = e2e::read_file(std::string(MAPEXPLORER_FIXED_SERIES_DIR) + "/" + c.name + ".dat");
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(e2e::expected_series_file(c.request), expected);
}

INSTANTIATE_TEST_SUITE_P(Maps, FixedSeries, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<FixedSeriesCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
