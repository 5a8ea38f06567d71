// The format compiler's output side: the growing buffer of compiled entries, and the summary
// each open group keeps of what its entries do.

#include <algorithm>
#include <cstring>
#include <new>

#include "runtime/format/format_compiler.h"
#include "runtime/support/error_numbers.h"

namespace runtime {

using format_layout::Entry;
using format_layout::EntryKind;
using format_layout::GroupSummary;
using format_layout::kEntrySize;

namespace {

std::size_t round_up(std::size_t value, std::size_t step) { return (value + step - 1) / step * step; }

}  // namespace

// Makes room for `needed` bytes. The buffer starts at 512 bytes and grows in multiples of 512:
// by 512 while it is small, and by half its size once that is more, so that a very long
// format costs linear rather than quadratic copying.
bool FormatCompiler::grow_to(std::size_t needed) {
  auto& buffer = out_.entries_;
  if (needed > byte_limit_) return false;
  if (needed <= buffer.capacity()) return true;
  const std::size_t capacity = buffer.capacity();
  const std::size_t step = std::max(kCompiledFormatStep, round_up(capacity / 2, kCompiledFormatStep));
  std::size_t target = std::max(round_up(needed, kCompiledFormatStep), capacity + step);
  target = std::max(needed, std::min(target, byte_limit_));
  try {
    buffer.reserve(target);
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

bool FormatCompiler::append(const Entry& entry, const void* payload, std::size_t payload_size, std::uint32_t& offset) {
  auto& buffer = out_.entries_;
  const std::size_t old_size = buffer.size();
  const std::size_t needed = old_size + kEntrySize + payload_size;
  if (!grow_to(needed)) {
    status_ = kInsufficientVirtualMemory;
    return false;
  }
  buffer.resize(needed);  // within the capacity reserved above: cannot throw
  std::memcpy(buffer.data() + old_size, &entry, kEntrySize);
  if (payload != nullptr && payload_size > 0) {
    std::memcpy(buffer.data() + old_size + kEntrySize, payload, payload_size);
  }
  offset = static_cast<std::uint32_t>(old_size);
  note_entry(entry);
  return true;
}

// Records in the innermost open group what the new entry does, so that a group that only
// moves the position or changes modes can later be applied in one step.
void FormatCompiler::note_entry(const Entry& entry) {
  using format_layout::PositionMap;
  GroupSummary& summary = groups_[std::max(depth_ - 1, 0)].summary;
  switch (entry.kind) {
    case EntryKind::Data:
    case EntryKind::Literal:
    case EntryKind::Slash:
    case EntryKind::NoAdvance: summary.silent = 0; break;
    case EntryKind::Colon: summary.has_colon = 1; break;
    case EntryKind::BlankNull: summary.blank = 1 + static_cast<std::uint8_t>(BlankMode::Null); break;
    case EntryKind::BlankZero: summary.blank = 1 + static_cast<std::uint8_t>(BlankMode::Zero); break;
    case EntryKind::SignProcessor: summary.sign = 1 + static_cast<std::uint8_t>(SignMode::Processor); break;
    case EntryKind::SignPlus: summary.sign = 1 + static_cast<std::uint8_t>(SignMode::Plus); break;
    case EntryKind::SignSuppress: summary.sign = 1 + static_cast<std::uint8_t>(SignMode::Suppress); break;
    case EntryKind::Scale:
      summary.scale_set = 1;
      summary.scale = entry.w;
      break;
    case EntryKind::MoveRight: summary.movement = then(summary.movement, format_layout::move_right(entry.w)); break;
    case EntryKind::TabTo: summary.movement = then(summary.movement, format_layout::tab_to(entry.w)); break;
    case EntryKind::TabLeft: summary.movement = then(summary.movement, format_layout::tab_left(entry.w)); break;
    case EntryKind::Begin:
    case EntryKind::End:
    case EntryKind::GroupStart:
    case EntryKind::GroupEnd: break;  // groups are folded into their parent when they close
  }
}

int FormatCompiler::simple_entry(EntryKind kind, std::int32_t value) {
  Entry entry;
  entry.kind = kind;
  if (kind == EntryKind::Slash) {
    entry.repeat = value;
  } else {
    entry.w = value;
  }
  std::uint32_t offset = 0;
  pending_ = PendingNumber{};
  after_scale_ = false;
  return append(entry, nullptr, 0, offset) ? 0 : kInsufficientVirtualMemory;
}

}  // namespace runtime
