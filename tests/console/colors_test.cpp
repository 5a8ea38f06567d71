#include <gtest/gtest.h>

#include <ostream>

#include "console/console_api.h"
#include "console/graphics_status.h"
#include "console/palette.h"
#include "console_test_support.h"

namespace console_test {
namespace {

using console::graphics_status;

struct ColorCase {
  const char* name;
  enum Operation { Color, Background, Text } operation;
  int start;  // value set first (status then reset to 0)
  int argument;
  int result;  // returned value
  int field;   // the field afterwards
  int status;
};

// Test names show the case name, not the bytes of the case.
void PrintTo(const ColorCase& c, std::ostream* os) { *os << c.name; }

class ColorOperationTest : public ConsoleTest, public ::testing::WithParamInterface<ColorCase> {};

TEST_P(ColorOperationTest, ResultFieldAndStatus) {
  const ColorCase& c = GetParam();
  auto call = [&](int value) -> int {
    switch (c.operation) {
      case ColorCase::Color: return core->set_color(static_cast<std::int16_t>(value));
      case ColorCase::Background: return core->set_bk_color(value);
      case ColorCase::Text: return core->set_text_color(static_cast<std::int16_t>(value));
    }
    return 0;
  };
  call(c.start);
  console::set_graphics_status(0);
  EXPECT_EQ(call(c.argument), c.result);
  EXPECT_EQ(graphics_status(), c.status);
  int field = -99;
  with_record(kGraphic1, [&](console::ChildWindowRecord& r) {
    field = c.operation == ColorCase::Color        ? r.graphics_color
            : c.operation == ColorCase::Background ? r.background_color
                                                   : r.text_color;
  });
  EXPECT_EQ(field, c.field);
}

INSTANTIATE_TEST_SUITE_P(Cases, ColorOperationTest,
                         ::testing::Values(ColorCase{"color_above_count_clamped", ColorCase::Color, 4, 300, 4, 255, 3},
                                           ColorCase{"color_negative_clamped", ColorCase::Color, 4, -5, 4, 0, 3},
                                           ColorCase{"color_unchanged_returns_it", ColorCase::Color, 7, 7, 7, 7, 0},
                                           ColorCase{"color_plain", ColorCase::Color, 2, 9, 2, 9, 0},
                                           ColorCase{"background_plain", ColorCase::Background, 3, 15, 3, 15, 0},
                                           ColorCase{"background_same_value_no_early_return", ColorCase::Background,
                                                     300, 300, 255, 255, 3},
                                           ColorCase{"background_negative", ColorCase::Background, 3, -1, 3, 0, 3},
                                           ColorCase{"text_folded", ColorCase::Text, 2, 20, 2, 4, 3},
                                           ColorCase{"text_above_31_refused", ColorCase::Text, 2, 32, 2, 2, -4},
                                           ColorCase{"text_negative_refused", ColorCase::Text, 5, -1, 5, 5, -4},
                                           ColorCase{"text_plain", ColorCase::Text, 5, 0, 5, 0, 0}),
                         [](const ::testing::TestParamInfo<ColorCase>& info) { return std::string(info.param.name); });

TEST_F(ConsoleTest, PaletteOfDefaultWindowAndOfTwoColours) {
  ASSERT_TRUE(core->ensure_configured(*core->find_window(kGraphic1)));
  with_record(kGraphic1, [](console::ChildWindowRecord& r) {
    ASSERT_EQ(r.color_count, 256);
    EXPECT_EQ(r.color(0), qRgb(0, 0, 0));
    EXPECT_EQ(r.color(15), qRgb(255, 255, 255));
    EXPECT_EQ(r.color(7), qRgb(192, 192, 192));
    EXPECT_EQ(r.color(16), qRgb(64, 64, 64));
    EXPECT_EQ(r.color(200), r.color(16));
    EXPECT_EQ(r.graphics_color, 15);
  });
  const auto two = console::make_palette(2);
  EXPECT_EQ(two, (std::vector<QRgb>{qRgb(0, 0, 0), qRgb(255, 255, 255)}));
  EXPECT_EQ(console::make_palette(16).size(), 16u);
  EXPECT_EQ(console::make_palette(16)[12], qRgb(255, 0, 0));
  EXPECT_TRUE(console::make_palette(0).empty());
}

TEST_F(ConsoleTest, ClearScreenKinds) {
  core->write_text(kGraphic1, "text");
  with_record(kGraphic1, [](console::ChildWindowRecord& r) { r.has_graphics = true; });

  core->set_bk_color(15);
  core->clear_screen(0);  // the whole surface, white, text store emptied
  EXPECT_EQ(graphics_status(), 0);
  with_record(kGraphic1, [](console::ChildWindowRecord& r) {
    EXPECT_FALSE(r.has_graphics);
    EXPECT_TRUE(r.text_store.empty());
    EXPECT_EQ(r.surface().pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(r.surface().pixel(r.surface_width - 1, r.surface_height - 1), qRgb(255, 255, 255));
    EXPECT_EQ(r.text_row, 1);
    EXPECT_EQ(r.text_column, 1);
  });

  core->write_text(kGraphic1, "again");
  core->clear_screen(1);  // the viewport with palette entry 0 whatever the background
  with_record(kGraphic1, [](console::ChildWindowRecord& r) {
    EXPECT_EQ(r.surface().pixel(500, 500), qRgb(0, 0, 0));
    EXPECT_TRUE(r.text_store.empty());
  });

  core->write_text(kGraphic1, "more");
  core->clear_screen(2);  // the text window's cells with the background colour
  with_record(kGraphic1, [](console::ChildWindowRecord& r) {
    EXPECT_EQ(r.surface().pixel(3, 3), qRgb(255, 255, 255));
    EXPECT_TRUE(r.text_store.empty());
  });

  core->write_text(kGraphic1, "kept");
  core->clear_screen(3);
  EXPECT_EQ(graphics_status(), -4);
  EXPECT_EQ(row_text(kGraphic1, 1), "kept");
  EXPECT_EQ(text_position(kGraphic1), std::make_pair(1, 5));
}

TEST_F(ConsoleTest, ColourCallConfiguresAnUnconfiguredWindowFirst) {
  const int window = core->create_unit_window("Graphics", false);
  ASSERT_EQ(core->active_window(), window);
  EXPECT_FALSE(core->window_info(window)->configured);
  EXPECT_EQ(core->set_color(3), 15);
  const auto info = core->window_info(window);
  EXPECT_TRUE(info->configured);
  EXPECT_EQ(info->pixels_x, 1024);
  EXPECT_EQ(info->pixels_y, 768);
  with_record(window, [](console::ChildWindowRecord& r) { EXPECT_EQ(r.color_count, 256); });
}

TEST_F(ConsoleTest, InexactColoursOnASixteenBitDisplay) {
  options.display = console::DisplayInfo{1024, 768, 16, 1};
  restart();
  console::set_graphics_status(0);
  EXPECT_EQ(core->set_color(15), 15);  // white is exact: unchanged, status 0
  EXPECT_EQ(graphics_status(), 0);
  core->set_color(1);  // (0, 0, 128) has no exact 5-bit blue
  EXPECT_EQ(graphics_status(), 3);
  EXPECT_EQ(console::inexact_colors(1), 1);
  EXPECT_EQ(console::inexact_colors(0), 0);
  EXPECT_TRUE(console::display_shows_exactly(qRgb(0, 0, 128), 32));
}

TEST(ConsoleApiWithoutConsoleTest, OperationsRefuse) {
  ASSERT_EQ(console::ConsoleCore::current(), nullptr);
  EXPECT_EQ(console::set_color(3), -1);
  EXPECT_EQ(console::get_graphics_status(), -1);
  EXPECT_EQ(console::set_bk_color(3), -1);
  EXPECT_EQ(console::set_text_color(3), -1);
  EXPECT_EQ(console::display_cursor(1), -1);
  EXPECT_EQ(console::set_active_window(10), 0);
  console::clear_screen(0);
  EXPECT_EQ(console::get_graphics_status(), -1);
}

TEST_F(ConsoleTest, ProgramApiActsOnTheCurrentConsole) {
  EXPECT_EQ(console::set_bk_color(15), 0);
  console::clear_screen(0);
  EXPECT_EQ(pixel(kGraphic1, 10, 10), qRgb(255, 255, 255));
  EXPECT_EQ(console::set_text_color(0), 15);
}

}  // namespace
}  // namespace console_test
