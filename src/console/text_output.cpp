// Text output into a window: runs with wrapping at the text window's right column, carriage
// return and line feed, scrolling by one row, the text store, the Backspace erase of the
// line editor, and display_cursor.

#include <QPainter>
#include <QString>

#include <algorithm>

#include "console/console_core.h"
#include "console/graphics_status.h"
#include "console/surface_pixels.h"

namespace console {

namespace {

// Draws `run` at cell (row, column) of the text window with a fixed advance of one cell:
// the cells are filled with the background colour, then each glyph is drawn in the text
// colour. Records the run in the text store and returns the pixels it covered.
QRect draw_run(ChildWindowRecord& record, std::string_view run) {
  const TextWindow& window = record.text_window;
  const int cell_w = record.char_width;
  const int cell_h = record.char_height;
  const int x = (window.left + record.text_column - 2) * cell_w;
  const int y = (window.top + record.text_row - 2) * cell_h;
  const QRect cells(x, y, static_cast<int>(run.size()) * cell_w, cell_h);
  const QRect area = cells & record.text_window_pixels();
  if (!area.isEmpty() && !record.surface_image.isNull()) {
    record.fill_surface_rows(area.bottom() + 1);
    fill_pixels(record.surface_image, area, record.color(record.background_color));
    QPainter painter(&record.surface_image);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setClipRect(area);
    painter.setFont(record.font);
    painter.setPen(QColor::fromRgb(record.color(record.text_color)));
    for (std::size_t i = 0; i < run.size(); ++i) {
      const unsigned char byte = static_cast<unsigned char>(run[i]);
      if (byte == ' ') continue;
      painter.drawText(QPoint(x + static_cast<int>(i) * cell_w, y + record.font_ascent),
                       QString(QChar(static_cast<char16_t>(byte))));
    }
  }
  record.text_store.record_run(window.top + record.text_row - 1, window.left + record.text_column - 1, run,
                               window.right);
  return area;
}

}  // namespace

void ConsoleCore::scroll_text_window(ChildWindowRecord& record) {
  const QRect area = record.text_window_pixels();
  if (!record.surface_image.isNull()) {
    record.fill_surface_rows(area.bottom() + 1);
    scroll_pixels_up(record.surface_image, area, record.char_height, record.color(record.background_color));
  }
  record.text_store.scroll_up(record.text_window.top, record.text_window.bottom);
  mark_dirty(record, area);
}

void ConsoleCore::draw_string(ChildWindowRecord& record, std::string_view text, TextOrigin origin) {
  std::lock_guard output(record.output_lock);
  std::lock_guard draw(record.draw_lock);
  presentation_.text_written(record.index, text, origin);

  const int width = record.text_window.width();
  const int height = record.text_window.height();
  if (width < 1 || height < 1) return;
  auto next_row = [&] {
    if (record.text_row >= height) {
      record.text_row = height;
      scroll_text_window(record);
    } else {
      ++record.text_row;
    }
  };
  record.text_row = std::clamp(record.text_row, 1, height);
  if (record.text_column < 1) record.text_column = 1;

  std::size_t position = 0;
  while (true) {
    if (record.text_column > width) {
      next_row();
      record.text_column = 1;
    }
    // A run ends before a carriage return or line feed, at the string's end, or at the
    // cell in the text window's right column (that cell is part of the run).
    const std::size_t room = static_cast<std::size_t>(width - record.text_column + 1);
    std::size_t end = position;
    while (end < text.size() && end - position < room && text[end] != '\r' && text[end] != '\n') ++end;
    const std::size_t length = end - position;
    const bool wrapped = length == room;
    if (length > 0) {
      mark_dirty(record, draw_run(record, text.substr(position, length)));
      record.text_column += static_cast<int>(length);
    }
    if (!wrapped && end == text.size()) break;
    const bool carriage_return = !wrapped && text[end] == '\r';
    if (!carriage_return) next_row();
    record.text_column = 1;
    position = wrapped ? end : end + 1;
  }
  // The caret follows the text position.
  mark_dirty(record, QRect());
}

long ConsoleCore::write_text(int index, std::string_view bytes, TextOrigin origin) {
  GateScope gate(*this);
  auto record = table_.find(index);
  if (!record || record->unit_closed.load()) return -1;
  const std::int16_t saved_status = graphics_status();

  // The target becomes the active window for the output; the windows active before come
  // back afterwards unless the target is its unit's I/O window.
  ThreadWindowState& state = thread_state();
  const int saved_active = state.active_window;
  const int saved_io = table_.current_io_window();
  state.active_window = index;
  table_.set_current_io_window(index);

  bool written = ensure_configured(*record);
  if (written) {
    // The string ends at a NUL, as a C string would.
    const std::size_t nul = bytes.find('\0');
    try {
      draw_string(*record, nul == std::string_view::npos ? bytes : bytes.substr(0, nul), origin);
    } catch (const std::bad_alloc&) {
      written = false;
    }
  }

  if (!record->is_unit_io_window.load()) {
    thread_state().active_window = saved_active;
    table_.set_current_io_window(saved_io);
  }
  set_graphics_status(saved_status);
  return written ? static_cast<long>(bytes.size()) : -1;
}

void ConsoleCore::erase_previous_cell(ChildWindowRecord& record) {
  std::lock_guard output(record.output_lock);
  std::lock_guard draw(record.draw_lock);
  const int width = record.text_window.width();
  if (record.text_column > 1) {
    --record.text_column;
  } else if (record.text_row > 1) {
    --record.text_row;
    record.text_column = width;
  } else {
    return;
  }
  mark_dirty(record, draw_run(record, " "));
  presentation_.text_written(record.index, {}, TextOrigin::EchoErase);
}

int ConsoleCore::display_cursor(int flag) {
  GateScope gate(*this);
  if (flag != 0 && flag != 1) {
    set_graphics_status(kStatusFailure);
    return -1;
  }
  std::function<void(int)> writer;
  {
    std::lock_guard lock(hooks_mutex_);
    writer = pending_line_end_writer_;
  }
  if (writer) writer(current_io_window());

  auto record = resolve_graphics_window();
  if (!record) return -1;
  std::lock_guard lock(record->draw_lock);
  const int previous = record->cursor_visible ? 1 : 0;
  record->cursor_visible = flag == 1;
  mark_dirty(*record, QRect());
  return previous;
}

}  // namespace console
