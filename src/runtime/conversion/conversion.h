#pragma once
// Conversions between item values and the text of one field.
//
// Output: convert_output_field writes exactly `width` characters for one item (one part of a
// complex item) under one data descriptor: I, O, Z, B, F, E, D, EN, ES, G, L, A, with the
// sign mode and scale factor in force. Decimal digits of reals are exact (from the binary
// value, ties half to even). A value that does not fit fills the field with asterisks.
//
// Input: convert_input_field converts the text of one field (already cut from the record)
// into an item; text_to_integer and text_to_real are the underlying text conversions.
//
// Every function returns a conversion status (ConversionStatus); conversion_succeeded tells
// whether the statement goes on.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "runtime/edit_descriptor.h"
#include "runtime/io_item.h"

namespace runtime {

enum ConversionStatus : int {
  kConverted = 0,
  kInvalidText = 1,              // invalid text for a logical or real
  kFieldOverflow = 2,            // output: the value does not fit, the field holds asterisks
  kInvalidIntegerCharacter = 3,  // invalid character in an integer field
  kInvalidFlags = 4,
  kInvalidRadix = 5,
  kNegativeLength = 6,
  kValueOutOfRange = 8,     // integer out of range, real too large; output: invalid value
  kConvertedNaN = 10,       // converted (a NaN was read or written)
  kConvertedInfinity = 12,  // converted (an infinity was read or written)
};

inline bool conversion_succeeded(int status) {
  return status == kConverted || status == kConvertedNaN || status == kConvertedInfinity;
}

// The run-time error a failed conversion status raises: 63 on output (2, 4, 6), 64 otherwise.
[[nodiscard]] int output_conversion_error(int status);
[[nodiscard]] int input_conversion_error(int status);

// True when `kind` may edit an item of `type`; a mismatch is error 61.
bool descriptor_accepts_item(DescriptorKind kind, ItemType type);

// The field shape used for `descriptor` with `item`: w, d and e as written, or the defaults of
// the item's type (I/O/Z/B: 7, 12 or 23; F/E/D/G: 15.7e2 for 4-byte and 25.16e2 for 8-byte
// reals; L: 2; A: the item's length; O/Z/B without w: wide enough for the item's bits).
struct FieldShape {
  std::int32_t w;
  std::int32_t d;
  std::int32_t e;
};
FieldShape resolve_field_shape(const EditDescriptor& descriptor, const IoItem& item);

// The same shape for the conversions, without looking at the item when the descriptor gives
// every number its conversion uses (the common F20.10); the exponent digits of a form that
// has none are then left as written.
inline FieldShape field_shape(const EditDescriptor& descriptor, const IoItem& item) {
  const DescriptorKind kind = descriptor.kind;
  const bool uses_e = kind == DescriptorKind::E || kind == DescriptorKind::D || kind == DescriptorKind::EN ||
                      kind == DescriptorKind::ES || kind == DescriptorKind::G;
  if (descriptor.has_w && descriptor.has_d && (descriptor.has_e || !uses_e)) {
    return FieldShape{descriptor.w, descriptor.d, descriptor.e};
  }
  return resolve_field_shape(descriptor, item);
}

// Bit flags of text_to_integer.
inline constexpr unsigned kTabIsBlank = 1u << 0;
inline constexpr unsigned kIgnoreBlanks = 1u << 1;
inline constexpr unsigned kIgnoreUnderscores = 1u << 4;
inline constexpr unsigned kBlanksAreZeros = 1u << 6;
inline constexpr unsigned kIntegerFlagNoEffect = 1u << 13;

// Converts `text` in `radix` (2..16). The 64-bit result is range-checked for an item of
// `item_size` bytes (1, 2, 4 or 8). Returns a ConversionStatus.
[[nodiscard]] int text_to_integer(std::string_view text, int radix, unsigned flags, int item_size, std::int64_t& value);

// Converts a real field. `digits_after_point` is the descriptor's d (implied decimals when the
// field has no point); `scale` is the current kP. `item_size` is 4 or 8.
[[nodiscard]] int text_to_real(std::string_view text, BlankMode blank, std::int32_t digits_after_point,
                               std::int32_t scale, int item_size, double& value);

// Converts one input field into `item` (`part` 0, or 1 for the imaginary part of a complex).
[[nodiscard]] int convert_input_field(std::string_view field, const EditDescriptor& descriptor, const EditModes& modes,
                                      const IoItem& item, std::size_t part);

// Writes exactly `width` characters (width = field_shape(...).w) into `field`.
[[nodiscard]] int convert_output_field(const IoItem& item, std::size_t part, const EditDescriptor& descriptor,
                                       const EditModes& modes, char* field, std::int32_t width);

}  // namespace runtime
