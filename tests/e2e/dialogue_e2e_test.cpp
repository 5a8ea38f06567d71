// The explorer in the terminal, driven through standard input as a user would: the
// transcript of the dialogue, the series files, divergence, bad answers and bad input.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "explorer_process.h"
#include "series_oracle.h"

namespace {

using e2e::ExplorerOptions;
using e2e::ExplorerRun;
using e2e::TemporaryDirectory;

std::string lines(std::initializer_list<const char*> texts) {
  std::string joined;
  for (const char* text : texts) joined.append(text).push_back('\n');
  return joined;
}

const std::string kMenu = lines({
    "1) You can select one of the following",
    "   exemplar maps: ",
    "   1 - Quadratic map",
    "   2 - Henon map",
    "   3 - Dissipatively coupled quadratic maps",
    "   4 - Linearly coupled quadratic maps",
    "   5 - Model map of the driven RL-diode circuit",
});

TEST(Dialogue, QuadraticMapRecordingWithDefaultSettings) {
  TemporaryDirectory directory;
  const ExplorerRun run = e2e::run_explorer_in(directory, {"--terminal", "series.dat"}, "1\n2.0\n0.5\nn\nn\nn\nn\nn\n");
  ASSERT_FALSE(run.timed_out);
  EXPECT_EQ(run.exit_status, 0) << run.err;
  EXPECT_EQ(run.out, kMenu + lines({
                                 "   Select a map: 1",
                                 "Quadratic map:",
                                 "x(n+1) = lambda - x(n)^2",
                                 "2) Enter values of parameters: ",
                                 "   lambda = 2.0",
                                 "3) Enter initial conditions:",
                                 "   x0 = 0.5",
                                 "5) Current settings are:",
                                 "   Ntrans =  1000, N = 10000",
                                 "   Change settings? (y/n) n",
                                 "7) Add noise to the time series? (y/n) n",
                                 "9) Record again? (y/n) n",
                                 "10) Different values of parameters? (y/n) n",
                                 "11) Different system? (y/n) n",
                             }));
  const e2e::SeriesRequest request{1, {2.0, 0, 0, 0}, {0.5}, 1, 1000, 10000};
  EXPECT_EQ(e2e::read_file(directory.file("series.dat")), e2e::expected_series_file(request));
}

TEST(Dialogue, RejectedAnswersRepeatTheQuestion) {
  TemporaryDirectory directory;
  // Map: 6 and x rejected, an empty line (map 0) rejected, 12 selects map 2 by its first digit.
  // Henon: record variable 3 and 0 rejected; Ntrans -1 rejected; N 1 rejected; "Y" rejected
  // for a y/n question; std 0 and -1 rejected, 5 accepted (5.0E-10).
  const std::string input = "6\nx\n\n21\n1.4\n0.3\n0.1\n0.1\n3\n0\n2\nY\ny\n-1\n0\n1\n2\nn\nn\nn\nn\n";
  const ExplorerRun run = e2e::run_explorer_in(directory, {"--terminal", "a.dat"}, input);
  ASSERT_FALSE(run.timed_out);
  EXPECT_EQ(run.exit_status, 0) << run.err;
  EXPECT_EQ(run.out, kMenu + lines({
                                 "   Select a map: 6",
                                 " Incorrect input",
                                 "   Select a map: x",
                                 " Incorrect input",
                                 "   Select a map: ",
                                 " Incorrect input",
                                 "   Select a map: 21",
                                 "Henon map:",
                                 "x(n+1) = 1 - a*x(n)^2 + b*y(n)",
                                 "y(n+1) = x(n)",
                                 "2) Enter values of parameters: ",
                                 "   a = 1.4",
                                 "   b = 0.3",
                                 "3) Enter initial conditions:",
                                 "   x0 = 0.1",
                                 "   y0 = 0.1",
                                 "4) Number of the variable to record: 3",
                                 " Incorrect input",
                                 "4) Number of the variable to record: 0",
                                 " Incorrect input",
                                 "4) Number of the variable to record: 2",
                                 "5) Current settings are:",
                                 "   Ntrans =  1000, N = 10000",
                                 "   Change settings? (y/n) Y",
                                 " Incorrect input",
                                 "   Change settings? (y/n) y",
                                 "6) Length of a transient process: Ntrans = -1",
                                 " Incorrect input",
                                 "6) Length of a transient process: Ntrans = 0",
                                 "   Length of the series to record: N = 1",
                                 " Incorrect input",
                                 "   Length of the series to record: N = 2",
                                 "7) Add noise to the time series? (y/n) n",
                                 "9) Record again? (y/n) n",
                                 "10) Different values of parameters? (y/n) n",
                                 "11) Different system? (y/n) n",
                             }));
  // Ntrans = 0, N = 2, the y component: y0 and then the old x.
  EXPECT_EQ(e2e::read_file(directory.file("a.dat")), "        0.1000000000\r\n        0.1000000000\r\n");
}

TEST(Dialogue, NoiseStandardDeviationMustBePositive) {
  TemporaryDirectory directory;
  const std::string input = "1\n2.0\n0.5\ny\n0\n5\ny\n0\n-1\nnan\n5\nn\nn\nn\n";
  const ExplorerRun run = e2e::run_explorer_in(directory, {"--terminal", "noisy.dat"}, input);
  ASSERT_FALSE(run.timed_out);
  EXPECT_EQ(run.exit_status, 0) << run.err;
  const std::string expected_part = lines({
      "7) Add noise to the time series? (y/n) y",
      "8) Noise standard deviation: std = 0",
      " Incorrect input",
      "8) Noise standard deviation: std = -1",
      " Incorrect input",
      "8) Noise standard deviation: std = nan",
      " Incorrect input",
      "8) Noise standard deviation: std = 5",
      "9) Record again? (y/n) n",
  });
  EXPECT_NE(run.out.find(expected_part), std::string::npos) << run.out;
  // std = 5 without a decimal point is 5.0E-10: the noise hides below the tenth decimal or
  // changes it by at most a few units.
  const std::vector<std::string> written = e2e::split_lines(e2e::read_file(directory.file("noisy.dat")));
  const std::vector<std::string> noiseless =
      e2e::split_lines(e2e::expected_series_file({1, {2.0, 0, 0, 0}, {0.5}, 1, 0, 5}));
  ASSERT_EQ(written.size(), 5u);
  for (std::size_t i = 0; i < written.size(); ++i) {
    EXPECT_NEAR(std::stod(written[i]), std::stod(noiseless[i]), 1e-8) << i;
  }
}

TEST(Dialogue, NoisyRecordingsDifferButFollowTheSameTrajectory) {
  TemporaryDirectory directory;
  // Two recordings of the same settings with std = 0.001.
  const std::string input = "1\n1.5\n0.2\ny\n100\n1000\ny\n0.001\ny\nn\ny\n0.001\nn\nn\nn\n";
  const ExplorerRun run = e2e::run_explorer_in(directory, {"--terminal", "one.dat", "two.dat"}, input);
  ASSERT_FALSE(run.timed_out);
  EXPECT_EQ(run.exit_status, 0) << run.err;
  const std::vector<std::string> one = e2e::split_lines(e2e::read_file(directory.file("one.dat")));
  const std::vector<std::string> two = e2e::split_lines(e2e::read_file(directory.file("two.dat")));
  const std::vector<std::string> clean =
      e2e::split_lines(e2e::expected_series_file({1, {1.5, 0, 0, 0}, {0.2}, 1, 100, 1000}));
  ASSERT_EQ(one.size(), 1000u);
  ASSERT_EQ(two.size(), 1000u);
  EXPECT_NE(one, two);
  double sum_of_squares = 0.0;
  for (std::size_t i = 0; i < clean.size(); ++i) {
    const double noise = std::stod(one[i]) - std::stod(clean[i]);
    EXPECT_LT(std::fabs(noise), 0.0065) << i;  // beyond 6.12 standard deviations cannot occur
    sum_of_squares += noise * noise;
  }
  const double deviation = std::sqrt(sum_of_squares / static_cast<double>(clean.size()));
  EXPECT_GT(deviation, 0.0008);
  EXPECT_LT(deviation, 0.0012);
}

TEST(Dialogue, DivergenceInTheTransientLeavesAnExistingFileUntouched) {
  TemporaryDirectory directory;
  e2e::write_file(directory.file("kept.dat"), "previous contents\n");
  const ExplorerRun run = e2e::run_explorer_in(directory, {"--terminal", "kept.dat"}, "1\n3.0\n0.5\nn\nn\nn\nn\nn\n");
  ASSERT_FALSE(run.timed_out);
  EXPECT_EQ(run.exit_status, 0) << run.err;
  EXPECT_NE(run.out.find("7) Add noise to the time series? (y/n) n\nThe trajectory goes to infinity\n"
                         "9) Record again? (y/n) n\n"),
            std::string::npos)
      << run.out;
  EXPECT_EQ(e2e::read_file(directory.file("kept.dat")), "previous contents\n");
}

TEST(Dialogue, DivergenceAfterTheBufferedPointsEndsTheFileWithTheDivergentPoint) {
  TemporaryDirectory directory;
  e2e::write_file(directory.file("grow.dat"), std::string(100000, 'x'));
  // Map 5 with d = 0, N = 1, beta = 0: x' = A + x cos(C), which grows by about A per step.
  const std::string input = "5\n10.0\n0.0\n1.0\n0.0\n0.0\ny\n0\n300\nn\nn\nn\nn\n";
  const ExplorerRun run = e2e::run_explorer_in(directory, {"--terminal", "grow.dat"}, input);
  ASSERT_FALSE(run.timed_out);
  EXPECT_EQ(run.exit_status, 0) << run.err;
  EXPECT_NE(run.out.find("7) Add noise to the time series? (y/n) n\nThe trajectory goes to infinity\n"),
            std::string::npos)
      << run.out;
  const e2e::SeriesRequest request{5, {10, 0, 1, 0}, {0}, 1, 0, 300};
  const std::string expected = e2e::expected_series_file(request);
  EXPECT_EQ(e2e::read_file(directory.file("grow.dat")), expected);
  // The old contents are cut, and the file stops after the first divergent point (> 100).
  const std::size_t records = e2e::split_lines(expected).size();
  EXPECT_GT(records, 100u);
  EXPECT_LT(records, 300u);
}

TEST(Dialogue, SettingsCarryOverToLaterRecordingsAndSystems) {
  TemporaryDirectory directory;
  const std::string input =
      "1\n2.0\n0.5\ny\n500\n200\nn\n"  // first recording: Ntrans 500, N 200
      "y\nn\nn\n"                      // record again with the same settings, no noise
      "n\nn\ny\n"                      // no new parameters, a different system
      "2\n1.4\n0.3\n0.1\n0.1\n1\nn\nn\nn\nn\nn\n";
  const ExplorerRun run = e2e::run_explorer_in(directory, {"--terminal", "a.dat", "b.dat", "c.dat"}, input);
  ASSERT_FALSE(run.timed_out);
  EXPECT_EQ(run.exit_status, 0) << run.err;
  std::size_t count = 0;
  for (std::size_t at = run.out.find("   Ntrans =   500, N =   200\n"); at != std::string::npos;
       at = run.out.find("   Ntrans =   500, N =   200\n", at + 1)) {
    ++count;
  }
  EXPECT_EQ(count, 2u) << run.out;
  // The menu is written again for the second system.
  EXPECT_NE(run.out.find("11) Different system? (y/n) y\n" + kMenu), std::string::npos) << run.out;
  EXPECT_EQ(e2e::read_file(directory.file("a.dat")), e2e::read_file(directory.file("b.dat")));
  EXPECT_EQ(e2e::read_file(directory.file("c.dat")),
            e2e::expected_series_file({2, {1.4, 0.3, 0, 0}, {0.1, 0.1}, 1, 500, 200}));
}

TEST(Dialogue, LargeSettingsPrintAsterisksAndGoOn) {
  TemporaryDirectory directory;
  const ExplorerRun run = e2e::run_explorer_in(directory, {"--terminal", "big.dat", "big2.dat"},
                                               "1\n2.0\n0.5\ny\n100000\n2\nn\ny\nn\nn\nn\nn\nn\n");
  ASSERT_FALSE(run.timed_out);
  EXPECT_EQ(run.exit_status, 0) << run.err;
  // Ntrans = 100000 does not fit I5: asterisks, and the output conversion error is reported
  // as an error (not severe); the dialogue goes on.
  EXPECT_NE(run.out.find("   Ntrans = *****, N =     2\n"), std::string::npos) << run.out;
  EXPECT_NE(run.err.find("duzevi: error (63): output conversion error, unit 10"), std::string::npos) << run.err;
  EXPECT_EQ(e2e::split_lines(e2e::read_file(directory.file("big.dat"))).size(), 2u);
  EXPECT_EQ(e2e::split_lines(e2e::read_file(directory.file("big2.dat"))).size(), 2u);
}

TEST(Dialogue, AFileNameIsAskedForWhenTheArgumentsRunOut) {
  TemporaryDirectory directory;
  const ExplorerRun run =
      e2e::run_explorer_in(directory, {"--terminal"}, "1\n2.0\n0.5\ny\n0\n3\nn\nasked.dat\nn\nn\nn\n");
  ASSERT_FALSE(run.timed_out);
  EXPECT_EQ(run.exit_status, 0) << run.err;
  EXPECT_NE(run.out.find("File name missing or blank - please enter file name\nUNIT 1? "), std::string::npos)
      << run.out;
  EXPECT_EQ(e2e::split_lines(e2e::read_file(directory.file("asked.dat"))).size(), 3u);
}

TEST(Dialogue, EndOfInputEndsTheProgramWithCompleteFiles) {
  TemporaryDirectory directory;
  // The recording completes; input ends at "Record again?".
  const ExplorerRun run = e2e::run_explorer_in(directory, {"--terminal", "done.dat"}, "1\n2.0\n0.5\ny\n10\n50000\nn\n");
  ASSERT_FALSE(run.timed_out);
  EXPECT_NE(run.exit_status, 0);
  EXPECT_NE(run.exit_status, -1);
  EXPECT_FALSE(run.err.empty());
  EXPECT_EQ(e2e::read_file(directory.file("done.dat")),
            e2e::expected_series_file({1, {2.0, 0, 0, 0}, {0.5}, 1, 10, 50000}));
}

TEST(Dialogue, EndOfInputAtTheFirstQuestion) {
  TemporaryDirectory directory;
  for (const std::string input : {"", "1\n", "1\n2.0\n"}) {
    const ExplorerRun run = e2e::run_explorer_in(directory, {"--terminal"}, input);
    ASSERT_FALSE(run.timed_out) << input;
    EXPECT_GT(run.exit_status, 0) << input;
    EXPECT_EQ(e2e::split_lines(run.err).size(), 1u) << run.err;
  }
}

TEST(Dialogue, AnImpossibleFileNameEndsWithTheOpenError) {
  TemporaryDirectory directory;
  const ExplorerRun run =
      e2e::run_explorer_in(directory, {"--terminal", "no/such/directory/x.dat"}, "1\n2.0\n0.5\nn\nn\nn\nn\nn\n");
  ASSERT_FALSE(run.timed_out);
  EXPECT_EQ(run.exit_status, 29) << run.err;
  EXPECT_NE(run.err.find("duzevi: severe (29): file not found, unit 1, file "), std::string::npos) << run.err;
}

TEST(Dialogue, OverlongAndBinaryAnswersAreRejectedWithoutHarm) {
  TemporaryDirectory directory;
  std::string binary = "\x01\x02\x7f\xff\xfe\x1b[2J";
  const std::string input =
      std::string(300, '7') + "\n" + binary + "\n" + std::string(5000, 'a') + "\n1\n2.0\n0.5\nn\nn\nn\nn\nn\n";
  const ExplorerRun run = e2e::run_explorer_in(directory, {"--terminal", "ok.dat"}, input);
  ASSERT_FALSE(run.timed_out);
  EXPECT_EQ(run.exit_status, 0) << run.err;
  // 300 sevens read as 7 under (I1): rejected; the binary line and the long line too.
  std::size_t rejections = 0;
  for (std::size_t at = run.out.find(" Incorrect input\n"); at != std::string::npos;
       at = run.out.find(" Incorrect input\n", at + 1)) {
    ++rejections;
  }
  EXPECT_EQ(rejections, 3u) << run.out;
  EXPECT_EQ(e2e::split_lines(e2e::read_file(directory.file("ok.dat"))).size(), 10000u);
}

TEST(CommandLine, HelpAndVersion) {
  TemporaryDirectory directory;
  const ExplorerRun help = e2e::run_explorer_in(directory, {"--help"}, "");
  EXPECT_EQ(help.exit_status, 0);
  EXPECT_NE(help.out.find("Usage: mapexplorer"), std::string::npos);
  const ExplorerRun version = e2e::run_explorer_in(directory, {"--version"}, "");
  EXPECT_EQ(version.exit_status, 0);
  EXPECT_EQ(version.out.rfind("mapexplorer ", 0), 0u);
  const ExplorerRun unknown = e2e::run_explorer_in(directory, {"--frobnicate"}, "");
  EXPECT_EQ(unknown.exit_status, 2);
  EXPECT_NE(unknown.err.find("--frobnicate"), std::string::npos);
}

}  // namespace
