#include "runtime/io/statement_support.h"

#include <cctype>
#include <new>

#include "runtime/io/file_connection.h"
#include "runtime/support/error_numbers.h"
#include "runtime/window_services.h"

namespace runtime {

namespace {

bool error_is_returned(int number, StatementFlags flags) {
  if (flags & kErrorBranch) return true;
  if ((flags & kEndBranch) && (number == kEndOfFileDuringRead || number == kEndOfFileEncountered)) return true;
  if ((flags & kEndOfRecordBranch) && number == kEndOfRecordDuringRead) return true;
  return false;
}

void emit_format_syntax_message(std::string_view text, std::size_t offset) {
  if (offset > text.size()) offset = text.size();
  std::string_view rest = text.substr(offset, 80);
  ErrorInserts inserts;
  inserts.numbers[0] = static_cast<std::int64_t>(rest.size());
  inserts.text = rest;
  emit_runtime_message(kFormatSyntaxErrorAt, inserts);
}

}  // namespace

int read_advance_specifier(StatementFlags flags, std::string_view advance, bool& advancing) {
  advancing = true;
  if (!(flags & kAdvanceSpecifier)) return 0;
  while (!advance.empty() && advance.back() == ' ') advance.remove_suffix(1);
  auto is = [advance](std::string_view word) {
    if (advance.size() != word.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
      if (std::toupper(static_cast<unsigned char>(advance[i])) != word[i]) return false;
    }
    return true;
  };
  if (is("YES")) return 0;
  if (is("NO")) {
    advancing = false;
    return 0;
  }
  return kInvalidRuntimeArgument;
}

void pass_pause_gate() {
  if (WindowServices* services = window_services()) services->pass_pause_gate();
}

int raise_statement_error(int number, StatementFlags flags, std::int32_t unit, std::string_view file_name) {
  ErrorInserts inserts;
  inserts.has_unit = true;
  inserts.unit = unit;
  inserts.file_name = file_name;
  int result = report_runtime_error(number, flags, inserts);
  return error_is_returned(number, flags) ? result : 0;
}

int claim_and_connect(StatementClaim& claim, std::int32_t unit, bool for_reading, std::string& failed_name) {
  if (int error = claim.acquire(unit)) return error;
  if (claim.block() != nullptr) return 0;
  OpenRequest request;
  ResolvedName resolved;
  if (int error = resolve_unit_name(unit, request, true, resolved, failed_name)) return error;
  std::unique_ptr<UnitBlock> block;
  if (int error = connect_resolved(unit, request, resolved, for_reading, false, block)) return error;
  note_first_connection();
  claim.set_block(std::move(block));
  return 0;
}

CompiledFormat* prepare_format(FormatRef format, std::unique_ptr<CompiledFormat>& storage, int& error) {
  error = 0;
  if (format.fixed != nullptr) {
    if (CompiledFormat* compiled = format.fixed->compiled()) return compiled;
    error = format.fixed->compile_status();
    if (error == 0) error = kSyntaxErrorInFormat;
    if (error == kSyntaxErrorInFormat)
      emit_format_syntax_message(format.fixed->text(), format.fixed->syntax_error_offset());
    return nullptr;
  }
  storage.reset(new (std::nothrow) CompiledFormat);
  if (!storage) {
    error = kInsufficientVirtualMemory;
    return nullptr;
  }
  std::size_t offset = 0;
  try {
    error = compile_format(format.text, *storage, offset);
  } catch (const std::bad_alloc&) {
    error = kInsufficientVirtualMemory;
  }
  if (error == kSyntaxErrorInFormat) emit_format_syntax_message(format.text, offset);
  if (error != 0) {
    storage.reset();
    return nullptr;
  }
  return storage.get();
}

bool begin_formatted_statement(std::int32_t unit, StatementFlags flags, FormatRef format, std::string_view advance,
                               bool for_reading, FormattedStatement& statement, int& ended) {
  const auto stop = [&](int error, std::string_view name) {
    ended = raise_statement_error(error, flags, unit, name);
    return false;
  };
  pass_pause_gate();
  if (!is_external_unit(unit)) return stop(kInvalidLogicalUnitNumber, {});
  if (int error = read_advance_specifier(flags, advance, statement.advancing)) return stop(error, {});
  {
    std::string failed_name;
    if (int error = claim_and_connect(statement.claim, unit, for_reading, failed_name)) {
      return stop(error, failed_name);
    }
  }
  UnitBlock& block = statement.block();
  const std::string_view file_name = block.file_name;
  if (block.form != FormMode::Formatted) return stop(kFormattedIoToUnformattedUnit, file_name);
  if (block.access == AccessMode::Direct) return stop(kSequentialIoToDirectUnit, file_name);
  if (!for_reading && block.action == ActionMode::Read) return stop(kWriteToReadOnlyFile, file_name);
  int format_error = 0;
  statement.format = prepare_format(format, statement.format_storage, format_error);
  if (statement.format == nullptr) return stop(format_error, file_name);
  if (format.fixed != nullptr) statement.plan = &format.fixed->plan();
  block.statement_flags = flags;
  return true;
}

}  // namespace runtime
