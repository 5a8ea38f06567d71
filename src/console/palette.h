#pragma once
// Colours: the default palette table, the palette a window gets for its colour count and the
// process-wide inexact-colour table (shared by all threads; the last writer wins). The colour
// operations report through the graphics status (graphics_status.h).

#include <QRgb>

#include <cstdint>
#include <vector>

namespace console {

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
