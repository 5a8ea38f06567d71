#pragma once
// Test helper: compiles a format and walks it the way a statement driver does, writing down
// what each call of next_edit_descriptor handed out.
//
// The walk plays the driver: a data descriptor takes one item and moves the record position by
// its width, a literal by its length, and `/` (or a reversion) starts a new record at column 1.
// Each call is written as one word:
//   I5 F20.10 E12.4E3 A   a data descriptor with the numbers the format gave
//   'text'                a literal
//   /  $  End             Slash, NoAdvance, End
//   err60                 a non-zero status
// A data descriptor or literal is followed by @n when the record position was n (not 0) as it
// was handed out, and, with show_modes, a data descriptor by the modes in force ([BZ SP 2P]).

#include <string>
#include <string_view>

#include "runtime/format/format.h"

namespace format_test {

inline std::string descriptor_word(const runtime::EditDescriptor& d) {
  using runtime::DescriptorKind;
  switch (d.kind) {
    case DescriptorKind::Literal: return "'" + std::string(d.literal, static_cast<std::size_t>(d.literal_length)) + "'";
    case DescriptorKind::Slash: return "/";
    case DescriptorKind::NoAdvance: return "$";
    case DescriptorKind::End: return "End";
    case DescriptorKind::Colon: return ":";
    default: break;
  }
  static const char* const names[] = {"I", "F", "E", "D", "G", "EN", "ES", "L", "A", "O", "Z", "B", "Q"};
  std::string word = names[static_cast<int>(d.kind)];
  if (d.has_w) word += std::to_string(d.w);
  if (d.has_d) word += "." + std::to_string(d.d);
  if (d.has_e) word += "E" + std::to_string(d.e);
  return word;
}

inline std::string modes_word(const runtime::EditModes& modes) {
  std::string word = modes.blank == runtime::BlankMode::Zero ? "[BZ " : "[BN ";
  switch (modes.sign) {
    case runtime::SignMode::Processor: word += "S "; break;
    case runtime::SignMode::Plus: word += "SP "; break;
    case runtime::SignMode::Suppress: word += "SS "; break;
  }
  return word + std::to_string(modes.scale) + "P]";
}

struct WalkOptions {
  runtime::EditModes modes{};
  runtime::RecordPosition start{};
  bool show_modes = false;
  int max_calls = 200;  // a walk that does not end by then is reported as "..."
};

// Walks an already compiled format over `items` items.
inline std::string walk_compiled(runtime::CompiledFormat& format, int items, const WalkOptions& options = {}) {
  runtime::FormatCursor cursor(format, options.modes);
  runtime::RecordPosition record = options.start;
  std::string words;
  for (int call = 0; call < options.max_calls; ++call) {
    runtime::EditDescriptor d;
    const int status = runtime::next_edit_descriptor(cursor, record, items > 0, d);
    if (!words.empty()) words += ' ';
    if (status != 0) return words + "err" + std::to_string(status);
    words += descriptor_word(d);
    if (d.kind == runtime::DescriptorKind::End) return words;
    if (d.kind == runtime::DescriptorKind::Slash) {
      record = runtime::RecordPosition{};  // the next record starts at column 1
      continue;
    }
    const bool takes_room = runtime::is_data_descriptor(d.kind) || d.kind == runtime::DescriptorKind::Literal;
    if (takes_room && record.position != 0) words += "@" + std::to_string(record.position);
    if (options.show_modes && runtime::is_data_descriptor(d.kind)) words += modes_word(cursor.modes());
    if (runtime::is_data_descriptor(d.kind)) {
      --items;
      record.position += static_cast<std::size_t>(d.w);
    } else if (d.kind == runtime::DescriptorKind::Literal) {
      record.position += static_cast<std::size_t>(d.literal_length);
    }
  }
  return words + " ...";
}

// Compiles `text` and walks it; a compile failure gives "compile62@offset" or "compile41".
inline std::string walk(std::string_view text, int items, const WalkOptions& options = {}) {
  runtime::CompiledFormat format;
  std::size_t offset = 0;
  const int status = runtime::compile_format(text, format, offset);
  if (status == 62) return "compile62@" + std::to_string(offset);
  if (status != 0) return "compile" + std::to_string(status);
  return walk_compiled(format, items, options);
}

}  // namespace format_test
