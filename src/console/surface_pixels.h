#pragma once
// Exact pixel operations on a surface (a Format_RGB32 QImage): filling a rectangle with one
// colour and moving a band of rows up, both clipped to the image. They write whole pixels
// directly, so every pixel gets exactly the colour given.

#include <QImage>
#include <QRect>
#include <QRgb>

namespace console {

// Fills `area` (clipped to the image) with `color`.
void fill_pixels(QImage& image, const QRect& area, QRgb color);

// Moves the pixels of `area` (clipped to the image) up by `distance` rows; the freed rows at
// the bottom of the area are filled with `fill`. Pixels outside the area stay where they are.
void scroll_pixels_up(QImage& image, const QRect& area, int distance, QRgb fill);

}  // namespace console
