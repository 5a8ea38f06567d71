#include "console/font_table.h"

#include <cstdlib>
#include <new>

namespace console {

bool build_font_table(FontTable& table, FontSource& source) {
  table.initialised = true;
  table.entries.clear();
  table.last_scalable = -1;
  bool failed = false;
  try {
    std::optional<std::vector<std::string>> typefaces = source.typefaces();
    if (!typefaces) {
      failed = true;
    } else {
      for (const std::string& face : *typefaces) {
        std::optional<std::vector<FontEntry>> fonts = source.fonts_of(face);
        if (!fonts) {
          failed = true;
          break;
        }
        for (FontEntry& entry : *fonts) {
          if (entry.font_type != kRasterFontType) table.last_scalable = table.count();
          table.entries.push_back(std::move(entry));
        }
      }
    }
  } catch (const std::bad_alloc&) {
    failed = true;
  }
  if (failed) {
    table.initialised = false;
    table.entries.clear();
    table.last_scalable = -1;
  }
  return !failed;
}

std::optional<FontChoice> choose_font_entry(const FontTable& table, const FontSpecification& wanted,
                                            int current_index) {
  const bool height_given = wanted.height != 0;
  const bool width_given = wanted.width != 0;
  long best = 200;
  int best_index = current_index;
  for (int j = 0; j < table.count(); ++j) {
    const FontEntry& entry = table.entries[static_cast<std::size_t>(j)];
    const LogicalFont& font = entry.logical_font;
    const int pitch = font.pitch_and_family & 3;
    if (wanted.face && !same_face_name(*wanted.face, font.face)) continue;
    if (wanted.fixed_pitch && pitch != kFixedPitch) continue;
    if (wanted.variable_pitch && pitch != kVariablePitch) continue;
    if (wanted.raster && !entry.is_raster()) continue;
    if (wanted.scalable && entry.is_raster()) continue;
    if (wanted.best_fit && entry.is_raster()) {
      long distance = 0;
      if (height_given) distance += std::labs(static_cast<long>(font.height) - wanted.height);
      if (width_given) distance += std::labs(static_cast<long>(font.width) - wanted.width);
      if (distance < best) {
        best = distance;
        best_index = j;
      }
      continue;
    }
    if (!entry.is_raster()) {
      // The first matching scalable entry wins, made at the requested size.
      return FontChoice{j, width_given ? wanted.width : -1, height_given ? wanted.height : -1};
    }
    if ((!height_given || wanted.height == font.height) && (!width_given || wanted.width == font.width)) {
      return FontChoice{j, -1, -1};
    }
  }
  if (wanted.best_fit && best_index >= 0 && best_index < table.count()) return FontChoice{best_index, -1, -1};
  return std::nullopt;
}

}  // namespace console
