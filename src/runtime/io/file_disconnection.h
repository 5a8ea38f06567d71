#pragma once
// Disconnecting units: CLOSE with its dispositions (none, KEEP, DELETE, PRINT, PRINT/DELETE,
// SUBMIT, SUBMIT/DELETE), and the exit handler's walk that closes every unit at program end.
//
// Closing writes the pending record, the owed line end and the records still buffered first
// (38 when that fails: a failed write), then applies the disposition, closes the channel
// (28 when that fails) and frees the block. A text-window
// unit's window is removed by the deleting dispositions and kept, marked closed, by KEEP,
// PRINT and SUBMIT; at program end windows are left as they are.

#include "runtime/io/unit_block.h"

namespace runtime {

// Disconnects `block`. `program_end`: closed by the exit handler. Returns 0 or an error
// number (38, 28). Message 5 is emitted when a file to be printed and deleted is kept
// because printing failed.
[[nodiscard]] int disconnect_unit(UnitBlock& block, Disposition disposition, bool program_end);

// The exit handler's unit closer: closes every connected unit with its default disposition.
// A unit busy in another thread's statement is waited for up to kExitWaitForBusyUnits and
// then skipped; a unit held by the calling thread (a severe error inside a statement) is
// closed. Statements started afterwards on other threads wait until the process exits.
void close_all_units_at_exit();

inline constexpr int kExitWaitMilliseconds = 1000;

}  // namespace runtime
