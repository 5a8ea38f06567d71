#pragma once
// Copies and fills of a few bytes, inline. A formatted record is built from pieces of a few
// to a few dozen bytes (a field, its blanks, a record end); a library memcpy or memset call
// for each costs more than the bytes. Up to 32 bytes these are two overlapping loads and
// stores; longer ones call the library.

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace runtime {

// memcpy of `count` bytes between places that do not overlap.
inline void copy_short(char* to, const char* from, std::size_t count) {
  if (count >= 16) {
    if (count > 32) {
      std::memcpy(to, from, count);
      return;
    }
    char head[16];
    char tail[16];
    std::memcpy(head, from, 16);
    std::memcpy(tail, from + count - 16, 16);
    std::memcpy(to, head, 16);
    std::memcpy(to + count - 16, tail, 16);
  } else if (count >= 8) {
    std::uint64_t head = 0;
    std::uint64_t tail = 0;
    std::memcpy(&head, from, 8);
    std::memcpy(&tail, from + count - 8, 8);
    std::memcpy(to, &head, 8);
    std::memcpy(to + count - 8, &tail, 8);
  } else if (count >= 4) {
    std::uint32_t head = 0;
    std::uint32_t tail = 0;
    std::memcpy(&head, from, 4);
    std::memcpy(&tail, from + count - 4, 4);
    std::memcpy(to, &head, 4);
    std::memcpy(to + count - 4, &tail, 4);
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
