#include <gtest/gtest.h>

#include <ostream>

#include <string>
#include <vector>

#include "console/status_messages.h"

namespace {

using console::StatusMessages;

struct Step {
  enum Kind { Set, Clear, InputPending, EndWait } kind;
  std::string text;  // message for Set, title for InputPending
  std::string current_after;
  int owner_after;
};

struct StatusCase {
  const char* name;
  std::vector<Step> steps;
};

// Test names show the case name, not the bytes of the case.
void PrintTo(const StatusCase& c, std::ostream* os) { *os << c.name; }

class StatusMessagesTest : public ::testing::TestWithParam<StatusCase> {};

TEST_P(StatusMessagesTest, Steps) {
  StatusMessages status;
  int i = 0;
  for (const Step& step : GetParam().steps) {
    switch (step.kind) {
      case Step::Set: status.set(step.text); break;
      case Step::Clear: status.clear(); break;
      case Step::InputPending: status.set_input_pending(1025, step.text); break;
      case Step::EndWait: status.end_input_wait(); break;
    }
    EXPECT_EQ(status.current(), step.current_after) << "step " << i;
    EXPECT_EQ(status.input_owner(), step.owner_after) << "step " << i;
    ++i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StatusMessagesTest,
    ::testing::Values(StatusCase{"set_and_clear_bring_back_saved",
                                 {{Step::Set, "one", "one", 0},
                                  {Step::Set, "two", "two", 0},
                                  {Step::Clear, "", "one", 0},
                                  {Step::Clear, "", "", 0}}},
                      StatusCase{"input_pending_stays_in_view",
                                 {{Step::Set, "before", "before", 0},
                                  {Step::InputPending, "Input Window", "Input pending in Input Window", 1025},
                                  {Step::Set, "Paste input pending", "Input pending in Input Window", 1025},
                                  {Step::EndWait, "", "Paste input pending", 0},
                                  {Step::Clear, "", "", 0}}},
                      StatusCase{"paste_used_up_during_wait",
                                 {{Step::Set, "Paste input pending", "Paste input pending", 0},
                                  {Step::InputPending, "W", "Input pending in W", 1025},
                                  {Step::Clear, "", "Input pending in W", 1025},
                                  {Step::EndWait, "", "", 0}}},
                      StatusCase{"wait_restores_message_before_read",
                                 {{Step::Set, "kept", "kept", 0},
                                  {Step::InputPending, "W", "Input pending in W", 1025},
                                  {Step::EndWait, "", "kept", 0}}}),
    [](const ::testing::TestParamInfo<StatusCase>& info) { return std::string(info.param.name); });

}  // namespace
