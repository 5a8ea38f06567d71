#include <gtest/gtest.h>

#include <ostream>

#include <string>
#include <vector>

#include "console/run_control.h"

namespace {

using console::RunControl;
using console::RunState;

struct Step {
  enum Kind { Pause, Resume, Finish, Enter, Leave } kind;
  RunState state_after;
  bool pausing_after;
};

struct RunCase {
  const char* name;
  std::vector<Step> steps;
  int changes;  // state-change notifications
};

// Test names show the case name, not the bytes of the case.
void PrintTo(const RunCase& c, std::ostream* os) { *os << c.name; }

class RunControlTest : public ::testing::TestWithParam<RunCase> {};

TEST_P(RunControlTest, Steps) {
  int changes = 0;
  RunControl control([&] { ++changes; });
  int i = 0;
  for (const Step& step : GetParam().steps) {
    switch (step.kind) {
      case Step::Pause: control.pause(); break;
      case Step::Resume: control.resume(); break;
      case Step::Finish: control.finish(); break;
      case Step::Enter: control.enter(); break;
      case Step::Leave: control.leave(); break;
    }
    EXPECT_EQ(control.state(), step.state_after) << "step " << i;
    EXPECT_EQ(control.pause_in_progress(), step.pausing_after) << "step " << i;
    ++i;
  }
  EXPECT_EQ(changes, GetParam().changes);
}

using R = RunState;
INSTANTIATE_TEST_SUITE_P(Cases, RunControlTest,
                         ::testing::Values(RunCase{"pause_with_nobody_inside_is_immediate",
                                                   {{Step::Pause, R::Paused, false}, {Step::Resume, R::Running, false}},
                                                   2},
                                           RunCase{"pause_waits_for_the_program_to_leave",
                                                   {{Step::Enter, R::Running, false},
                                                    {Step::Pause, R::Running, true},
                                                    {Step::Resume, R::Running,
                                                     true},  // nothing while a pause is carried out
                                                    {Step::Leave, R::Paused, false},
                                                    {Step::Resume, R::Running, false}},
                                                   2},
                                           RunCase{"pause_asked_while_paused_is_remembered",
                                                   {{Step::Pause, R::Paused, false},
                                                    {Step::Pause, R::Paused, false},
                                                    {Step::Resume, R::Paused, false},
                                                    {Step::Resume, R::Running, false}},
                                                   2},
                                           RunCase{"finished_cannot_be_paused",
                                                   {{Step::Finish, R::Finished, false},
                                                    {Step::Pause, R::Finished, false},
                                                    {Step::Resume, R::Finished, false}},
                                                   1},
                                           RunCase{"finish_drops_a_pending_pause",
                                                   {{Step::Enter, R::Running, false},
                                                    {Step::Pause, R::Running, true},
                                                    {Step::Finish, R::Finished, false},
                                                    {Step::Leave, R::Finished, false}},
                                                   1}),
                         [](const ::testing::TestParamInfo<RunCase>& info) { return std::string(info.param.name); });

}  // namespace
