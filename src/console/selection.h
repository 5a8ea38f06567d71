#pragma once
// Selections in a child window: the state of a text or graphics selection (the mark, the
// anchor and the current point), how the movement keys and the mouse change it, the cells or
// pixels it covers, and the text it copies out of a window's text store. Pure data logic:
// the frame keeps the selection in progress on its GUI thread, records it in the window
// (CoreAccess::set_selection) and copies through the core, which reads the window under its
// draw_lock.
//
// Points. In text mode a point is a caret position between cells: column 0..text_columns
// (column c is the left edge of cell c, counted from 0) and row 0..text_rows - 1. Selected
// text runs from the earlier point to the later one in reading order: the first row from the
// start column to the end of the row, whole rows between, the last row up to (not including)
// the cell at the end column. In graphics mode a point is a pixel of the virtual screen and
// the selection is the rectangle with the anchor and the current point as opposite corners,
// both included.

#include <QPoint>
#include <QRect>

#include <cstdint>
#include <string>
#include <vector>

namespace console {

class TextStore;

enum class SelectionMode : std::uint8_t { None, Text, Graphics };

// The mouse's part in a selection: none yet, the button is held, the button was released.
enum class DragPhase : std::uint8_t { None = 0, Dragging = 2, Done = 3 };

struct SelectionPoint {
  int x = -1;  // column or pixel; -1: no point
  int y = -1;  // row or pixel
  bool valid() const { return x >= 0 && y >= 0; }
  friend bool operator==(const SelectionPoint&, const SelectionPoint&) = default;
};

// What a window offers to a selection.
struct SelectionLimits {
  int text_columns = 0;
  int text_rows = 0;
  int pixels_x = 0;
  int pixels_y = 0;
  int char_width = 8;
  int char_height = 16;
  bool has_graphics = false;  // something was drawn: Select All takes the picture
};

// The client area in the units of a mode: columns and rows (text) or pixels (graphics).
struct SelectionPage {
  int across = 1;
  int down = 1;
};

struct Selection {
  SelectionMode mode = SelectionMode::None;
  bool select_all = false;  // a fixed selection of the whole window (no keys, no mouse)
  bool marking = false;     // only the mark (the caret) is placed, nothing is selected
  bool mouse_used = false;  // the mouse started a selection (the title says "Select ...")
  bool shift_down = false;
  DragPhase phase = DragPhase::None;
  SelectionPoint anchor;
  SelectionPoint current;

  bool active() const { return mode != SelectionMode::None; }
  // Something is selected (not only the mark): Copy is possible.
  bool has_area() const { return active() && !marking && anchor.valid() && current.valid(); }
};

// The title prefix that a selection shows: "Mark Text - ", "Mark Graphics - ", "Select Text - "
// or "Select Graphics in "; empty without a selection.
const char* selection_title_prefix(const Selection& selection);

// Starts marking in `mode` at the top-left visible cell (text) or pixel (graphics) of a view
// scrolled by `scroll` pixels.
Selection begin_selection(SelectionMode mode, const SelectionLimits& limits, QPoint scroll);
// Select All: the whole picture of a window with graphics, else the whole text buffer.
Selection select_whole_window(const SelectionLimits& limits);

// The largest point of a mode.
SelectionPoint last_point(SelectionMode mode, const SelectionLimits& limits);
SelectionPoint clamp_point(SelectionPoint point, SelectionMode mode, const SelectionLimits& limits);

enum class SelectionKey : std::uint8_t { Left, Right, Up, Down, PageUp, PageDown, Home, End };

// A movement key while a selection mode is on. With Shift the selection runs from the anchor
// to the moved current point (the first such key leaves marking); without Shift a selection
// shown is dropped and the mark moves. True when anything changed. Select All ignores keys.
bool apply_selection_key(Selection& selection, SelectionKey key, bool ctrl, bool shift, const SelectionLimits& limits,
                         const SelectionPage& page);

// The point under the pointer at `surface_pixel` (the pointer plus the scroll offsets): the
// nearest column boundary and the row containing it (text), or the pixel (graphics); clamped
// into the window.
SelectionPoint point_at_pixel(SelectionMode mode, QPoint surface_pixel, const SelectionLimits& limits);
// The left button goes down at `point`: any selection shown is dropped, marking ends, and
// anchor and current point start there.
void press_selection_mouse(Selection& selection, SelectionPoint point);
// The pointer moves while the button is held: the current point follows.
void drag_selection_mouse(Selection& selection, SelectionPoint point);
// The button goes up at `point`.
void release_selection_mouse(Selection& selection, SelectionPoint point);

// The start and end of a text selection in reading order.
struct TextSpan {
  SelectionPoint start;
  SelectionPoint end;
};
TextSpan ordered_text_span(const Selection& selection);

// The cells a text selection covers, in cells (x column, y row), one rectangle per row.
std::vector<QRect> selected_cells(const Selection& selection, int text_columns);
// The pixels a graphics selection covers (the rectangle through both corners).
QRect selected_pixels(const Selection& selection);
// The cell of the mark (text: the cell right of the current point, within the buffer), or
// the pixel (graphics), in surface pixels.
QRect mark_area(const Selection& selection, const SelectionLimits& limits);

// The text a text selection copies: rows without text add nothing; the first row starts at
// the start column and other rows at column 0, with blanks before a row's first written
// column; the last row ends at the end column and other rows at the end of their text. Every
// row but the last is followed by carriage return and line feed, and so is a selection
// within one row that reaches the end of that row's text.
std::string copy_selected_text(const TextStore& store, const Selection& selection);

}  // namespace console
