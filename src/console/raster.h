#pragma once
// Exact pixel drawing on a surface (a Format_RGB32 QImage): single pixels, one-pixel lines
// that include both end points, rectangle frames and filled interiors, all clipped to an
// inclusive clip rectangle, with the raster operations of the window's write mode. Every
// pixel written gets exactly the colour computed here; nothing is antialiased.
//
// Each drawing function returns the rectangle of pixels it may have changed (empty when
// nothing was drawn), for the repaint request.

#include <QImage>
#include <QRect>
#include <QRgb>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace console {

// An inclusive clip rectangle in surface pixels (the viewport), already limited to the
// surface by the caller or not: every function also clips to the image itself.
struct ClipRect {
  int left = 0;
  int top = 0;
  int right = -1;
  int bottom = -1;
  bool contains(int x, int y) const { return x >= left && x <= right && y >= top && y <= bottom; }
};

// The raster operations of a write mode (low 8 bits of write_mode), combining the pen colour
// with the colour already on the surface: 1 black, 2 not (pen or surface), 3 surface and not
// pen, 4 not pen, 5 pen and not surface, 6 not surface, 7 pen xor surface, 8 not (pen and
// surface), 9 pen and surface, 10 not (pen xor surface), 11 surface unchanged, 12 surface or
// not pen, 13 pen (copy), 14 pen or not surface, 15 pen or surface, 16 white. Any other value
// acts as 13.
QRgb combine_pixel(QRgb pen, QRgb surface, int write_mode);

// The colour with which the pen of `write_mode` draws.
struct PenStyle {
  QRgb color = 0;
  int write_mode = 13;
};

// Sets one pixel to `color` (no raster operation) when it lies in the clip and the image.
// True when it was set. (Inline: the plot sets a pixel per series point.)
inline bool put_pixel(QImage& image, int x, int y, QRgb color, const ClipRect& clip) {
  if (!clip.contains(x, y) || x < 0 || y < 0 || x >= image.width() || y >= image.height()) return false;
  reinterpret_cast<QRgb*>(image.scanLine(y))[x] = color | 0xFF000000u;
  return true;
}
// The colour of a pixel of the image, or nothing outside it.
inline std::optional<QRgb> read_pixel(const QImage& image, int x, int y) {
  if (x < 0 || y < 0 || x >= image.width() || y >= image.height()) return std::nullopt;
  return reinterpret_cast<const QRgb*>(image.constScanLine(y))[x];
}

// The pixels of a one-pixel line from (x0, y0) up to, not including, (x1, y1), drawn with the
// pen (midpoint stepping along the major axis); a line whose end is its start draws nothing.
QRect draw_line_pixels(QImage& image, int x0, int y0, int x1, int y1, const PenStyle& pen, const ClipRect& clip);

// The one-pixel frame through columns left..right and rows top..bottom (inclusive), each
// pixel drawn once with the pen.
QRect draw_frame_pixels(QImage& image, int left, int top, int right, int bottom, const PenStyle& pen,
                        const ClipRect& clip);

// Fills columns left..right and rows top..bottom (inclusive) with `color`, or, with a fill
// mask, with `color` where the mask bit is 1 and `background` where it is 0. The mask is 8
// rows of 8 bits, the leftmost pixel in the high bit, aligned to the surface's (0, 0).
QRect fill_area_pixels(QImage& image, int left, int top, int right, int bottom, QRgb color,
                       const std::optional<std::array<std::uint8_t, 8>>& mask, QRgb background, const ClipRect& clip);

// The index of the palette entry nearest to `color` (squared distance over red, green and
// blue); the lowest index among equals. -1 for an empty palette.
int nearest_palette_index(const std::vector<QRgb>& palette, QRgb color);

}  // namespace console
