// Which descriptor edits which item, the field shape of a descriptor written without w, d
// or e, and the run-time errors that failed conversions raise.
//
// O, Z and B without w: the width that I would have for an item of that size (7, 12 or 23),
// widened where needed to one column more than the digits the item's bits can take, so that
// every bit pattern fits and consecutive fields stay apart (B of a 4-byte item: 33; Z of an
// 8-byte real: 23; Z of a 3-character item: 7).

#include <algorithm>
#include <limits>

#include "runtime/conversion/conversion_internal.h"
#include "runtime/support/error_numbers.h"

namespace runtime {
namespace {

using conversion_detail::value_bytes;

constexpr std::int64_t kMaxWidth = std::numeric_limits<std::int32_t>::max();

// The widths of I (and of O, Z, B before widening) written without w, by item size.
constexpr std::int32_t kShortIntegerWidth = 7;  // 1- and 2-byte items
constexpr std::int32_t kIntegerWidth = 12;      // 3- and 4-byte items
constexpr std::int32_t kLongIntegerWidth = 23;  // larger items

// The w.dEe of a real descriptor written without them, by item size.
constexpr FieldShape kSingleRealShape = {15, 7, 2};     // up to 4 bytes
constexpr FieldShape kDoubleRealShape = {25, 16, 2};    // up to 8 bytes
constexpr FieldShape kExtendedRealShape = {42, 33, 3};  // larger items

std::int32_t integer_width(int size) {
  if (size <= 2) return kShortIntegerWidth;
  if (size <= 4) return kIntegerWidth;
  return kLongIntegerWidth;
}

FieldShape real_defaults(int size) {
  if (size <= 4) return kSingleRealShape;
  if (size <= 8) return kDoubleRealShape;
  return kExtendedRealShape;
}

std::int32_t clamp_width(std::int64_t width) { return static_cast<std::int32_t>(std::min(width, kMaxWidth)); }

std::int32_t bit_pattern_width(const IoItem& item, DescriptorKind kind) {
  const int bits_per_digit = kind == DescriptorKind::O ? 3 : kind == DescriptorKind::Z ? 4 : 1;
  const std::size_t bytes = value_bytes(item);
  // Digits for every bit; beyond 2^40 bytes the width is clamped anyway, so no overflow.
  const auto bits = static_cast<std::int64_t>(std::min<std::size_t>(bytes, std::size_t{1} << 40)) * 8;
  const std::int64_t needed = (bits + bits_per_digit - 1) / bits_per_digit + 1;
  if (item.type == ItemType::Character) return clamp_width(needed);
  return clamp_width(std::max<std::int64_t>(integer_width(item.size), needed));
}

}  // namespace

int output_conversion_error(int status) {
  if (conversion_succeeded(status)) return 0;
  return status == kValueOutOfRange ? kInputConversionError : kOutputConversionError;
}

int input_conversion_error(int status) { return conversion_succeeded(status) ? 0 : kInputConversionError; }

bool descriptor_accepts_item(DescriptorKind kind, ItemType type) {
  const bool whole = type == ItemType::Integer || type == ItemType::Logical;
  const bool real = type == ItemType::Real || type == ItemType::Complex;
  switch (kind) {
    case DescriptorKind::I:
    case DescriptorKind::L: return whole;
    case DescriptorKind::F:
    case DescriptorKind::E:
    case DescriptorKind::D:
    case DescriptorKind::EN:
    case DescriptorKind::ES: return real;
    case DescriptorKind::G: return whole || real;
    case DescriptorKind::A:
    case DescriptorKind::O:
    case DescriptorKind::Z:
    case DescriptorKind::B: return true;
    case DescriptorKind::Q: return type == ItemType::Integer;
    default: return false;
  }
}

FieldShape resolve_field_shape(const EditDescriptor& descriptor, const IoItem& item) {
  FieldShape defaults{descriptor.w, descriptor.d, descriptor.e};
  switch (descriptor.kind) {
    case DescriptorKind::I: defaults = {integer_width(item.size), 1, 0}; break;
    case DescriptorKind::O:
    case DescriptorKind::Z:
    case DescriptorKind::B: defaults = {bit_pattern_width(item, descriptor.kind), 1, 0}; break;
    case DescriptorKind::F:
    case DescriptorKind::E:
    case DescriptorKind::D:
    case DescriptorKind::EN:
    case DescriptorKind::ES: defaults = real_defaults(item.size); break;
    case DescriptorKind::G:
      if (item.type == ItemType::Real || item.type == ItemType::Complex) {
        defaults = real_defaults(item.size);
      } else if (item.type == ItemType::Integer) {
        defaults = {integer_width(item.size), 1, 0};
      } else if (item.type == ItemType::Logical) {
        defaults = {2, 0, 0};
      } else {
        defaults = {clamp_width(static_cast<std::int64_t>(std::min<std::size_t>(item.length, kMaxWidth))), 0, 0};
      }
      break;
    case DescriptorKind::L: defaults = {2, 0, 0}; break;
    case DescriptorKind::A:
      defaults = {clamp_width(static_cast<std::int64_t>(std::min<std::size_t>(value_bytes(item), kMaxWidth))), 0, 0};
      break;
    default: break;
  }
  return {descriptor.has_w ? descriptor.w : defaults.w, descriptor.has_d ? descriptor.d : defaults.d,
          descriptor.has_e ? descriptor.e : defaults.e};
}

}  // namespace runtime
