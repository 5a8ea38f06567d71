// The pixel code on small images, compared as pictures: '#' is the pen colour, '.' the
// untouched background, 'o' the fill background of a mask.

#include <gtest/gtest.h>

#include <QImage>

#include <ostream>
#include <string>
#include <vector>

#include "console/raster.h"

namespace {

using console::ClipRect;
using console::PenStyle;

constexpr QRgb kBackground = 0xFFFFFFFFu;  // white
constexpr QRgb kPen = 0xFF000000u;         // black
constexpr QRgb kMaskOff = 0xFF808080u;     // grey

QImage blank(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(kBackground);
  return image;
}

std::string picture(const QImage& image) {
  std::string text;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QRgb c = image.pixel(x, y);
      text += c == kPen ? '#' : c == kBackground ? '.' : c == kMaskOff ? 'o' : '?';
    }
    text += '\n';
  }
  return text;
}

std::string rows(std::initializer_list<const char*> lines) {
  std::string text;
  for (const char* line : lines) text += std::string(line) + "\n";
  return text;
}

ClipRect whole(const QImage& image) { return ClipRect{0, 0, image.width() - 1, image.height() - 1}; }

struct LineCase {
  const char* name;
  int x0, y0, x1, y1;
  ClipRect clip;  // right < 0: the whole image
  std::string expected;
};
void PrintTo(const LineCase& c, std::ostream* os) { *os << c.name; }

class LineTest : public ::testing::TestWithParam<LineCase> {};

