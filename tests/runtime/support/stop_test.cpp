// STOP, each in a child process: the record it writes (unit 0, or unit 6 with the display
// flag), the exit handler, the program-end sequence, the exit status, and a second STOP.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "runtime/support/lifecycle.h"
#include "support_test_helpers.h"

namespace {

using support_test::ContainsOnce;
using support_test::RecordingWindowServices;
using ::testing::AllOf;
using ::testing::ExitedWithCode;
using ::testing::HasSubstr;
using ::testing::Not;

class StopTest : public support_test::SupportTest {};

// Standard output joins standard error, where the parent sees it.
void stop_with(std::string_view text, unsigned flags, std::optional<std::int64_t> code) {
  dup2(2, 1);
  runtime::start_runtime({});
  runtime::stop_program(text, flags, code);
}

TEST_F(StopTest, Records) {
  const struct {
    const char* name;
    std::string_view text;
    unsigned flags;
    std::optional<std::int64_t> code;
    int status;
    const char* record;
  } cases[] = {
      {"text to standard error", "halted after step 4", 0, std::nullopt, 0, "halted after step 4"},
      {"code with display", "", runtime::kStopDisplay, 3, 3, "Return code 3"},
      {"code and text with display", "ignored text", runtime::kStopDisplay, 12, 12, "Return code 12"},
      {"text with display", "done", runtime::kStopDisplay, std::nullopt, 0, "done"},
      {"negative code", "", runtime::kStopDisplay, -2, 254, "Return code -2"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EXIT(stop_with(c.text, c.flags, c.code), ExitedWithCode(c.status), ContainsOnce(c.record));
  }
}

TEST_F(StopTest, CodeWithoutDisplayWritesNoReturnCode) {
  EXPECT_EXIT(stop_with("", 0, 4), ExitedWithCode(4), Not(HasSubstr("Return code")));
}

TEST_F(StopTest, PlainStopWritesNothing) {
  EXPECT_EXIT(stop_with("", runtime::kStopDisplay, std::nullopt), ExitedWithCode(0),
              AllOf(Not(HasSubstr("Stop - Program terminated.")), Not(HasSubstr("Return code"))));
}

class StopAgainInTheEndSequence : public RecordingWindowServices {
 public:
  StopAgainInTheEndSequence() : RecordingWindowServices(true) {}
  void end_program(int exit_code) override {
    RecordingWindowServices::end_program(exit_code);
    runtime::stop_program("second stop", 0, 9);
  }
};

void stop_through_the_windowed_console() {
  static StopAgainInTheEndSequence services;
  runtime::register_window_services(&services);
  runtime::stop_program("", 0, 6);
}

TEST_F(StopTest, EndSequenceGetsTheCodeAndASecondStopExitsAtOnce) {
  EXPECT_EXIT(stop_through_the_windowed_console(), ExitedWithCode(0),
              AllOf(ContainsOnce("[end_program 6]"), Not(HasSubstr("second stop"))));
}

}  // namespace
