#include <gtest/gtest.h>

#include <map>

#include "console/graphics_status.h"
#include "console_test_support.h"

namespace console_test {
namespace {

using console::WindowEvent;

TEST_F(ConsoleTest, DefaultWindowExistsFromTheStart) {
  const auto info = core->window_info(kGraphic1);
  ASSERT_TRUE(info);
  EXPECT_EQ(info->title, "Graphic1");
  EXPECT_EQ(core->active_window(), kGraphic1);
  EXPECT_EQ(core->default_window(), kGraphic1);
  EXPECT_EQ(presentation.count_events(kGraphic1, WindowEvent::Created), 1);
}

TEST_F(ConsoleTest, FortyFirstWindowIsRefused) {
  std::vector<int> made;
  for (int i = 0; i < console::kWindowTableSize - 1; ++i) made.push_back(core->create_window(""));
  EXPECT_EQ(made.front(), kGraphic1 + 1);
  EXPECT_EQ(made.back(), kGraphic1 + console::kWindowTableSize - 1);
  EXPECT_EQ(core->window_info(made.back())->title, "Graphic40");
  console::set_graphics_status(0);
  EXPECT_EQ(core->create_window("one too many"), -1);
  EXPECT_EQ(console::graphics_status(), -1);
  // A freed slot is taken again, the first empty one first.
  ASSERT_EQ(core->close_unit_window(made[4], false), 0);
  EXPECT_EQ(core->create_window("again"), made[4]);
}

class UnitWindowTest : public ConsoleTest {
 protected:
  void SetUp() override {
    ConsoleTest::SetUp();
    core->set_unit_mapper([this](std::int32_t unit) {
      auto it = units.find(unit);
      return it == units.end() ? -1 : it->second;
    });
  }
  std::map<std::int32_t, int> units;
};

TEST_F(UnitWindowTest, ClosingWithKeepMarksTheWindowClosed) {
  const int window = core->create_unit_window("Input Window", true);
  units[10] = window;
  core->write_text(window, "answer");
  ASSERT_EQ(core->close_unit_window(window, true), 0);
  const auto info = core->window_info(window);
  ASSERT_TRUE(info);
  EXPECT_EQ(info->title, "Input Window-Closed");
  EXPECT_TRUE(info->unit_closed);
  EXPECT_EQ(row_text(window, 1), "answer");  // picture and text stay
  EXPECT_EQ(presentation.count_events(window, WindowEvent::Closed), 1);
  // No further I/O, and it cannot become active.
  EXPECT_EQ(core->write_text(window, "x"), -1);
  char buffer[8];
  EXPECT_EQ(core->read_line(window, buffer, sizeof buffer), -1);
  const int active = core->active_window();
  EXPECT_EQ(core->set_active_window(10), 0);
  EXPECT_EQ(core->active_window(), active);
  // Closing again keeps the title as it is.
  core->close_unit_window(window, true);
  EXPECT_EQ(core->window_info(window)->title, "Input Window-Closed");
}

TEST_F(UnitWindowTest, UserMayCloseOnlyAWindowWhoseUnitIsClosed) {
  const int window = core->create_unit_window("Input Window", true);
  EXPECT_FALSE(core->user_close_window(window));
  EXPECT_TRUE(core->window_info(window));
  core->close_unit_window(window, true);
  EXPECT_TRUE(core->user_close_window(window));
  EXPECT_FALSE(core->window_info(window));
  EXPECT_EQ(presentation.count_events(window, WindowEvent::Removed), 1);
  EXPECT_FALSE(core->user_close_window(window));
}

TEST_F(UnitWindowTest, ClosingWithoutKeepRemovesTheWindowAndFallsBackToTheDefault) {
  const int window = core->create_unit_window("Graphics", true);
  units[11] = window;
  ASSERT_EQ(core->active_window(), window);
  ASSERT_EQ(core->current_io_window(), window);
  ASSERT_EQ(core->close_unit_window(window, false), 0);
  EXPECT_FALSE(core->window_info(window));
  EXPECT_EQ(presentation.count_events(window, WindowEvent::Removed), 1);
  EXPECT_EQ(core->active_window(), kGraphic1);
  EXPECT_EQ(core->set_active_window(11), 0);
}

TEST_F(UnitWindowTest, RemovingTheDefaultWindowMakesANewOne) {
  ASSERT_EQ(core->close_unit_window(kGraphic1, false), 0);
  const int replacement = core->active_window();
  EXPECT_EQ(replacement, kGraphic1);  // slot 0 is free again and the first empty one
  EXPECT_EQ(core->window_info(replacement)->title, "Graphic1");
  EXPECT_EQ(presentation.count_events(kGraphic1, WindowEvent::Created), 2);
}

TEST_F(UnitWindowTest, CloseIndexChecks) {
  console::set_graphics_status(0);
  EXPECT_EQ(core->close_unit_window(5000, false), -1);
  EXPECT_EQ(console::graphics_status(), -1);
  EXPECT_EQ(core->close_unit_window(1063, false), 0);  // empty slot
}

TEST_F(UnitWindowTest, SetActiveWindowFollowsTheUnit) {
  const int first = core->create_unit_window("A", true);
  const int second = core->create_unit_window("B", true);
  units[1] = first;
  units[2] = second;
  EXPECT_EQ(core->set_active_window(1), 1);
  EXPECT_EQ(core->active_window(), first);
  EXPECT_EQ(core->current_io_window(), first);
  EXPECT_EQ(core->set_active_window(99), 0);  // no window: nothing happens
  EXPECT_EQ(core->active_window(), first);
}

TEST_F(UnitWindowTest, FrameSizeIsStoredBeforeTheFrameExists) {
  console::WindowPosition maximise{2, 0, 0, 0, 0};
  EXPECT_EQ(core->set_window_size(console::kFrameUnit, maximise), -1);
  EXPECT_EQ(core->frame_request().state, 2);
  EXPECT_EQ(presentation.count_events(0, WindowEvent::GeometryRequested), 0);
  core->set_frame_exists(true);
  console::WindowPosition place{4, 10, 20, 300, 400};
  EXPECT_EQ(core->set_window_size(console::kFrameUnit, place), 0);
  const auto request = core->frame_request();
  EXPECT_EQ(request.state, 4);
  EXPECT_EQ(request.x, 10);
  EXPECT_EQ(request.y, 20);
  EXPECT_EQ(request.height, 300);
  EXPECT_EQ(request.width, 400);
  EXPECT_EQ(presentation.count_events(0, WindowEvent::GeometryRequested), 1);
  console::set_graphics_status(0);
  EXPECT_EQ(core->set_window_size(console::kFrameUnit, console::WindowPosition{7, 0, 0, 0, 0}), -1);
  EXPECT_EQ(console::graphics_status(), -4);
}

TEST_F(UnitWindowTest, ChildWindowSizeInCells) {
  const int window = core->create_unit_window("Input Window", true);
  units[10] = window;
  core->write_text(window, "x");  // configured: cells of 8 x 16
  EXPECT_EQ(core->set_window_size(10, console::WindowPosition{4, 2, 3, 25, 80}), 0);
  auto geometry = core->window_info(window)->geometry;
  EXPECT_EQ(geometry.state, 4);
  EXPECT_EQ(geometry.x, 16);
  EXPECT_EQ(geometry.y, 48);
  EXPECT_EQ(geometry.width, 640);
  EXPECT_EQ(geometry.height, 400);
  EXPECT_EQ(core->set_window_size(10, console::WindowPosition{1, 0, 0, 0, 0}), 0);
  EXPECT_EQ(core->window_info(window)->geometry.state, 1);
  console::set_graphics_status(0);
  EXPECT_EQ(core->set_window_size(10, console::WindowPosition{0, 0, 0, 0, 0}), -1);
  EXPECT_EQ(console::graphics_status(), -4);
  EXPECT_EQ(core->set_window_size(42, console::WindowPosition{3, 0, 0, 0, 0}), -1);
  EXPECT_EQ(console::graphics_status(), -1);
  core->close_unit_window(window, true);
  EXPECT_EQ(core->set_window_size(10, console::WindowPosition{3, 0, 0, 0, 0}), -1);
}

TEST_F(ConsoleTest, WindowUnitBecomesCurrentIoWindow) {
  const int window = core->create_unit_window("Input Window", false);
  EXPECT_EQ(core->current_io_window(), window);
  EXPECT_FALSE(core->window_info(window)->take_focus);
  core->set_focus_request(window, true);
  EXPECT_TRUE(core->window_info(window)->take_focus);
  core->close_unit_window(window, true);
  // The current I/O window is none again: the thread's active window answers.
  EXPECT_EQ(core->current_io_window(), core->active_window());
}

TEST_F(ConsoleTest, ExitListRunsOnceInOrderAndHoldsAtMost32) {
  std::vector<int> order;
  for (int i = 0; i < 32; ++i) EXPECT_TRUE(core->register_exit_routine([&order, i] { order.push_back(i); }));
  EXPECT_FALSE(core->register_exit_routine([] {}));
  core->run_exit_routines();
  core->run_exit_routines();
  ASSERT_EQ(order.size(), 32u);
  for (int i = 0; i < 32; ++i) EXPECT_EQ(order[static_cast<std::size_t>(i)], i);
}

}  // namespace
}  // namespace console_test
