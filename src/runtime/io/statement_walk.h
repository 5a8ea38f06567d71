#pragma once
// The one walk of a formatted statement over its format's descriptors, shared by READ, WRITE
// and the internal write. The walk asks the descriptor steps for the next descriptor and
// hands each to the statement's sink, which moves data one way or the other:
//
//   RecordPosition& position();                  current column and left tab limit
//   int transfer(const EditDescriptor&, const EditModes&, const IoItem&, std::size_t part);
//                                                one item (one part of a complex item)
//   int literal(const EditDescriptor&);          output the text, or read over it
//   int end_record();                            `/` and format reversion
//   void no_advance();                           `$` or `\` met
//   int characters_left(const IoItem* item);     Q: store the count (null: no item left)
//
// Each returns 0 or an error number, which ends the walk. The walk ends at the end of the
// format, or at `:`, Q or a data descriptor once the items are used up.
//
// The descriptor steps come from the format interpreter, or, for a single-field format such
// as "(F20.10)", from its plan: the field, then a record end and the field again for each
// further item, then the end. The walk is the same either way.

#include <optional>
#include <span>

#include "runtime/format/format.h"
#include "runtime/io_item.h"

namespace runtime {

class DescriptorSteps {
 public:
  // Steps of `format`, starting in the unit's `blank` mode with the processor's sign mode and
  // no scale factor; with a single-field `plan` the format is not interpreted. (The modes are
  // set member by member in place: a whole EditModes built apart and copied in, once a
  // statement, is read back as one word from its separately stored parts.)
  DescriptorSteps(CompiledFormat& format, const SingleFieldPlan* plan, BlankMode blank)
      : plan_(plan != nullptr && plan->single_field ? plan : nullptr) {
    modes_.blank = blank;
    if (plan_ == nullptr) cursor_.emplace(format, modes_);
  }

  // Points `out` at the next descriptor, valid until the next call. Not copied: a descriptor
  // copied (or cleared and filled) on the stack for every step is read back from stores still
  // in flight, a stall twice an item.
  [[nodiscard]] int next(RecordPosition& record, bool items_remain, const EditDescriptor*& out) {
    if (plan_ == nullptr) {
      out = &interpreted_;
      return next_edit_descriptor(*cursor_, record, items_remain, interpreted_);
    }
    if (!items_remain) {
      out = &kEnd;
    } else if (field_due_) {
      out = &plan_->descriptor;
      field_due_ = false;
    } else {
      // The format reverts after its one field: a new record for the next item.
      out = &kSlash;
      field_due_ = true;
    }
    return 0;
  }

  const EditModes& modes() const { return plan_ == nullptr ? cursor_->modes() : modes_; }

 private:
  static constexpr EditDescriptor kEnd{};
  static constexpr EditDescriptor kSlash{DescriptorKind::Slash};

  const SingleFieldPlan* plan_;
  EditModes modes_;  // a single-field format changes no mode
  bool field_due_ = true;
  std::optional<FormatCursor> cursor_;
  EditDescriptor interpreted_;  // the format interpreter's last descriptor
};

template <typename Sink>
[[nodiscard]] int walk_statement(DescriptorSteps& steps, std::span<const IoItem> items, Sink& sink) {
  std::size_t index = 0;
  std::size_t part = 0;
  for (;;) {
    const bool items_remain = index < items.size();
    const EditDescriptor* next = nullptr;
    if (int error = steps.next(sink.position(), items_remain, next)) return error;
    const EditDescriptor& descriptor = *next;
    switch (descriptor.kind) {
      case DescriptorKind::End: return 0;
      case DescriptorKind::Colon:
        if (!items_remain) return 0;
        continue;
      case DescriptorKind::NoAdvance: sink.no_advance(); continue;
      case DescriptorKind::Slash:
        if (int error = sink.end_record()) return error;
        continue;
      case DescriptorKind::Literal:
        if (int error = sink.literal(descriptor)) return error;
        continue;
      case DescriptorKind::Q:
        if (int error = sink.characters_left(items_remain ? &items[index] : nullptr)) return error;
        if (!items_remain) return 0;
        ++index;
        continue;
      default: break;
    }
    if (!items_remain) return 0;
    const IoItem& item = items[index];
    if (int error = sink.transfer(descriptor, steps.modes(), item, part)) return error;
    if (item.type == ItemType::Complex && part == 0) {
      part = 1;
    } else {
      part = 0;
      ++index;
    }
  }
}

}  // namespace runtime
