#include "console/window_config.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <climits>
#include <cstring>
#include <limits>

#include "console/font_system.h"

namespace console {

std::string WindowConfig::title_text() const {
  const auto end = std::find(title.begin(), title.end(), '\0');
  return std::string(title.begin(), end);
}

void WindowConfig::set_title(std::string_view text) {
  title.fill('\0');
  const std::size_t n = std::min(text.size(), title.size() - 1);
  std::memcpy(title.data(), text.data(), n);
}

int DisplayInfo::color_count() const {
  const long bits = static_cast<long>(std::max(depth, 1)) * std::max(planes, 1);
  if (bits > 30) return std::min(INT_MAX, 256);
  return static_cast<int>(std::min(1L << bits, 256L));
}

int DisplayInfo::bits_per_pixel() const {
  const long bits = static_cast<long>(std::max(depth, 1)) * std::max(planes, 1);
  if (bits >= 8) return 8 / std::max(planes, 1);
  return depth;
}

DisplayInfo primary_display_info() {
  DisplayInfo info;
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect geometry = screen->geometry();
    if (geometry.width() > 0) info.width = geometry.width();
    if (geometry.height() > 0) info.height = geometry.height();
    if (screen->depth() > 0) info.depth = screen->depth();
  }
  return info;
}

bool font_fits_cell(int average_width, int height, int cell_width, int cell_height) {
  return average_width >= cell_width - 2 && average_width <= cell_width + 1 && height >= cell_height - 2 &&
         height <= cell_height + 2;
}

namespace {

int font_height_at(QFont& font, int pixel_size) {
  font.setPixelSize(pixel_size);
  return QFontMetrics(font).height();
}

}  // namespace

std::optional<MeasuredFont> make_text_font(const FontRequest& request) {
  ready_font_system();
  const int cell_height = std::clamp(request.cell_height, 1, kMaximumCellSize);
  const int cell_width = std::clamp(request.cell_width, 1, kMaximumCellSize);
  QFont font(QString::fromLatin1(request.face.data(), static_cast<qsizetype>(request.face.size())));
  if (request.fixed_pitch) {
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
  }
  font.setStyleStrategy(QFont::NoAntialias);
  font.setKerning(false);
  const std::int32_t attributes = request.attributes;
  if (attributes != kFontNormalWeight) {
    font.setWeight((attributes & kFontBold) ? QFont::Bold : QFont::Normal);
    font.setUnderline((attributes & kFontUnderline) != 0);
    font.setItalic((attributes & kFontItalic) != 0);
  } else {
    font.setWeight(QFont::Normal);
  }

  // The largest pixel size whose line height fits the cell: start from the proportional
  // estimate, then step to the exact size.
  int pixel_size = cell_height;
  const int height_at_cell = font_height_at(font, pixel_size);
  if (height_at_cell <= 0) return std::nullopt;
  if (height_at_cell != cell_height) {
    pixel_size = std::max(1, cell_height * cell_height / height_at_cell);
  }
  while (pixel_size > 1 && font_height_at(font, pixel_size) > cell_height) --pixel_size;
  while (pixel_size < kMaximumCellSize * 2 && font_height_at(font, pixel_size + 1) <= cell_height) {
    ++pixel_size;
  }
  font.setPixelSize(pixel_size);

  QFontMetrics metrics(font);
  int average = metrics.averageCharWidth();
  if (average <= 0 || metrics.height() <= 0) return std::nullopt;
  if (average != cell_width) {
    // Stretch the face so that its average width meets the cell width.
    const int stretch = std::clamp(static_cast<int>(100.0 * cell_width / average + 0.5), 1, 4000);
    font.setStretch(stretch);
    QFontMetrics stretched(font);
    if (stretched.averageCharWidth() > 0) metrics = stretched;
    average = metrics.averageCharWidth();
  }
  return MeasuredFont{font, average, metrics.height()};
}

