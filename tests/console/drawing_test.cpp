// The drawing primitives on a small window: results, graphics_status, the pixels drawn, the
// current position, the viewport and the coalesced repaint requests.

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "console/graphics_status.h"
#include "console_test_support.h"

namespace console_test {
namespace {

using console::graphics_status;

constexpr int kWidth = 120;
constexpr int kHeight = 48;
const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kBlack = qRgb(0, 0, 0);

class DrawingTest : public ConsoleTest {
 protected:
  void SetUp() override {
    ConsoleTest::SetUp();
    auto record = core->find_window(kGraphic1);
    console::WindowConfig config;
    config.pixels_x = kWidth;
    config.pixels_y = kHeight;
    for (int i = 0; i < 3 && core->apply_config(*record, config) != console::ConsoleCore::ApplyOutcome::Applied; ++i) {
    }
    core->set_bk_color(15);
    core->clear_screen(0);
    core->set_color(0);
    console::set_graphics_status(0);
  }
  // The positions of the pixels that are not white, row by row.
  std::vector<std::pair<int, int>> marked() {
    std::vector<std::pair<int, int>> points;
    with_record(kGraphic1, [&](console::ChildWindowRecord& r) {
      for (int y = 0; y < r.surface().height(); ++y)
        for (int x = 0; x < r.surface().width(); ++x)
          if (r.surface().pixel(x, y) != kWhite) points.emplace_back(x, y);
    });
    return points;
  }
  void set_viewport(int left, int top, int right, int bottom) {
    with_record(kGraphic1, [&](console::ChildWindowRecord& r) {
      r.viewport_left = left;
      r.viewport_top = top;
      r.viewport_right = right;
      r.viewport_bottom = bottom;
    });
  }
};

struct LineCase {
  const char* name;
  int from_x, from_y, to_x, to_y;
  int viewport[4];  // left, top, right, bottom; right < 0: the whole surface
  int status;
  std::vector<std::pair<int, int>> pixels;  // every pixel drawn, row by row
};
void PrintTo(const LineCase& c, std::ostream* os) { *os << c.name; }

class LineToTest : public DrawingTest, public ::testing::WithParamInterface<LineCase> {};

TEST_P(LineToTest, StatusPixelsAndPosition) {
  const LineCase& c = GetParam();
  if (c.viewport[2] >= 0) set_viewport(c.viewport[0], c.viewport[1], c.viewport[2], c.viewport[3]);
  core->move_to(static_cast<std::int16_t>(c.from_x), static_cast<std::int16_t>(c.from_y));
  EXPECT_EQ(core->line_to(static_cast<std::int16_t>(c.to_x), static_cast<std::int16_t>(c.to_y)), 1);
  EXPECT_EQ(graphics_status(), c.status);
  EXPECT_EQ(marked(), c.pixels);
  const console::GraphicsPosition now = core->move_to(0, 0);
  EXPECT_EQ(now.x, c.to_x);
  EXPECT_EQ(now.y, c.to_y);
}

std::vector<std::pair<int, int>> row_run(int y, int x0, int x1) {
  std::vector<std::pair<int, int>> points;
  for (int x = x0; x <= x1; ++x) points.emplace_back(x, y);
  return points;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LineToTest,
    ::testing::Values(LineCase{"eleven_pixels_both_ends", 10, 10, 20, 10, {0, 0, -1, -1}, 0, row_run(10, 10, 20)},
                      LineCase{"to_itself_one_pixel", 7, 9, 7, 9, {0, 0, -1, -1}, 0, {{7, 9}}},
                      LineCase{"vertical_both_ends", 3, 2, 3, 5, {0, 0, -1, -1}, 0, {{3, 2}, {3, 3}, {3, 4}, {3, 5}}},
                      LineCase{
                          "beyond_right_edge_clipped", 110, 4, 200, 4, {0, 0, -1, -1}, 2, row_run(4, 110, kWidth - 1)},
                      LineCase{"both_left_nothing_drawn", -5, 10, -20, 30, {0, 0, -1, -1}, 1, {}},
                      LineCase{"both_below_nothing_drawn", 5, 60, 9, 90, {0, 0, -1, -1}, 1, {}},
                      LineCase{"viewport_clips", 0, 20, 40, 20, {10, 10, 30, 30}, 2, row_run(20, 10, 30)},
                      LineCase{"viewport_above_nothing", 12, 2, 20, 5, {10, 10, 30, 30}, 1, {}},
                      LineCase{"corner_cut_outside_counts_as_clipped", -10, 5, 5, -10, {0, 0, -1, -1}, 2, {}}),
    [](const ::testing::TestParamInfo<LineCase>& info) { return std::string(info.param.name); });

struct RectangleCase {
  const char* name;
  int fill, x1, y1, x2, y2;
  int result;
  int status;
  std::vector<std::pair<int, int>> black;  // pixels that must be black
  std::vector<std::pair<int, int>> white;  // pixels that must stay white
  int drawn_count;                         // every marked pixel
};
void PrintTo(const RectangleCase& c, std::ostream* os) { *os << c.name; }

class RectangleTest : public DrawingTest, public ::testing::WithParamInterface<RectangleCase> {};

TEST_P(RectangleTest, ResultStatusAndPixels) {
  const RectangleCase& c = GetParam();
  EXPECT_EQ(core->draw_rectangle(static_cast<std::int16_t>(c.fill), static_cast<std::int16_t>(c.x1),
                                 static_cast<std::int16_t>(c.y1), static_cast<std::int16_t>(c.x2),
                                 static_cast<std::int16_t>(c.y2)),
            c.result);
  EXPECT_EQ(graphics_status(), c.status);
  for (const auto& [x, y] : c.black) EXPECT_EQ(pixel(kGraphic1, x, y), kBlack) << x << "," << y;
  for (const auto& [x, y] : c.white) EXPECT_EQ(pixel(kGraphic1, x, y), kWhite) << x << "," << y;
  EXPECT_EQ(static_cast<int>(marked().size()), c.drawn_count);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RectangleTest,
    ::testing::Values(
        RectangleCase{"border_through_both_corners",
                      2,
                      10,
                      5,
                      30,
                      25,
                      1,
                      0,
                      {{10, 5}, {30, 5}, {10, 25}, {30, 25}, {20, 5}, {10, 15}},
                      {{11, 6}, {20, 15}, {31, 5}, {10, 26}},
                      2 * 21 + 2 * 19},
        RectangleCase{"reversed_corners_same_border",
                      2,
                      30,
                      25,
                      10,
                      5,
                      1,
                      0,
                      {{10, 5}, {30, 5}, {10, 25}, {30, 25}},
                      {{20, 15}},
                      2 * 21 + 2 * 19},
        RectangleCase{"one_pixel_border", 2, 5, 5, 5, 5, 1, 0, {{5, 5}}, {{4, 5}, {6, 5}, {5, 6}}, 1},
        RectangleCase{"one_pixel_filled", 3, 5, 5, 5, 5, 1, 0, {{5, 5}}, {{4, 5}, {6, 6}}, 1},
        RectangleCase{"filled_interior", 3, 2, 2, 6, 5, 1, 0, {{2, 2}, {4, 3}, {6, 5}}, {{7, 3}, {1, 2}}, 5 * 4},
        RectangleCase{"invalid_fill_control", 4, 2, 2, 6, 5, 0, -1, {}, {{2, 2}}, 0},
        RectangleCase{"touching_right_edge_is_clipped",
                      2,
                      100,
                      10,
                      kWidth - 1,
                      20,
                      1,
                      2,
                      {{kWidth - 1, 10}, {kWidth - 1, 20}},
                      {},
                      2 * 20 + 2 * 9},
        RectangleCase{"partly_outside_clipped", 2, -5, -5, 5, 5, 1, 2, {{5, 0}, {0, 5}, {5, 5}}, {{0, 0}}, 11},
        RectangleCase{"wholly_outside_nothing_drawn", 2, 200, 10, 220, 20, 1, 1, {}, {}, 0}),
    [](const ::testing::TestParamInfo<RectangleCase>& info) { return std::string(info.param.name); });

TEST_F(DrawingTest, FilledRectangleUsesTheFillMask) {
  with_record(kGraphic1, [](console::ChildWindowRecord& r) {
    r.fill_mask = std::array<std::uint8_t, 8>{0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00};
  });
  core->set_color(12);  // bright red; mask bits 0 take palette entry 0 (black)
  EXPECT_EQ(core->draw_rectangle(3, 0, 0, 9, 9), 1);
  EXPECT_EQ(pixel(kGraphic1, 4, 2), qRgb(255, 0, 0));  // mask row 2 set
  EXPECT_EQ(pixel(kGraphic1, 4, 3), kBlack);           // mask row 3 clear
  EXPECT_EQ(pixel(kGraphic1, 0, 3), qRgb(255, 0, 0));  // the border is the pen
}

TEST_F(DrawingTest, BorderCombinesWithTheWriteModeButTheEndPixelDoesNot) {
  with_record(kGraphic1, [](console::ChildWindowRecord& r) { r.write_mode = 7; });  // xor
  core->set_color(15);                                                              // white xor white = black
  core->draw_rectangle(2, 1, 1, 4, 4);
  EXPECT_EQ(pixel(kGraphic1, 1, 1), kBlack);
  EXPECT_EQ(pixel(kGraphic1, 4, 4), kBlack);
  core->move_to(10, 10);
  core->line_to(14, 10);
  EXPECT_EQ(pixel(kGraphic1, 12, 10), kBlack);  // through the write mode
  EXPECT_EQ(pixel(kGraphic1, 14, 10), kWhite);  // the end pixel is set directly
}

struct PixelCase {
  const char* name;
  int color;    // drawing colour
  int prepare;  // colour index put at (x, y) first; -1 none
  int x, y;
  int result;
  int status;
};
void PrintTo(const PixelCase& c, std::ostream* os) { *os << c.name; }

class SetPixelTest : public DrawingTest, public ::testing::WithParamInterface<PixelCase> {};

TEST_P(SetPixelTest, ReturnsTheIndexReplaced) {
  const PixelCase& c = GetParam();
  if (c.prepare >= 0) {
    core->set_color(static_cast<std::int16_t>(c.prepare));
    core->set_pixel(static_cast<std::int16_t>(c.x), static_cast<std::int16_t>(c.y));
  }
  core->set_color(static_cast<std::int16_t>(c.color));
  console::set_graphics_status(0);
  EXPECT_EQ(core->set_pixel(static_cast<std::int16_t>(c.x), static_cast<std::int16_t>(c.y)), c.result);
  EXPECT_EQ(graphics_status(), c.status);
  if (c.result >= 0) {
    with_record(kGraphic1, [&](console::ChildWindowRecord& r) {
      EXPECT_EQ(r.surface().pixel(c.x, c.y), r.color(c.color));
      EXPECT_TRUE(r.has_graphics);
    });
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, SetPixelTest,
                         ::testing::Values(PixelCase{"white_pixel_is_15", 0, -1, 3, 3, 15, 0},
                                           PixelCase{"black_pixel_is_0", 4, 0, 3, 3, 0, 0},
                                           PixelCase{"red_pixel_is_12", 0, 12, 50, 40, 12, 0},
                                           PixelCase{"grey_is_the_lowest_equal_index", 0, 200, 5, 5, 16, 0},
                                           PixelCase{"left_of_surface", 0, -1, -1, 5, -1, 1},
                                           PixelCase{"right_of_surface", 0, -1, kWidth, 0, -1, 1},
                                           PixelCase{"below_surface", 0, -1, 0, kHeight, -1, 1}),
                         [](const ::testing::TestParamInfo<PixelCase>& info) { return std::string(info.param.name); });

TEST_F(DrawingTest, SetPixelOutsideTheViewportDrawsNothing) {
  set_viewport(10, 10, 20, 20);
  EXPECT_EQ(core->set_pixel(5, 15), -1);
  EXPECT_EQ(graphics_status(), 1);
  EXPECT_EQ(core->set_pixel(20, 20), 15);
  EXPECT_EQ(marked(), (std::vector<std::pair<int, int>>{{20, 20}}));
}

TEST_F(DrawingTest, MoveToReturnsTheCentreThenTheLastLineEnd) {
  const console::GraphicsPosition centre = core->move_to(1, 2);
  EXPECT_EQ(centre.x, kWidth / 2);
  EXPECT_EQ(centre.y, kHeight / 2);
  core->line_to(30, 40);
  const console::GraphicsPosition previous = core->move_to(0, 0);
  EXPECT_EQ(previous.x, 30);
  EXPECT_EQ(previous.y, 40);
  EXPECT_EQ(previous.packed(), (40 << 16) | 30);
  EXPECT_EQ((console::GraphicsPosition{-1, -2}.packed()), static_cast<std::int32_t>(0xFFFEFFFFu));
}

TEST_F(DrawingTest, DrawingCoordinatesAreOffsetByTheOrigin) {
  with_record(kGraphic1, [](console::ChildWindowRecord& r) {
    r.origin_x = 10;
    r.origin_y = 5;
  });
  EXPECT_EQ(core->set_pixel(0, 0), 15);
  EXPECT_EQ(pixel(kGraphic1, 10, 5), kBlack);
  core->move_to(1, 1);
  const console::GraphicsPosition previous = core->move_to(0, 0);
  EXPECT_EQ(previous.x, 1);  // back in drawing coordinates
  EXPECT_EQ(previous.y, 1);
}

TEST_F(DrawingTest, DrawingIntoANeverConfiguredWindowConfiguresItFirst) {
  const int fresh = core->create_window("Fresh");
  ASSERT_EQ(core->activate_window(fresh), 1);
  EXPECT_EQ(core->set_pixel(2, 2), 0);  // a fresh surface is palette entry 0
  auto info = core->window_info(fresh);
  ASSERT_TRUE(info);
  EXPECT_TRUE(info->configured);
  EXPECT_EQ(info->pixels_x, 1024);
}

TEST_F(DrawingTest, RepaintRequestsAreCoalescedUntilThePresentationTakesThem) {
  core->with_surface(kGraphic1, nullptr);
  presentation.clear();
  for (int i = 0; i < 5000; ++i)
    core->set_pixel(static_cast<std::int16_t>(i % kWidth), static_cast<std::int16_t>(i % kHeight));
  EXPECT_EQ(presentation.count_events(kGraphic1, console::WindowEvent::Changed), 1);
  QRect dirty;
  core->with_surface(kGraphic1, [&](const QImage&, const QRect& area) { dirty = area; });
  EXPECT_EQ(dirty, QRect(0, 0, kWidth, kHeight));
  core->line_to(3, 3);
  EXPECT_EQ(presentation.count_events(kGraphic1, console::WindowEvent::Changed), 2);
}

}  // namespace
}  // namespace console_test
