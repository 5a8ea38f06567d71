#pragma once
// Edit descriptors as the format interpreter hands them to the statement drivers and the
// conversions, and the edit modes (blank, sign, scale) in force while a statement runs.

#include <cstdint>
#include <string_view>

namespace runtime {

enum class DescriptorKind : std::uint8_t {
  // Data descriptors: each use takes one item (one part of a complex item).
  I,
  F,
  E,
  D,
  G,
  EN,
  ES,
  L,
  A,
  O,
  Z,
  B,
  // Stores the number of characters left in the input record into an integer item.
  Q,
  // Returned to the driver without taking an item.
  Literal,    // output the text; on input consume as many characters
  Slash,      // end the current record and start the next (also after a format reversion)
  Colon,      // end the statement here if no items remain
  NoAdvance,  // `$` or `\`: do not end the record at the end of the statement
  End,        // the statement ends: no items remain and the format is done
};

enum class BlankMode : std::uint8_t { Null, Zero };                // BN, BZ
enum class SignMode : std::uint8_t { Processor, Plus, Suppress };  // S, SP, SS

struct EditModes {
  BlankMode blank = BlankMode::Null;
  SignMode sign = SignMode::Processor;
  std::int32_t scale = 0;  // kP
};

struct EditDescriptor {
  DescriptorKind kind = DescriptorKind::End;
  bool has_w = false;  // w written in the format (otherwise the item's default width applies)
  bool has_d = false;  // d (or m for I, O, Z, B) written
  bool has_e = false;  // e written (the Ee forms)
  std::int32_t w = 0;
  std::int32_t d = 0;  // digits after the point; minimum digits m for I, O, Z, B (1 when not written)
  std::int32_t e = 0;  // exponent digits
  // Literal text. On input the characters read are copied over it, so it is writable.
  char* literal = nullptr;
  std::int32_t literal_length = 0;
};

inline bool is_data_descriptor(DescriptorKind kind) { return kind <= DescriptorKind::Q; }

}  // namespace runtime
