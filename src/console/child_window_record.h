#pragma once
// ChildWindowRecord: everything the console keeps for one child window: its title and
// flags, the text buffer geometry and text position, the text store, the surface (the
// off-screen picture of the whole virtual screen, a QImage) with its palette and graphics
// fields, and the window's locks.
//
// Locks, in the order they are taken: read_lock (held by the program thread for the length
// of a read), output_lock (text output of a whole string), draw_lock (every field below that
// is marked so, and the surface). Nobody waits for the GUI thread while holding any of them.
// The GUI thread paints under draw_lock (ConsoleCore::with_surface).
//
// The repaint request is coalesced: repaint_pending is set by the core when it first marks a
// dirty area and cleared when the presentation takes the area; only the first mark after a
// take sends a Changed event.

#include <QFont>
#include <QImage>
#include <QRect>
#include <QRgb>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "console/core_access.h"
#include "console/input_event.h"
#include "console/text_store.h"
#include "console/window_config.h"

namespace console {

inline constexpr int kFirstWindowIndex = 1024;
inline constexpr int kWindowTableSize = 40;
inline constexpr int kDefaultWindowIndex = -1;

// The text window: the rectangle of cells within which text output wraps and scrolls.
struct TextWindow {
  int top = 1;
  int left = 1;
  int bottom = 1;
  int right = 1;
  int width() const { return right - left + 1; }
  int height() const { return bottom - top + 1; }
};

// The font of graphic text and its metrics (filled in by init_fonts and set_font; a
// configuration keeps it).
struct GraphicsFontState {
  bool selected = false;  // the window has a graphics font
  QFont font;
  int ascent = 0;  // as measured
  int height = 0;  // line height as measured
  int average_width = 0;
  int index = -1;            // the font table entry it was made from
  std::uint16_t type = 0;    // that entry's font type
  int fixed_width = 0;       // the entry's width for a fixed-pitch font, 0 otherwise
  int requested_height = 0;  // height and width it was made with
  int requested_width = 0;
  std::string face;
  bool italic = false;
  bool bold = false;
  bool underline = false;
};

// Where a pixel may be set: the viewport clipped to the surface, one rectangle tested with two
// unsigned comparisons, and the surface pixels at drawing coordinates. Taken under draw_lock;
// valid while the lock is held.
struct PixelBounds {
  int left = 0;
  int top = 0;
  unsigned across = 0;  // right - left
  unsigned down = 0;    // bottom - top
  bool empty = true;
  std::int16_t origin_x = 0;
  std::int16_t origin_y = 0;
  QRgb* pixels = nullptr;
  qsizetype row_pixels = 0;

  // The surface position of a drawing coordinate: the origin added, kept as a 16-bit number.
  int surface_x(std::int16_t x) const { return static_cast<std::int16_t>(x + origin_x); }
  int surface_y(std::int16_t y) const { return static_cast<std::int16_t>(y + origin_y); }
  bool contains(int x, int y) const {
    return !empty && static_cast<unsigned>(x - left) <= across && static_cast<unsigned>(y - top) <= down;
  }
  QRgb* pixel(int x, int y) const { return pixels + y * row_pixels + x; }
};

struct ChildWindowRecord {
  ChildWindowRecord(int index, std::string title) : index(index), title(std::move(title)) {}
  ChildWindowRecord(const ChildWindowRecord&) = delete;
  ChildWindowRecord& operator=(const ChildWindowRecord&) = delete;

  const int index;

  std::mutex read_lock;
  std::mutex output_lock;
  mutable std::mutex draw_lock;
  InputEvent input_event;

  // Read without a lock by the window table; written under draw_lock.
  std::atomic<bool> is_unit_io_window{false};
  std::atomic<bool> unit_closed{false};

  // ---- guarded by draw_lock ----
  std::string title;
  bool config_applied = false;
  bool configuring = false;  // a configuration is being applied
  bool window_shown = false;
  bool take_focus = true;  // IOFOCUS: take the focus when first shown
  bool has_focus = false;
  bool fit_to_window = false;
  bool cursor_visible = true;
  bool selecting = false;  // a text or graphics selection is in progress
  bool marking = false;

  WindowConfig config;  // the configuration last applied
  int text_rows = 0;
  int text_columns = 0;
  int char_width = kDefaultCellWidth;
  int char_height = kDefaultCellHeight;
  int text_row = 1;  // text position, relative to the text window
  int text_column = 1;
  // Grows each time clear_screen puts the text position back to (1, 1): the view of the
  // window then goes back to the top.
  std::uint64_t clears = 0;
  TextWindow text_window;
  QFont font;
  int font_ascent = 0;
  int scroll_x = 0;
  int scroll_y = 0;
  TextStore text_store;

