#include <gtest/gtest.h>

#include <ostream>

#include <algorithm>
#include <optional>
#include <string>

#include "console/window_config.h"

namespace {

using console::ConfigResolution;
using console::DisplayInfo;
using console::FontRequest;
using console::MeasuredFont;
using console::WindowConfig;

// A font maker whose fonts measure exactly the cell asked for, unless a fixed real cell is
// given (a face that cannot be made at the requested size).
console::FontMaker exact_fonts(std::optional<std::pair<int, int>> real = std::nullopt) {
  return [real](const FontRequest& request) -> std::optional<MeasuredFont> {
    MeasuredFont font;
    if (real && !(request.cell_width == real->first && request.cell_height == real->second)) {
      font.average_width = real->first;
      font.height = real->second;
    } else {
      font.average_width = request.cell_width;
      font.height = request.cell_height;
    }
    return font;
  };
}

struct ConfigCase {
  const char* name;
  DisplayInfo display;
  WindowConfig request;
  std::optional<std::pair<int, int>> real_cell;  // the font's cell when it differs
  bool changed;
  int pixels_x, pixels_y, columns, rows, cell_w, cell_h, colors;
};

// Test names show the case name, not the bytes of the case.
void PrintTo(const ConfigCase& c, std::ostream* os) { *os << c.name; }

WindowConfig config(int px, int py, int cols, int rows, int font_size, int colors = -1) {
  WindowConfig c;
  c.pixels_x = static_cast<std::int16_t>(px);
  c.pixels_y = static_cast<std::int16_t>(py);
  c.text_columns = static_cast<std::int16_t>(cols);
  c.text_rows = static_cast<std::int16_t>(rows);
  c.font_size = font_size;
  c.colors = static_cast<std::int16_t>(colors);
  return c;
}

constexpr DisplayInfo k1024{1024, 768, 32, 1};
constexpr DisplayInfo k800{800, 600, 32, 1};
constexpr DisplayInfo k4bit{640, 480, 4, 1};

class ConfigResolutionTest : public ::testing::TestWithParam<ConfigCase> {};

TEST_P(ConfigResolutionTest, ResolvesAndSecondCallIsStable) {
  const ConfigCase& c = GetParam();
  WindowConfig record = c.request;
  const ConfigResolution first = console::resolve_window_config(record, c.display, exact_fonts(c.real_cell));
  ASSERT_FALSE(first.font_failed);
  EXPECT_EQ(first.changed, c.changed);
  EXPECT_EQ(record.pixels_x, c.pixels_x);
  EXPECT_EQ(record.pixels_y, c.pixels_y);
  EXPECT_EQ(record.text_columns, c.columns);
  EXPECT_EQ(record.text_rows, c.rows);
  EXPECT_EQ(console::cell_width_of(record.font_size), c.cell_w);
  EXPECT_EQ(console::cell_height_of(record.font_size), c.cell_h);
  EXPECT_EQ(record.colors, c.colors);
  EXPECT_EQ(record.video_pages, 0);
  EXPECT_EQ(record.mode, -1);

  // The written-back record resolves without change to the same values.
  WindowConfig again = record;
  const ConfigResolution second = console::resolve_window_config(again, c.display, exact_fonts(c.real_cell));
  EXPECT_FALSE(second.changed);
  EXPECT_EQ(again.pixels_x, record.pixels_x);
  EXPECT_EQ(again.text_columns, record.text_columns);
  EXPECT_EQ(again.text_rows, record.text_rows);
  EXPECT_EQ(second.char_width, c.cell_w);
  EXPECT_EQ(second.char_height, c.cell_h);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConfigResolutionTest,
    ::testing::Values(
        ConfigCase{"defaults_1024x768", k1024, config(-1, -1, -1, -1, -1), {}, false, 1024, 768, 128, 48, 8, 16, 256},
        ConfigCase{"defaults_800x600", k800, config(-1, -1, -1, -1, -1), {}, false, 800, 600, 100, 37, 8, 16, 256},
        ConfigCase{"counts_give_pixels", k1024, config(-1, -1, 80, 25, -1), {}, false, 640, 400, 80, 25, 8, 16, 256},
        ConfigCase{"pixels_give_counts", k1024, config(640, 480, -1, -1, -1), {}, false, 640, 480, 80, 30, 8, 16, 256},
        ConfigCase{"pixels_and_counts_give_cell",
                   k1024,
                   config(640, 480, 80, 24, -1),
                   {},
                   false,
                   640,
                   480,
                   80,
                   24,
                   8,
                   20,
                   256},
        ConfigCase{"cell_gives_counts_from_screen",
                   k1024,
                   config(-1, -1, -1, -1, console::pack_cell(10, 20)),
                   {},
                   false,
                   1020,
                   760,
                   102,
                   38,
                   10,
                   20,
                   256},
        ConfigCase{"cell_and_pixels_inconsistent_count",
                   k1024,
                   config(800, 400, 90, 25, console::pack_cell(8, 16)),
                   {},
                   true,
                   800,
                   400,
                   100,
                   25,
                   8,
                   16,
                   256},
        ConfigCase{
            "pixels_below_minimum_raised", k1024, config(50, 10, -1, -1, -1), {}, true, 112, 27, 14, 1, 8, 16, 256},
        ConfigCase{
            "few_columns_widen_the_cell", k1024, config(-1, -1, 5, 10, -1), {}, true, 112, 160, 5, 10, 22, 16, 256},
        ConfigCase{"colors_capped_to_display",
                   k1024,
                   config(-1, -1, -1, -1, -1, 300),
                   {},
                   true,
                   1024,
                   768,
                   128,
                   48,
                   8,
                   16,
                   256},
        ConfigCase{
            "colors_zero_is_default", k1024, config(-1, -1, -1, -1, -1, 0), {}, true, 1024, 768, 128, 48, 8, 16, 256},
        ConfigCase{
            "sixteen_colors_kept", k1024, config(-1, -1, -1, -1, -1, 16), {}, false, 1024, 768, 128, 48, 8, 16, 16},
        ConfigCase{"four_bit_display_has_16_colors",
                   k4bit,
                   config(-1, -1, -1, -1, -1),
                   {},
                   false,
                   640,
                   480,
                   80,
                   30,
                   8,
                   16,
                   16},
        ConfigCase{"font_within_tolerance_keeps_cell", k1024, config(-1, -1, -1, -1, -1), std::pair{9, 18}, false, 1024,
                   768, 128, 48, 8, 16, 256},
        ConfigCase{"font_real_cell_reported_back", k1024, config(-1, -1, -1, -1, -1), std::pair{12, 24}, true, 1020,
                   768, 85, 32, 12, 24, 256},
        ConfigCase{"zero_count_is_default", k1024, config(-1, -1, 0, -1, -1), {}, true, 1024, 768, 128, 48, 8, 16, 256},
        ConfigCase{"zero_cell_is_default",
                   k1024,
                   config(-1, -1, -1, -1, console::pack_cell(0, 16)),
                   {},
                   true,
                   1024,
                   768,
                   128,
                   48,
                   8,
                   16,
                   256},
        ConfigCase{"huge_cell_lowered",
                   k1024,
                   config(-1, -1, -1, -1, console::pack_cell(2000, 2000)),
                   {},
                   true,
                   1024,
                   512,
                   2,
                   1,
                   512,
                   512,
                   256},
        ConfigCase{
            "negative_values_are_default", k1024, config(-5, -7, -3, -2, -1), {}, true, 1024, 768, 128, 48, 8, 16, 256},
        ConfigCase{"cell_from_pixels_lowered_to_largest_font_cell",
                   k1024,
                   config(2000, -1, 1, -1, -1),
                   {},
                   true,
                   2000,
                   768,
                   3,
                   48,
                   512,
                   16,
                   256},
        ConfigCase{"huge_counts_fit_16_bits",
                   k1024,
                   config(-1, -1, 30000, 30000, -1),
                   {},
                   true,
                   32760,
                   32752,
                   4095,
                   2047,
                   8,
                   16,
                   256}),
    [](const ::testing::TestParamInfo<ConfigCase>& info) { return std::string(info.param.name); });

// A record that names its font (font_size -2) asks for that face with its attributes, in any
// pitch, and gets its cell back in font_size_ext.
TEST(ExtendedFontTest, RecordNamesFaceAttributesAndCell) {
  WindowConfig record;
  record.font_size = console::kExtendedFontSize;
  const std::string face = "Arial";
  std::copy(face.begin(), face.end(), record.font_name.begin());
  record.font_attributes = console::kFontBold | console::kFontItalic;
  record.font_size_ext = console::pack_cell(10, 20);
  std::optional<FontRequest> asked;
  const ConfigResolution result = console::resolve_window_config(record, k1024, [&](const FontRequest& request) {
    asked = request;
    return exact_fonts()(request);
  });
  ASSERT_TRUE(asked.has_value());
  EXPECT_EQ(asked->face, "Arial");
  EXPECT_EQ(asked->attributes, console::kFontBold | console::kFontItalic);
  EXPECT_FALSE(asked->fixed_pitch);
  EXPECT_EQ(asked->cell_width, 10);
  EXPECT_EQ(asked->cell_height, 20);
  EXPECT_FALSE(result.changed);
  EXPECT_EQ(record.font_size, console::kExtendedFontSize);
  EXPECT_EQ(record.font_size_ext, console::pack_cell(10, 20));
  EXPECT_EQ(record.text_columns, 102);
  EXPECT_EQ(record.text_rows, 38);
}

TEST(ConfigResolutionFailureTest, NoFontReportsFailure) {
  WindowConfig record;
  const ConfigResolution result =
      console::resolve_window_config(record, k1024, [](const FontRequest&) { return std::optional<MeasuredFont>(); });
  EXPECT_TRUE(result.font_failed);
}

TEST(ConfigResolutionFailureTest, DisplayColourCountCapping) {
  EXPECT_EQ((DisplayInfo{1, 1, 32, 1}.color_count()), 256);
  EXPECT_EQ((DisplayInfo{1, 1, 32, 1}.bits_per_pixel()), 8);
  EXPECT_EQ((DisplayInfo{1, 1, 1, 1}.color_count()), 2);
  EXPECT_EQ((DisplayInfo{1, 1, 4, 1}.color_count()), 16);
  EXPECT_EQ((DisplayInfo{1, 1, 4, 1}.bits_per_pixel()), 4);
}

// The real font for "Courier New" (a metric-compatible face) meets the default cell, and
// the configuration of other cells settles after at most one change.
TEST(TextFontTest, RealFontMeetsDefaultCellAndOtherCellsSettle) {
  const auto font = console::make_text_font(FontRequest{console::kTextFontFace, 8, 16, 0, true});
  ASSERT_TRUE(font.has_value());
  EXPECT_TRUE(console::font_fits_cell(font->average_width, font->height, 8, 16))
      << font->average_width << "x" << font->height;
  EXPECT_TRUE(font->font.fixedPitch());

  for (const auto& [w, h] : {std::pair{6, 12}, std::pair{10, 20}, std::pair{12, 24}, std::pair{16, 32}}) {
    WindowConfig record;
    record.font_size = console::pack_cell(w, h);
    ConfigResolution result = console::resolve_window_config(record, k1024, console::make_text_font);
    if (result.changed) result = console::resolve_window_config(record, k1024, console::make_text_font);
    EXPECT_FALSE(result.changed) << w << "x" << h;
    EXPECT_FALSE(result.font_failed) << w << "x" << h;
  }
}

}  // namespace
