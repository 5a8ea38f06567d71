// --seed N in the dialogue: the noise starts from N instead of the clock, so a run can be
// repeated; one sequence per run, continued from one recording to the next.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "explorer_process.h"
#include "numerics/normal_deviates.h"
#include "numerics/uniform_generator.h"
#include "series_oracle.h"

namespace {

using e2e::TemporaryDirectory;

// The noise of `count` consecutive recordings of `length` points with `std`, from `seed`.
std::vector<std::vector<double>> noise_from_seed(std::int32_t seed, int count, int length, double std) {
  numerics::restart_uniform_generator();
  numerics::init_uniform_generator(seed);
  std::vector<std::vector<double>> noise;
  for (int i = 0; i < count; ++i) {
    std::vector<double> deviates(static_cast<std::size_t>(length));
    numerics::DRNNOR(length, deviates);
    for (double& d : deviates) d *= std;
    noise.push_back(deviates);
  }
  return noise;
}

struct Files {
  std::string one;
  std::string two;
};

// Two noisy recordings of the quadratic map (lambda 1.5, x0 0.2, Ntrans 100, N 500, std 0.01).
Files record_twice(const std::vector<std::string>& seed_arguments) {
  TemporaryDirectory directory;
  e2e::ExplorerOptions options;
  options.arguments = {"--terminal"};
  options.arguments.insert(options.arguments.end(), seed_arguments.begin(), seed_arguments.end());
  options.arguments.insert(options.arguments.end(), {"one.dat", "two.dat"});
  options.input = "1\n1.5\n0.2\ny\n100\n500\ny\n0.01\ny\nn\ny\n0.01\nn\nn\nn\n";
  options.working_directory = directory.path();
  const e2e::ExplorerRun run = e2e::run_explorer(options);
  EXPECT_FALSE(run.timed_out);
  EXPECT_EQ(run.exit_status, 0) << run.err;
  return {e2e::read_file(directory.file("one.dat")), e2e::read_file(directory.file("two.dat"))};
}

TEST(Seed, TheSameSeedRepeatsTheNoiseAndTheSequenceContinues) {
  const Files first = record_twice({"--seed", "42"});
  const Files again = record_twice({"--seed=42"});
  const Files other = record_twice({"--seed", "43"});
  EXPECT_EQ(first.one, again.one);
  EXPECT_EQ(first.two, again.two);
  EXPECT_NE(first.one, first.two);  // the second recording continues the sequence
  EXPECT_NE(first.one, other.one);
  EXPECT_NE(first.two, other.two);

  const e2e::SeriesRequest request{1, {1.5, 0, 0, 0}, {0.2}, 1, 100, 500};
  const std::vector<std::vector<double>> noise = noise_from_seed(42, 2, 500, 0.01);
  EXPECT_EQ(first.one, e2e::expected_series_file(request, noise[0]));
  EXPECT_EQ(first.two, e2e::expected_series_file(request, noise[1]));
}

TEST(Seed, BadSeedsAreUsageErrorsAndNothingStarts) {
  for (const char* seed : {"0", "-1", "2147483647", "abc", "1.5", ""}) {
    TemporaryDirectory directory;
    e2e::write_file(directory.file("kept.dat"), "old\n");
    e2e::ExplorerOptions options;
    options.arguments = {"--terminal", "--seed", seed, "kept.dat"};
    options.input = "1\n2.0\n0.5\nn\nn\nn\nn\nn\n";
    options.working_directory = directory.path();
    const e2e::ExplorerRun run = e2e::run_explorer(options);
    EXPECT_EQ(run.exit_status, 2) << seed;
    EXPECT_TRUE(run.out.empty()) << run.out;
    EXPECT_EQ(e2e::split_lines(run.err).size(), 1u) << run.err;
    EXPECT_NE(run.err.find("--seed"), std::string::npos) << run.err;
    EXPECT_EQ(e2e::read_file(directory.file("kept.dat")), "old\n");
  }
}

}  // namespace
