#pragma once
// Numbered run-time errors: the catalogue of numbers, severities and texts, the message
// "%s (%i): %s" with its severity prefix, and the single entry for raising an error.
//
// report_runtime_error returns the error number to a statement that carries an error branch
// or status variable and shows nothing; otherwise it emits the message (FORT0 redirection,
// traceback, FOR_DIAGNOSTIC_LOG_FILE, display in the windowing runtime's error box or on
// standard error) and, for a severe error, ends the program: exit handler, the windowing
// runtime's program-end sequence, exit with the error number as status.

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/statement_flags.h"

namespace runtime {

enum class Severity : std::uint8_t { Success = 0, Info = 1, Error = 2, Severe = 3 };

// Top 2 bits: severity; low 16 bits: error number.
using RuntimeErrorCode = std::uint32_t;
RuntimeErrorCode runtime_error_code(int number);
inline int error_number(RuntimeErrorCode code) { return static_cast<int>(code & 0xFFFFu); }
inline Severity error_severity(RuntimeErrorCode code) { return static_cast<Severity>(code >> 30); }

// Catalogue lookups; a number not in the catalogue gives "Message not found" and severity severe.
std::string_view catalogue_text(int number);
Severity catalogue_severity(int number);
std::string_view severity_prefix(Severity severity);  // "duzevi", "duzevi: info", ...

// What fills the inserts of a catalogue text. Texts of I/O errors end in "unit %d, file %s":
// they take `unit` and `file_name` ("unknown" when the unit has no name yet). The other
// directives (%d, %i, %ld, %lx, %s, %.*s, %c) take `numbers` in order and `text`.
struct ErrorInserts {
  bool has_unit = false;
  std::int32_t unit = 0;
  std::string_view file_name;
  std::int64_t numbers[3] = {0, 0, 0};
  std::string_view text;
};

// "%s (%i): %s" for `number` with its inserts filled, without the line end.
std::string build_runtime_message(int number, const ErrorInserts& inserts);

// Raises error `number` for a statement with `flags`. With kErrorBranch (or kEndBranch for end
// of file 24 and 613, kEndOfRecordBranch for 268) nothing is shown and the number (or the end
// indication) is returned. Otherwise the message is emitted; a severe error ends the program
// and this call does not return; an info or error message returns `number`. The result is
// for statements with a branch; a caller that only wants the message may leave it unread.
int report_runtime_error(int number, StatementFlags flags, const ErrorInserts& inserts = {});

// Emits the message for `number` whatever the statement flags (format syntax message 58).
void emit_runtime_message(int number, const ErrorInserts& inserts = {});

// Emits an already built message text (used for the mathematical-library style messages);
// `caption` is the error box caption. A severe message then ends the program.
void emit_message_text(std::string_view text, std::string_view caption, Severity severity, int exit_code);

}  // namespace runtime
