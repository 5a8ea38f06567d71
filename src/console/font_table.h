#pragma once
// The font table of graphic text (one per console): every font the font source offers, in
// the order it delivered them, built once by the first successful init_fonts. And the
// choice of a table entry for a font specification (set_font's matching rules), kept free
// of windows so that it can be tested against a fixed table.

#include <cstdint>
#include <optional>
#include <vector>

#include "console/font_source.h"
#include "console/font_specification.h"

namespace console {

struct FontTable {
  std::vector<FontEntry> entries;
  bool initialised = false;
  int last_scalable = -1;  // the last entry whose font type is not exactly 1; -1 none
  int count() const { return static_cast<int>(entries.size()); }
};

// Builds the table from the source: the typefaces, then the fonts of each in order. False
// (the table marked not initialised, its entries dropped) when an enumeration fails.
bool build_font_table(FontTable& table, FontSource& source);

// How an entry is to be made: its index and the width and height to make it with (-1: the
// entry's own value).
struct FontChoice {
  int index = -1;
  int width = -1;
  int height = -1;
};

// The entry that a specification (already read, face substituted) chooses; nothing when no
// entry matches. `current_index` is the window's current entry, which best fit keeps when no
// raster entry is nearer than 200.
std::optional<FontChoice> choose_font_entry(const FontTable& table, const FontSpecification& wanted, int current_index);

}  // namespace console