// The line functions leave the end point out; line_to adds it, as done here.
TEST_P(LineTest, PixelsFromStartToEndInclusive) {
  const LineCase& c = GetParam();
  QImage image = blank(8, 5);
  const ClipRect clip = c.clip.right < 0 ? whole(image) : c.clip;
  console::draw_line_pixels(image, c.x0, c.y0, c.x1, c.y1, PenStyle{kPen, 13}, clip);
  console::put_pixel(image, c.x1, c.y1, kPen, clip);
  EXPECT_EQ(picture(image), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, LineTest,
    ::testing::Values(
        LineCase{"horizontal",
                 1,
                 1,
                 6,
                 1,
                 {0, 0, -1, -1},
                 rows({"........", ".######.", "........", "........", "........"})},
        LineCase{
            "diagonal", 0, 0, 4, 4, {0, 0, -1, -1}, rows({"#.......", ".#......", "..#.....", "...#....", "....#..."})},
        LineCase{"shallow_slope_one_pixel_wide",
                 0,
                 0,
                 7,
                 2,
                 {0, 0, -1, -1},
                 rows({"##......", "..####..", "......##", "........", "........"})},
        LineCase{"steep_slope_one_pixel_wide",
                 0,
                 0,
                 2,
                 4,
                 {0, 0, -1, -1},
                 rows({"#.......", "#.......", ".#......", ".#......", "..#....."})},
        LineCase{"clipped_to_viewport",
                 0,
                 2,
                 7,
                 2,
                 {2, 0, 5, 4},
                 rows({"........", "........", "..####..", "........", "........"})},
        LineCase{"from_far_outside",
                 -30,
                 0,
                 2,
                 0,
                 {0, 0, -1, -1},
                 rows({"###.....", "........", "........", "........", "........"})}),
    [](const ::testing::TestParamInfo<LineCase>& info) { return std::string(info.param.name); });

TEST(RasterLine, EverySlopeHasOnePixelPerMajorStepAndBothEnds) {
  for (int x1 = -9; x1 <= 9; ++x1) {
    for (int y1 = -9; y1 <= 9; ++y1) {
      QImage image = blank(21, 21);
      const ClipRect clip = whole(image);
      console::draw_line_pixels(image, 10, 10, 10 + x1, 10 + y1, PenStyle{kPen, 13}, clip);
      console::put_pixel(image, 10 + x1, 10 + y1, kPen, clip);
      int count = 0;
      for (int y = 0; y < 21; ++y)
        for (int x = 0; x < 21; ++x) count += image.pixel(x, y) == kPen ? 1 : 0;
      EXPECT_EQ(count, std::max(std::abs(x1), std::abs(y1)) + 1) << x1 << "," << y1;
      EXPECT_EQ(image.pixel(10, 10), kPen);
      EXPECT_EQ(image.pixel(10 + x1, 10 + y1), kPen);
    }
  }
}

TEST(RasterFrame, EachPixelOnceSoXorKeepsTheCorners) {
  QImage image = blank(7, 5);
  console::draw_frame_pixels(image, 1, 1, 5, 3, PenStyle{kBackground, 7}, whole(image));
  // Xor with white turns white into black exactly once per pixel.
  EXPECT_EQ(picture(image), rows({".......", ".#####.", ".#...#.", ".#####.", "......."}));
}

TEST(RasterFrame, ThinFramesAndClipping) {
  QImage column = blank(5, 5);
  console::draw_frame_pixels(column, 2, 0, 2, 4, PenStyle{kPen, 13}, whole(column));
  EXPECT_EQ(picture(column), rows({"..#..", "..#..", "..#..", "..#..", "..#.."}));

  QImage clipped = blank(6, 4);
  const QRect drawn = console::draw_frame_pixels(clipped, -2, 1, 3, 6, PenStyle{kPen, 13}, whole(clipped));
  EXPECT_EQ(picture(clipped), rows({"......", "####..", "...#..", "...#.."}));
  EXPECT_EQ(drawn, QRect(QPoint(0, 1), QPoint(3, 3)));
}

TEST(RasterFill, SolidAndPatterned) {
  QImage solid = blank(5, 4);
  console::fill_area_pixels(solid, 1, 1, 3, 2, kPen, std::nullopt, kMaskOff, whole(solid));
  EXPECT_EQ(picture(solid), rows({".....", ".###.", ".###.", "....."}));

  // A checkerboard mask aligned to the image's (0, 0).
  QImage patterned = blank(6, 3);
  const std::array<std::uint8_t, 8> mask = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
  console::fill_area_pixels(patterned, 1, 0, 4, 2, kPen, mask, kMaskOff, whole(patterned));
  EXPECT_EQ(picture(patterned), rows({".o#o#.", ".#o#o.", ".o#o#."}));
}

struct CombineCase {
  int mode;
  QRgb pen;
  QRgb surface;
  QRgb expected;
};

TEST(RasterCombine, WriteModes) {
  const std::vector<CombineCase> cases = {
      {13, 0x123456, 0xABCDEF, 0xFF123456}, {7, 0x00FF00, 0x0F0F0F, 0xFF0FF00F},  {1, 0x123456, 0xABCDEF, 0xFF000000},
      {16, 0x123456, 0xABCDEF, 0xFFFFFFFF}, {11, 0x123456, 0xABCDEF, 0xFFABCDEF}, {4, 0x00FFFF, 0, 0xFFFF0000},
      {6, 0, 0x0000FF, 0xFFFFFF00},         {9, 0xF0F0F0, 0x3C3C3C, 0xFF303030},  {15, 0xF00000, 0x00000F, 0xFFF0000F},
      {99, 0x123456, 0, 0xFF123456},
  };
  for (const CombineCase& c : cases) {
    EXPECT_EQ(console::combine_pixel(c.pen, c.surface, c.mode), c.expected) << "mode " << c.mode;
  }
}

TEST(RasterPalette, NearestIndexPrefersTheLowestOfEquals) {
  const std::vector<QRgb> palette = {qRgb(0, 0, 0), qRgb(255, 255, 255), qRgb(64, 64, 64), qRgb(64, 64, 64)};
  EXPECT_EQ(console::nearest_palette_index(palette, qRgb(64, 64, 64)), 2);
  EXPECT_EQ(console::nearest_palette_index(palette, qRgb(250, 250, 250)), 1);
  EXPECT_EQ(console::nearest_palette_index(palette, qRgb(20, 20, 20)), 0);
  EXPECT_EQ(console::nearest_palette_index({}, qRgb(1, 2, 3)), -1);
}

}  // namespace