  // Graphics state.
  // The surface: Format_RGB32, surface_width x surface_height. A new or wholly cleared
  // surface is not written at once: its rows from surface_filled_rows down all have the
  // colour surface_blank_color, and are filled as drawing first reaches them
  // (fill_surface_rows). Most of a window is never drawn on, and writing a page of fresh
  // memory costs a page fault. surface() is the whole surface, filled.
  QImage surface_image;
  int surface_filled_rows = 0;
  QRgb surface_blank_color = 0;
  int surface_width = 0;
  int surface_height = 0;
  // The surface's pixels and the pixels from one row to the next, taken when the surface is
  // made: set_pixel writes there directly. Nothing else shares the surface's data (views
  // keep deep copies), so the pointer stays valid until the surface is made again.
  QRgb* surface_pixels = nullptr;
  qsizetype surface_row_pixels = 0;
  std::vector<QRgb> palette;
  int color_count = 0;
  int text_color = 15;
  int background_color = 0;
  int graphics_color = 0;
  int current_x = 0;
  int current_y = 0;
  int viewport_left = 0;
  int viewport_top = 0;
  int viewport_right = 0;
  int viewport_bottom = 0;
  std::int16_t origin_x = 0;
  std::int16_t origin_y = 0;
  int write_mode = 13;  // copy the pen colour
  std::uint16_t line_style = 0xFFFF;
  int pen_style = 0;
  std::optional<std::array<std::uint8_t, 8>> fill_mask;
  GraphicsFontState graphics_font;
  bool has_graphics = false;
  // Bits per pixel of the window's images (the display's when it was configured).
  int bits_per_pixel = 32;
  // The last colour looked up in the palette by set_pixel and its index (-1: none); reset
  // with the palette.
  QRgb looked_up_color = 0;
  int looked_up_index = -1;
  int selection_anchor_x = -1;
  int selection_anchor_y = -1;
  int selection_current_x = -1;
  int selection_current_y = -1;

  WindowGeometryRequest geometry_request;
  QRect dirty;  // surface area changed since the presentation last painted

  // ---- not guarded ----
  std::atomic<bool> repaint_pending{false};

  // Colour of palette entry `index` (clamped into the palette; black when it is empty).
  QRgb color(int palette_index) const {
    if (palette.empty()) return qRgb(0, 0, 0);
    if (palette_index < 0) palette_index = 0;
    if (palette_index >= static_cast<int>(palette.size())) palette_index = static_cast<int>(palette.size()) - 1;
    return palette[static_cast<std::size_t>(palette_index)];
  }
  // Fills the rows above row `rows` that are still blank.
  void fill_surface_rows(int rows) {
    if (rows <= surface_filled_rows || surface_pixels == nullptr) return;
    rows = std::min(rows, surface_height);
    const QRgb pixel = surface_blank_color | 0xFF000000u;
    for (int y = surface_filled_rows; y < rows; ++y) {
      std::fill_n(surface_pixels + y * surface_row_pixels, surface_width, pixel);
    }
    surface_filled_rows = rows;
  }
  QImage& surface() {
    fill_surface_rows(surface_height);
    return surface_image;
  }
  // Makes every row of the surface blank in `color`, without writing a pixel.
  void blank_surface(QRgb color) {
    surface_filled_rows = 0;
    surface_blank_color = color;
  }
  PixelBounds pixel_bounds() const {
    PixelBounds bounds;
    bounds.left = std::max(viewport_left, 0);
    bounds.top = std::max(viewport_top, 0);
    const int right = std::min(viewport_right, surface_width - 1);
    const int bottom = std::min(viewport_bottom, surface_height - 1);
    bounds.empty = right < bounds.left || bottom < bounds.top || surface_pixels == nullptr;
    bounds.across = static_cast<unsigned>(right - bounds.left);
    bounds.down = static_cast<unsigned>(bottom - bounds.top);
    bounds.origin_x = origin_x;
    bounds.origin_y = origin_y;
    bounds.pixels = surface_pixels;
    bounds.row_pixels = surface_row_pixels;
    return bounds;
  }
  // Pixel rectangle of the text window's cells.
  QRect text_window_pixels() const {
    return QRect((text_window.left - 1) * char_width, (text_window.top - 1) * char_height,
                 text_window.width() * char_width, text_window.height() * char_height);
  }
};

}  // namespace console
