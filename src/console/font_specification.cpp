#include "console/font_specification.h"

#include <algorithm>
#include <cctype>
#include <climits>

namespace console {

namespace {

// Reads the decimal digits at `position` (none: 0); huge numbers stop growing at INT_MAX.
long read_number(std::string_view text, std::size_t& position) {
  long value = 0;
  while (position < text.size() && std::isdigit(static_cast<unsigned char>(text[position]))) {
    value = std::min<long>(INT_MAX, value * 10 + (text[position] - '0'));
    ++position;
  }
  return value;
}

// The lead bytes of double-byte characters (code page 932).
bool is_lead_byte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

}  // namespace

bool same_face_name(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

std::string substitute_face_name(const std::string& face) {
  if (same_face_name(face, "Tms Rmn")) return "Times New Roman";
  if (same_face_name(face, "Courier")) return "Courier New";
  if (same_face_name(face, "Helv")) return "Arial";
  return face;
}

FontSpecification read_font_specification(std::string_view text, bool double_byte) {
  FontSpecification wanted;
  // Takes `option` unless `other` is in force; then cancels `other` and notes the conflict.
  auto exclusive = [&](bool& option, bool& other) {
    if (other) {
      other = false;
      wanted.conflict = true;
    } else {
      option = true;
    }
  };
  std::size_t position = 0;
  while (position < text.size()) {
    const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(text[position])));
    ++position;
    switch (c) {
      case 't': {
        if (position >= text.size() || text[position] != '\'') {
          wanted.error = FontSpecificationError::NameNotQuoted;
          return wanted;
        }
        ++position;
        std::string name;
        while (true) {
          if (position >= text.size() || name.size() >= kMaximumFaceName + 1) {
            wanted.error = FontSpecificationError::NameUnterminated;
            return wanted;
          }
          const unsigned char byte = static_cast<unsigned char>(text[position]);
          if (byte == '\'') {
            ++position;
            break;
          }
          if (double_byte && is_lead_byte(byte) && position + 1 < text.size()) {
            name.push_back(text[position]);
            name.push_back(text[position + 1]);
            position += 2;
          } else {
            name.push_back(text[position]);
            ++position;
          }
        }
        if (name.size() > kMaximumFaceName) {
          wanted.error = FontSpecificationError::NameUnterminated;
          return wanted;
        }
        if (name.empty()) {
          wanted.face.reset();
        } else {
          wanted.face = std::move(name);
        }
        break;
      }
      case 'h': wanted.height = static_cast<int>(read_number(text, position)); break;
      case 'w': wanted.width = static_cast<int>(read_number(text, position)); break;
      case 'f': exclusive(wanted.fixed_pitch, wanted.variable_pitch); break;
      case 'p': exclusive(wanted.variable_pitch, wanted.fixed_pitch); break;
      case 'r': exclusive(wanted.raster, wanted.scalable); break;
      case 'v': exclusive(wanted.scalable, wanted.raster); break;
      case 'b': wanted.best_fit = true; break;
      case 'i': wanted.italic = true; break;
      case 'u': wanted.underline = true; break;
      case 'e': wanted.bold = true; break;
      case 'n': wanted.number = read_number(text, position); return wanted;
      default: break;
    }
  }
  return wanted;
}

}  // namespace console
