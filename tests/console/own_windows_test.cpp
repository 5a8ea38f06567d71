// Windows of the program's own (no unit): made with their own picture or text size, drawn
// into by the thread that makes them active without moving the frame's current I/O window,
// and finished so that they keep their title and picture, take no more output and may be
// closed by the user. A configuration that cannot be applied leaves no window behind.

#include <gtest/gtest.h>

#include "console/console_api.h"
#include "console/palette.h"
#include "console_test_support.h"

namespace console_test {
namespace {

using console::WindowEvent;

TEST_F(ConsoleTest, OwnPictureWindowIsDrawnFinishedAndClosable) {
  const int window = console::open_own_picture_window("Bifurcation Diagram", 400, 300);
  ASSERT_GT(window, kGraphic1);
  const auto info = core->window_info(window);
  ASSERT_TRUE(info);
  EXPECT_EQ(info->title, "Bifurcation Diagram");
  EXPECT_EQ(info->pixels_x, 400);
  EXPECT_EQ(info->pixels_y, 300);
  EXPECT_TRUE(info->shown);
  EXPECT_TRUE(info->take_focus);
  EXPECT_EQ(presentation.count_events(window, WindowEvent::Shown), 1);
  // Not yet finished: the user cannot close it.
  EXPECT_FALSE(core->user_close_window(window));

  const int io_before = core->current_io_window();
  const int previous = console::exchange_active_window(window);
  EXPECT_EQ(previous, kGraphic1);
  EXPECT_EQ(core->active_window(), window);
  EXPECT_EQ(core->current_io_window(), io_before);
  console::set_color(15);
  EXPECT_EQ(console::set_pixel(10, 20), 0);
  EXPECT_EQ(pixel(window, 10, 20), qRgb(255, 255, 255));
  EXPECT_EQ(console::exchange_active_window(previous), window);
  EXPECT_EQ(core->active_window(), kGraphic1);

  console::finish_own_window(window);
  console::finish_own_window(window);  // once is enough
  EXPECT_EQ(presentation.count_events(window, WindowEvent::Closed), 1);
  EXPECT_EQ(core->window_info(window)->title, "Bifurcation Diagram");  // no "-Closed"
  EXPECT_EQ(pixel(window, 10, 20), qRgb(255, 255, 255));
  console::exchange_active_window(window);
  EXPECT_EQ(console::set_pixel(11, 20), -1);  // no more output
  console::exchange_active_window(previous);
  EXPECT_EQ(console::write_window_text(window, "late"), -1);
  EXPECT_TRUE(core->user_close_window(window));
  EXPECT_FALSE(core->window_info(window));
}

TEST_F(ConsoleTest, OwnTextWindowTakesText) {
  const int window = console::open_own_text_window("Lyapunov Exponents", 40, 6);
  ASSERT_GT(window, kGraphic1);
  const auto info = core->window_info(window);
  ASSERT_TRUE(info);
  EXPECT_EQ(info->text_columns, 40);
  EXPECT_EQ(info->text_rows, 6);
  EXPECT_EQ(info->pixels_x, 40 * info->char_width);
  const int io_before = core->current_io_window();
  EXPECT_EQ(console::write_window_text(window, "0.4192\r\n"), 8);
  EXPECT_EQ(row_text(window, 1), "0.4192");
  EXPECT_EQ(core->current_io_window(), io_before);
  EXPECT_EQ(core->active_window(), kGraphic1);
}

TEST_F(ConsoleTest, OwnWindowThatCannotBeMadeLeavesNothing) {
  // 32000 x 32000 pixels is far more than a surface may take: "Out of Memory".
  const std::vector<int> before = core->window_indices();
  console::set_graphics_status(0);
  EXPECT_EQ(console::open_own_picture_window("Too Big", 32000, 32000), -1);
  EXPECT_EQ(console::graphics_status(), -1);
  EXPECT_EQ(core->window_indices(), before);
  EXPECT_EQ(presentation.boxes().size(), 1u);

  // A full table.
  while (core->create_window("filler") > 0) {
  }
  EXPECT_EQ(console::open_own_picture_window("No Room", 400, 300), -1);
}

}  // namespace
}  // namespace console_test
