#pragma once
// Where the fonts of graphic text come from: a FontSource lists the typefaces the display
// offers and the fonts of each typeface (as FontEntry records, in a stable order), and makes
// a usable font from a logical-font description at a given height and width.
//
// system_font_source() serves the machine's fonts from QFontDatabase. Besides the families
// installed it offers the faces "Arial", "Times New Roman" and "Courier New": when a face is
// not installed, it is served by its metric-compatible substitute ("Liberation Sans",
// "Liberation Serif", "Liberation Mono"), whose glyphs have the same advance widths.
// Tests give a fixed source so that they do not depend on the machine's fonts.

#include <QFont>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace console {

// Pitch bits of LogicalFont::pitch_and_family (low 2 bits).
inline constexpr std::uint8_t kFixedPitch = 1;
inline constexpr std::uint8_t kVariablePitch = 2;

// Font types as the enumeration reports them: bit 0 marks a raster font.
inline constexpr std::uint16_t kRasterFontType = 1;
inline constexpr std::uint16_t kScalableFontType = 4;

// A logical-font description, as enumerated and as fonts are made from it.
struct LogicalFont {
  std::int32_t height = 0;  // cell height in pixels; 0 lets the source choose
  std::int32_t width = 0;   // average character width in pixels; 0 lets the source choose
  std::int32_t escapement = 0;
  std::int32_t orientation = 0;
  std::int32_t weight = 400;  // 400 normal, 700 bold
  std::uint8_t italic = 0;
  std::uint8_t underline = 0;
  std::uint8_t strike_out = 0;
  std::uint8_t char_set = 0;
  std::uint8_t out_precision = 0;
  std::uint8_t clip_precision = 0;
  std::uint8_t quality = 0;
  std::uint8_t pitch_and_family = kVariablePitch;
  std::string face;  // at most 31 characters
};

// The text metrics of a font as enumerated (pixels).
struct TextMetrics {
  std::int32_t height = 0;
  std::int32_t ascent = 0;
  std::int32_t descent = 0;
  std::int32_t internal_leading = 0;
  std::int32_t external_leading = 0;
  std::int32_t average_char_width = 0;
  std::int32_t max_char_width = 0;
  std::int32_t weight = 400;
  std::uint8_t italic = 0;
  std::uint8_t underline = 0;
  std::uint8_t pitch_and_family = kVariablePitch;
};

struct FontEntry {
  LogicalFont logical_font;
  TextMetrics metrics;
  std::uint16_t font_type = kScalableFontType;
  // False while the entry's own size (the width of a scalable font made at its natural
  // height) and its metrics are still to be measured by FontSource::measure.
  bool measured = true;
  bool is_raster() const { return (font_type & kRasterFontType) != 0; }
};

// A font made from a description, with what drawing needs of its metrics.
struct MadeFont {
  QFont font;
  int ascent = 0;
  int height = 0;
};

class FontSource {
 public:
  virtual ~FontSource() = default;
  // The typeface names, one per family; nothing when the enumeration fails.
  virtual std::optional<std::vector<std::string>> typefaces() = 0;
  // The fonts of one typeface; nothing when the enumeration fails. Entries may come
  // unmeasured: making a font for each of them costs more than choosing among them.
  virtual std::optional<std::vector<FontEntry>> fonts_of(const std::string& typeface) = 0;
  // Measures an unmeasured entry (its own width and its metrics); false when its font cannot
  // be made.
  virtual bool measure(FontEntry& entry) {
    entry.measured = true;
    return true;
  }
  // A font for the description (its height and width as set by the caller); nothing when it
  // cannot be made.
  virtual std::optional<MadeFont> make_font(const LogicalFont& description) = 0;
};

// The machine's fonts (needs a QGuiApplication).
std::shared_ptr<FontSource> system_font_source();

// The face that serves `face` on this machine: the face itself when installed, else its
// metric-compatible substitute for "Arial", "Times New Roman" and "Courier New"; `face`
// unchanged otherwise.
std::string installed_face_for(const std::string& face);

}  // namespace console
