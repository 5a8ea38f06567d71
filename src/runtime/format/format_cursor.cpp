// Walks a compiled format during one statement.
//
// One call moves through the entries, applying groups, position and mode entries by itself,
// and stops at the next thing the statement driver must act on: one use of a data descriptor,
// a literal, one use of `/`, `$`/`\`, a format reversion (handed out as Slash), or the end of
// the statement. A group that hands nothing to the driver is applied in one step from the
// summary the compiler stored with it, so even (2147483647(2147483647(1X)),I5) costs nothing.
//
// Every statement ends in bounded time, whatever the repeat counts:
// - a group pass that hands out neither a data descriptor nor a record end and ends where it
//   began (position and modes) would write the same bytes at the same columns again, so the
//   group's remaining passes are skipped: (2147483647(2147483647('x',TL1))) writes "x";
// - anything else that loops without data, such as record ends or a record that keeps
//   growing, stops with 60 after kMaxHandoutsWithoutData literals, record ends and `$`.

#include "runtime/format/format.h"
#include "runtime/format/format_layout.h"
#include "runtime/support/error_numbers.h"

namespace runtime {

using format_layout::Entry;
using format_layout::EntryKind;

namespace {

void fill_data_descriptor(const Entry& entry, EditDescriptor& out) {
  out.kind = entry.data_kind;
  out.has_w = (entry.given & format_layout::kGivenW) != 0;
  out.has_d = (entry.given & format_layout::kGivenD) != 0;
  out.has_e = (entry.given & format_layout::kGivenE) != 0;
  out.w = entry.w;
  out.d = entry.d;
  out.e = entry.e;
}

bool same_modes(const EditModes& a, const EditModes& b) {
  return a.blank == b.blank && a.sign == b.sign && a.scale == b.scale;
}

}  // namespace

void FormatCursor::begin_pass(OpenGroup& group, const RecordPosition& record) const {
  group.pass_start_position = record.position;
  group.pass_start_modes = modes_;
  group.pass_start_changes = changes_;
}

bool FormatCursor::pass_repeats_itself(const OpenGroup& group, const RecordPosition& record) const {
  return changes_ == group.pass_start_changes && record.position == group.pass_start_position &&
         same_modes(modes_, group.pass_start_modes);
}

bool FormatCursor::count_handout_without_data() { return ++handouts_without_data_ <= kMaxHandoutsWithoutData; }

FormatCursor::FormatCursor(CompiledFormat& format, const EditModes& initial_modes)
    : format_(&format), modes_(initial_modes) {}

int next_edit_descriptor(FormatCursor& cursor, RecordPosition& record, bool items_remain, EditDescriptor& out) {
  return cursor.step(record, items_remain, out);
}

int FormatCursor::step(RecordPosition& record, bool items_remain, EditDescriptor& out) {
  out = EditDescriptor{};
  auto& buffer = format_->entries_;
  if (buffer.empty()) {
    // A format that was never compiled (or failed to) behaves as the empty format ().
    return items_remain ? kInfiniteFormatLoop : 0;
  }
  unsigned char* const base = buffer.data();

  for (;;) {
    const Entry entry = format_layout::read_entry(base, current_);
    const std::uint32_t next = format_layout::next_offset(entry, current_);
    switch (entry.kind) {
      case EntryKind::Begin:
        reversion_point_ = entry.link;
        open_groups_ = 0;
        current_ = next;
        continue;

      case EntryKind::GroupStart: {
        const format_layout::GroupSummary summary = format_layout::read_summary(base, current_);
        // A group that only moves the position and changes modes is applied at once; when it
        // holds a `:` and no items remain, it is walked so that the `:` can end the statement.
        if (summary.silent && (!summary.has_colon || items_remain)) {
          const std::size_t moved = format_layout::apply(summary.movement, record.position, record.left_tab_limit);
          record.position = moved;
          if (summary.blank) modes_.blank = static_cast<BlankMode>(summary.blank - 1);
          if (summary.sign) modes_.sign = static_cast<SignMode>(summary.sign - 1);
          if (summary.scale_set) modes_.scale = summary.scale;
          current_ = entry.link + static_cast<std::uint32_t>(format_layout::kEntrySize);
          continue;
        }
        if (open_groups_ >= kMaxOpenGroups) return kInfiniteFormatLoop;  // not produced by the compiler
        OpenGroup& group = groups_[open_groups_++];
        group.passes_left = entry.repeat;
        group.first_entry = next;
        begin_pass(group, record);
        current_ = next;
        continue;
      }

      case EntryKind::GroupEnd: {
        if (open_groups_ == 0) return kInfiniteFormatLoop;  // not produced by the compiler
        OpenGroup& group = groups_[open_groups_ - 1];
        if (group.passes_left > 1 && !pass_repeats_itself(group, record)) {
          --group.passes_left;
          begin_pass(group, record);
          current_ = group.first_entry;
        } else {
          --open_groups_;
          current_ = next;
        }
        continue;
      }

      case EntryKind::BlankNull:
        modes_.blank = BlankMode::Null;
        current_ = next;
        continue;
      case EntryKind::BlankZero:
        modes_.blank = BlankMode::Zero;
        current_ = next;
        continue;
      case EntryKind::SignProcessor:
        modes_.sign = SignMode::Processor;
        current_ = next;
        continue;
      case EntryKind::SignPlus:
        modes_.sign = SignMode::Plus;
        current_ = next;
        continue;
      case EntryKind::SignSuppress:
        modes_.sign = SignMode::Suppress;
        current_ = next;
        continue;
      case EntryKind::Scale:
        modes_.scale = entry.w;
        current_ = next;
        continue;

      case EntryKind::MoveRight:
        record.position =
            format_layout::apply(format_layout::move_right(entry.w), record.position, record.left_tab_limit);
        current_ = next;
        continue;
      case EntryKind::TabTo:
        record.position = format_layout::apply(format_layout::tab_to(entry.w), record.position, record.left_tab_limit);
        current_ = next;
        continue;
      case EntryKind::TabLeft:
        record.position =
            format_layout::apply(format_layout::tab_left(entry.w), record.position, record.left_tab_limit);
        current_ = next;
        continue;

      case EntryKind::Data:
        if (!items_remain) {
          out.kind = DescriptorKind::End;  // stays here: a later call ends the same way
          return 0;
        }
        if (uses_left_ == 0) uses_left_ = entry.repeat;
        fill_data_descriptor(entry, out);
        data_used_ = true;
        ++changes_;
        handouts_without_data_ = 0;
        if (--uses_left_ == 0) current_ = next;
        return 0;

      case EntryKind::Slash:
        if (!count_handout_without_data()) return kInfiniteFormatLoop;
        if (uses_left_ == 0) uses_left_ = entry.repeat;
        out.kind = DescriptorKind::Slash;
        ++changes_;
        if (--uses_left_ == 0) current_ = next;
        return 0;

      case EntryKind::Literal:
        if (!count_handout_without_data()) return kInfiniteFormatLoop;
        out.kind = DescriptorKind::Literal;
        out.literal = reinterpret_cast<char*>(base + current_ + format_layout::kEntrySize);
        out.literal_length = entry.w;
        current_ = next;
        return 0;

      case EntryKind::Colon:
        if (!items_remain) {
          out.kind = DescriptorKind::End;
          return 0;
        }
        current_ = next;
        continue;

      case EntryKind::NoAdvance:
        if (!count_handout_without_data()) return kInfiniteFormatLoop;
        out.kind = DescriptorKind::NoAdvance;
        current_ = next;
        return 0;

      case EntryKind::End:
        if (!items_remain) {
          out.kind = DescriptorKind::End;
          return 0;
        }
        if (!data_used_) {
          out.kind = DescriptorKind::End;
          return kInfiniteFormatLoop;
        }
        // Format reversion: the record ends and interpretation continues at the reversion
        // point with that group's repeat count; the edit modes stay as they are.
        data_used_ = false;
        open_groups_ = 0;
        uses_left_ = 0;
        current_ = reversion_point_;
        out.kind = DescriptorKind::Slash;
        ++changes_;
        return 0;
    }
    return kInfiniteFormatLoop;  // an entry kind the compiler never writes
  }
}

}  // namespace runtime
