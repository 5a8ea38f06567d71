#include "runtime/io/file_disconnection.h"

#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "runtime/io/carriage_control.h"
#include "runtime/io/open_keywords.h"
#include "runtime/io/shell_commands.h"
#include "runtime/io/statement_support.h"
#include "runtime/io/statements.h"
#include "runtime/io/unit_table.h"
#include "runtime/support/error_numbers.h"
#include "runtime/support/errors.h"
#include "runtime/window_services.h"

namespace runtime {

namespace {

bool deletes(Disposition disposition) {
  return disposition == Disposition::Default || disposition == Disposition::Delete ||
         disposition == Disposition::PrintDelete || disposition == Disposition::SubmitDelete;
}

void emit_unit_message(int number, const UnitBlock& block) {
  ErrorInserts inserts;
  inserts.has_unit = true;
  inserts.unit = block.unit;
  inserts.file_name = block.file_name;
  emit_runtime_message(number, inserts);
}

// The disposition's effect on a regular file, after its channel is closed.
int apply_file_disposition(UnitBlock& block, Disposition disposition) {
  const bool scratch = block.status == FileStatus::Scratch;
  switch (disposition) {
    case Disposition::Default:
    case Disposition::Keep: return 0;
    case Disposition::Delete:
      if (!scratch && ::unlink(block.file_name.c_str()) != 0 && errno != ENOENT) return kCloseError;
      return 0;
    case Disposition::Print: run_shell_command(print_command(block.file_name), true); return 0;
    case Disposition::PrintDelete:
      if (!run_shell_command(print_command(block.file_name), true)) {
        emit_unit_message(kDispositionModified, block);
        return 0;
      }
      if (::unlink(block.file_name.c_str()) != 0 && errno != ENOENT) return kCloseError;
      return 0;
    case Disposition::Submit: run_shell_command(submit_command(block.file_name, false), false); return 0;
    case Disposition::SubmitDelete: run_shell_command(submit_command(block.file_name, true), false); return 0;
  }
  return 0;
}

// A disposition the unit cannot have: 46, with the disposition it gets instead.
int check_disposition(const UnitBlock& block, Disposition& disposition) {
  const bool scratch = block.status == FileStatus::Scratch;
  if (scratch &&
      (disposition == Disposition::Keep || disposition == Disposition::Print || disposition == Disposition::Submit)) {
    disposition = Disposition::Delete;
    return kInconsistentOpenCloseParameters;
  }
  if (block.read_only && block.device == DeviceKind::RegularFile &&
      (disposition == Disposition::Delete || disposition == Disposition::PrintDelete ||
       disposition == Disposition::SubmitDelete)) {
    disposition = Disposition::Keep;
    return kInconsistentOpenCloseParameters;
  }
  return 0;
}

}  // namespace

int disconnect_unit(UnitBlock& block, Disposition disposition, bool program_end) {
  int result = finish_unit_output(block);
  if (block.device == DeviceKind::TextWindow) {
    if (!program_end) {
      if (WindowServices* services = window_services()) {
        const bool keep = !deletes(disposition);
        // -1 only for an index outside the window table; the unit is disconnected either way.
        static_cast<void>(services->close_window(block.window_index, keep));
      }
      if (block.owns_window) block.terminal->reset();
    }
  }
  // Records still in the channel's buffer: failing to write them is a failed write.
  if (block.channel.flush() != 0 && result == 0) result = kErrorDuringWrite;
  int close_error = block.channel.close();
  if (close_error != 0 && result == 0) result = kCloseError;
  if (block.device == DeviceKind::RegularFile && result == 0) {
    result = apply_file_disposition(block, disposition);
  }
  block.file_name = "Unknown";
  return result;
}

int close_unit(std::int32_t unit, StatementFlags flags, std::span<const KeywordValue> keywords) {
  pass_pause_gate();
  if (unit < -4 || unit > kLargestUnit) return raise_statement_error(kIllegalUnitNumber, flags, unit, {});
  std::optional<Disposition> requested;
  if (int error = read_close_keywords(keywords, requested)) {
    return raise_statement_error(error, flags, unit, {});
  }
  StatementClaim claim;
  if (int error = claim.acquire(unit)) return raise_statement_error(error, flags, unit, {});
  if (claim.block() == nullptr) return 0;
  std::unique_ptr<UnitBlock> block = claim.take_block();
  Disposition disposition = requested.value_or(block->disposition);
  int refused = check_disposition(*block, disposition);
  std::string file_name = block->file_name;
  int error = disconnect_unit(*block, disposition, false);
  block.reset();
  claim.release();
  // A failed CLOSE still releases the unit.
  if (refused != 0) return raise_statement_error(refused, flags, unit, file_name);
  if (error != 0) return raise_statement_error(error, flags, unit, file_name);
  return 0;
}

void close_all_units_at_exit() {
  begin_exit_gate();
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kExitWaitMilliseconds);
  for (auto [unit, slot] : UnitTable::instance().all_slots()) {
    {
      std::lock_guard<std::mutex> hold(slot->guard);
      if (!slot->block) continue;
      // A text window's unit owes nothing at exit (its window stays as it is). When another
      // thread's statement holds it, that statement waits for a line that will not come now:
      // skip it at once instead of waiting for it.
      const void* owner = slot->owner.load();
      if (slot->block->device == DeviceKind::TextWindow && owner != nullptr && owner != this_thread_token()) {
        continue;
      }
    }
    ClaimResult claimed = claim_slot(*slot, deadline);
    if (claimed == ClaimResult::TimedOut) continue;
    std::unique_ptr<UnitBlock> block;
    {
      std::lock_guard<std::mutex> hold(slot->guard);
      block = std::move(slot->block);
    }
    if (block) {
      std::string file_name = block->file_name;
      if (int error = disconnect_unit(*block, block->disposition, true)) {
        ErrorInserts inserts;
        inserts.has_unit = true;
        inserts.unit = unit;
        inserts.file_name = file_name;
        emit_runtime_message(error, inserts);
      }
    }
    if (claimed == ClaimResult::Claimed) release_slot(*slot);
  }
}

}  // namespace runtime
