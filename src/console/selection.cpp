#include "console/selection.h"

#include <algorithm>
#include <climits>

#include "console/text_store.h"

namespace console {

namespace {

int floor_divide(int value, int divisor) {
  if (divisor <= 0) return 0;
  int quotient = value / divisor;
  if ((value % divisor != 0) && ((value < 0) != (divisor < 0))) --quotient;
  return quotient;
}

// Adds without overflowing (key steps may be as large as the client area).
int add_clamped(int value, long long step, int low, int high) {
  const long long moved = static_cast<long long>(value) + step;
  return static_cast<int>(std::clamp<long long>(moved, low, high));
}

bool before(const SelectionPoint& a, const SelectionPoint& b) { return a.y < b.y || (a.y == b.y && a.x < b.x); }

}  // namespace

const char* selection_title_prefix(const Selection& selection) {
  switch (selection.mode) {
    case SelectionMode::None: return "";
    case SelectionMode::Text: return (selection.mouse_used || selection.select_all) ? "Select Text - " : "Mark Text - ";
    case SelectionMode::Graphics:
      return (selection.mouse_used || selection.select_all) ? "Select Graphics in " : "Mark Graphics - ";
  }
  return "";
}

SelectionPoint last_point(SelectionMode mode, const SelectionLimits& limits) {
  if (mode == SelectionMode::Graphics) {
    return SelectionPoint{std::max(0, limits.pixels_x - 1), std::max(0, limits.pixels_y - 1)};
  }
  // A text point may stand after the last column (the end of a full row).
  return SelectionPoint{std::max(0, limits.text_columns), std::max(0, limits.text_rows - 1)};
}

SelectionPoint clamp_point(SelectionPoint point, SelectionMode mode, const SelectionLimits& limits) {
  const SelectionPoint last = last_point(mode, limits);
  return SelectionPoint{std::clamp(point.x, 0, last.x), std::clamp(point.y, 0, last.y)};
}

Selection begin_selection(SelectionMode mode, const SelectionLimits& limits, QPoint scroll) {
  Selection selection;
  if (mode == SelectionMode::None) return selection;
  selection.mode = mode;
  selection.marking = true;
  SelectionPoint start;
  if (mode == SelectionMode::Text) {
    start = SelectionPoint{floor_divide(scroll.x(), std::max(1, limits.char_width)),
                           floor_divide(scroll.y(), std::max(1, limits.char_height))};
  } else {
    start = SelectionPoint{scroll.x(), scroll.y()};
  }
  selection.anchor = selection.current = clamp_point(start, mode, limits);
  return selection;
}

Selection select_whole_window(const SelectionLimits& limits) {
  Selection selection;
  selection.select_all = true;
  selection.mode = limits.has_graphics ? SelectionMode::Graphics : SelectionMode::Text;
  selection.anchor = SelectionPoint{0, 0};
  // Text: the end of the last row, so that its last cell is part of the selection.
  selection.current = last_point(selection.mode, limits);
  return selection;
}

bool apply_selection_key(Selection& selection, SelectionKey key, bool ctrl, bool shift, const SelectionLimits& limits,
                         const SelectionPage& page) {
  if (!selection.active() || selection.select_all || !selection.current.valid()) return false;
  const SelectionPoint last = last_point(selection.mode, limits);
  SelectionPoint moved = selection.current;
  switch (key) {
    case SelectionKey::Left: moved.x = add_clamped(moved.x, -1, 0, last.x); break;
    case SelectionKey::Right: moved.x = add_clamped(moved.x, 1, 0, last.x); break;
    case SelectionKey::Up: moved.y = add_clamped(moved.y, -1, 0, last.y); break;
    case SelectionKey::Down: moved.y = add_clamped(moved.y, 1, 0, last.y); break;
    case SelectionKey::PageUp:
      if (ctrl) {
        moved.x = add_clamped(moved.x, -static_cast<long long>(std::max(1, page.across)), 0, last.x);
      } else {
        moved.y = add_clamped(moved.y, -static_cast<long long>(std::max(1, page.down)), 0, last.y);
      }
      break;
    case SelectionKey::PageDown:
      if (ctrl) {
        moved.x = add_clamped(moved.x, std::max(1, page.across), 0, last.x);
      } else {
        moved.y = add_clamped(moved.y, std::max(1, page.down), 0, last.y);
      }
      break;
    case SelectionKey::Home:
      moved.x = 0;
      if (ctrl) moved.y = 0;
      break;
    case SelectionKey::End:
      moved.x = last.x;
      if (ctrl) moved.y = last.y;
      break;
  }
  moved = clamp_point(moved, selection.mode, limits);

  const Selection before_key = selection;
  selection.shift_down = shift;
  if (shift) {
    // The selection runs from the anchor; the first such key leaves marking.
    selection.marking = false;
    selection.current = moved;
  } else {
    // Any selection shown is dropped and the mark moves.
    selection.marking = true;
    selection.anchor = selection.current = moved;
  }
  return selection.marking != before_key.marking || selection.anchor != before_key.anchor ||
         selection.current != before_key.current;
}

SelectionPoint point_at_pixel(SelectionMode mode, QPoint surface_pixel, const SelectionLimits& limits) {
  SelectionPoint point;
  if (mode == SelectionMode::Text) {
    const int width = std::max(1, limits.char_width);
    // The nearest boundary between cells, and the row that holds the pixel.
    point.x = floor_divide(2 * surface_pixel.x() + width, 2 * width);
    point.y = floor_divide(surface_pixel.y(), std::max(1, limits.char_height));
  } else {
    point.x = surface_pixel.x();
    point.y = surface_pixel.y();
  }
  return clamp_point(point, mode, limits);
}

void press_selection_mouse(Selection& selection, SelectionPoint point) {
  if (!selection.active() || selection.select_all) return;
  selection.marking = false;
  selection.mouse_used = true;
  selection.anchor = selection.current = point;
  selection.phase = DragPhase::Dragging;
}

void drag_selection_mouse(Selection& selection, SelectionPoint point) {
  if (selection.phase != DragPhase::Dragging) return;
  selection.current = point;
}

void release_selection_mouse(Selection& selection, SelectionPoint point) {
  if (selection.phase != DragPhase::Dragging) return;
  selection.current = point;
  selection.phase = DragPhase::Done;
}

TextSpan ordered_text_span(const Selection& selection) {
  if (before(selection.current, selection.anchor)) return TextSpan{selection.current, selection.anchor};
  return TextSpan{selection.anchor, selection.current};
}

std::vector<QRect> selected_cells(const Selection& selection, int text_columns) {
  std::vector<QRect> cells;
  if (selection.mode != SelectionMode::Text || !selection.has_area()) return cells;
  const TextSpan span = ordered_text_span(selection);
  auto add = [&](int row, int from, int to) {
    from = std::max(0, from);
    to = std::min(to, text_columns);
    if (from < to) cells.emplace_back(from, row, to - from, 1);
  };
  if (span.start.y == span.end.y) {
    add(span.start.y, span.start.x, span.end.x);
    return cells;
  }
  add(span.start.y, span.start.x, text_columns);
  if (span.end.y - span.start.y > 1) {
    cells.emplace_back(0, span.start.y + 1, text_columns, span.end.y - span.start.y - 1);
  }
  add(span.end.y, 0, span.end.x);
  return cells;
}

QRect selected_pixels(const Selection& selection) {
  if (selection.mode != SelectionMode::Graphics || !selection.has_area()) return {};
  return QRect(
      QPoint(std::min(selection.anchor.x, selection.current.x), std::min(selection.anchor.y, selection.current.y)),
      QPoint(std::max(selection.anchor.x, selection.current.x), std::max(selection.anchor.y, selection.current.y)));
}

QRect mark_area(const Selection& selection, const SelectionLimits& limits) {
  if (!selection.active() || !selection.current.valid()) return {};
  if (selection.mode == SelectionMode::Graphics) return QRect(selection.current.x, selection.current.y, 1, 1);
  const int column = std::clamp(selection.current.x, 0, std::max(0, limits.text_columns - 1));
  return QRect(column * limits.char_width, selection.current.y * limits.char_height, limits.char_width,
               limits.char_height);
}

std::string copy_selected_text(const TextStore& store, const Selection& selection) {
  std::string out;
  if (selection.mode != SelectionMode::Text || !selection.has_area()) return out;
  const TextSpan span = ordered_text_span(selection);
  if (span.start == span.end) return out;
  const bool one_row = span.start.y == span.end.y;
  for (const TextStoreRow& entry : store.rows()) {
    const int row = entry.row - 1;  // the store counts rows and columns from 1
    if (row < span.start.y) continue;
    if (row > span.end.y) break;
    const bool first = row == span.start.y;
    const bool last = row == span.end.y;
    const int from = first ? span.start.x : 0;
    const int to = last ? span.end.x : INT_MAX;
    const int text_from = entry.first_column - 1;
    const int text_to = entry.end_column() - 1;
    const int copy_to = std::min(to, text_to);
    if (from < copy_to) {
      // Blanks for the columns before the row's first written column.
      const int blanks_to = std::min(text_from, copy_to);
      if (from < blanks_to) out.append(static_cast<std::size_t>(blanks_to - from), ' ');
      const int copy_from = std::max(from, text_from);
      if (copy_from < copy_to) {
        out.append(entry.text, static_cast<std::size_t>(copy_from - text_from),
                   static_cast<std::size_t>(copy_to - copy_from));
      }
    }
    if (!last || (one_row && to >= text_to)) out += "\r\n";
  }
  return out;
}

}  // namespace console
