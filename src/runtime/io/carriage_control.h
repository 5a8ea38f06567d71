#pragma once
// Emitting records. With first-character carriage control (terminals and text windows by
// default) the first character of a record chooses the spacing: blank a new line, `0` an
// empty line first, `1` a new page, `+` back to the start of the line, `$` a new line with
// the following read continuing the line, NUL no spacing. The line end after a record is
// kept back on the device and written when the next record starts, before the next read from
// that device, and when the unit closes. With list carriage control the record is followed
// by its terminator (CR LF for formatted sequential files); with none, by nothing.
//
// A non-advancing record stays pending in its unit; the device notes which unit holds it.
// Before a read from the device it is written in prompt form (a leading blank acts as `$`, a
// leading `+` as NUL), so the answer is typed on the prompt's line; before another unit's
// record on the same device it is written as an ended record.

#include <cstdint>

#include "runtime/io/unit_block.h"
#include "runtime/support/error_numbers.h"

namespace runtime {

// Emits the unit's output record and starts a new one. Returns 0, 38 (write failure) or 41.
[[nodiscard]] int emit_record(UnitBlock& unit, bool prompt_form);

// Before writing a record on `unit`'s device: writes another unit's pending record there.
void settle_other_pending_record(UnitBlock& unit);

// Before reading from `device`: writes the pending record in prompt form (the reading unit's
// own, `reading` may be null, or another unit's) and the owed line end. Returns 0 or 38.
[[nodiscard]] int prepare_terminal_for_read(TerminalDevice& device, UnitBlock* reading);
// The console prompt of a blank-name OPEN, which reads standard input without a unit.
[[nodiscard]] inline int prepare_terminal_for_read(TerminalDevice& device, int) {
  return prepare_terminal_for_read(device, nullptr);
}

// At close: writes the unit's pending record (as an ended record) and its device's owed line
// end. Returns 0 or 38.
[[nodiscard]] int finish_unit_output(UnitBlock& unit);

// The line end owed to text window `window`, written now (before the console shows its caret).
void write_window_owed_line_end(int window);

}  // namespace runtime
