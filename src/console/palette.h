#pragma once
// Colours: the default palette table, the palette a window gets for its colour count, the
// process-wide inexact-colour table and the process-wide graphics status value.
//
// graphics_status holds the outcome of the most recent graphics or window operation:
// 0 success; 1 nothing drawn; 2 output clipped; 3 a parameter was altered; negative codes
// for failures (-1 no target window or failure, -3 unsupported pixel depth, -4 invalid
// parameter, -8 no memory for an image, -15 capture failed, -16 bitmap file not created,
// -17 writing the bitmap file failed). It and the inexact-colour table are shared by all
// threads; the last writer wins.

#include <QRgb>

#include <cstdint>
#include <vector>

namespace console {

inline constexpr std::int16_t kStatusOk = 0;
inline constexpr std::int16_t kStatusNothingDrawn = 1;
inline constexpr std::int16_t kStatusClipped = 2;
inline constexpr std::int16_t kStatusAltered = 3;
inline constexpr std::int16_t kStatusFailure = -1;
inline constexpr std::int16_t kStatusUnsupportedDepth = -3;
inline constexpr std::int16_t kStatusInvalidParameter = -4;
inline constexpr std::int16_t kStatusNoImageMemory = -8;
inline constexpr std::int16_t kStatusCaptureFailed = -15;
inline constexpr std::int16_t kStatusFileNotCreated = -16;
inline constexpr std::int16_t kStatusWriteFailed = -17;

std::int16_t graphics_status();
void set_graphics_status(std::int16_t value);

struct PaletteEntry {
  std::uint8_t red;
  std::uint8_t green;
  std::uint8_t blue;
  bool keep_distinct;  // the display must not collapse it onto another colour
};

inline constexpr int kDefaultPaletteSize = 256;
// Entry `index` (0..255) of the default table.
PaletteEntry default_palette_entry(int index);

// The palette of a window with `color_count` colours: the first color_count entries of the
// default table, except 2 colours, which are black and white.
std::vector<QRgb> make_palette(int color_count);

// True when a display of `depth` bits shows the colour exactly. Palette displays (8 bits or
// less) realise the window's entries exactly; 15- and 16-bit displays keep 5 or 6 bits per
// component; 24 bits and more show every colour.
bool display_shows_exactly(QRgb color, int depth);

// Rebuilds the inexact-colour table for `palette` on a display of `depth` bits.
void rebuild_inexact_colors(const std::vector<QRgb>& palette, int depth);
// 1 when palette entry `index` cannot be shown exactly (0 for indices outside the table).
std::uint8_t inexact_colors(int index);

}  // namespace console
