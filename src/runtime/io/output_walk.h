#pragma once
// The output side of a formatted statement, shared by WRITE on a unit and the internal write:
// walks the format against the items, converts each item into its field of the record, puts
// literals in, fills columns passed over with blanks, and ends records on `/` and on format
// reversion. The record lives in a sink:
//
//   RecordPosition& position();   current column and left tab limit
//   std::size_t& length();        high-water mark
//   char* columns();              column 1 (valid after reserve)
//   int reserve(std::size_t end); make columns [0, end) writable: 0, 41 or 66
//   int end_record();             emit the record and start the next: 0 or an error number
//
// A field that does not fit its width (asterisks written) does not stop the statement: the
// outcome notes it and the statement reports 63 once it has completed.

#include <cstring>
#include <span>

#include "runtime/conversion/conversion.h"
#include "runtime/format/format.h"
#include "runtime/io/output_record.h"
#include "runtime/io_item.h"

namespace runtime {

struct OutputOutcome {
  bool no_advance = false;  // `$` or `\` met
  bool overflowed = false;  // some field holds asterisks (error 63 after the statement)
};

// Makes room for `width` columns at the current position and advances past them. Returns 0
// or an error number; `field` points at the columns.
template <typename Sink>
int place_field(Sink& sink, std::size_t width, char*& field) {
  RecordPosition& position = sink.position();
  const std::size_t start = position.position;
  if (width > kMaxRecordLength || start > kMaxRecordLength - width) {
    return sink.reserve(kMaxRecordLength + 1);  // the sink's own error for an over-long record
  }
  const std::size_t end = start + width;
  if (width == 0) {
    field = nullptr;
    return 0;
  }
  if (int error = sink.reserve(end)) return error;
  char* columns = sink.columns();
  std::size_t& length = sink.length();
  if (start > length) std::memset(columns + length, ' ', start - length);
  if (end > length) length = end;
  position.position = end;
  field = columns + start;
  return 0;
}

// The field shape of `descriptor` for `item`, remembered for the last descriptor and item
// shape seen on this thread: a series written value by value asks the same question a million
// times.
inline FieldShape remembered_field_shape(const EditDescriptor& descriptor, const IoItem& item) {
  struct Memo {
    bool valid = false;
    DescriptorKind kind{};
    bool has_w = false, has_d = false, has_e = false;
    std::int32_t w = 0, d = 0, e = 0;
    ItemType type{};
    std::uint8_t size = 0;
    std::size_t length = 0;
    FieldShape shape{};
  };
  thread_local Memo memo;
  if (memo.valid && memo.kind == descriptor.kind && memo.w == descriptor.w && memo.d == descriptor.d &&
      memo.e == descriptor.e && memo.has_w == descriptor.has_w && memo.has_d == descriptor.has_d &&
      memo.has_e == descriptor.has_e && memo.type == item.type && memo.size == item.size &&
      memo.length == item.length) {
    return memo.shape;
  }
  memo = Memo{true,
              descriptor.kind,
              descriptor.has_w,
              descriptor.has_d,
              descriptor.has_e,
              descriptor.w,
              descriptor.d,
              descriptor.e,
              item.type,
              item.size,
              item.length,
              resolve_field_shape(descriptor, item)};
  return memo.shape;
}

// One item (or one part of a complex item) converted into its field at the current position.
template <typename Sink>
int put_item(Sink& sink, const EditDescriptor& descriptor, const EditModes& modes, const IoItem& item, std::size_t part,
             OutputOutcome& outcome) {
  if (!descriptor_accepts_item(descriptor.kind, item.type)) return 61;
  const FieldShape shape = remembered_field_shape(descriptor, item);
  const std::size_t width = shape.w > 0 ? static_cast<std::size_t>(shape.w) : 0;
  char* field = nullptr;
  if (int error = place_field(sink, width, field)) return error;
  char empty = 0;
  int status = convert_output_field(item, part, descriptor, modes, field != nullptr ? field : &empty,
                                    static_cast<std::int32_t>(width));
  if (!conversion_succeeded(status)) {
    int error = output_conversion_error(status);
    if (error != 63) return error;
    outcome.overflowed = true;
  }
  return 0;
}

// The walk for a format whose every record is one use of `descriptor` (see format_plans.h):
// the same records as walk_output, without stepping the format.
template <typename Sink>
int walk_single_field(const EditDescriptor& descriptor, const EditModes& modes, std::span<const IoItem> items,
                      Sink& sink, OutputOutcome& outcome) {
  bool first = true;
  for (const IoItem& item : items) {
    const std::size_t parts = item.type == ItemType::Complex ? 2 : 1;
    for (std::size_t part = 0; part < parts; ++part) {
      if (!first) {
        if (int error = sink.end_record()) return error;
      }
      first = false;
      if (int error = put_item(sink, descriptor, modes, item, part, outcome)) return error;
    }
  }
  return 0;
}

template <typename Sink>
int walk_output(FormatCursor& cursor, std::span<const IoItem> items, Sink& sink, OutputOutcome& outcome) {
  std::size_t index = 0;
  std::size_t part = 0;
  for (;;) {
    const bool items_remain = index < items.size();
    EditDescriptor descriptor;
    if (int error = next_edit_descriptor(cursor, sink.position(), items_remain, descriptor)) return error;
    switch (descriptor.kind) {
      case DescriptorKind::End: return 0;
      case DescriptorKind::Colon:
        if (!items_remain) return 0;
        continue;
      case DescriptorKind::NoAdvance: outcome.no_advance = true; continue;
      case DescriptorKind::Slash:
        if (int error = sink.end_record()) return error;
        continue;
      case DescriptorKind::Literal: {
        std::size_t size = descriptor.literal_length > 0 ? static_cast<std::size_t>(descriptor.literal_length) : 0;
        char* field = nullptr;
        if (int error = place_field(sink, size, field)) return error;
        if (size > 0) std::memcpy(field, descriptor.literal, size);
        continue;
      }
      case DescriptorKind::Q:
        // Q only has a meaning on input.
        return 61;
      default: break;
    }
    if (!items_remain) return 0;
    const IoItem& item = items[index];
    if (int error = put_item(sink, descriptor, cursor.modes(), item, part, outcome)) return error;
    if (item.type == ItemType::Complex && part == 0) {
      part = 1;
    } else {
      part = 0;
      ++index;
    }
  }
}

}  // namespace runtime