namespace {

// The record's fields hold -1 for "the default", and they are 16 bits wide.
constexpr int kUseDefault = -1;
constexpr int kLargestFieldValue = std::numeric_limits<std::int16_t>::max();

// A resolved value, and whether it differs from what the record asked for (the record is
// then written back and must be resolved again).
template <class T>
struct Resolved {
  T value;
  bool changed = false;
};

// One axis of the text buffer: the cell size, the pixel size and the count of cells, each
// kUseDefault when the record leaves it to the resolution.
struct Axis {
  int cell = kUseDefault;
  int pixels = kUseDefault;
  int count = kUseDefault;
};

// What an axis falls back to: the default cell and the screen's extent, and the smallest
// window allowed.
struct AxisLimits {
  int default_cell;
  int screen;
  int minimum;
};

struct TextBuffer {
  Axis across;
  Axis down;
};

struct BufferLimits {
  AxisLimits across;
  AxisLimits down;
};

struct Cell {
  int width = kUseDefault;
  int height = kUseDefault;
};

BufferLimits buffer_limits(const DisplayInfo& display) {
  return {{kDefaultCellWidth, display.width, kMinimumWindowWidth},
          {kDefaultCellHeight, display.height, kMinimumWindowHeight}};
}

// The colour count: the display's by default, and never more than the display has.
Resolved<int> resolve_colors(int requested, int display_colors) {
  if (requested == kUseDefault) return {display_colors};
  if (requested <= 0 || requested > display_colors) return {display_colors, true};
  return {requested};
}

// A count or size that can never be meant (zero, or negative other than the default) becomes
// the default.
Resolved<int> meant_value(int requested) {
  if (requested == 0 || requested < kUseDefault) return {kUseDefault, true};
  return {requested};
}

// A pixel size given below the smallest window is raised to it.
Resolved<int> resolve_pixel_size(int requested, int minimum) {
  const Resolved<int> meant = meant_value(requested);
  if (meant.value != kUseDefault && meant.value < minimum) return {minimum, true};
  return meant;
}

bool names_its_font(const WindowConfig& config) { return config.font_size == kExtendedFontSize; }

// The cell field the record uses: font_size_ext for a record that names its font.
std::int32_t cell_field(const WindowConfig& config) {
  return names_its_font(config) ? config.font_size_ext : config.font_size;
}

// The cell asked for: none given is the default, an empty one counts as the default, and one
// beyond the largest font cell is lowered to it.
Resolved<Cell> requested_cell(std::int32_t field) {
  if (field == kDefaultFontSize) return {Cell{}};
  const Cell cell{cell_width_of(field), cell_height_of(field)};
  if (cell.width < 1 || cell.height < 1) return {Cell{}, true};
  if (cell.width > kMaximumCellSize || cell.height > kMaximumCellSize) {
    return {Cell{std::min(cell.width, kMaximumCellSize), std::min(cell.height, kMaximumCellSize)}, true};
  }
  return {cell};
}

// The face, attributes and pitch of the text font: the console's fixed-pitch face, or the
// face and attributes a record names.
FontRequest requested_font(const WindowConfig& config) {
  FontRequest request;
  request.face = kTextFontFace;
  if (names_its_font(config)) {
    const auto end = std::find(config.font_name.begin(), config.font_name.end(), '\0');
    std::string face(config.font_name.begin(), end);
    if (!face.empty()) request.face = std::move(face);
    request.attributes = config.font_attributes;
    request.fixed_pitch = false;
  }
  return request;
}

// Computes the values an axis leaves to the resolution from those it gives. A buffer always
// has at least one cell, and a cell at least one pixel.
Resolved<Axis> compute_axis(const Axis& in, const AxisLimits& limits) {
  Axis out = in;
  bool changed = false;
  const bool cell_given = in.cell >= 0;
  const bool pixels_given = in.pixels >= 0;
  const bool count_given = in.count >= 0;
  if (!cell_given && !pixels_given) {
    out.cell = limits.default_cell;
    if (count_given) {
      out.pixels = in.count * out.cell;
    } else {
      out.pixels = limits.screen;
      out.count = limits.screen / out.cell;
    }
  } else if (!cell_given) {
    if (count_given) {
      out.cell = in.pixels / in.count;
    } else {
      out.cell = limits.default_cell;
      out.count = in.pixels / out.cell;
    }
  } else if (!pixels_given) {
    if (!count_given) out.count = limits.screen / in.cell;
    out.pixels = out.count * in.cell;
  } else {
    // Cell and pixels given: they decide the count.
    const int counted = in.pixels / in.cell;
    changed = count_given && in.count != counted;
    out.count = counted;
  }
  if (out.cell < 1) {
    out.cell = 1;
    changed = true;
  }
  if (out.count < 1) {
    out.count = 1;
    changed = true;
    out.pixels = std::max(out.pixels, out.cell);
  }
  return {out, changed};
}

// An axis, computed again from the smallest window when it came out narrower.
Resolved<Axis> resolve_axis(Axis in, const AxisLimits& limits) {
  const Resolved<Axis> computed = compute_axis(in, limits);
  if (computed.value.pixels >= limits.minimum) return computed;
  in.pixels = limits.minimum;
  return {compute_axis(in, limits).value, true};
}

Resolved<TextBuffer> resolve_buffer(const TextBuffer& requested, const BufferLimits& limits) {
  const Resolved<Axis> across = resolve_axis(requested.across, limits.across);
  const Resolved<Axis> down = resolve_axis(requested.down, limits.down);
  return {{across.value, down.value}, across.changed || down.changed};
}

TextBuffer with_cell(TextBuffer buffer, const Cell& cell) {
  buffer.across.cell = cell.width;
  buffer.down.cell = cell.height;
  return buffer;
}

// Cells computed from a pixel size can exceed the largest font cell: both axes are then
// computed again from that cell and their pixel sizes.
Resolved<TextBuffer> limit_cells(const TextBuffer& buffer, const BufferLimits& limits) {
  if (buffer.across.cell <= kMaximumCellSize && buffer.down.cell <= kMaximumCellSize) return {buffer};
  const TextBuffer lowered{{std::min(buffer.across.cell, kMaximumCellSize), buffer.across.pixels, kUseDefault},
                           {std::min(buffer.down.cell, kMaximumCellSize), buffer.down.pixels, kUseDefault}};
  return {resolve_buffer(lowered, limits).value, true};
}

// A pixel size beyond the 16-bit field is lowered to the largest whole number of cells.
Resolved<Axis> fit_field(const Axis& axis) {
  if (axis.pixels <= kLargestFieldValue) return {axis};
  const int count = kLargestFieldValue / axis.cell;
  return {Axis{axis.cell, count * axis.cell, count}, true};
}

std::int16_t field_value(int value) {
  return static_cast<std::int16_t>(std::clamp(value, kUseDefault, kLargestFieldValue));
}

// Writes every resolved value back, so that a second resolution finds a consistent record.
void write_back(WindowConfig& config, int colors, const TextBuffer& buffer, const DisplayInfo& display) {
  config.colors = field_value(colors);
  config.pixels_x = field_value(buffer.across.pixels);
  config.pixels_y = field_value(buffer.down.pixels);
  config.text_columns = field_value(buffer.across.count);
  config.text_rows = field_value(buffer.down.count);
  const std::int32_t cell = pack_cell(buffer.across.cell, buffer.down.cell);
  if (names_its_font(config)) {
    config.font_size_ext = cell;
  } else {
    config.font_size = cell;
  }
  config.bits_per_pixel = field_value(display.bits_per_pixel());
  config.video_pages = 0;
  config.mode = kUseDefault;
  config.adapter = 0;
  config.monitor = 0;
  config.memory = 0;
  config.environment = 0;
}

}  // namespace

