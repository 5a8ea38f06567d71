#pragma once
// Helpers for the conversion tests: descriptors written as in a format ("F20.10", "E12.4E3",
// "I5.3", "A"), and one-call wrappers that run an output or input conversion.

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <string>
#include <string_view>

#include "runtime/conversion/conversion.h"

namespace runtime::test {

// Parses a single data descriptor such as "F20.10", "ES12.3E4", "I5.3", "Z" (no repeat count).
inline EditDescriptor descriptor(std::string_view text) {
  static constexpr struct {
    std::string_view name;
    DescriptorKind kind;
  } kNames[] = {{"EN", DescriptorKind::EN}, {"ES", DescriptorKind::ES}, {"I", DescriptorKind::I},
                {"F", DescriptorKind::F},   {"E", DescriptorKind::E},   {"D", DescriptorKind::D},
                {"G", DescriptorKind::G},   {"L", DescriptorKind::L},   {"A", DescriptorKind::A},
                {"O", DescriptorKind::O},   {"Z", DescriptorKind::Z},   {"B", DescriptorKind::B},
                {"Q", DescriptorKind::Q}};
  EditDescriptor result;
  std::size_t i = 0;
  for (const auto& entry : kNames) {
    if (text.substr(0, entry.name.size()) == entry.name) {
      result.kind = entry.kind;
      i = entry.name.size();
      break;
    }
  }
  EXPECT_NE(i, 0u) << "unknown descriptor " << text;
  auto number = [&](std::int32_t& out) {
    std::size_t start = i;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i;
    out = std::atoi(std::string(text.substr(start, i - start)).c_str());
    return i > start;
  };
  result.has_w = number(result.w);
  if (i < text.size() && text[i] == '.') {
    ++i;
    result.has_d = number(result.d);
  }
  if (i < text.size() && text[i] == 'E') {
    ++i;
    result.has_e = number(result.e);
  }
  EXPECT_EQ(i, text.size()) << "trailing text in descriptor " << text;
  return result;
}

inline EditModes modes(SignMode sign = SignMode::Processor, std::int32_t scale = 0, BlankMode blank = BlankMode::Null) {
  EditModes m;
  m.sign = sign;
  m.scale = scale;
  m.blank = blank;
  return m;
}

struct Written {
  std::string text;
  int status;
};

// Runs convert_output_field with the resolved width; the buffer has guard bytes on both
// sides so that a write outside the field shows as a changed guard.
inline Written write_field(const IoItem& item, std::string_view format, const EditModes& m = {}, std::size_t part = 0) {
  const EditDescriptor d = descriptor(format);
  const std::int32_t width = resolve_field_shape(d, item).w;
  std::string buffer(static_cast<std::size_t>(width) + 16, '#');
  const int status = convert_output_field(item, part, d, m, buffer.data() + 8, width);
  EXPECT_EQ(buffer.substr(0, 8), std::string(8, '#')) << format;
  EXPECT_EQ(buffer.substr(8 + static_cast<std::size_t>(width)), std::string(8, '#')) << format;
  return {buffer.substr(8, static_cast<std::size_t>(width)), status};
}

}  // namespace runtime::test
