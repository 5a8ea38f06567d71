// The STOP statement: one record (the text, or with the display flag "Return code " and the
// code), the exit handler, the windowing runtime's end sequence, and the exit with the code.

#include <atomic>
#include <climits>
#include <cstdlib>
#include <string>

#include "runtime/format/format.h"
#include "runtime/io/statements.h"
#include "runtime/io_item.h"
#include "runtime/statement_flags.h"
#include "runtime/support/emission.h"
#include "runtime/support/lifecycle.h"
#include "runtime/support/termination.h"

namespace runtime {
namespace {

constexpr std::int32_t kStandardErrorUnit = 0;
constexpr std::int32_t kStandardOutputUnit = 6;
// Units 0 and 6 are character devices with first-character carriage control, which takes the
// record's first character as the spacing control: the leading blank asks for a new line, so
// the whole text is shown (a bare "(A)" would lose the text's first character).
constexpr std::string_view kRecordFormat = "(1X,A)";

// The code as an int for the end sequence; a code beyond int keeps its low 8 bits (the part of
// the status the system passes on), and never turns into 0 when it was not 0.
int exit_code_of(std::int64_t code) {
  if (code >= INT_MIN && code <= INT_MAX) return static_cast<int>(code);
  const int low_bits = static_cast<int>(code & 0xFF);
  return low_bits != 0 ? low_bits : 255;
}

std::string stop_record(std::string_view text, unsigned flags, std::optional<std::int64_t> code) {
  if ((flags & kStopDisplay) == 0) return std::string(text);
  if (code.has_value()) return "Return code " + std::to_string(*code);
  if (!text.empty()) return std::string(text);
  return "Stop - Program terminated.";
}

}  // namespace

void stop_program(std::string_view text, unsigned flags, std::optional<std::int64_t> code) {
  // Thread mode 2 would wait here for the other I/O threads; this runtime does all its I/O on
  // the program thread, so there is nothing to wait for.
  static std::atomic<bool> stopping{false};
  if (stopping.exchange(true)) {
    flush_standard_streams();
    std::_Exit(0);
  }
  const int exit_code = exit_code_of(code.value_or(0));
  if (!text.empty() || code.has_value()) {
    const std::string record = stop_record(text, flags, code);
    const std::int32_t unit = (flags & kStopDisplay) != 0 ? kStandardOutputUnit : kStandardErrorUnit;
    const IoItem items[] = {item(std::string_view(record))};
    if (write_formatted(unit, kErrorBranch, items, FormatRef(kRecordFormat)) != 0) {
      // The unit refused the record: it still reaches the process's own stream.
      write_all(unit == kStandardErrorUnit ? 2 : 1, record + "\n");
    }
  }
  run_exit_handler();
  end_process(exit_code);
}

}  // namespace runtime
