// The drawing primitives: set_pixel, move_to, line_to and draw_rectangle. Each draws into the
// active window's surface at once, under its draw_lock, and marks the pixels it changed for
// one coalesced repaint.

#include <algorithm>
#include <mutex>
#include <utility>

#include "console/console_core.h"
#include "console/graphics_status.h"
#include "console/raster.h"

namespace console {

namespace {

// The surface pixel of a drawing coordinate: the origin added, kept as a 16-bit number.
int surface_coordinate(std::int16_t value, std::int16_t origin) { return static_cast<std::int16_t>(value + origin); }

ClipRect viewport_of(const ChildWindowRecord& record) {
  return ClipRect{record.viewport_left, record.viewport_top, record.viewport_right, record.viewport_bottom};
}

}  // namespace

ConsoleCore::DrawingTarget ConsoleCore::find_drawing_target() {
  ThreadWindowState& state = thread_state();
  const int index = state.active_window;
  if (index == kDefaultWindowIndex) {
    set_graphics_status(kStatusFailure);
    return {};
  }
  set_graphics_status(kStatusOk);
  DrawingTarget target;
  const std::uint64_t generation = table_.generation();
  if (state.drawing_window && state.drawing_index == index && state.drawing_generation == generation) {
    target.record = state.drawing_window.get();
  } else {
    target.held = table_.find(index);
    target.record = target.held.get();
    // Only program threads keep their target: the GUI thread's state lives as long as the
    // process, and a window must not outlive the console that made it.
    if (!is_gui_thread()) {
      state.drawing_window = target.held;
      state.drawing_index = index;
      state.drawing_generation = generation;
    }
  }
  if (target.record == nullptr || target.record->unit_closed.load()) return {};
  return target;
}

bool ConsoleCore::lock_configured(ChildWindowRecord& record, std::unique_lock<std::mutex>& lock) {
  lock = std::unique_lock(record.draw_lock);
  if (record.config_applied) return true;
  lock.unlock();
  if (!ensure_configured(record)) {
    set_graphics_status(kStatusFailure);
    return false;
  }
  lock.lock();
  return true;
}

void ConsoleCore::ChangedArea::add(int x, int y) {
  if (empty()) {
    left = right = x;
    top = bottom = y;
    return;
  }
  left = std::min(left, x);
  right = std::max(right, x);
  top = std::min(top, y);
  bottom = std::max(bottom, y);
}

QRgb* ConsoleCore::pixel_in_viewport(ChildWindowRecord& r, std::int16_t x, std::int16_t y, int& px, int& py) {
  // One scan line lookup, no figure machinery: the plot sets a pixel per series point.
  const PixelBounds bounds = r.pixel_bounds();
  px = bounds.surface_x(x);
  py = bounds.surface_y(y);
  if (!bounds.contains(px, py)) return nullptr;
  if (py >= r.surface_filled_rows) r.fill_surface_rows(py + 1);
  return bounds.pixel(px, py);
}

std::int16_t ConsoleCore::set_pixel_locked(ChildWindowRecord& r, std::int16_t x, std::int16_t y, ChangedArea& changed) {
  int px = 0;
  int py = 0;
  QRgb* pixel = pixel_in_viewport(r, x, y, px, py);
  if (pixel == nullptr) {
    set_graphics_status(kStatusNothingDrawn);
    return -1;
  }
  // The pixel is read and set in place. Many pixels land on the same background: remember
  // the last colour looked up.
  if (r.looked_up_index < 0 || r.looked_up_color != *pixel) {
    r.looked_up_color = *pixel;
    r.looked_up_index = nearest_palette_index(r.palette, *pixel);
  }
  const int index = r.looked_up_index;
  if (index < 0) {
    set_graphics_status(kStatusNothingDrawn);
    return -1;
  }
  *pixel = r.color(r.graphics_color) | 0xFF000000u;
  r.has_graphics = true;
  changed.add(px, py);
  return static_cast<std::int16_t>(index);
}

void ConsoleCore::mark_changed(ChildWindowRecord& r, const ChangedArea& changed) {
  if (changed.empty()) return;
  const QRect& dirty = r.dirty;
  const bool inside = !dirty.isNull() && changed.left >= dirty.left() && changed.right <= dirty.right() &&
                      changed.top >= dirty.top() && changed.bottom <= dirty.bottom();
  if (inside && r.repaint_pending.load(std::memory_order_relaxed)) return;
  mark_dirty(r, QRect(QPoint(changed.left, changed.top), QPoint(changed.right, changed.bottom)));
}

std::int16_t ConsoleCore::set_pixel(std::int16_t x, std::int16_t y) {
  GateScope gate(*this);
  const DrawingTarget target = find_drawing_target();
  if (target.record == nullptr) return -1;
  std::unique_lock<std::mutex> lock;
  if (!lock_configured(*target.record, lock)) return -1;
  ChangedArea changed;
  const std::int16_t index = set_pixel_locked(*target.record, x, y, changed);
  mark_changed(*target.record, changed);
  return index;
}

GraphicsPosition ConsoleCore::move_to(std::int16_t x, std::int16_t y) {
  GateScope gate(*this);
  const DrawingTarget target = find_drawing_target();
  if (target.record == nullptr) return GraphicsPosition{};
  std::unique_lock<std::mutex> lock;
  if (!lock_configured(*target.record, lock)) return GraphicsPosition{};
  ChildWindowRecord& r = *target.record;
  const GraphicsPosition previous{static_cast<std::int16_t>(r.current_x - r.origin_x),
                                  static_cast<std::int16_t>(r.current_y - r.origin_y)};
  r.current_x = surface_coordinate(x, r.origin_x);
  r.current_y = surface_coordinate(y, r.origin_y);
  return previous;
}

std::int16_t ConsoleCore::line_to(std::int16_t x, std::int16_t y) {
  GateScope gate(*this);
  const DrawingTarget target = find_drawing_target();
  if (target.record == nullptr) return 0;
  std::unique_lock<std::mutex> lock;
  if (!lock_configured(*target.record, lock)) return 0;
  ChildWindowRecord& r = *target.record;
  const int cx = r.current_x;
  const int cy = r.current_y;
  const int px = surface_coordinate(x, r.origin_x);
  const int py = surface_coordinate(y, r.origin_y);
  const ClipRect clip = viewport_of(r);
  if ((cx < clip.left && px < clip.left) || (cy < clip.top && py < clip.top) || (cx > clip.right && px > clip.right) ||
      (cy > clip.bottom && py > clip.bottom)) {
    set_graphics_status(kStatusNothingDrawn);
  } else if (!clip.contains(cx, cy) || !clip.contains(px, py)) {
    set_graphics_status(kStatusClipped);
  }
  r.current_x = px;
  r.current_y = py;
  if (r.surface_image.isNull()) {
    set_graphics_status(kStatusFailure);
    return 0;
  }
  r.fill_surface_rows(std::max(cy, py) + 1);
  QImage& surface = r.surface_image;
  const QRgb color = r.color(r.graphics_color);
  QRect drawn = draw_line_pixels(surface, cx, cy, px, py, PenStyle{color, r.write_mode}, clip);
  // The end point itself, directly in the drawing colour.
  if (put_pixel(surface, px, py, color, clip)) drawn |= QRect(px, py, 1, 1);
  r.has_graphics = true;
  mark_dirty(r, drawn);
  return 1;
}

std::int16_t ConsoleCore::draw_rectangle(std::int16_t fill, std::int16_t x1, std::int16_t y1, std::int16_t x2,
                                         std::int16_t y2) {
  if (x2 < x1) std::swap(x1, x2);
  if (y2 < y1) std::swap(y1, y2);
  GateScope gate(*this);
  const DrawingTarget target = find_drawing_target();
  if (target.record == nullptr) return 0;
  std::unique_lock<std::mutex> lock;
  if (!lock_configured(*target.record, lock)) return 0;
  ChildWindowRecord& r = *target.record;
  // p2 is the corner just outside the rectangle; it is taken one beyond the far corner's
  // pixel without 16-bit wrap-around, so a rectangle reaching x or y = 32767 stays whole.
  const int left = surface_coordinate(x1, r.origin_x);
  const int top = surface_coordinate(y1, r.origin_y);
  const int right = surface_coordinate(x2, r.origin_x) + 1;
  const int bottom = surface_coordinate(y2, r.origin_y) + 1;
  const ClipRect clip = viewport_of(r);
  if (left > clip.right || right < clip.left || bottom < clip.top || top > clip.bottom) {
    set_graphics_status(kStatusNothingDrawn);
  } else if (left < clip.left || right > clip.right || top < clip.top || bottom > clip.bottom) {
    set_graphics_status(kStatusClipped);
  }
  if ((fill != kBorderOnly && fill != kFilledInterior) || r.surface_image.isNull()) {
    set_graphics_status(kStatusFailure);
    return 0;
  }
  r.fill_surface_rows(std::max(top + 1, bottom));
  QImage& surface = r.surface_image;
  const QRgb color = r.color(r.graphics_color);
  QRect drawn;
  if (right - left == 1 && bottom - top == 1) {
    if (put_pixel(surface, left, top, color, clip)) drawn = QRect(left, top, 1, 1);
  } else if (fill == kBorderOnly) {
    drawn = draw_frame_pixels(surface, left, top, right - 1, bottom - 1, PenStyle{color, r.write_mode}, clip);
  } else {
    // The border with a plain copy of the pen, then the inside with the brush.
    drawn = draw_frame_pixels(surface, left, top, right - 1, bottom - 1, PenStyle{color, 13}, clip);
    drawn |=
        fill_area_pixels(surface, left + 1, top + 1, right - 2, bottom - 2, color, r.fill_mask, r.color(0), clip);
  }
  r.has_graphics = true;
  mark_dirty(r, drawn);
  return 1;
}

}  // namespace console
