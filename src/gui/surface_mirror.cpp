#include "gui/surface_mirror.h"

#include <cstring>

namespace gui {

QRect SurfaceMirror::update_from(const QImage& surface, const QRect& dirty) {
  if (surface.isNull()) {
    const QRect old = image_.rect();
    image_ = QImage();
    return old;
  }
  if (image_.size() != surface.size() || image_.format() != surface.format() || surface.depth() % 8 != 0) {
    // A deep copy: the mirror must never share pixels with the surface that the program
    // thread keeps drawing into.
    image_ = surface.copy();
    return image_.rect();
  }
  const QRect area = dirty & surface.rect();
  if (area.isEmpty()) return {};
  const int bytes_per_pixel = surface.depth() / 8;
  const std::size_t row_bytes = static_cast<std::size_t>(area.width()) * static_cast<std::size_t>(bytes_per_pixel);
  const std::size_t offset = static_cast<std::size_t>(area.left()) * static_cast<std::size_t>(bytes_per_pixel);
  for (int y = area.top(); y <= area.bottom(); ++y) {
    std::memcpy(image_.scanLine(y) + offset, surface.constScanLine(y) + offset, row_bytes);
  }
  return area;
}

}  // namespace gui