ConfigResolution resolve_window_config(WindowConfig& config, const DisplayInfo& display, const FontMaker& make_font) {
  // Each step says whether it changed what the record asked for; any change is reported.
  bool changed = false;
  const auto take = [&changed]<class T>(Resolved<T> resolved) {
    changed = changed || resolved.changed;
    return resolved.value;
  };
  const int colors = take(resolve_colors(config.colors, display.color_count()));
  const Cell cell = take(requested_cell(cell_field(config)));
  const TextBuffer requested{{cell.width, take(resolve_pixel_size(config.pixels_x, kMinimumWindowWidth)),
                              take(meant_value(config.text_columns))},
                             {cell.height, take(resolve_pixel_size(config.pixels_y, kMinimumWindowHeight)),
                              take(meant_value(config.text_rows))}};
  const BufferLimits limits = buffer_limits(display);
  TextBuffer buffer = take(resolve_buffer(requested, limits));
  buffer = take(limit_cells(buffer, limits));

  FontRequest request = requested_font(config);
  request.cell_width = buffer.across.cell;
  request.cell_height = buffer.down.cell;
  const std::optional<MeasuredFont> font = make_font ? make_font(request) : std::nullopt;
  if (!font || font->average_width <= 0 || font->height <= 0) {
    ConfigResolution failed;
    failed.font_failed = true;
    return failed;
  }
  if (!font_fits_cell(font->average_width, font->height, buffer.across.cell, buffer.down.cell)) {
    // Take the font's real cell and compute both axes again with it.
    const Cell real{std::clamp(font->average_width, 1, kMaximumCellSize),
                    std::clamp(font->height, 1, kMaximumCellSize)};
    buffer = resolve_buffer(with_cell(requested, real), limits).value;
    changed = true;
  }
  buffer.across = take(fit_field(buffer.across));
  buffer.down = take(fit_field(buffer.down));
  write_back(config, colors, buffer, display);

  ConfigResolution result;
  result.changed = changed;
  result.char_width = buffer.across.cell;
  result.char_height = buffer.down.cell;
  if (!changed) result.font = *font;
  return result;
}

}  // namespace console
