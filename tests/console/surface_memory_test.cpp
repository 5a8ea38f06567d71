// Surfaces in memory of their own: the image has the asked-for size and layout, takes and
// keeps what is drawn on it, and its memory lives exactly as long as an image shares it.

#include <gtest/gtest.h>

#include <QPainter>

#include <ostream>

#include "console/surface_memory.h"

namespace {

struct SizeCase {
  int width;
  int height;
  bool made;
};
void PrintTo(const SizeCase& c, std::ostream* os) { *os << c.width << "x" << c.height; }

class SurfaceMemorySize : public ::testing::TestWithParam<SizeCase> {};

TEST_P(SurfaceMemorySize, IsAWritableRgb32ImageOfThatSize) {
  const SizeCase& c = GetParam();
  QImage image = console::make_surface_image(c.width, c.height);
  ASSERT_EQ(image.isNull(), !c.made);
  if (!c.made) return;
  EXPECT_EQ(image.size(), QSize(c.width, c.height));
  EXPECT_EQ(image.format(), QImage::Format_RGB32);
  EXPECT_EQ(image.bytesPerLine(), qsizetype{c.width} * 4);
  // Every pixel can be written and read back, the last byte of the last line included.
  for (int y = 0; y < c.height; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < c.width; ++x) line[x] = qRgb(x & 0xFF, y & 0xFF, (x + y) & 0xFF);
  }
  EXPECT_EQ(image.pixel(c.width - 1, c.height - 1),
            qRgb((c.width - 1) & 0xFF, (c.height - 1) & 0xFF, (c.width + c.height - 2) & 0xFF));
  EXPECT_EQ(image.pixel(0, 0), qRgb(0, 0, 0));
}

INSTANTIATE_TEST_SUITE_P(Sizes, SurfaceMemorySize,
                         ::testing::Values(SizeCase{1, 1, true}, SizeCase{800, 800, true}, SizeCase{1025, 3, true},
                                           SizeCase{3, 1100, true}, SizeCase{0, 5, false}, SizeCase{5, 0, false},
                                           SizeCase{-1, 5, false}));

TEST(SurfaceMemory, ACopyKeepsThePixelsAfterTheOriginalIsGone) {
  QImage copy;
  {
    QImage original = console::make_surface_image(640, 480);
    ASSERT_FALSE(original.isNull());
    original.fill(qRgb(1, 2, 3));
    copy = original;  // shares the memory
  }
  EXPECT_EQ(copy.pixel(639, 479), qRgb(1, 2, 3));
  QPainter painter(&copy);
  painter.fillRect(0, 0, 10, 10, QColor(200, 100, 50));
  painter.end();
  EXPECT_EQ(copy.pixel(5, 5), qRgb(200, 100, 50));
}

TEST(SurfaceMemory, DrawingOnACopyLeavesTheOriginalAsItWas) {
  QImage original = console::make_surface_image(64, 64);
  ASSERT_FALSE(original.isNull());
  original.fill(qRgb(9, 9, 9));
  QImage copy = original;
  copy.setPixel(3, 3, qRgb(255, 0, 0));
  EXPECT_EQ(original.pixel(3, 3), qRgb(9, 9, 9));
  EXPECT_EQ(copy.pixel(3, 3), qRgb(255, 0, 0));
}

}  // namespace
