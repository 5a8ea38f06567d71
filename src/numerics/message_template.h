#pragma once
// Message templates of the numerical library: the insertion values a routine sets before it
// gives a message (nine integers %(I1)..%(I9), nine texts %(L1)..%(L9)) and the expansion of
// a template into the message text, at most 1024 characters long.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace numerics {

inline constexpr int kInsertionSlots = 9;
inline constexpr std::size_t kMaxInsertionTextLength = 255;
inline constexpr std::size_t kMaxMessageLength = 1024;

struct InsertionValues {
  std::array<std::int64_t, kInsertionSlots> integers{};
  std::array<std::string, kInsertionSlots> texts{};

  // Slot 1..9; any other slot is ignored.
  void set_integer(int slot, std::int64_t value);
  // Slot whose absolute value is 1..9; any other slot is ignored. Texts are cut to 255
  // characters.
  void set_text(int slot, std::string_view text);
  void clear();
};

// Copies `message_template` character by character, replacing every group "%(", a letter of
// "ACDIKLRSZ", a digit 1..9, ")" by the text of that insertion value: integers in decimal,
// texts as set, and the kinds without a setter here (A, C, D, K, R, S, Z) by nothing. Any
// other "%" sequence (a forced line break "%/" among them) is copied unchanged. Copying stops
// at 1024 characters.
std::string expand_message_template(std::string_view message_template, const InsertionValues& values);

}  // namespace numerics
