#pragma once
// A font source with a fixed table, so that the font tests do not depend on the machine's
// fonts. Faces can be told to fail their enumeration or their font creation, and the source
// counts its enumerations.

#include <atomic>
#include <set>
#include <string>
#include <vector>

#include "console/font_source.h"

namespace console_test {

class FixedFontSource final : public console::FontSource {
 public:
  // The faces in order, each with its entries.
  struct Face {
    std::string name;
    std::vector<console::FontEntry> entries;
  };
  explicit FixedFontSource(std::vector<Face> faces) : faces_(std::move(faces)) {}

  std::optional<std::vector<std::string>> typefaces() override;
  std::optional<std::vector<console::FontEntry>> fonts_of(const std::string& typeface) override;
  std::optional<console::MadeFont> make_font(const console::LogicalFont& description) override;

  bool fail_typefaces = false;
  std::set<std::string> failing_enumerations;
  std::set<std::string> failing_creations;
  std::atomic<int> typeface_enumerations{0};
  // The last description a font was made from.
  console::LogicalFont last_made;

 private:
  std::vector<Face> faces_;
};

// An entry of the fixed tables.
console::FontEntry font_entry(const std::string& face, std::uint16_t type, int height, int width, bool fixed_pitch,
                              int weight = 400);

// The test table: "System" raster 16x7 and 20x9, "Terminal" raster fixed 12x8, "Arial"
// scalable normal and bold, "Courier New" scalable fixed, "Times New Roman" scalable,
// "Fixedsys" raster fixed 15x8, "Odd" of type 5 (raster by its bit 0, yet not a plain
// raster font), "Small Fonts" raster fixed 8x4: entries 1 to 10.
std::vector<FixedFontSource::Face> test_font_faces();

}  // namespace console_test
