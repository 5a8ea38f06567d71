// Applying a configuration to a window: resolving it, making the text font and the
// surface, and resetting the text and graphics state.

#include <QFontMetrics>

#include <new>

#include "console/console_core.h"
#include "console/graphics_status.h"
#include "console/palette.h"
#include "console/surface_memory.h"
#include "console/window_image.h"

namespace console {

namespace {

// The largest surface a window is given; a larger one is refused as out of memory.
constexpr qint64 kMaximumSurfaceBytes = qint64{256} * 1024 * 1024;

struct ApplyError {
  int code = 0;  // error box code, 0 none
  const char* source = "";
  int line = 0;
};

}  // namespace

ConsoleCore::ApplyOutcome ConsoleCore::apply_config(ChildWindowRecord& record, WindowConfig& config) {
  ApplyOutcome outcome = ApplyOutcome::Failed;
  ApplyError error;
  bool first_show = false;
  bool title_changed = false;
  {
    std::lock_guard output(record.output_lock);
    const FontMaker& maker = options_.font_maker ? options_.font_maker : FontMaker(make_text_font);
    ConfigResolution resolution;
    try {
      resolution = resolve_window_config(config, display_, maker);
    } catch (const std::bad_alloc&) {
      resolution.font_failed = true;
    }
    if (resolution.font_failed) {
      error = {kErrorBoxInternalError, "qwgconfg", 236};
    } else if (resolution.changed) {
      outcome = ApplyOutcome::Changed;
    } else {
      const qint64 bytes = qint64{config.pixels_x} * config.pixels_y * 4;
      QImage surface;
      if (bytes > 0 && bytes <= kMaximumSurfaceBytes) {
        try {
          surface = make_surface_image(config.pixels_x, config.pixels_y);
        } catch (const std::bad_alloc&) {
          surface = QImage();
        }
      }
      if (surface.isNull()) {
        error = {kErrorBoxOutOfMemory, "qwgsvid", 593};
      } else {
        const std::string title = config.title_text();
        std::lock_guard draw(record.draw_lock);
        record.configuring = true;
        record.surface_image = std::move(surface);
        record.font = resolution.font.font;
        record.font_ascent = QFontMetrics(record.font).ascent();
        record.char_width = resolution.char_width;
        record.char_height = resolution.char_height;
        record.text_columns = config.text_columns;
        record.text_rows = config.text_rows;
        record.text_window = TextWindow{1, 1, config.text_rows, config.text_columns};
        reset_graphics_state(record, config);
        if (!title.empty()) {
          record.title = title;
          title_changed = true;
        }
        record.config = config;
        record.config_applied = true;
        record.configuring = false;
        first_show = !record.window_shown;
        record.window_shown = true;
        outcome = ApplyOutcome::Applied;
      }
    }
  }
  if (error.code != 0) {
    show_error_box(ErrorBoxKind::Error, error.code, error.source, error.line);
    set_graphics_status(kStatusFailure);
    return ApplyOutcome::Failed;
  }
  if (outcome == ApplyOutcome::Applied) {
    if (title_changed) notify_window(record.index, WindowEvent::TitleChanged);
    notify_window(record.index, first_show ? WindowEvent::Shown : WindowEvent::Configured);
  }
  return outcome;
}

bool ConsoleCore::ensure_configured(ChildWindowRecord& record) {
  {
    std::lock_guard draw(record.draw_lock);
    if (record.config_applied) return true;
  }
  // The default configuration; a change (the font's real cell) is written back and applied
  // by the next call. Font metrics settle after one change; the third call is a safety net.
  WindowConfig config;
  for (int attempt = 0; attempt < 3; ++attempt) {
    {
      std::lock_guard draw(record.draw_lock);
      if (record.config_applied) return true;
    }
    switch (apply_config(record, config)) {
      case ApplyOutcome::Applied: return true;
      case ApplyOutcome::Failed: return false;
      case ApplyOutcome::Changed: break;
    }
  }
  return false;
}

// Under draw_lock: the palette, the surface filled with palette entry 0, and the text and
// graphics fields as a fresh configuration has them.
void ConsoleCore::reset_graphics_state(ChildWindowRecord& record, const WindowConfig& config) {
  record.color_count = std::max<int>(1, config.colors);
  record.palette = make_palette(record.color_count);
  rebuild_inexact_colors(record.palette, display_.depth);
  record.looked_up_index = -1;
  record.bits_per_pixel = image_depth_for_display(display_.depth);

  QImage& surface = record.surface_image;
  record.surface_width = surface.width();
  record.surface_height = surface.height();
  record.surface_pixels = surface.isNull() ? nullptr : reinterpret_cast<QRgb*>(surface.bits());
  record.surface_row_pixels = surface.isNull() ? 0 : surface.bytesPerLine() / qsizetype{sizeof(QRgb)};
  record.blank_surface(record.color(0));

  record.graphics_color = std::min(record.color_count - 1, 15);
  record.current_x = record.surface_width / 2;
  record.current_y = record.surface_height / 2;
  record.viewport_left = 0;
  record.viewport_top = 0;
  record.viewport_right = record.surface_width - 1;
  record.viewport_bottom = record.surface_height - 1;
  record.origin_x = 0;
  record.origin_y = 0;
  record.write_mode = 13;
  record.line_style = 0xFFFF;
  record.pen_style = 0;
  record.fill_mask.reset();
  record.has_graphics = false;

  record.text_row = 1;
  record.text_column = 1;
  record.text_color = 15;
  record.background_color = 0;
  record.cursor_visible = false;
  record.selecting = false;
  record.marking = false;
  record.selection_anchor_x = record.selection_anchor_y = -1;
  record.selection_current_x = record.selection_current_y = -1;
  record.text_store.clear();
  record.scroll_x = 0;
  record.scroll_y = 0;

  record.dirty = QRect();
  mark_dirty(record, record.surface_image.rect());
}

}  // namespace console
