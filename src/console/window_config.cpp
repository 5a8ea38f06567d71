#include "console/window_config.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <climits>
#include <cstring>

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

// One axis of the text buffer: the cell size s, the pixel size p and the count n, each
// negative for the default. Computes the missing values from the given ones.
struct AxisInput {
  int cell;
  int pixels;
  int count;
};

AxisInput compute_axis(AxisInput in, int default_cell, int screen, bool& changed) {
  AxisInput out = in;
  const bool s_default = in.cell < 0;
  const bool p_default = in.pixels < 0;
  const bool n_default = in.count < 0;
  if (s_default && p_default) {
    out.cell = default_cell;
    if (n_default) {
      out.pixels = screen;
      out.count = screen / out.cell;
    } else {
      out.pixels = in.count * out.cell;
    }
  } else if (s_default) {
    if (n_default) {
      out.cell = default_cell;
      out.count = in.pixels / out.cell;
    } else {
      out.cell = in.pixels / in.count;
    }
  } else if (p_default) {
    if (n_default) out.count = screen / in.cell;
    out.pixels = out.count * in.cell;
  } else {
    const int counted = in.pixels / in.cell;
    if (!n_default && in.count != counted) changed = true;
    out.count = counted;
  }
  // A buffer always has at least one cell, and a cell at least one pixel.
  if (out.cell < 1) {
    out.cell = 1;
    changed = true;
  }
  if (out.count < 1) {
    out.count = 1;
    changed = true;
    if (out.pixels < out.cell) out.pixels = out.cell;
  }
  return out;
}

AxisInput resolve_axis(AxisInput in, int default_cell, int screen, int minimum, bool& changed) {
  AxisInput out = compute_axis(in, default_cell, screen, changed);
  if (out.pixels < minimum) {
    changed = true;
    in.pixels = minimum;
    out = compute_axis(in, default_cell, screen, changed);
  }
  return out;
}

// A given count or size that can never be meant (zero, or negative other than the default)
// is replaced by the default and counts as a change.
void sanitize(int& value, bool& changed) {
  if (value == 0 || value < -1) {
    value = -1;
    changed = true;
  }
}

}  // namespace

ConfigResolution resolve_window_config(WindowConfig& config, const DisplayInfo& display, const FontMaker& make_font) {
  ConfigResolution result;
  bool changed = false;

  // Colours.
  const int display_colors = display.color_count();
  int colors = config.colors;
  if (colors == -1) {
    colors = display_colors;
  } else if (colors <= 0) {
    colors = display_colors;
    changed = true;
  } else if (colors > display_colors) {
    colors = display_colors;
    changed = true;
  }

  // Pixel sizes below the minimum window size.
  int pixels_x = config.pixels_x;
  int pixels_y = config.pixels_y;
  sanitize(pixels_x, changed);
  sanitize(pixels_y, changed);
  if (pixels_x >= 0 && pixels_x < kMinimumWindowWidth) {
    pixels_x = kMinimumWindowWidth;
    changed = true;
  }
  if (pixels_y >= 0 && pixels_y < kMinimumWindowHeight) {
    pixels_y = kMinimumWindowHeight;
    changed = true;
  }
  int columns = config.text_columns;
  int rows = config.text_rows;
  sanitize(columns, changed);
  sanitize(rows, changed);

  // The requested cell and the font request.
  FontRequest request;
  request.face = kTextFontFace;
  int cell_w = -1;
  int cell_h = -1;
  std::int32_t size_field = config.font_size;
  if (config.font_size == kExtendedFontSize) {
    const auto end = std::find(config.font_name.begin(), config.font_name.end(), '\0');
    std::string face(config.font_name.begin(), end);
    if (!face.empty()) request.face = face;
    request.attributes = config.font_attributes;
    request.fixed_pitch = false;
    size_field = config.font_size_ext;
  }
  if (size_field != kDefaultFontSize) {
    cell_w = cell_width_of(size_field);
    cell_h = cell_height_of(size_field);
    if (cell_w < 1 || cell_h < 1) {
      cell_w = -1;
      cell_h = -1;
      changed = true;
    } else if (cell_w > kMaximumCellSize || cell_h > kMaximumCellSize) {
      cell_w = std::min(cell_w, kMaximumCellSize);
      cell_h = std::min(cell_h, kMaximumCellSize);
      changed = true;
    }
  }

  AxisInput across =
      resolve_axis({cell_w, pixels_x, columns}, kDefaultCellWidth, display.width, kMinimumWindowWidth, changed);
  AxisInput down =
      resolve_axis({cell_h, pixels_y, rows}, kDefaultCellHeight, display.height, kMinimumWindowHeight, changed);
  // Cells computed from a pixel size can exceed the largest font cell.
  if (across.cell > kMaximumCellSize || down.cell > kMaximumCellSize) {
    changed = true;
    across = resolve_axis({std::min(across.cell, kMaximumCellSize), across.pixels, -1}, kDefaultCellWidth,
                          display.width, kMinimumWindowWidth, changed);
    down = resolve_axis({std::min(down.cell, kMaximumCellSize), down.pixels, -1}, kDefaultCellHeight, display.height,
                        kMinimumWindowHeight, changed);
  }

  // The text font for the cell.
  request.cell_width = across.cell;
  request.cell_height = down.cell;
  std::optional<MeasuredFont> font = make_font ? make_font(request) : std::nullopt;
  if (!font || font->average_width <= 0 || font->height <= 0) {
    result.font_failed = true;
    return result;
  }
  if (!font_fits_cell(font->average_width, font->height, across.cell, down.cell)) {
    // Take the font's real cell and compute both axes again with it.
    changed = true;
    const int real_w = std::clamp(font->average_width, 1, kMaximumCellSize);
    const int real_h = std::clamp(font->height, 1, kMaximumCellSize);
    across = resolve_axis({real_w, pixels_x, columns}, kDefaultCellWidth, display.width, kMinimumWindowWidth, changed);
    down = resolve_axis({real_h, pixels_y, rows}, kDefaultCellHeight, display.height, kMinimumWindowHeight, changed);
  }

  // Write everything back, so that a second resolution finds a consistent record.
  auto to16 = [](int v) { return static_cast<std::int16_t>(std::clamp(v, -1, 32767)); };
  // A pixel size beyond the 16-bit field is lowered to the largest whole number of cells.
  if (across.pixels > 32767) {
    across.count = 32767 / across.cell;
    across.pixels = across.count * across.cell;
    changed = true;
  }
  if (down.pixels > 32767) {
    down.count = 32767 / down.cell;
    down.pixels = down.count * down.cell;
    changed = true;
  }
  config.colors = to16(colors);
  config.pixels_x = to16(across.pixels);
  config.pixels_y = to16(down.pixels);
  config.text_columns = to16(across.count);
  config.text_rows = to16(down.count);
  const std::int32_t packed = pack_cell(across.cell, down.cell);
  if (config.font_size == kExtendedFontSize) {
    config.font_size_ext = packed;
  } else {
    config.font_size = packed;
  }
  config.bits_per_pixel = to16(display.bits_per_pixel());
  config.video_pages = 0;
  config.mode = -1;
  config.adapter = 0;
  config.monitor = 0;
  config.memory = 0;
  config.environment = 0;

  result.changed = changed;
  result.char_width = across.cell;
  result.char_height = down.cell;
  if (!changed) result.font = *font;
  return result;
}

}  // namespace console
