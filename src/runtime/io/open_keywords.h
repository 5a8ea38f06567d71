#pragma once
// The keywords of OPEN and CLOSE read into requests, with their values checked: each keyword
// has a row in a table naming the values it accepts and the error (error_numbers.h) for a
// value of the wrong type or outside them, such as kIllegalStatusValue for STATUS. Keywords
// that contradict each other give kInconsistentOpenCloseParameters or a more specific error
// (kKeepIllegalForScratchFile, kScratchIllegalForNamedFile, kDelimiterNotAllowedForUnformatted,
// kPadNotAllowedForUnformatted, kInconsistentRecordType). Character values are compared in
// any case with trailing blanks ignored.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "runtime/edit_descriptor.h"
#include "runtime/io/statements.h"
#include "runtime/io/unit_block.h"

namespace runtime {

struct OpenRequest {
  std::optional<std::string_view> file;  // FILE as given (may be blank: ask for the name)
  std::optional<std::string_view> title;
  std::optional<bool> iofocus;
  std::optional<FileStatus> status;
  std::optional<AccessMode> access;
  std::optional<FormMode> form;
  std::optional<std::int64_t> record_length;
  std::optional<BlankMode> blank;
  std::optional<FilePosition> position;
  std::optional<ActionMode> action;  // ACTION, or MODE, or READONLY
  std::optional<Delimiter> delimiter;
  std::optional<bool> pad;
  std::optional<CarriageControl> carriage_control;
  std::optional<RecordType> record_type;
  std::optional<ShareMode> share;
  std::optional<DataConversion> conversion;
  std::optional<std::int64_t> block_size;
  std::optional<std::int64_t> buffer_count;
  std::optional<Disposition> disposition;

  FileStatus effective_status() const { return status.value_or(FileStatus::Unknown); }
  FormMode effective_form() const { return form.value_or(FormMode::Formatted); }
};

// Reads and checks the keywords of an OPEN. Returns 0 or an error number.
[[nodiscard]] int read_open_keywords(std::span<const KeywordValue> keywords, OpenRequest& request);

// Reads the disposition of a CLOSE (STATUS or DISPOSE). Returns 0 or an error number.
[[nodiscard]] int read_close_keywords(std::span<const KeywordValue> keywords, std::optional<Disposition>& disposition);

// A conversion name (NATIVE, BIG_ENDIAN, ... CRAY) in any case; nothing when unknown.
std::optional<DataConversion> conversion_named(std::string_view name);

// `text` equals the upper-case `word` in any case, trailing blanks of `text` ignored.
bool keyword_value_is(std::string_view text, std::string_view word);

}  // namespace runtime
