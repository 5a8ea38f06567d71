#pragma once
// Copies and fills of a few bytes, inline. A formatted record is built from pieces of a few
// to a few dozen bytes (a field, its blanks, a record end); a library memcpy or memset call
// for each costs more than the bytes. Up to 32 bytes these are two overlapping loads and
// stores; longer ones call the library.

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace runtime {

namespace short_copy_detail {

struct SixteenBytes {
  char bytes[16];
};

// The first and the last sizeof(Word) of `count` bytes (sizeof(Word) <= count <= 2 x that),
// both loaded before either is stored: together they cover the whole run.
template <typename Word>
void copy_both_ends(char* to, const char* from, std::size_t count) {
  Word head;
  Word tail;
  std::memcpy(&head, from, sizeof(Word));
  std::memcpy(&tail, from + count - sizeof(Word), sizeof(Word));
  std::memcpy(to, &head, sizeof(Word));
  std::memcpy(to + count - sizeof(Word), &tail, sizeof(Word));
}

}  // namespace short_copy_detail

// memcpy of `count` bytes between places that do not overlap.
inline void copy_short(char* to, const char* from, std::size_t count) {
  using namespace short_copy_detail;
  if (count > 32) {
    std::memcpy(to, from, count);
  } else if (count >= 16) {
    copy_both_ends<SixteenBytes>(to, from, count);
  } else if (count >= 8) {
    copy_both_ends<std::uint64_t>(to, from, count);
  } else if (count >= 4) {
    copy_both_ends<std::uint32_t>(to, from, count);
  } else {
    for (std::size_t i = 0; i < count; ++i) to[i] = from[i];
  }
}

// memset of `count` bytes to `value`.
inline void fill_short(char* to, char value, std::size_t count) {
  if (count > 32) {
    std::memset(to, value, count);
    return;
  }
  if (count >= 8) {
    const std::uint64_t pattern = 0x0101010101010101u * static_cast<unsigned char>(value);
    for (std::size_t i = 0; i + 8 <= count; i += 8) std::memcpy(to + i, &pattern, 8);
    std::memcpy(to + count - 8, &pattern, 8);
  } else {
    for (std::size_t i = 0; i < count; ++i) to[i] = value;
  }
}

}  // namespace runtime
