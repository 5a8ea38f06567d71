// Graphic text with the machine's fonts: the three classic faces are offered (through their
// metric-compatible substitutes where they are not installed), and draw_text draws in the
// drawing colour over a transparent background and moves the current position.

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetrics>

#include <algorithm>
#include <set>
#include <string>

#include "console/font_source.h"
#include "console/graphics_status.h"
#include "console_test_support.h"

namespace console_test {
namespace {

using console::graphics_status;

TEST(SystemFontSource, OffersTheClassicFacesWithTheirPitch) {
  auto source = console::system_font_source();
  const auto faces = source->typefaces();
  ASSERT_TRUE(faces);
  for (const char* face : {"Arial", "Times New Roman", "Courier New"}) {
    EXPECT_NE(std::find(faces->begin(), faces->end(), face), faces->end()) << face;
  }
  const auto courier = source->fonts_of("Courier New");
  ASSERT_TRUE(courier && !courier->empty());
  for (const console::FontEntry& entry : *courier) {
    EXPECT_EQ(entry.logical_font.pitch_and_family & 3, console::kFixedPitch);
    EXPECT_FALSE(entry.is_raster());
    EXPECT_EQ(entry.logical_font.face, "Courier New");
  }
  const auto arial = source->fonts_of("Arial");
  ASSERT_TRUE(arial && !arial->empty());
  EXPECT_EQ(arial->front().logical_font.pitch_and_family & 3, console::kVariablePitch);
  // A stable order: the same list every time.
  EXPECT_EQ(source->typefaces(), faces);
}

TEST(SystemFontSource, ArialIsServedByAFaceWithItsMetrics) {
  auto source = console::system_font_source();
  ASSERT_TRUE(source->typefaces());
  console::LogicalFont description;
  description.face = "Arial";
  description.height = 14;
  description.width = 7;
  const auto made = source->make_font(description);
  ASSERT_TRUE(made);
  const std::string family = QFontInfo(made->font).family().toStdString();
  EXPECT_TRUE(family == "Arial" || family == "Liberation Sans") << family;
  const QFontMetrics metrics(made->font);
  EXPECT_LE(metrics.height(), 14);
  EXPECT_GE(metrics.height(), 12);
  EXPECT_NEAR(metrics.averageCharWidth(), 7, 1);
}

class GraphicTextTest : public ConsoleTest {
 protected:
  void SetUp() override {
    ConsoleTest::SetUp();
    core->set_bk_color(4);  // dark red background
    core->clear_screen(0);
    core->set_color(14);  // yellow text
  }
  int advance_of(std::string_view text) {
    const console::GraphicsPosition start = core->move_to(100, 100);
    (void)start;
    core->draw_text(text);
    return core->move_to(0, 0).x - 100;
  }
};

TEST_F(GraphicTextTest, WithoutAFontNothingIsDrawn) {
  core->move_to(10, 10);
  core->draw_text("abc");
  EXPECT_EQ(graphics_status(), 1);
  EXPECT_EQ(core->move_to(0, 0).x, 10);
  with_record(kGraphic1, [](console::ChildWindowRecord& r) { EXPECT_FALSE(r.has_graphics); });
}

TEST_F(GraphicTextTest, DrawsInTheDrawingColourOverATransparentBackground) {
  ASSERT_GT(core->init_fonts(), 0);
  ASSERT_GT(core->set_font("t'Arial'h14w7i"), 0);
  core->move_to(40, 40);
  core->draw_text("Wx(n+1)");
  EXPECT_EQ(graphics_status(), 0);
  std::set<QRgb> colours;
  int text_pixels = 0;
  with_record(kGraphic1, [&](console::ChildWindowRecord& r) {
    for (int y = 30; y < 70; ++y)
      for (int x = 30; x < 120; ++x) {
        colours.insert(r.surface().pixel(x, y));
        text_pixels += r.surface().pixel(x, y) == r.color(14) ? 1 : 0;
      }
    EXPECT_TRUE(r.has_graphics);
  });
  // Only the text colour and the untouched background: no box, no antialiasing.
  EXPECT_EQ(colours, (std::set<QRgb>{qRgb(128, 0, 0), qRgb(255, 255, 0)}));
  EXPECT_GT(text_pixels, 20);
}

TEST_F(GraphicTextTest, CurrentPositionMovesByTheWidthBlanksIncluded) {
  ASSERT_GT(core->init_fonts(), 0);
  ASSERT_GT(core->set_font("t'Arial'h14w7i"), 0);
  const int label = advance_of("x(n+1)");
  const int blanks = advance_of("    ");
  EXPECT_GT(label, 0);
  EXPECT_GT(blanks, 0);
  EXPECT_EQ(advance_of("x(n+1)    "), label + blanks);
  // A NUL ends the text.
  EXPECT_EQ(advance_of(std::string_view("x(n+1)\0zzz", 10)), label);
  // The vertical position stays.
  core->move_to(5, 77);
  core->draw_text("abc");
  EXPECT_EQ(core->move_to(0, 0).y, 77);
}

TEST_F(GraphicTextTest, TextReachingThePictureEdgeIsClipped) {
  ASSERT_GT(core->init_fonts(), 0);
  core->move_to(1020, 10);
  core->draw_text("Wide text");
  EXPECT_EQ(graphics_status(), 2);
  core->move_to(10, 760);
  core->draw_text("W");
  EXPECT_EQ(graphics_status(), 2);
}

TEST_F(GraphicTextTest, ConfigurationKeepsTheGraphicsFont) {
  ASSERT_GT(core->init_fonts(), 0);
  const int chosen = core->set_font("t'Courier New'h16");
  ASSERT_GT(chosen, 0);
  auto record = core->find_window(kGraphic1);
  console::WindowConfig config;
  config.pixels_x = 300;
  config.pixels_y = 200;
  for (int i = 0; i < 3 && core->apply_config(*record, config) != console::ConsoleCore::ApplyOutcome::Applied; ++i) {
  }
  with_record(kGraphic1, [&](console::ChildWindowRecord& r) {
    EXPECT_TRUE(r.graphics_font.selected);
    EXPECT_EQ(r.graphics_font.index + 1, chosen);
    EXPECT_EQ(r.surface_width, 300);
  });
}

}  // namespace
}  // namespace console_test
