// convert_input_field: converts the text of one field (already cut from the record, commas
// handled) into an item, by descriptor and item type.
//
// - I (and G on an integer): a signed decimal integer range-checked for the item's size; a
//   failed conversion leaves 0 in the item.
// - O, Z, B: the digits give the item's bit pattern, so every pattern that O, Z and B output
//   writes (FFFFFFFF for a 4-byte -1) reads back; a field with a minus sign is a signed value
//   range-checked for the item's size. Non-integer items receive the bits in their bytes.
// - F, E, D, EN, ES, G on reals: text_to_real with the descriptor's d and the scale factor;
//   a failed conversion leaves the item unchanged.
// - L: optional point, then T or F; the rest of the field is not examined; blank is false.
// - A: fewer characters than the item: stored at the start, blanks after; otherwise the
//   rightmost characters.
// - Q: the field is the rest of the record; its length goes into the integer item.
// A descriptor that does not fit the item (rejected first by the driver with error 61), an
// item without storage, or a bad part returns kInvalidFlags and stores nothing.

#include <bit>
#include <cstring>

#include "runtime/conversion/conversion_internal.h"

namespace runtime {
namespace {

using namespace conversion_detail;

// The byte layout below and in the bit-pattern output is that of a little-endian machine.
static_assert(std::endian::native == std::endian::little);

int read_integer(std::string_view field, const EditModes& modes, const IoItem& item, unsigned char* target) {
  std::int64_t value = 0;
  const int status = text_to_integer(field, 10, blank_mode_flags(modes.blank), item.size, value);
  store_integer(target, item.size, value);  // 0 when the conversion failed
  return status;
}

int read_bit_pattern(std::string_view field, int radix, const EditModes& modes, const IoItem& item,
                     unsigned char* target, std::size_t bytes) {
  const bool whole_number = item.type == ItemType::Integer || item.type == ItemType::Logical;
  bool negative = false;
  std::uint64_t magnitude = 0;
  int status = parse_integer_text(field, radix, blank_mode_flags(modes.blank), negative, magnitude);
  const int value_bits = static_cast<int>(bytes >= 8 ? 64 : bytes * 8);
  std::uint64_t pattern = 0;
  if (status == kConverted && value_bits > 0) {
    if (negative) {
      if (magnitude > (std::uint64_t{1} << (value_bits - 1))) status = kValueOutOfRange;
      pattern = std::uint64_t{0} - magnitude;
    } else {
      if (value_bits < 64 && magnitude >> value_bits != 0) status = kValueOutOfRange;
      pattern = magnitude;
    }
  } else if (status == kConverted && magnitude != 0) {
    status = kValueOutOfRange;  // an item without bytes holds only 0
  }
  if (status != kConverted) {
    if (whole_number) std::memset(target, 0, bytes);
    return status;
  }
  for (std::size_t i = 0; i < bytes; ++i) {
    if (i < 8) {
      target[i] = static_cast<unsigned char>(pattern >> (8 * i));
    } else {
      target[i] = negative ? 0xFF : 0x00;
    }
  }
  return kConverted;
}

int read_real(std::string_view field, std::int32_t d, const EditModes& modes, const IoItem& item,
              unsigned char* target) {
  double value = 0.0;
  const int status = text_to_real(field, modes.blank, d, modes.scale, item.size, value);
  if (conversion_succeeded(status)) store_real(target, item.size, value);
  return status;
}

int read_logical(std::string_view field, unsigned char* target, std::size_t bytes) {
  std::size_t i = 0;
  while (i < field.size() && field[i] == ' ') ++i;
  bool value = false;
  if (i < field.size()) {
    if (field[i] == '.') ++i;
    const char c = i < field.size() ? field[i] : '\0';
    if (c == 'T' || c == 't') {
      value = true;
    } else if (c != 'F' && c != 'f') {
      return kInvalidText;
    }
  }
  if (bytes > 0) std::memset(target, value ? 0xFF : 0x00, bytes);
  return kConverted;
}

int read_characters(std::string_view field, unsigned char* target, std::size_t length) {
  if (length == 0) return kConverted;
  if (field.size() < length) {
    if (!field.empty()) std::memcpy(target, field.data(), field.size());
    std::memset(target + field.size(), ' ', length - field.size());
  } else {
    std::memcpy(target, field.data() + (field.size() - length), length);
  }
  return kConverted;
}

int read_remaining_length(std::string_view field, const IoItem& item, unsigned char* target) {
  const int bits = item.size * 8;
  const std::uint64_t max_positive = (std::uint64_t{1} << (bits - 1)) - 1;
  if (field.size() > max_positive) return kValueOutOfRange;
  store_integer(target, item.size, static_cast<std::int64_t>(field.size()));
  return kConverted;
}

}  // namespace

int convert_input_field(std::string_view field, const EditDescriptor& descriptor, const EditModes& modes,
                        const IoItem& item, std::size_t part) {
  const std::size_t bytes = value_bytes(item);
  const bool sized = item.type == ItemType::Character ||
                     ((item.type == ItemType::Real || item.type == ItemType::Complex) ? is_real_size(item.size)
                                                                                      : is_integer_size(item.size));
  if (!sized || (item.address == nullptr && bytes > 0) || part > 1 || (part == 1 && item.type != ItemType::Complex) ||
      !descriptor_accepts_item(descriptor.kind, item.type)) {
    return kInvalidFlags;
  }
  unsigned char* target = part_address(item, part);
  const bool real = item.type == ItemType::Real || item.type == ItemType::Complex;

  switch (descriptor.kind) {
    case DescriptorKind::I: return read_integer(field, modes, item, target);
    case DescriptorKind::O: return read_bit_pattern(field, 8, modes, item, target, bytes);
    case DescriptorKind::Z: return read_bit_pattern(field, 16, modes, item, target, bytes);
    case DescriptorKind::B: return read_bit_pattern(field, 2, modes, item, target, bytes);
    case DescriptorKind::F:
    case DescriptorKind::E:
    case DescriptorKind::D:
    case DescriptorKind::EN:
    case DescriptorKind::ES: return read_real(field, resolve_field_shape(descriptor, item).d, modes, item, target);
    case DescriptorKind::G:
      if (real) return read_real(field, resolve_field_shape(descriptor, item).d, modes, item, target);
      if (item.type == ItemType::Integer) return read_integer(field, modes, item, target);
      return read_logical(field, target, bytes);
    case DescriptorKind::L: return read_logical(field, target, bytes);
    case DescriptorKind::A: return read_characters(field, target, bytes);
    case DescriptorKind::Q: return read_remaining_length(field, item, target);
    default: return kInvalidFlags;
  }
}

}  // namespace runtime
