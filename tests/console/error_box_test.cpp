#include <gtest/gtest.h>

#include <ostream>

#include "console_test_support.h"

namespace console_test {
namespace {

struct BoxCase {
  const char* name;
  console::ErrorBoxKind kind;
  int code;
  const char* caption;
  const char* text;
};

// Test names show the case name, not the bytes of the case.
void PrintTo(const BoxCase& c, std::ostream* os) { *os << c.name; }

class ErrorBoxTest : public ConsoleTest, public ::testing::WithParamInterface<BoxCase> {};

TEST_P(ErrorBoxTest, CaptionAndText) {
  const BoxCase& c = GetParam();
  core->show_error_box(c.kind, c.code, "qwgsvid", 593);
  const auto boxes = presentation.boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, c.caption);
  EXPECT_EQ(boxes[0].text, c.text);
  EXPECT_EQ(boxes[0].buttons, console::MessageBoxButtons::Ok);
}

INSTANTIATE_TEST_SUITE_P(Cases, ErrorBoxTest,
                         ::testing::Values(BoxCase{"warning_6", console::ErrorBoxKind::Warning, 6, "VozazAze Warning",
                                                   "Possible internal inconsistency\nfile \"qwgsvid\", line 593"},
                                           BoxCase{"error_4", console::ErrorBoxKind::Error, 4, "VozazAze Error",
                                                   "Out of Memory\nfile \"qwgsvid\", line 593"},
                                           BoxCase{"error_5", console::ErrorBoxKind::Error, 5, "VozazAze Error",
                                                   "Internal Error - unexpected error\nfile \"qwgsvid\", line 593"},
                                           BoxCase{"error_7", console::ErrorBoxKind::Error, 7, "VozazAze Error",
                                                   "INITIALMENU failed\nfile \"qwgsvid\", line 593"}),
                         [](const ::testing::TestParamInfo<BoxCase>& info) { return std::string(info.param.name); });

using ErrorBoxDeathTest = ConsoleTest;

TEST_F(ErrorBoxDeathTest, FatalErrorShowsItsBoxRunsTheExitListAndEndsWithMinusOne) {
  presentation.echo_boxes_to_stderr();
  core->register_exit_routine([] { std::fputs("exit list ran\n", stderr); });
  EXPECT_EXIT(core->show_error_box(console::ErrorBoxKind::Fatal, 5, "qwkerr", 12), ::testing::ExitedWithCode(255),
              "\\[VozazAze Fatal Error\\] Internal Error - unexpected error, file \"qwkerr\", line 12\nexit list ran");
}

TEST_F(ErrorBoxDeathTest, ABoxThatFailsRunsTheFatalPathWithoutASecondBox) {
  presentation.echo_boxes_to_stderr();
  presentation.queue_answer(console::MessageBoxAnswer::Failed);
  EXPECT_EXIT(core->show_error_box(console::ErrorBoxKind::Error, 4, "qwgsvid", 593), ::testing::ExitedWithCode(255),
              "\\[VozazAze Error\\] Out of Memory\nfile \"qwgsvid\", line 593\n$");
}

TEST_F(ConsoleTest, SurfaceTooLargeShowsOutOfMemoryAndLeavesTheWindowUnconfigured) {
  const int window = core->create_window("Huge");
  auto record = core->find_window(window);
  console::WindowConfig config;
  config.pixels_x = 32000;
  config.pixels_y = 32000;
  EXPECT_EQ(core->apply_config(*record, config), console::ConsoleCore::ApplyOutcome::Failed);
  const auto boxes = presentation.boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Out of Memory\nfile \"qwgsvid\", line 593");
  EXPECT_FALSE(core->window_info(window)->configured);
}

TEST_F(ConsoleTest, NoFontShowsInternalErrorAndWritesAreRefused) {
  options.font_maker = [](const console::FontRequest&) { return std::optional<console::MeasuredFont>(); };
  options.display = console::DisplayInfo{1024, 768, 32, 1};
  presentation.clear();
  auto broken = std::make_unique<console::ConsoleCore>(presentation, options);
  // Installing makes the default window; the first output tries to configure it.
  broken->install();
  EXPECT_EQ(broken->write_text(console::kFirstWindowIndex, "x"), -1);
  const auto boxes = presentation.boxes();
  ASSERT_FALSE(boxes.empty());
  EXPECT_EQ(boxes[0].caption, "VozazAze Error");
  EXPECT_EQ(boxes[0].text.substr(0, 33), "Internal Error - unexpected error");
  broken->uninstall();
  core->install();
}

}  // namespace
}  // namespace console_test
