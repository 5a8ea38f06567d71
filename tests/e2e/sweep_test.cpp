// A parameter sweep as the README shows it: one record per process, several processes at
// once (xargs -P), every file the same as a recording made alone.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "explorer_process.h"

namespace {

TEST(Sweep, ParallelRecordsWriteWhatSingleRunsWrite) {
  e2e::TemporaryDirectory directory;
  // The README's sweep over lambda, shorter and with fewer steps.
  const std::string sweep =
      "mkdir -p sweep && seq -f '%.2f' 1.40 0.05 2.00 | xargs -P 4 -I{} \"$MAPEXPLORER\" record --map quadratic "
      "--param lambda={} --initial 0.3 --length 3000 --noise 0.001 --seed 42 --provenance sweep/lambda-{}.dat";
  e2e::ExplorerOptions options;
  options.program = "/bin/sh";
  options.arguments = {"-c", sweep};
  options.working_directory = directory.path();
  options.environment = {{"MAPEXPLORER", e2e::explorer_path()}};
  const e2e::ExplorerRun run = e2e::run_explorer(options);
  ASSERT_FALSE(run.timed_out);
  EXPECT_EQ(run.exit_status, 0) << run.err;

  int checked = 0;
  for (int step = 0; step <= 12; ++step) {
    char lambda[8];
    std::snprintf(lambda, sizeof lambda, "%.2f", 1.40 + 0.05 * step);
    SCOPED_TRACE(lambda);
    const std::string name = std::string("lambda-") + lambda + ".dat";
    e2e::ExplorerOptions single;
    single.arguments = {"record",    "--map",  "1",        "--param",  std::string("lambda=") + lambda,
                        "--initial", "0.3",    "--length", "3000",     "--noise",
                        "0.001",     "--seed", "42",       "alone.dat"};
    single.working_directory = directory.path();
    const e2e::ExplorerRun alone = e2e::run_explorer(single);
    ASSERT_EQ(alone.exit_status, 0) << alone.err;
    const std::string file = e2e::read_file(directory.file("sweep/" + name));
    EXPECT_EQ(e2e::split_lines(file).size(), 3000u);
    EXPECT_EQ(file, e2e::read_file(directory.file("alone.dat")));
    e2e::ExplorerOptions replay;
    replay.arguments = {"replay", "--check", "sweep/" + name + ".json"};
    replay.working_directory = directory.path();
    EXPECT_EQ(e2e::run_explorer(replay).exit_status, 0);
    ++checked;
  }
  EXPECT_EQ(checked, 13);
}

}  // namespace
