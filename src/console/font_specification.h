#pragma once
// Reading a font specification string such as "t'Arial'h14w7i": the options of set_font,
// read left to right, letters in either case.
//
//   t'name'  face name (at most 31 characters between single quotes)
//   hN, wN   character height and width (no digits: 0; a later one replaces an earlier one;
//            0 counts as not given)
//   f, p     fixed-pitch or variable-pitch fonts only (they exclude each other)
//   r, v     raster or scalable fonts only (they exclude each other)
//   b        best fit among raster fonts
//   i, u, e  italic, underline, bold
//   nN       font number N (1-based); the rest of the string is not read
//
// Every other character is skipped. When the second of an exclusive pair comes while the
// first is in force, the first is cancelled, the second is not taken, and the reading
// reports a conflict (graphics status 3); reading goes on.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace console {

inline constexpr std::size_t kMaximumFaceName = 31;

enum class FontSpecificationError : std::uint8_t {
  None,
  NameNotQuoted,     // t not followed by a single quote (graphics status -4)
  NameUnterminated,  // the string ends inside the name, or the name runs past 31 characters
};

struct FontSpecification {
  std::optional<std::string> face;  // given and not empty
  int height = 0;                   // 0: not given
  int width = 0;
  bool fixed_pitch = false;
  bool variable_pitch = false;
  bool raster = false;
  bool scalable = false;
  bool best_fit = false;
  bool italic = false;
  bool underline = false;
  bool bold = false;
  std::optional<long> number;  // n given: the font number
  bool conflict = false;       // an exclusive option cancelled another
  FontSpecificationError error = FontSpecificationError::None;
};

// Reads `specification` (its trailing blanks already removed or not: blanks are skipped).
// With `double_byte`, a lead byte of a double-byte character inside the face name is taken
// with the byte after it, so that neither ends the name.
FontSpecification read_font_specification(std::string_view specification, bool double_byte = false);

// The face-name substitutions made after reading, compared without regard to case:
// "Tms Rmn" -> "Times New Roman", "Courier" -> "Courier New", "Helv" -> "Arial".
std::string substitute_face_name(const std::string& face);

// True when the two face names are equal without regard to case.
bool same_face_name(std::string_view a, std::string_view b);

}  // namespace console
