// The internal write: a formatted WRITE whose record is a character buffer of the program.
// Output past the end of the buffer (or a second record) fails with 66; the rest of the
// buffer after the last column written is filled with blanks whatever happens. Messages
// name unit -5 and the file "Internal Formatted Write".

#include <cstring>
#include <memory>

#include "runtime/io/output_sink.h"
#include "runtime/io/statement_support.h"
#include "runtime/io/statement_walk.h"
#include "runtime/io/statements.h"
#include "runtime/support/error_numbers.h"

namespace runtime {

namespace {

constexpr std::string_view kInternalFileName = "Internal Formatted Write";

// The program's buffer as the one record of the statement.
struct BufferRecord {
  std::span<char> buffer;
  std::size_t written = 0;
  RecordPosition record_position;

  RecordPosition& position() { return record_position; }
  std::size_t& length() { return written; }
  char* columns() { return buffer.data(); }
  int reserve(std::size_t end) { return end <= buffer.size() ? 0 : kOutputStatementOverflowsRecord; }
  // The buffer is one record: a second one does not fit.
  int end_record() { return kOutputStatementOverflowsRecord; }
};

}  // namespace

int write_internal(std::span<char> buffer, StatementFlags flags, std::span<const IoItem> items, FormatRef format) {
  pass_pause_gate();
  std::unique_ptr<CompiledFormat> storage;
  int format_error = 0;
  CompiledFormat* compiled = prepare_format(format, storage, format_error);
  if (compiled == nullptr) {
    return raise_statement_error(format_error, flags, kInternalUnit, kInternalFileName);
  }
  BufferRecord record{buffer, 0, RecordPosition{}};
  OutputSink<BufferRecord> sink(record);
  DescriptorSteps steps(*compiled, format.fixed != nullptr ? &format.fixed->plan() : nullptr, BlankMode::Null);
  const int error = walk_statement(steps, items, sink);
  if (record.written < buffer.size()) {
    std::memset(buffer.data() + record.written, ' ', buffer.size() - record.written);
  }
  if (error != 0) return raise_statement_error(error, flags, kInternalUnit, kInternalFileName);
  if (sink.outcome().overflowed)
    return raise_statement_error(kOutputConversionError, flags, kInternalUnit, kInternalFileName);
  return 0;
}

}  // namespace runtime
