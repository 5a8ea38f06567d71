#include "console/raster.h"

#include <algorithm>
#include <cstdlib>

namespace console {

namespace {

constexpr QRgb kOpaque = 0xFF000000u;
constexpr QRgb kColorBits = 0x00FFFFFFu;

// The clip limited to the image.
ClipRect effective_clip(const QImage& image, const ClipRect& clip) {
  return ClipRect{std::max(clip.left, 0), std::max(clip.top, 0), std::min(clip.right, image.width() - 1),
                  std::min(clip.bottom, image.height() - 1)};
}

QRgb* row_of(QImage& image, int y) { return reinterpret_cast<QRgb*>(image.scanLine(y)); }

// Writes one pixel through the raster operation; the caller has checked the clip.
inline void plot(QImage& image, int x, int y, const PenStyle& pen) {
  QRgb& pixel = row_of(image, y)[x];
  pixel = pen.write_mode == 13 ? (pen.color | kOpaque) : combine_pixel(pen.color, pixel, pen.write_mode);
}

QRect rect_of(int left, int top, int right, int bottom) {
  if (right < left || bottom < top) return QRect();
  return QRect(QPoint(left, top), QPoint(right, bottom));
}

}  // namespace

QRgb combine_pixel(QRgb pen, QRgb surface, int write_mode) {
  const QRgb p = pen & kColorBits;
  const QRgb s = surface & kColorBits;
  QRgb result = p;
  switch (write_mode & 0xFF) {
    case 1: result = 0; break;
    case 2: result = ~(p | s); break;
    case 3: result = s & ~p; break;
    case 4: result = ~p; break;
    case 5: result = p & ~s; break;
    case 6: result = ~s; break;
    case 7: result = p ^ s; break;
    case 8: result = ~(p & s); break;
    case 9: result = p & s; break;
    case 10: result = ~(p ^ s); break;
    case 11: result = s; break;
    case 12: result = s | ~p; break;
    case 14: result = p | ~s; break;
    case 15: result = p | s; break;
    case 16: result = kColorBits; break;
    default: result = p; break;
  }
  return (result & kColorBits) | kOpaque;
}

QRect draw_line_pixels(QImage& image, int x0, int y0, int x1, int y1, const PenStyle& pen, const ClipRect& clip) {
  const ClipRect c = effective_clip(image, clip);
  if (c.right < c.left || c.bottom < c.top) return QRect();
  const int dx = std::abs(x1 - x0);
  const int dy = std::abs(y1 - y0);
  const int step_x = x0 < x1 ? 1 : -1;
  const int step_y = y0 < y1 ? 1 : -1;
  int left = c.right + 1, top = c.bottom + 1, right = c.left - 1, bottom = c.top - 1;
  auto draw = [&](int x, int y) {
    if (!c.contains(x, y)) return;
    plot(image, x, y, pen);
    left = std::min(left, x);
    right = std::max(right, x);
    top = std::min(top, y);
    bottom = std::max(bottom, y);
  };
  // Midpoint stepping along the major axis; `error` is kept in units of half pixels so that
  // the decision is exact for every slope.
  int x = x0;
  int y = y0;
  if (dx >= dy) {
    long error = 2L * dy - dx;
    for (int i = 0; i < dx; ++i) {
      draw(x, y);
      if (error > 0) {
        y += step_y;
        error -= 2L * dx;
      }
      error += 2L * dy;
      x += step_x;
    }
  } else {
    long error = 2L * dx - dy;
    for (int i = 0; i < dy; ++i) {
      draw(x, y);
      if (error > 0) {
        x += step_x;
        error -= 2L * dy;
      }
      error += 2L * dx;
      y += step_y;
    }
  }
  return rect_of(left, top, right, bottom);
}

QRect draw_frame_pixels(QImage& image, int left, int top, int right, int bottom, const PenStyle& pen,
                        const ClipRect& clip) {
  if (right < left || bottom < top) return QRect();
  const ClipRect c = effective_clip(image, clip);
  const QRect drawn =
      rect_of(std::max(left, c.left), std::max(top, c.top), std::min(right, c.right), std::min(bottom, c.bottom));
  if (drawn.isEmpty()) return QRect();
  auto row = [&](int y) {
    if (y < c.top || y > c.bottom) return;
    for (int x = std::max(left, c.left); x <= std::min(right, c.right); ++x) plot(image, x, y, pen);
  };
  auto column = [&](int x, int from, int to) {
    if (x < c.left || x > c.right) return;
    for (int y = std::max(from, c.top); y <= std::min(to, c.bottom); ++y) plot(image, x, y, pen);
  };
  // Each pixel once, so that raster operations such as xor do not cancel at the corners.
  row(top);
  if (bottom != top) row(bottom);
  column(left, top + 1, bottom - 1);
  if (right != left) column(right, top + 1, bottom - 1);
  return drawn;
}

QRect fill_area_pixels(QImage& image, int left, int top, int right, int bottom, QRgb color,
                       const std::optional<std::array<std::uint8_t, 8>>& mask, QRgb background, const ClipRect& clip) {
  const ClipRect c = effective_clip(image, clip);
  const int l = std::max(left, c.left);
  const int t = std::max(top, c.top);
  const int r = std::min(right, c.right);
  const int b = std::min(bottom, c.bottom);
  if (r < l || b < t) return QRect();
  const QRgb on = color | kOpaque;
  const QRgb off = background | kOpaque;
  for (int y = t; y <= b; ++y) {
    QRgb* line = row_of(image, y);
    if (!mask) {
      std::fill(line + l, line + r + 1, on);
      continue;
    }
    const std::uint8_t bits = (*mask)[static_cast<std::size_t>(y & 7)];
    for (int x = l; x <= r; ++x) line[x] = (bits & (0x80u >> (x & 7))) != 0 ? on : off;
  }
  return rect_of(l, t, r, b);
}

int nearest_palette_index(const std::vector<QRgb>& palette, QRgb color) {
  int best = -1;
  long best_distance = 0;
  const int red = qRed(color), green = qGreen(color), blue = qBlue(color);
  for (std::size_t i = 0; i < palette.size(); ++i) {
    const long dr = qRed(palette[i]) - red;
    const long dg = qGreen(palette[i]) - green;
    const long db = qBlue(palette[i]) - blue;
    const long distance = dr * dr + dg * dg + db * db;
    if (best < 0 || distance < best_distance) {
      best = static_cast<int>(i);
      best_distance = distance;
      if (distance == 0) break;
    }
  }
  return best;
}

}  // namespace console
