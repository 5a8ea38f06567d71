#pragma once
// The layout of a compiled format, shared by the compiler and the cursor (nothing outside the
// format module sees it).
//
// A compiled format is a byte buffer of entries in the order of the format text, opened by a
// Begin entry and closed by an End entry. Every entry starts with a fixed Entry header; a
// Literal entry is followed by its characters, a GroupStart entry by the GroupSummary of its
// group. Entries are read and written with memcpy, so the buffer needs no alignment.

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "runtime/edit_descriptor.h"
#include "runtime/format/position_map.h"

namespace runtime::format_layout {

enum class EntryKind : std::uint8_t {
  Begin,  // link: offset where interpretation continues after a reversion
  End,
  GroupStart,  // repeat: passes; link: offset of the matching GroupEnd
  GroupEnd,    // link: offset of the matching GroupStart
  Data,        // data_kind, given, repeat, w, d, e
  Literal,     // w: length; the characters follow the header
  Slash,       // repeat
  Colon,
  NoAdvance,      // `$` or `\`
  BlankNull,      // BN
  BlankZero,      // BZ
  SignProcessor,  // S
  SignPlus,       // SP
  SignSuppress,   // SS
  Scale,          // kP; w: k
  MoveRight,      // nX and TRn; w: n
  TabTo,          // Tn; w: n
  TabLeft,        // TLn; w: n
};

// Which of w, d, e the format text gave a data descriptor.
inline constexpr std::uint8_t kGivenW = 1;
inline constexpr std::uint8_t kGivenD = 2;
inline constexpr std::uint8_t kGivenE = 4;

struct Entry {
  EntryKind kind = EntryKind::End;
  DescriptorKind data_kind = DescriptorKind::End;
  std::uint8_t given = 0;
  std::uint8_t unused = 0;
  std::int32_t repeat = 1;
  std::int32_t w = 0;
  std::int32_t d = 0;
  std::int32_t e = 0;
  std::uint32_t link = 0;
};

// Mode change a group makes on every pass: 0 for none, otherwise 1 + the mode's value.
struct GroupSummary {
  // The group holds nothing that is handed to the statement driver (no data descriptor,
  // literal, `/` or `$`): all its passes can be applied at once.
  std::uint8_t silent = 0;
  // The group holds a `:` (which ends the statement when no items remain).
  std::uint8_t has_colon = 0;
  std::uint8_t blank = 0;
  std::uint8_t sign = 0;
  std::uint8_t scale_set = 0;
  std::int32_t scale = 0;
  // The combined column movement of all passes of a silent group.
  PositionMap movement;
};

inline constexpr std::size_t kEntrySize = sizeof(Entry);
inline constexpr std::size_t kSummarySize = sizeof(GroupSummary);

inline Entry read_entry(const unsigned char* buffer, std::uint32_t offset) {
  Entry entry;
  std::memcpy(&entry, buffer + offset, kEntrySize);
  return entry;
}

inline GroupSummary read_summary(const unsigned char* buffer, std::uint32_t group_start) {
  GroupSummary summary;
  std::memcpy(&summary, buffer + group_start + kEntrySize, kSummarySize);
  return summary;
}

// Bytes that follow the header of `entry`.
inline std::size_t payload_size(const Entry& entry) {
  switch (entry.kind) {
    case EntryKind::Literal: return static_cast<std::size_t>(entry.w);
    case EntryKind::GroupStart: return kSummarySize;
    default: return 0;
  }
}

// Offset of the entry after the one at `offset`.
inline std::uint32_t next_offset(const Entry& entry, std::uint32_t offset) {
  return static_cast<std::uint32_t>(offset + kEntrySize + payload_size(entry));
}

}  // namespace runtime::format_layout
