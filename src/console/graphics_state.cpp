// The target window of graphics calls and the colour operations: set_color, set_bk_color,
// set_text_color and clear_screen.

#include "console/console_core.h"
#include "console/graphics_status.h"
#include "console/palette.h"
#include "console/surface_pixels.h"

namespace console {

std::shared_ptr<ChildWindowRecord> ConsoleCore::resolve_graphics_window() {
  const int index = thread_state().active_window;
  if (index == kDefaultWindowIndex) {
    set_graphics_status(kStatusFailure);
    return nullptr;
  }
  set_graphics_status(kStatusOk);
  auto record = table_.find(index);
  if (!record || record->unit_closed.load()) return nullptr;
  if (!ensure_configured(*record)) {
    set_graphics_status(kStatusFailure);
    return nullptr;
  }
  return record;
}

std::int16_t ConsoleCore::set_color(std::int16_t index) {
  GateScope gate(*this);
  auto record = resolve_graphics_window();
  if (!record) return -1;
  std::lock_guard lock(record->draw_lock);
  if (index == record->graphics_color) return index;
  const auto previous = static_cast<std::int16_t>(record->graphics_color);
  if (index >= record->color_count) {
    set_graphics_status(kStatusAltered);
    record->graphics_color = record->color_count - 1;
  } else if (index < 0) {
    set_graphics_status(kStatusAltered);
    record->graphics_color = 0;
  } else {
    record->graphics_color = index;
    if (inexact_colors(index) == 1) set_graphics_status(kStatusAltered);
  }
  return previous;
}

std::int32_t ConsoleCore::set_bk_color(std::int32_t index) {
  GateScope gate(*this);
  auto record = resolve_graphics_window();
  if (!record) return -1;
  std::lock_guard lock(record->draw_lock);
  const std::int32_t previous = record->background_color;
  if (index >= record->color_count) {
    set_graphics_status(kStatusAltered);
    record->background_color = record->color_count - 1;
  } else if (index < 0) {
    set_graphics_status(kStatusAltered);
    record->background_color = 0;
  } else {
    record->background_color = index;
  }
  return previous;
}

std::int16_t ConsoleCore::set_text_color(std::int16_t index) {
  GateScope gate(*this);
  auto record = resolve_graphics_window();
  if (!record) return -1;
  std::lock_guard lock(record->draw_lock);
  const auto previous = static_cast<std::int16_t>(record->text_color);
  if (index < 0 || index > 31) {
    set_graphics_status(kStatusInvalidParameter);
  } else {
    record->text_color = index % 16;
    if (index >= 16) set_graphics_status(kStatusAltered);
  }
  return previous;
}

void ConsoleCore::clear_screen(std::int16_t area) {
  GateScope gate(*this);
  auto record = resolve_graphics_window();
  if (!record) return;
  std::lock_guard output(record->output_lock);
  std::lock_guard draw(record->draw_lock);
  const QRect whole(0, 0, record->surface_width, record->surface_height);
  QRect cleared;
  switch (area) {
    case 0:
      cleared = whole;
      record->blank_surface(record->color(record->background_color));
      record->has_graphics = false;
      record->text_store.clear();
      break;
    case 1: {
      cleared = QRect(QPoint(record->viewport_left, record->viewport_top),
                      QPoint(record->viewport_right, record->viewport_bottom));
      if ((cleared & whole) == whole) {
        record->blank_surface(record->color(0));
      } else {
        record->fill_surface_rows(cleared.bottom() + 1);
        fill_pixels(record->surface_image, cleared, record->color(0));
      }
      // The text under a viewport that covers the whole picture is gone with it.
      if ((cleared & whole) == whole) record->text_store.clear();
      break;
    }
    case 2: {
      cleared = record->text_window_pixels();
      record->fill_surface_rows(cleared.bottom() + 1);
      fill_pixels(record->surface_image, cleared, record->color(record->background_color));
      const TextWindow& window = record->text_window;
      record->text_store.blank_region(window.top, window.left, window.bottom, window.right);
      break;
    }
    default: set_graphics_status(kStatusInvalidParameter); return;
  }
  record->text_row = 1;
  record->text_column = 1;
  ++record->clears;
  mark_dirty(*record, cleared);
}

}  // namespace console
