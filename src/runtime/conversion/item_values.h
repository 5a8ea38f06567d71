#pragma once
// Reading and storing the value an item holds, by type and size. Values are copied through
// memcpy so that items need no particular alignment. Inline: every field conversion uses
// them, and the series file converts up to a million fields.

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "runtime/io_item.h"

namespace runtime::conversion_detail {

// Address of one value of a non-character item: `part` 1 is the imaginary part of a complex.
inline unsigned char* part_address(const IoItem& item, std::size_t part) {
  auto* base = static_cast<unsigned char*>(item.address);
  return (item.type == ItemType::Complex && part == 1) ? base + item.size : base;
}

// Bytes of one value: the length of a character item, otherwise the size (of one part).
inline std::size_t value_bytes(const IoItem& item) {
  return item.type == ItemType::Character ? item.length : item.size;
}

inline bool is_integer_size(int size) { return size == 1 || size == 2 || size == 4 || size == 8; }
inline bool is_real_size(int size) { return size == 4 || size == 8; }

template <typename T>
T load_as(const unsigned char* address) {
  T value;
  std::memcpy(&value, address, sizeof value);
  return value;
}

template <typename T>
void store_as(unsigned char* address, T value) {
  std::memcpy(address, &value, sizeof value);
}

// `size` is 1, 2, 4 or 8.
inline std::int64_t load_integer(const unsigned char* address, int size) {
  switch (size) {
    case 1: return load_as<std::int8_t>(address);
    case 2: return load_as<std::int16_t>(address);
    case 4: return load_as<std::int32_t>(address);
    default: return load_as<std::int64_t>(address);
  }
}

// Stores the low `size` bytes' worth of `value` (1, 2, 4 or 8).
inline void store_integer(unsigned char* address, int size, std::int64_t value) {
  switch (size) {
    case 1: store_as(address, static_cast<std::int8_t>(value)); break;
    case 2: store_as(address, static_cast<std::int16_t>(value)); break;
    case 4: store_as(address, static_cast<std::int32_t>(value)); break;
    default: store_as(address, value); break;
  }
}

// `size` is 4 (float) or 8 (double).
inline double load_real(const unsigned char* address, int size) {
  return size == 4 ? static_cast<double>(load_as<float>(address)) : load_as<double>(address);
}

// For size 4 the value must be representable as a float (text_to_real ensures it).
inline void store_real(unsigned char* address, int size, double value) {
  if (size == 4) {
    store_as(address, static_cast<float>(value));
  } else {
    store_as(address, value);
  }
}

}  // namespace runtime::conversion_detail
