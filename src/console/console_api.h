#pragma once
// The console operations the program calls. Each acts on the current console
// (ConsoleCore::current()) and, for the graphics ones, on the calling thread's active
// window; each passes the pause gate. Without a console they refuse (-1, or 0 for
// set_active_window) and leave graphics_status -1.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "console/console_core.h"

namespace console {

// unit kFrameUnit (0x80000000) names the frame. 0, or -1 (graphics_status -1 for a bad
// window, -4 for a state other than 1 to 4).
int set_window_size(std::int32_t unit, const WindowPosition& position);
// Makes the unit's window the calling thread's active window and the current I/O window.
// 1, or 0 when refused (no such window, its unit closed, or the unit has no window).
int set_active_window(std::int32_t unit);
// 1 shows the caret (while the window has the focus), 0 hides it; the previous flag, or -1.
int display_cursor(int flag);
// The previous colour index, or -1 without a target window.
std::int16_t set_color(std::int16_t index);
std::int32_t set_bk_color(std::int32_t index);
std::int16_t set_text_color(std::int16_t index);
// 0 the whole window, 1 the viewport, 2 the text window; the outcome is in graphics_status.
void clear_screen(std::int16_t area);
// Deletes popup `menu` of the frame's menu bar, or its item `item` (0: the whole popup); true
// when deleted.
bool delete_menu(int menu, int item);

// Shows `text` in a message box captioned with the program's title, with an OK button (in the
// terminal: on standard error), and returns when it is answered. Without a console the text
// goes to standard error.
void show_message(std::string_view text);

// The outcome of the most recent graphics or window operation.
std::int16_t get_graphics_status();

// ---- drawing (coordinates are drawing coordinates, surface pixels in this program) ----
// Sets a pixel to the drawing colour; the colour index it had, or -1 (graphics_status 1
// outside the surface or the viewport).
std::int16_t set_pixel(std::int16_t x, std::int16_t y);
// Sets a pixel as set_pixel does, for a caller that needs no answer: the pixel may wait in
// the calling thread's queue until its next console call, its next stop at the pause gate
// or flush_pixels, and is then drawn exactly as set_pixel would have drawn it.
void plot_pixel(std::int16_t x, std::int16_t y);
void flush_pixels();
// Moves the current position to (x, y); `previous` receives the position before, which is
// also returned (GraphicsPosition::packed gives it as one 32-bit value).
GraphicsPosition move_to(std::int16_t x, std::int16_t y, GraphicsPosition& previous);
// A one-pixel line from the current position to (x, y), both ends included. Nonzero when
// drawn; graphics_status 1 wholly outside the viewport, 2 clipped.
std::int16_t line_to(std::int16_t x, std::int16_t y);
// The rectangle whose border runs through both corners: fill kBorderOnly (2) or
// kFilledInterior (3). Nonzero when drawn; 0 for another fill control (graphics_status -1).
std::int16_t draw_rectangle(std::int16_t fill, std::int16_t x1, std::int16_t y1, std::int16_t x2, std::int16_t y2);

// ---- fonts and graphic text ----
// The number of fonts in the font table, 0 on failure, -1 without a target window.
std::int16_t init_fonts();
// The 1-based number of the font chosen by a font description such as "t'Arial'h14w7i", or -1.
std::int16_t set_font(std::string_view specification);
// Draws exactly these characters (up to a NUL) at the current position in the drawing
// colour; the current position moves right by their width.
void draw_text(std::string_view text);

// ---- window images ----
// Bytes needed for the image of the rectangle, or -1.
std::int32_t window_image_size(std::int16_t x1, std::int16_t y1, std::int16_t x2, std::int16_t y2);
// Captures the rectangle as a bitmap file image into `buffer`; nonzero on success.
std::int16_t capture_window_image(std::int16_t x1, std::int16_t y1, std::int16_t x2, std::int16_t y2,
                                  std::span<std::uint8_t> buffer);
// Writes the whole picture of the unit's window to the file `path`, as File > Save does. 0,
// or the negative graphics status of the failure (-1 when the unit has no window).
int save_unit_picture(std::int32_t unit, const std::string& path, PictureFormat format);
// The same for window `index`.
int save_window_picture(int index, const std::string& path, PictureFormat format);

// ---- windows of the program's own (no unit) ----
// A graphics window titled `title` whose picture is `width` x `height` pixels, shown and
// given the focus: its index, or -1.
int open_own_picture_window(std::string_view title, int width, int height);
// A text window titled `title` of `columns` x `rows` character cells: its index, or -1.
int open_own_text_window(std::string_view title, int columns, int rows);
// Makes window `index` the calling thread's active window (the target of the drawing calls)
// and returns the one before; the frame's current I/O window stays as it is.
int exchange_active_window(int index);
// Writes text to window `index` as a unit's output would be written: the count, or -1.
long write_window_text(int index, std::string_view text);
// Ends the output to one of the program's own windows: it stays as it is, and the user may
// close it.
void finish_own_window(int index);

}  // namespace console
