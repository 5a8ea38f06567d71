// Fonts and graphic text: init_fonts, set_font and draw_text. The font table is built once
// per console from its font source; each window has its own graphics font.

#include <QFontMetrics>
#include <QPainter>
#include <QString>

#include <algorithm>
#include <climits>
#include <new>

#include "console/console_core.h"
#include "console/font_specification.h"
#include "console/graphics_status.h"

namespace console {

namespace {

std::int16_t clamp16(long value) { return static_cast<std::int16_t>(std::clamp<long>(value, SHRT_MIN, SHRT_MAX)); }

}  // namespace

void ConsoleCore::with_font_table(const std::function<void(const FontTable&)>& read) {
  std::lock_guard fonts(fonts_mutex_);
  // The reader sees every entry measured.
  if (font_source_) {
    for (FontEntry& entry : font_table_.entries) font_source_->measure(entry);
  }
  if (read) read(font_table_);
}

std::int16_t ConsoleCore::select_font_entry(ChildWindowRecord& record, int index, int width, int height) {
  FontEntry& entry = font_table_.entries[static_cast<std::size_t>(index)];
  if (!font_source_->measure(entry)) {
    set_graphics_status(kStatusFailure);
    return -1;
  }
  // A copy of the enumerated description: the table keeps its own values.
  LogicalFont description = entry.logical_font;
  if (width != -1 || height != -1) {
    description.width = width == -1 ? 0 : width;
    description.height = height == -1 ? 0 : height;
  }
  // Graphic text is never rotated.
  description.escapement = 0;
  description.orientation = 0;
  if (pending_font_.italic) description.italic = 1;
  if (pending_font_.underline) description.underline = 1;
  if (pending_font_.bold) description.weight = 700;

  std::optional<MadeFont> made;
  try {
    made = font_source_->make_font(description);
  } catch (const std::bad_alloc&) {
    made.reset();
  }
  if (!made) {
    set_graphics_status(kStatusFailure);
    return -1;
  }
  const int average_width = QFontMetrics(made->font).averageCharWidth();
  std::lock_guard draw(record.draw_lock);
  GraphicsFontState& font = record.graphics_font;
  font.selected = true;
  font.font = made->font;
  font.ascent = made->ascent;
  font.height = made->height;
  font.average_width = average_width;
  font.index = index;
  font.type = entry.font_type;
  font.fixed_width = (description.pitch_and_family & 3) == kVariablePitch ? 0 : description.width;
  font.requested_height = description.height;
  font.requested_width = description.width;
  font.face = description.face;
  font.italic = description.italic != 0;
  font.underline = description.underline != 0;
  font.bold = description.weight > 699;
  return clamp16(index + 1L);
}

std::int16_t ConsoleCore::init_fonts() {
  GateScope gate(*this);
  auto record = resolve_graphics_window();
  if (!record) return -1;
  std::lock_guard fonts(fonts_mutex_);
  if (!font_source_) font_source_ = options_.font_source ? options_.font_source : system_font_source();
  if (font_table_.initialised) {
    {
      std::lock_guard draw(record->draw_lock);
      record->graphics_font = GraphicsFontState{};
    }
    if (font_table_.count() == 0) return 0;
    if (select_font_entry(*record, font_table_.count() - 1, -1, -1) < 0) return 0;
    return clamp16(font_table_.count());
  }
  if (!build_font_table(font_table_, *font_source_)) {
    set_graphics_status(kStatusFailure);
    return 0;
  }
  if (font_table_.count() == 0) return 0;
  const int chosen = font_table_.last_scalable != -1 ? font_table_.last_scalable : font_table_.count() - 1;
  if (select_font_entry(*record, chosen, -1, -1) < 0) return 0;
  return clamp16(font_table_.count());
}

std::int16_t ConsoleCore::set_font(std::string_view specification) {
  std::string text;
  try {
    const std::size_t end = specification.find_last_not_of(' ');
    text.assign(specification.substr(0, end == std::string_view::npos ? 0 : end + 1));
  } catch (const std::bad_alloc&) {
    return -1;
  }
  GateScope gate(*this);
  auto record = resolve_graphics_window();
  if (!record) return -1;
  std::lock_guard fonts(fonts_mutex_);
  int current_index = -1;
  {
    std::lock_guard draw(record->draw_lock);
    if (record->graphics_font.selected) current_index = record->graphics_font.index;
  }
  if (current_index < 0 || !font_source_) {
    set_graphics_status(kStatusFailure);
    return -1;
  }
  pending_font_ = PendingFontAttributes{};
  FontSpecification wanted = read_font_specification(text);
  if (wanted.error == FontSpecificationError::NameNotQuoted) {
    set_graphics_status(kStatusInvalidParameter);
    return -1;
  }
  if (wanted.error == FontSpecificationError::NameUnterminated) {
    set_graphics_status(kStatusFailure);
    return -1;
  }
  if (wanted.conflict) set_graphics_status(kStatusAltered);
  if (wanted.number) {
    if (*wanted.number >= 1 && *wanted.number <= font_table_.count()) {
      return select_font_entry(*record, static_cast<int>(*wanted.number - 1), -1, -1);
    }
    set_graphics_status(kStatusFailure);
    return -1;
  }
  if (wanted.face) wanted.face = substitute_face_name(*wanted.face);
  pending_font_ = PendingFontAttributes{wanted.italic, wanted.underline, wanted.bold};
  const std::optional<FontChoice> choice = choose_font_entry(font_table_, wanted, current_index);
  if (!choice) {
    set_graphics_status(kStatusFailure);
    return -1;
  }
  return select_font_entry(*record, choice->index, choice->width, choice->height);
}

void ConsoleCore::draw_text(std::string_view text) {
  const std::size_t nul = text.find('\0');
  const QString string =
      QString::fromLatin1(text.data(), static_cast<qsizetype>(nul == std::string_view::npos ? text.size() : nul));
  GateScope gate(*this);
  auto record = resolve_graphics_window();
  if (!record) return;
  std::lock_guard lock(record->draw_lock);
  ChildWindowRecord& r = *record;
  if (!r.graphics_font.selected) {
    set_graphics_status(kStatusNothingDrawn);
    return;
  }
  if (r.surface_image.isNull()) {
    set_graphics_status(kStatusFailure);
    return;
  }
  const QFontMetrics metrics(r.graphics_font.font);
  const int width = metrics.horizontalAdvance(string);
  const int height = metrics.height();
  const int x = r.current_x;
  const int y = r.current_y;
  const QRect viewport(QPoint(r.viewport_left, r.viewport_top), QPoint(r.viewport_right, r.viewport_bottom));
  // Italic and overhanging glyphs may reach a little beyond the advance box.
  const QRect ink = metrics.boundingRect(string).translated(x, y + r.graphics_font.ascent);
  const QRect reach = (QRect(x, y, width, height) | ink).adjusted(-2, -2, 2, 2);
  r.fill_surface_rows(std::min(reach.bottom(), viewport.bottom()) + 1);
  {
    QPainter painter(&r.surface_image);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setClipRect(viewport);
    painter.setFont(r.graphics_font.font);
    painter.setPen(QColor::fromRgb(r.color(r.graphics_color)));
    painter.setBackgroundMode(Qt::TransparentMode);
    // The top-left corner of the first character cell at the current position.
    painter.drawText(QPoint(x, y + r.graphics_font.ascent), string);
  }
  if (x + width > r.viewport_right || y + height > r.viewport_bottom) set_graphics_status(kStatusClipped);
  r.has_graphics = true;
  mark_dirty(r, reach);
  r.current_x += static_cast<std::int16_t>(width);
}

}  // namespace console
