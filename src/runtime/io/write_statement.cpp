// WRITE: a formatted sequential WRITE on a unit. The record is built in the unit's output
// record and emitted with the unit's carriage control at `/`, at format reversion and at the
// end of the statement, unless `$`, `\` or ADVANCE='NO' keeps it pending for the next WRITE
// (or for a READ from the same device, which writes it as a prompt).

#include <string>

#include "runtime/io/carriage_control.h"
#include "runtime/io/output_sink.h"
#include "runtime/io/statement_support.h"
#include "runtime/io/statement_walk.h"
#include "runtime/io/statements.h"
#include "runtime/support/error_numbers.h"

namespace runtime {

namespace {

// The unit's output record as the output sink sees it.
struct UnitRecord {
  UnitBlock& unit;
  int records_emitted = 0;

  RecordPosition& position() { return unit.output.position; }
  std::size_t& length() { return unit.output.length; }
  char* columns() { return unit.output.columns(); }
  int reserve(std::size_t end) {
    // A unit with a record length takes no longer records.
    if (unit.record_length > 0 && end > static_cast<std::size_t>(unit.record_length))
      return kOutputStatementOverflowsRecord;
    return unit.output.reserve(end);
  }
  int end_record() {
    ++records_emitted;
    return emit_record(unit, false);
  }
};

}  // namespace

int write_formatted(std::int32_t unit, StatementFlags flags, std::span<const IoItem> items, FormatRef format,
                    std::string_view advance) {
  FormattedStatement statement;
  if (int ended = 0; !begin_formatted_statement(unit, flags, format, advance, false, statement, ended)) return ended;
  UnitBlock& block = statement.block();
  const std::string_view file_name = block.file_name;

  OutputRecord& record = block.output;
  const bool continuing = block.output_pending;
  if (continuing) {
    // A pending record continues where the last WRITE left it; tabs count from there.
    record.position.left_tab_limit = record.position.position;
  } else {
    record.start_new();
  }
  settle_other_pending_record(block);
  const std::size_t start_length = record.length;
  const RecordPosition start_position = record.position;

  UnitRecord unit_record{block};
  OutputSink<UnitRecord> sink(unit_record);
  DescriptorSteps steps(*statement.format, statement.plan, block.blank);
  if (int error = walk_statement(steps, items, sink)) {
    // The record being built is dropped; a record pending from an earlier WRITE stays.
    if (continuing && unit_record.records_emitted == 0) {
      record.length = start_length;
      record.position = start_position;
    } else {
      record.start_new();
      block.output_pending = false;
      block.terminal->clear_pending_record(unit);
    }
    return raise_statement_error(error, flags, unit, file_name);
  }
  if (!statement.advancing || sink.outcome().no_advance) {
    block.output_pending = true;
    block.terminal->mark_pending_record(unit);
  } else if (int error = emit_record(block, false)) {
    return raise_statement_error(error, flags, unit, file_name);
  }
  if (sink.outcome().overflowed) {
    // The statement has completed; the overflow is reported (severity error) or returned.
    std::string name(file_name);
    statement.claim.release();
    return raise_statement_error(kOutputConversionError, flags, unit, name);
  }
  return 0;
}

}  // namespace runtime
