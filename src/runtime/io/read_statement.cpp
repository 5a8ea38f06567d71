// READ: a formatted sequential READ on a unit. Before a terminal or text window is read, the
// pending prompt and the owed line end are written. One record is read; each data edit
// descriptor cuts a field from it (a comma ends every field but A early; a short record is
// padded with blanks unless PAD='NO', which fails with 67, or 268 when not advancing) and
// converts it into its item. After the items the rest of the record is skipped, unless
// ADVANCE='NO' leaves it for the next READ.

#include <cstring>
#include <memory>
#include <string>

#include "runtime/conversion/conversion.h"
#include "runtime/io/carriage_control.h"
#include "runtime/io/statement_support.h"
#include "runtime/io/statement_walk.h"
#include "runtime/io/statements.h"
#include "runtime/support/error_numbers.h"

namespace runtime {

namespace {

int read_record(UnitBlock& block) {
  if (block.channel.kind() == ByteChannel::Kind::Window) return block.input.read_from_window(block.window_index);
  return block.input.read_from_channel(block.channel, block.input_layout());
}

// Cuts the field of `width` columns at the current position. `padded` receives the field
// when blanks must be supplied. Returns 0 or an error number.
int cut_field(UnitBlock& block, const EditDescriptor& descriptor, const EditModes& modes, const IoItem& item,
              std::size_t width, bool advancing, std::string& padded, std::string_view& field) {
  InputRecord& record = block.input;
  const std::string_view text = record.text();
  const std::size_t start = record.position.position;
  const std::size_t available = start < text.size() ? text.size() - start : 0;
  const std::size_t take = width < available ? width : available;
  std::string_view taken = take > 0 ? text.substr(start, take) : std::string_view();

  if (descriptor.kind != DescriptorKind::A) {
    // A comma ends the field early and is consumed with it.
    if (std::size_t comma = taken.find(','); comma != std::string_view::npos) {
      field = taken.substr(0, comma);
      record.position.position = start + comma + 1;
      return 0;
    }
  }
  record.position.position = start + width;
  if (take == width) {
    field = taken;
    return 0;
  }
  if (!block.pad) return advancing ? kInputStatementRequiresTooMuchData : kEndOfRecordDuringRead;
  // The record ends inside the field: blanks complete it. Blanks are ignored in BN mode by
  // every conversion but A, so only A fields and BZ numeric fields are spelled out.
  if (descriptor.kind == DescriptorKind::A) {
    // A field wider than the item keeps its rightmost `length` characters.
    std::size_t from = width > item.length ? width - item.length : 0;
    std::size_t size = width - from;
    padded.assign(size, ' ');
    if (from < take) std::memcpy(padded.data(), taken.data() + from, take - from);
    field = padded;
    return 0;
  }
  if (modes.blank == BlankMode::Null) {
    field = taken;
    return 0;
  }
  if (width > kMaxRecordLength) return kInsufficientVirtualMemory;
  padded.assign(width, ' ');
  if (take > 0) std::memcpy(padded.data(), taken.data(), take);
  field = padded;
  return 0;
}

// Stores the number of characters left in the record into an integer item (Q).
int store_characters_left(const InputRecord& record, const IoItem& item) {
  if (item.type != ItemType::Integer) return kFormatVariableTypeMismatch;
  std::size_t position = record.position.position;
  std::int64_t left = position < record.length() ? static_cast<std::int64_t>(record.length() - position) : 0;
  switch (item.size) {
    case 1: {
      std::int8_t value = static_cast<std::int8_t>(left > INT8_MAX ? INT8_MAX : left);
      std::memcpy(item.address, &value, 1);
      return 0;
    }
    case 2: {
      std::int16_t value = static_cast<std::int16_t>(left > INT16_MAX ? INT16_MAX : left);
      std::memcpy(item.address, &value, 2);
      return 0;
    }
    case 4: {
      std::int32_t value = static_cast<std::int32_t>(left > INT32_MAX ? INT32_MAX : left);
      std::memcpy(item.address, &value, 4);
      return 0;
    }
    case 8: std::memcpy(item.address, &left, 8); return 0;
    default: return kFormatVariableTypeMismatch;
  }
}

// A literal in an input format takes as many characters of the record (blanks beyond its
// end); they replace the literal's text.
void consume_literal(InputRecord& record, const EditDescriptor& descriptor) {
  const std::string_view text = record.text();
  std::size_t start = record.position.position;
  std::size_t size = descriptor.literal_length > 0 ? static_cast<std::size_t>(descriptor.literal_length) : 0;
  for (std::size_t i = 0; i < size && descriptor.literal != nullptr; ++i) {
    std::size_t column = start + i;
    descriptor.literal[i] = column < text.size() ? text[column] : ' ';
  }
  record.position.position = start + size;
}

// The input side of the statement: the sink that walk_statement hands descriptors to.
class InputSink {
 public:
  InputSink(UnitBlock& block, bool advancing) : block_(block), advancing_(advancing) {}

  RecordPosition& position() { return block_.input.position; }
  int end_record() { return read_record(block_); }
  void no_advance() {}
  int literal(const EditDescriptor& descriptor) {
    consume_literal(block_.input, descriptor);
    return 0;
  }
  int characters_left(const IoItem* item) { return item != nullptr ? store_characters_left(block_.input, *item) : 0; }

  int transfer(const EditDescriptor& descriptor, const EditModes& modes, const IoItem& item, std::size_t part) {
    if (!descriptor_accepts_item(descriptor.kind, item.type)) return kFormatVariableTypeMismatch;
    const FieldShape shape = field_shape(descriptor, item);
    const std::size_t width = shape.w > 0 ? static_cast<std::size_t>(shape.w) : 0;
    std::string_view field;
    if (int error = cut_field(block_, descriptor, modes, item, width, advancing_, padded_, field)) return error;
    const int status = convert_input_field(field, descriptor, modes, item, part);
    return conversion_succeeded(status) ? 0 : input_conversion_error(status);
  }

 private:
  UnitBlock& block_;
  bool advancing_;
  std::string padded_;  // a field completed with blanks
};

}  // namespace

int read_formatted(std::int32_t unit, StatementFlags flags, std::span<const IoItem> items, FormatRef format,
                   std::string_view advance) {
  FormattedStatement statement;
  if (int ended = 0; !begin_formatted_statement(unit, flags, format, advance, true, statement, ended)) return ended;
  UnitBlock& block = statement.block();
  const std::string_view file_name = block.file_name;
  const bool advancing = statement.advancing;

  InputRecord& record = block.input;
  if (record.continues) {
    // A non-advancing READ left this record; tabs count from where it stopped.
    record.continues = false;
    record.position.left_tab_limit = record.position.position;
  } else {
    int error = 0;
    if (block.terminal->shared()) {
      error = prepare_terminal_for_read(*block.terminal, &block);
    } else if (block.output_pending) {
      error = emit_record(block, false);
    }
    if (error != 0) return raise_statement_error(error, flags, unit, file_name);
    if (int read_error = read_record(block)) {
      record.clear();
      return raise_statement_error(read_error, flags, unit, file_name);
    }
  }
  InputSink sink(block, advancing);
  DescriptorSteps steps(*statement.format, statement.plan, block.blank);
  if (int error = walk_statement(steps, items, sink)) {
    // The next READ starts with a new record.
    record.clear();
    return raise_statement_error(error, flags, unit, file_name);
  }
  if (advancing) {
    record.clear();
  } else {
    record.continues = true;
  }
  ++block.record_count;
  return 0;
}

}  // namespace runtime
