#pragma once
// The I/O statements a program calls: OPEN, CLOSE, formatted sequential READ and WRITE on
// numbered units, and the internal write into a character buffer. Each returns 0, or the
// run-time error number when its flags carry kErrorBranch (errors are otherwise reported,
// and a severe one ends the program).

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "runtime/format/format.h"
#include "runtime/io_item.h"
#include "runtime/statement_flags.h"

namespace runtime {

// OPEN and CLOSE keywords.
enum class Keyword : std::uint8_t {
  File,
  Title,
  IoFocus,
  Status,
  Access,
  Form,
  RecordLength,
  Blank,
  Position,
  Action,
  Delim,
  Pad,
  CarriageControl,
  RecordType,
  Share,
  Convert,
  ReadOnly,
  BlockSize,
  BufferCount,
  Organization,
  Mode,
  Dispose,
};

struct KeywordValue {
  enum class Type : std::uint8_t { Integer, Logical, Character };
  Keyword keyword;
  Type type;
  std::int64_t integer = 0;  // Integer and Logical values
  std::string_view text;     // Character values
};

inline KeywordValue keyword_text(Keyword k, std::string_view text) {
  return {k, KeywordValue::Type::Character, 0, text};
}
inline KeywordValue keyword_integer(Keyword k, std::int64_t value) {
  return {k, KeywordValue::Type::Integer, value, {}};
}
inline KeywordValue keyword_logical(Keyword k, bool value) {
  return {k, KeywordValue::Type::Logical, value ? 1 : 0, {}};
}

// The statements return 0, or an error number to a statement with an error branch (or an
// error that is not severe): without a branch the runtime has already shown the message, so
// these results, unlike the runtime's internal statuses, may be left unread.
int open_unit(std::int32_t unit, StatementFlags flags, std::span<const KeywordValue> keywords);
int close_unit(std::int32_t unit, StatementFlags flags, std::span<const KeywordValue> keywords = {});

// `advance` is the ADVANCE specifier's value; it is read only when flags carry
// kAdvanceSpecifier. A FormatRef built from text is a format held in character data.
int write_formatted(std::int32_t unit, StatementFlags flags, std::span<const IoItem> items, FormatRef format,
                    std::string_view advance = {});
int read_formatted(std::int32_t unit, StatementFlags flags, std::span<const IoItem> items, FormatRef format,
                   std::string_view advance = {});
// Internal write: the record is `buffer` itself; the rest of it after the last column written
// is filled with blanks. Messages name the file "Internal Formatted Write".
int write_internal(std::span<char> buffer, StatementFlags flags, std::span<const IoItem> items, FormatRef format);

inline int open_unit(std::int32_t unit, StatementFlags flags, std::initializer_list<KeywordValue> keywords) {
  return open_unit(unit, flags, std::span<const KeywordValue>(keywords.begin(), keywords.size()));
}
inline int close_unit(std::int32_t unit, StatementFlags flags, std::initializer_list<KeywordValue> keywords) {
  return close_unit(unit, flags, std::span<const KeywordValue>(keywords.begin(), keywords.size()));
}
inline int write_formatted(std::int32_t unit, StatementFlags flags, std::initializer_list<IoItem> items,
                           FormatRef format, std::string_view advance = {}) {
  return write_formatted(unit, flags, std::span<const IoItem>(items.begin(), items.size()), format, advance);
}
inline int read_formatted(std::int32_t unit, StatementFlags flags, std::initializer_list<IoItem> items,
                          FormatRef format, std::string_view advance = {}) {
  return read_formatted(unit, flags, std::span<const IoItem>(items.begin(), items.size()), format, advance);
}
inline int write_internal(std::span<char> buffer, StatementFlags flags, std::initializer_list<IoItem> items,
                          FormatRef format) {
  return write_internal(buffer, flags, std::span<const IoItem>(items.begin(), items.size()), format);
}

// The window index of the unit's text window, or -1 (unknown unit, or not a window unit).
// The windowed console maps units to windows with it.
int unit_window_index(std::int32_t unit);

// The full path of the regular file connected to `unit`, as INQUIRE's NAME= gives it; nothing
// when the unit is not connected, or connected to a device, a window or a scratch file.
std::optional<std::string> unit_file_path(std::int32_t unit);

// Writes the line end that first-character carriage control still owes to text window
// `window` (the console calls it before it shows the caret, so the caret sits where the next
// output goes).
void write_owed_line_end(int window);

}  // namespace runtime
