#include "console/surface_pixels.h"

#include <algorithm>
#include <cstring>

namespace console {

void fill_pixels(QImage& image, const QRect& area, QRgb color) {
  const QRect clipped = area & image.rect();
  if (clipped.isEmpty()) return;
  const QRgb pixel = color | 0xFF000000u;
  for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    std::fill(line + clipped.left(), line + clipped.right() + 1, pixel);
  }
}

void scroll_pixels_up(QImage& image, const QRect& area, int distance, QRgb fill) {
  const QRect clipped = area & image.rect();
  if (clipped.isEmpty() || distance <= 0) return;
  const std::size_t bytes = static_cast<std::size_t>(clipped.width()) * sizeof(QRgb);
  for (int y = clipped.top(); y + distance <= clipped.bottom(); ++y) {
    auto* to = reinterpret_cast<QRgb*>(image.scanLine(y)) + clipped.left();
    const auto* from = reinterpret_cast<const QRgb*>(image.constScanLine(y + distance)) + clipped.left();
    std::memmove(to, from, bytes);
  }
  const int freed_top = std::max(clipped.top(), clipped.bottom() - distance + 1);
  fill_pixels(image, QRect(QPoint(clipped.left(), freed_top), clipped.bottomRight()), fill);
}

}  // namespace console
