// The frame is a module the explorer loads when it opens it: with a display (here Qt's
// offscreen one), the explorer opens its frame and waits there for its user, instead of
// ending with "cannot open the frame"; it is stopped at the time limit.

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "explorer_process.h"

namespace {

TEST(Frame, TheExplorerFindsAndOpensItsFrameModule) {
  e2e::TemporaryDirectory directory;
  e2e::ExplorerOptions options;
  options.arguments = {"series.dat"};
  options.working_directory = directory.path();
  options.environment = {{"DISPLAY", ":98765"}, {"QT_QPA_PLATFORM", "offscreen"}};
  options.keep_input_open = true;
  options.time_limit = std::chrono::seconds(5);
  const e2e::ExplorerRun run = e2e::run_explorer(options);
  EXPECT_EQ(run.err.find("cannot open the frame"), std::string::npos) << run.err;
  EXPECT_TRUE(run.timed_out) << "the explorer ended by itself, status " << run.exit_status << ": " << run.err;
}

}  // namespace
