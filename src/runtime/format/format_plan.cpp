// Deciding whether a compiled format is a single-field format: one walk of the format with
// the interpreter, as a statement with one item and as one with several would walk it.

#include "runtime/format/format.h"

namespace runtime {

namespace {

bool same_modes(const EditModes& a, const EditModes& b) {
  return a.blank == b.blank && a.sign == b.sign && a.scale == b.scale;
}

bool same_descriptor(const EditDescriptor& a, const EditDescriptor& b) {
  return a.kind == b.kind && a.has_w == b.has_w && a.has_d == b.has_d && a.has_e == b.has_e && a.w == b.w &&
         a.d == b.d && a.e == b.e;
}

}  // namespace

SingleFieldPlan make_single_field_plan(CompiledFormat& compiled) {
  const EditModes initial{};
  SingleFieldPlan none;
  // One item: the data descriptor with nothing before it, then the end with nothing after it.
  FormatCursor one(compiled, initial);
  RecordPosition position;
  EditDescriptor first;
  if (next_edit_descriptor(one, position, true, first) != 0) return none;
  if (!is_data_descriptor(first.kind) || first.kind == DescriptorKind::Q) return none;
  if (position.position != 0 || position.left_tab_limit != 0 || !same_modes(one.modes(), initial)) return none;
  position.position = 1;  // as if the field had been written
  EditDescriptor next;
  if (next_edit_descriptor(one, position, false, next) != 0 || next.kind != DescriptorKind::End) return none;
  if (position.position != 1 || !same_modes(one.modes(), initial)) return none;
  // Several items: a reversion (a new record) after every use, then the same descriptor.
  FormatCursor many(compiled, initial);
  RecordPosition record;
  if (next_edit_descriptor(many, record, true, next) != 0 || !same_descriptor(next, first)) return none;
  record.position = 1;
  if (next_edit_descriptor(many, record, true, next) != 0 || next.kind != DescriptorKind::Slash) return none;
  if (record.position != 1 || !same_modes(many.modes(), initial)) return none;
  record = RecordPosition{};
  if (next_edit_descriptor(many, record, true, next) != 0 || !same_descriptor(next, first)) return none;
  if (record.position != 0 || !same_modes(many.modes(), initial)) return none;
  SingleFieldPlan plan;
  plan.single_field = true;
  plan.descriptor = first;
  return plan;
}

}  // namespace runtime
