#include "console/palette.h"

#include <algorithm>
#include <array>
#include <atomic>

namespace console {

namespace {

// The sixteen standard colours; every entry above 15 is dark grey, and only entry 16 of
// those is kept distinct.
constexpr std::array<PaletteEntry, 17> kStandardColors = {{
    {0, 0, 0, true},
    {0, 0, 128, true},
    {0, 128, 0, true},
    {0, 128, 128, true},
    {128, 0, 0, true},
    {128, 0, 128, true},
    {128, 128, 0, true},
    {192, 192, 192, true},
    {128, 128, 128, true},
    {0, 0, 255, true},
    {0, 255, 0, true},
    {0, 255, 255, true},
    {255, 0, 0, true},
    {255, 0, 255, true},
    {255, 255, 0, true},
    {255, 255, 255, true},
    {64, 64, 64, true},
}};

std::array<std::atomic<std::uint8_t>, kDefaultPaletteSize> inexact_table{};
std::atomic<int> inexact_size{0};

}  // namespace

PaletteEntry default_palette_entry(int index) {
  if (index < 0 || index >= kDefaultPaletteSize) return {64, 64, 64, false};
  if (index < static_cast<int>(kStandardColors.size())) return kStandardColors[static_cast<std::size_t>(index)];
  return {64, 64, 64, false};
}

std::vector<QRgb> make_palette(int color_count) {
  std::vector<QRgb> palette;
  if (color_count <= 0) return palette;
  if (color_count > kDefaultPaletteSize) color_count = kDefaultPaletteSize;
  if (color_count == 2) {
    palette = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
    return palette;
  }
  palette.reserve(static_cast<std::size_t>(color_count));
  for (int i = 0; i < color_count; ++i) {
    const PaletteEntry e = default_palette_entry(i);
    palette.push_back(qRgb(e.red, e.green, e.blue));
  }
  return palette;
}

bool display_shows_exactly(QRgb color, int depth) {
  if (depth <= 8 || depth >= 24) return true;
  // Direct colour with fewer bits: the nearest colour the display has keeps the top bits of
  // each component and repeats them into the low bits.
  const int green_bits = depth >= 16 ? 6 : 5;
  auto shown = [](int component, int bits) {
    const int kept = component >> (8 - bits);
    return (kept << (8 - bits)) | (kept >> (2 * bits - 8));
  };
  return shown(qRed(color), 5) == qRed(color) && shown(qGreen(color), green_bits) == qGreen(color) &&
         shown(qBlue(color), 5) == qBlue(color);
}

void rebuild_inexact_colors(const std::vector<QRgb>& palette, int depth) {
  const int n = static_cast<int>(std::min<std::size_t>(palette.size(), kDefaultPaletteSize));
  for (int i = 0; i < kDefaultPaletteSize; ++i) {
    const bool inexact = i < n && !display_shows_exactly(palette[static_cast<std::size_t>(i)], depth);
    inexact_table[static_cast<std::size_t>(i)].store(inexact ? 1 : 0, std::memory_order_relaxed);
  }
  inexact_size.store(n, std::memory_order_relaxed);
}

std::uint8_t inexact_colors(int index) {
  if (index < 0 || index >= inexact_size.load(std::memory_order_relaxed)) return 0;
  return inexact_table[static_cast<std::size_t>(index)].load(std::memory_order_relaxed);
}

}  // namespace console
