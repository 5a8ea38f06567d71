#include "fixed_font_source.h"

#include <QFontMetrics>

namespace console_test {

std::optional<std::vector<std::string>> FixedFontSource::typefaces() {
  ++typeface_enumerations;
  if (fail_typefaces) return std::nullopt;
  std::vector<std::string> names;
  for (const Face& face : faces_) names.push_back(face.name);
  return names;
}

std::optional<std::vector<console::FontEntry>> FixedFontSource::fonts_of(const std::string& typeface) {
  if (failing_enumerations.count(typeface) != 0) return std::nullopt;
  for (const Face& face : faces_) {
    if (face.name == typeface) return face.entries;
  }
  return std::vector<console::FontEntry>{};
}

std::optional<console::MadeFont> FixedFontSource::make_font(const console::LogicalFont& description) {
  if (failing_creations.count(description.face) != 0) return std::nullopt;
  last_made = description;
  // Whatever face the machine has; the tests look at the description, not the glyphs.
  QFont font;
  font.setPixelSize(description.height > 0 ? description.height : 16);
  font.setItalic(description.italic != 0);
  font.setStyleStrategy(QFont::NoAntialias);
  const QFontMetrics metrics(font);
  return console::MadeFont{font, metrics.ascent(), metrics.height()};
}

console::FontEntry font_entry(const std::string& face, std::uint16_t type, int height, int width, bool fixed_pitch,
                              int weight) {
  console::FontEntry entry;
  entry.logical_font.face = face;
  entry.logical_font.height = height;
  entry.logical_font.width = width;
  entry.logical_font.weight = weight;
  entry.logical_font.pitch_and_family = fixed_pitch ? console::kFixedPitch : console::kVariablePitch;
  entry.font_type = type;
  entry.metrics.height = height;
  entry.metrics.average_char_width = width;
  return entry;
}

std::vector<FixedFontSource::Face> test_font_faces() {
  using console::kRasterFontType;
  using console::kScalableFontType;
  return {
      {"System",
       {font_entry("System", kRasterFontType, 16, 7, false), font_entry("System", kRasterFontType, 20, 9, false)}},
      {"Terminal", {font_entry("Terminal", kRasterFontType, 12, 8, true)}},
      {"Arial",
       {font_entry("Arial", kScalableFontType, 16, 7, false),
        font_entry("Arial", kScalableFontType, 16, 8, false, 700)}},
      {"Courier New", {font_entry("Courier New", kScalableFontType, 16, 8, true)}},
      {"Times New Roman", {font_entry("Times New Roman", kScalableFontType, 16, 7, false)}},
      {"Fixedsys", {font_entry("Fixedsys", kRasterFontType, 15, 8, true)}},
      {"Odd", {font_entry("Odd", 5, 10, 5, false)}},
      {"Small Fonts", {font_entry("Small Fonts", kRasterFontType, 8, 4, true)}},
  };
}

}  // namespace console_test
