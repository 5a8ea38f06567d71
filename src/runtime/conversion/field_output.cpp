// convert_output_field: picks the writer for a data descriptor and an item, and writes the
// logical (Lw) and character (Aw) fields itself.
//
// A descriptor that does not fit the item (the statement driver rejects these first with
// error 61), an item without storage, or a part other than 0 and 1 writes asterisks and
// returns kInvalidFlags; a negative w, d or m returns kNegativeLength.

#include <algorithm>
#include <cstring>

#include "runtime/conversion/conversion_internal.h"

namespace runtime {
namespace {

using namespace conversion_detail;

int write_logical(const unsigned char* bytes, std::size_t count, char* field, std::int64_t width) {
  if (width < 1) return kFieldOverflow;
  bool value = false;
  for (std::size_t i = 0; i < count && !value; ++i) value = bytes[i] != 0;
  std::memset(field, ' ', static_cast<std::size_t>(width - 1));
  field[width - 1] = value ? 'T' : 'F';
  return kConverted;
}

// w > len: blanks, then the item; otherwise the first w characters.
int write_characters(const unsigned char* bytes, std::size_t count, char* field, std::int64_t width) {
  const auto length = static_cast<std::int64_t>(std::min<std::size_t>(count, static_cast<std::size_t>(width)));
  std::memset(field, ' ', static_cast<std::size_t>(width - length));
  if (length > 0) std::memcpy(field + (width - length), bytes, static_cast<std::size_t>(length));
  return kConverted;
}

int rejected(char* field, std::int64_t width, int status) {
  fill_asterisks(field, width);
  return status;
}

bool is_whole_number_item(const IoItem& item) {
  return (item.type == ItemType::Integer || item.type == ItemType::Logical) && is_integer_size(item.size);
}

bool is_real_item(const IoItem& item) {
  return (item.type == ItemType::Real || item.type == ItemType::Complex) && is_real_size(item.size);
}

int write_real(double value, const EditDescriptor& descriptor, const FieldShape& shape, const EditModes& modes,
               char* field, std::int64_t width) {
  if (shape.d < 0 || (descriptor.has_e && shape.e < 0)) return rejected(field, width, kNegativeLength);
  if (descriptor.kind == DescriptorKind::F) {
    return write_fixed(value, shape.d, modes.scale, modes.sign, field, width);
  }
  ExponentForm form;
  form.kind = descriptor.kind;
  form.fraction_digits = shape.d;
  form.has_e = descriptor.has_e;
  form.exponent_digits = shape.e;
  form.scale = modes.scale;
  if (descriptor.kind == DescriptorKind::G) return write_general_real(value, form, modes.sign, field, width);
  return write_exponent_form(value, form, modes.sign, field, width);
}

}  // namespace

int convert_output_field(const IoItem& item, std::size_t part, const EditDescriptor& descriptor, const EditModes& modes,
                         char* field, std::int32_t width) {
  if (width < 0) return kNegativeLength;
  const std::int64_t w = width;
  const std::size_t bytes = value_bytes(item);
  if ((field == nullptr && w > 0) || (item.address == nullptr && bytes > 0) || part > 1 ||
      (part == 1 && item.type != ItemType::Complex)) {
    if (field != nullptr) fill_asterisks(field, w);
    return kInvalidFlags;
  }
  char no_field = 0;  // an empty field may come without a buffer
  if (field == nullptr) field = &no_field;
  const FieldShape shape = field_shape(descriptor, item);
  const unsigned char* value = part_address(item, part);

  switch (descriptor.kind) {
    case DescriptorKind::I:
      if (!is_whole_number_item(item)) return rejected(field, w, kInvalidFlags);
      if (shape.d < 0) return rejected(field, w, kNegativeLength);
      return write_integer(load_integer(value, item.size), shape.d, modes.sign, field, w);
    case DescriptorKind::O:
    case DescriptorKind::Z:
    case DescriptorKind::B: {
      if (shape.d < 0) return rejected(field, w, kNegativeLength);
      const int bits = descriptor.kind == DescriptorKind::O ? 3 : descriptor.kind == DescriptorKind::Z ? 4 : 1;
      return write_bit_pattern(value, bytes, bits, shape.d, field, w);
    }
    case DescriptorKind::F:
    case DescriptorKind::E:
    case DescriptorKind::D:
    case DescriptorKind::EN:
    case DescriptorKind::ES:
      if (!is_real_item(item)) return rejected(field, w, kInvalidFlags);
      return write_real(load_real(value, item.size), descriptor, shape, modes, field, w);
    case DescriptorKind::G:
      if (is_real_item(item)) return write_real(load_real(value, item.size), descriptor, shape, modes, field, w);
      if (item.type == ItemType::Integer && is_integer_size(item.size)) {
        return write_integer(load_integer(value, item.size), 1, modes.sign, field, w);
      }
      if (item.type == ItemType::Logical && is_integer_size(item.size)) return write_logical(value, bytes, field, w);
      if (item.type == ItemType::Character) return write_characters(value, bytes, field, w);
      return rejected(field, w, kInvalidFlags);
    case DescriptorKind::L:
      if (!is_whole_number_item(item)) return rejected(field, w, kInvalidFlags);
      return write_logical(value, bytes, field, w);
    case DescriptorKind::A: return write_characters(value, bytes, field, w);
    default: return rejected(field, w, kInvalidFlags);
  }
}

}  // namespace runtime
