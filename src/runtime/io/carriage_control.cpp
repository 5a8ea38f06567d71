#include "runtime/io/carriage_control.h"

#include <unistd.h>

#include <chrono>
#include <cstring>

#include "runtime/io/statements.h"
#include "runtime/io/unit_table.h"
#include "runtime/support/short_copy.h"

namespace runtime {

namespace {

// Appends `bytes` to the prefix being built in front of a record.
struct Prefix {
  char bytes[8];
  std::size_t size = 0;
  void add(std::string_view text) {
    for (char c : text) {
      if (size < sizeof bytes) bytes[size++] = c;
    }
  }
};

// After the first record of a connection, a sequential file ends there: whatever an existing
// file held beyond it is cut off. Later records are appended. Returns 0, or the errno value
// of a failed write of the record.
int cut_after_first_record(UnitBlock& unit) {
  unit.cut_after_first_record = false;
  if (unit.channel.kind() != ByteChannel::Kind::Descriptor) return 0;
  if (int error = unit.channel.flush()) return error;
  int descriptor = unit.channel.descriptor();
  off_t here = ::lseek(descriptor, 0, SEEK_CUR);
  if (here >= 0) {
    // A failing cut leaves the old tail in place; the records written are intact either way.
    [[maybe_unused]] int ignored = ::ftruncate(descriptor, here);
  }
  return 0;
}

// Runs `action` on the unit that holds the pending record of `device`, when it is not
// `self` and its slot can be taken at once (a unit busy in another thread keeps its record).
template <typename Action>
void with_other_pending_unit(TerminalDevice& device, const UnitBlock* self, Action action) {
  std::int64_t pending = device.pending_record_unit();
  if (pending == kNoPendingUnit) return;
  if (self != nullptr && pending == self->unit) return;
  UnitSlot* slot = UnitTable::instance().find_slot(static_cast<std::int32_t>(pending));
  if (slot == nullptr) {
    device.clear_pending_record(static_cast<std::int32_t>(pending));
    return;
  }
  if (claim_slot(*slot, std::chrono::steady_clock::now()) != ClaimResult::Claimed) return;
  UnitBlock* other = slot->block.get();
  if (other != nullptr && other->output_pending && other->terminal == &device) {
    action(*other);
  } else {
    device.clear_pending_record(static_cast<std::int32_t>(pending));
  }
  release_slot(*slot);
}

}  // namespace

int emit_record(UnitBlock& unit, bool prompt_form) {
  OutputRecord& record = unit.output;
  if (int error = record.reserve(record.length)) return error;
  TerminalDevice& device = *unit.terminal;
  std::string_view line_end = device.line_end();

  char* text = record.columns();
  std::size_t text_length = record.length;
  Prefix prefix;
  std::string_view terminator;
  bool owe_after = false;

  const bool owed = device.take_owed_line_end();
  switch (unit.carriage_control) {
    case CarriageControl::FirstCharacter: {
      char control = ' ';
      if (text_length > 0) {
        control = text[0];
        ++text;
        --text_length;
      }
      if (prompt_form) {
        if (control == ' ') control = '$';
        if (control == '+') control = '\0';
      }
      switch (control) {
        case '0':
          if (owed) prefix.add(line_end);
          prefix.add(line_end);
          break;
        case '1':
          if (owed) prefix.add(line_end);
          // A text window has no pages; a new line stands for the new page there.
          if (!device.is_window()) prefix.add("\f");
          break;
        case '+': prefix.add("\r"); break;
        case '\0': break;
        default:  // blank, `$`, and any other character spaces as a blank does
          if (owed) prefix.add(line_end);
          break;
      }
      owe_after = !prompt_form && control != '$';
      break;
    }
    case CarriageControl::List:
      if (owed) prefix.add(line_end);
      if (!prompt_form) {
        terminator = unit.record_terminator();
        if (unit.record_type == RecordType::Fixed && unit.record_length > 0 &&
            text_length < static_cast<std::size_t>(unit.record_length)) {
          std::size_t fixed = static_cast<std::size_t>(unit.record_length);
          if (int error = record.reserve(fixed)) return error;
          text = record.columns();
          std::memset(text + text_length, ' ', fixed - text_length);
          text_length = fixed;
        }
      }
      break;
    case CarriageControl::None:
      if (owed) prefix.add(line_end);
      break;
  }

  // The prefix goes into the headroom in front of the text and the terminator into the room
  // after it, so the record leaves in one write.
  char* start = text - prefix.size;
  if (prefix.size > 0) std::memcpy(start, prefix.bytes, prefix.size);
  copy_short(text + text_length, terminator.data(), terminator.size());
  std::size_t total = prefix.size + text_length + terminator.size();
  int failure = device.write(std::string_view(start, total), &unit.channel);

  record.start_new();
  unit.output_pending = false;
  device.clear_pending_record(unit.unit);
  if (owe_after) device.owe_line_end();
  if (failure == 0 && unit.cut_after_first_record) failure = cut_after_first_record(unit);
  if (failure != 0) return kErrorDuringWrite;
  ++unit.record_count;
  return 0;
}

void settle_other_pending_record(UnitBlock& unit) {
  if (!unit.terminal->shared()) return;
  // A failure here belongs to the other unit, whose statement has ended; the device's next
  // write, this unit's own, reports a device that no longer takes output.
  with_other_pending_unit(*unit.terminal, &unit,
                          [](UnitBlock& other) { static_cast<void>(emit_record(other, false)); });
}

int prepare_terminal_for_read(TerminalDevice& device, UnitBlock* reading) {
  int result = 0;
  if (reading != nullptr && reading->output_pending) {
    result = emit_record(*reading, true);
  } else {
    // As in settle_other_pending_record: the other unit's failure is not this read's.
    with_other_pending_unit(device, reading, [](UnitBlock& other) { static_cast<void>(emit_record(other, true)); });
  }
  if (device.write_owed_line_end(reading != nullptr ? &reading->channel : nullptr) != 0 && result == 0) {
    result = kErrorDuringWrite;
  }
  return result;
}

int finish_unit_output(UnitBlock& unit) {
  int result = 0;
  if (unit.output_pending) result = emit_record(unit, false);
  if (unit.terminal->write_owed_line_end(&unit.channel) != 0 && result == 0) result = kErrorDuringWrite;
  unit.terminal->clear_pending_record(unit.unit);
  return result;
}

void write_window_owed_line_end(int window) {
  // Called as the window closes or its program ends: no statement is left to report to.
  if (TerminalDevice* device = find_window_device(window)) static_cast<void>(device->write_owed_line_end(nullptr));
}

void write_owed_line_end(int window) { write_window_owed_line_end(window); }

}  // namespace runtime
