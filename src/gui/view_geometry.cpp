#include "gui/view_geometry.h"

#include <algorithm>
#include <cmath>

namespace gui {

int scroll_maximum(int surface_pixels, int client_pixels) {
  const int overflow = surface_pixels - client_pixels;
  return overflow <= 2 ? 0 : overflow;
}

namespace {

int least_scroll_on_axis(int offset, int client_pixels, int start, int length) {
  if (start < offset) return start;
  if (start + length > offset + client_pixels) return std::min(start, start + length - client_pixels);
  return offset;
}

}  // namespace

QPoint least_scroll_showing(const QPoint& offset, const QSize& client, const QRect& area) {
  return QPoint(least_scroll_on_axis(offset.x(), client.width(), area.left(), area.width()),
                least_scroll_on_axis(offset.y(), client.height(), area.top(), area.height()));
}

QRect scale_to_client(const QRect& area, const QSize& surface, const QSize& client) {
  if (area.isEmpty() || surface.isEmpty() || client.isEmpty()) return {};
  const double sx = static_cast<double>(client.width()) / surface.width();
  const double sy = static_cast<double>(client.height()) / surface.height();
  const int left = static_cast<int>(std::floor(area.left() * sx));
  const int top = static_cast<int>(std::floor(area.top() * sy));
  const int right = static_cast<int>(std::ceil((area.right() + 1) * sx));
  const int bottom = static_cast<int>(std::ceil((area.bottom() + 1) * sy));
  return QRect(QPoint(left, top), QPoint(std::max(left, right - 1), std::max(top, bottom - 1))) &
         QRect(QPoint(0, 0), client);
}

QSize cells_to_pixels(const QSize& cells, const QSize& cell) {
  return QSize(std::max(0, cells.width()) * cell.width(), std::max(0, cells.height()) * cell.height());
}

bool surface_smaller_than_client(const QSize& surface, const QSize& client) {
  return surface.width() < client.width() || surface.height() < client.height();
}

bool restore_frame_maximised(const QSize& surface, const QSize& display, const QSize& decoration) {
  return surface.width() + decoration.width() > display.width() ||
         surface.height() + decoration.height() > display.height();
}

}  // namespace gui
