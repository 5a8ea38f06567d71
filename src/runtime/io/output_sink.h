#pragma once
// The output side of a formatted statement (WRITE on a unit, the internal write): the sink
// that walk_statement hands descriptors to. It converts each item into its field of the
// record, puts literals in, fills columns passed over with blanks, and ends records on `/`
// and on format reversion. The record itself lives in a Record:
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

#include "runtime/conversion/conversion.h"
#include "runtime/format/format.h"
#include "runtime/io/output_record.h"
#include "runtime/io_item.h"
#include "runtime/support/error_numbers.h"

namespace runtime {

struct OutputOutcome {
  bool no_advance = false;  // `$` or `\` met
  bool overflowed = false;  // some field holds asterisks (error 63 after the statement)
};

template <typename Record>
class OutputSink {
 public:
  explicit OutputSink(Record& record) : record_(record) {}

  const OutputOutcome& outcome() const { return outcome_; }

  RecordPosition& position() { return record_.position(); }
  [[nodiscard]] int end_record() { return record_.end_record(); }
  void no_advance() { outcome_.no_advance = true; }
  // Q only has a meaning on input.
  [[nodiscard]] int characters_left(const IoItem*) { return kFormatVariableTypeMismatch; }

  [[nodiscard]] int literal(const EditDescriptor& descriptor) {
    const std::size_t size = descriptor.literal_length > 0 ? static_cast<std::size_t>(descriptor.literal_length) : 0;
    char* field = nullptr;
    if (int error = place_field(size, field)) return error;
    if (size > 0) std::memcpy(field, descriptor.literal, size);
    return 0;
  }

  [[nodiscard]] int transfer(const EditDescriptor& descriptor, const EditModes& modes, const IoItem& item,
                             std::size_t part) {
    if (!descriptor_accepts_item(descriptor.kind, item.type)) return kFormatVariableTypeMismatch;
    const FieldShape shape = field_shape(descriptor, item);
    const std::size_t width = shape.w > 0 ? static_cast<std::size_t>(shape.w) : 0;
    char* field = nullptr;
    if (int error = place_field(width, field)) return error;
    char empty = 0;
    const int status = convert_output_field(item, part, descriptor, modes, field != nullptr ? field : &empty,
                                            static_cast<std::int32_t>(width));
    if (!conversion_succeeded(status)) {
      const int error = output_conversion_error(status);
      if (error != kOutputConversionError) return error;
      outcome_.overflowed = true;
    }
    return 0;
  }

 private:
  // Makes room for `width` columns at the current position and advances past them. Returns 0
  // or an error number; `field` points at the columns.
  [[nodiscard]] int place_field(std::size_t width, char*& field) {
    RecordPosition& position = record_.position();
    const std::size_t start = position.position;
    if (width > kMaxRecordLength || start > kMaxRecordLength - width) {
      return record_.reserve(kMaxRecordLength + 1);  // the record's own error for an over-long record
    }
    const std::size_t end = start + width;
    if (width == 0) {
      field = nullptr;
      return 0;
    }
    if (int error = record_.reserve(end)) return error;
    char* columns = record_.columns();
    std::size_t& length = record_.length();
    if (start > length) std::memset(columns + length, ' ', start - length);
    if (end > length) length = end;
    position.position = end;
    field = columns + start;
    return 0;
  }

  Record& record_;
  OutputOutcome outcome_;
};

}  // namespace runtime
