// OPEN: checks the keywords, resolves the name, keeps the connection when a connected unit is
// opened again on the same file (only BLANK, CARRIAGECONTROL, DELIM, PAD and IOFOCUS change;
// another ACCESS, ACTION or FORM is 560), otherwise closes the unit first and connects anew.
// A failed OPEN leaves the unit unconnected.

#include <memory>
#include <string>

#include "runtime/io/file_connection.h"
#include "runtime/io/file_disconnection.h"
#include "runtime/io/open_keywords.h"
#include "runtime/io/statement_support.h"
#include "runtime/io/statements.h"
#include "runtime/support/error_numbers.h"
#include "runtime/window_services.h"

namespace runtime {

namespace {

// The modes a re-OPEN of the same file may change. Returns 0 or 560.
int reopen_same_file(UnitBlock& block, const OpenRequest& request) {
  if (request.access && *request.access != block.access) return kFileAlreadyOpenParameterMismatch;
  if (request.action && *request.action != block.action) return kFileAlreadyOpenParameterMismatch;
  if (request.form && *request.form != block.form) return kFileAlreadyOpenParameterMismatch;
  if (request.record_length && *request.record_length != block.record_length) return kFileAlreadyOpenParameterMismatch;
  const bool window_unit = block.device == DeviceKind::TextWindow;
  WindowServices* services = window_services();
  if (!window_unit && request.title)
    return services != nullptr ? kTitleIllegalWithNonWindowUnit : kTitleIllegalWithoutWindowing;
  if (!window_unit && request.iofocus)
    return services != nullptr ? kIoFocusIllegalWithNonWindowUnit : kIoFocusIllegalWithoutWindowing;
  if (request.blank) block.blank = *request.blank;
  if (request.carriage_control) block.carriage_control = *request.carriage_control;
  if (request.delimiter) block.delimiter = *request.delimiter;
  if (request.pad) block.pad = *request.pad;
  if (window_unit && request.iofocus && services != nullptr) {
    block.focus_request = *request.iofocus;
    services->set_focus_request(block.window_index, *request.iofocus);
  }
  return 0;
}

}  // namespace

int open_unit(std::int32_t unit, StatementFlags flags, std::span<const KeywordValue> keywords) {
  pass_pause_gate();
  OpenRequest request;
  std::string file_name;
  if (unit < 0 || unit > kLargestUnit) return raise_statement_error(kIllegalUnitNumber, flags, unit, {});
  if (int error = read_open_keywords(keywords, request)) {
    if (request.file) file_name.assign(trim_file_name(*request.file));
    return raise_statement_error(error, flags, unit, file_name);
  }
  StatementClaim claim;
  if (int error = claim.acquire(unit)) return raise_statement_error(error, flags, unit, {});
  const bool compatibility = (flags & kCompatibilityNumbering) != 0;

  ResolvedName resolved;
  if (int error = resolve_unit_name(unit, request, false, resolved, file_name)) {
    claim.release();
    return raise_statement_error(error, flags, unit, file_name);
  }
  if (UnitBlock* connected = claim.block()) {
    if (names_connected_file(*connected, resolved)) {
      int error = reopen_same_file(*connected, request);
      std::string connected_name = connected->file_name;
      claim.release();
      return error != 0 ? raise_statement_error(error, flags, unit, connected_name) : 0;
    }
    // Another file: the unit is closed first (a text window is removed).
    std::unique_ptr<UnitBlock> old = claim.take_block();
    if (int error = disconnect_unit(*old, old->disposition, false)) {
      std::string old_name = old->file_name;
      old.reset();
      claim.release();
      return raise_statement_error(error, flags, unit, old_name);
    }
  }
  std::unique_ptr<UnitBlock> block;
  if (int error = connect_resolved(unit, request, resolved, false, compatibility, block)) {
    claim.release();
    return raise_statement_error(error, flags, unit, file_name);
  }
  note_first_connection();
  claim.set_block(std::move(block));
  claim.release();
  return 0;
}

int unit_window_index(std::int32_t unit) {
  UnitSlot* slot = UnitTable::instance().find_slot(unit);
  if (slot == nullptr) return -1;
  std::lock_guard<std::mutex> hold(slot->guard);
  if (!slot->block || slot->block->device != DeviceKind::TextWindow) return -1;
  return slot->block->window_index;
}

std::optional<std::string> unit_file_path(std::int32_t unit) {
  UnitSlot* slot = UnitTable::instance().find_slot(unit);
  if (slot == nullptr) return std::nullopt;
  std::lock_guard<std::mutex> hold(slot->guard);
  const UnitBlock* block = slot->block.get();
  // A scratch file has a regular file's device but no name of its own to give.
  if (block == nullptr || block->device != DeviceKind::RegularFile || block->status == FileStatus::Scratch) {
    return std::nullopt;
  }
  return block->file_name;
}

}  // namespace runtime
