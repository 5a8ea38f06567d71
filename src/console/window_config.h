#pragma once
// The window configuration record (WindowConfig) and its resolution: turning the requested
// virtual screen size, text buffer size, colour count and character cell (each -1 for the
// default) into consistent values for the display, and choosing the text font for the cell.
//
// resolve_window_config writes every resolved value back into the record and reports whether
// any requested value had to change; a second resolution of the written-back record then
// succeeds without change. The font is made through a FontMaker so that tests can give fonts
// whose real cell differs from the requested one.

#include <QFont>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace console {

// font_size packs the cell: width in the high 16 bits, height in the low 16 bits.
inline constexpr std::int32_t kDefaultFontSize = -1;
inline constexpr std::int32_t kExtendedFontSize = -2;  // use font_name and font_size_ext
inline constexpr std::int32_t pack_cell(int width, int height) {
  return static_cast<std::int32_t>((static_cast<std::uint32_t>(width) << 16) |
                                   (static_cast<std::uint32_t>(height) & 0xFFFFu));
}
inline constexpr int cell_width_of(std::int32_t font_size) {
  return static_cast<int>((static_cast<std::uint32_t>(font_size) >> 16) & 0xFFFFu);
}
inline constexpr int cell_height_of(std::int32_t font_size) {
  return static_cast<int>(static_cast<std::uint32_t>(font_size) & 0xFFFFu);
}

inline constexpr std::int32_t kFontBold = 1 << 0;
inline constexpr std::int32_t kFontUnderline = 1 << 1;
inline constexpr std::int32_t kFontItalic = 1 << 2;
inline constexpr std::int32_t kFontNormalWeight = static_cast<std::int32_t>(0x80000000u);

struct WindowConfig {
  std::int16_t pixels_x = -1;
  std::int16_t pixels_y = -1;
  std::int16_t text_columns = -1;
  std::int16_t text_rows = -1;
  std::int16_t colors = -1;
  std::int32_t font_size = kDefaultFontSize;
  std::array<char, 80> title{};  // NUL in the first character: title unchanged
  std::int16_t bits_per_pixel = -1;
  std::int16_t video_pages = -1;
  std::int16_t mode = -1;
  std::int16_t adapter = -1;
  std::int16_t monitor = -1;
  std::int16_t memory = -1;
  std::int16_t environment = -1;
  std::array<char, 32> font_name{};
  std::int32_t font_size_ext = kDefaultFontSize;
  std::int32_t font_attributes = 0;

  // The title as a string (up to its first NUL).
  std::string title_text() const;
  void set_title(std::string_view text);
};

// What the display offers. bits_per_pixel and color_count follow the capping rule: the count
// is 2^(bits x planes), capped at 256, and bits per pixel then reads 8 / planes. depth is the
// display's real depth, used to tell which palette colours it shows exactly.
struct DisplayInfo {
  int width = 800;
  int height = 600;
  int depth = 32;
  int planes = 1;
  int color_count() const;
  int bits_per_pixel() const;
};

// The primary screen's size and depth (needs a QGuiApplication).
DisplayInfo primary_display_info();

// The smallest virtual screen a window is given, in pixels.
inline constexpr int kMinimumWindowWidth = 112;
inline constexpr int kMinimumWindowHeight = 27;
// The default character cell.
inline constexpr int kDefaultCellWidth = 8;
inline constexpr int kDefaultCellHeight = 16;
// The largest cell a font is made for; larger requests are lowered to it.
inline constexpr int kMaximumCellSize = 512;

struct FontRequest {
  std::string face;
  int cell_width = kDefaultCellWidth;
  int cell_height = kDefaultCellHeight;
  std::int32_t attributes = 0;
  bool fixed_pitch = true;
};

struct MeasuredFont {
  QFont font;
  int average_width = 0;
  int height = 0;
};

// Makes a font for the request and measures it; nothing when no usable font can be had.
using FontMaker = std::function<std::optional<MeasuredFont>(const FontRequest&)>;

// The real font maker: the face requested (fontconfig substitutes a metric-compatible face
// for "Courier New"), sized so that its height fits the cell, stretched so that its average
// width meets the cell width, drawn without antialiasing so that text pixels are exactly the
// text or background colour.
std::optional<MeasuredFont> make_text_font(const FontRequest& request);

// The face the console asks for.
inline constexpr const char* kTextFontFace = "Courier New";

// True when a font measured as (width, height) is accepted for a requested cell.
bool font_fits_cell(int average_width, int height, int cell_width, int cell_height);

struct ConfigResolution {
  bool changed = false;      // a value was changed and written back: resolve again
  bool font_failed = false;  // no font could be made or measured
  MeasuredFont font;         // the accepted font (when neither changed nor failed)
  int char_width = 0;
  int char_height = 0;
};

ConfigResolution resolve_window_config(WindowConfig& config, const DisplayInfo& display, const FontMaker& make_font);

}  // namespace console
