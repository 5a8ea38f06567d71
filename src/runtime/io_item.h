#pragma once
// Data items of formatted READ and WRITE statements: each item names its type, the size of
// one value and where the value lives. Build items with item(...) and logical_item(...).

#include <complex>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace runtime {

enum class ItemType : std::uint8_t { Integer, Logical, Real, Complex, Character };

struct IoItem {
  ItemType type;
  // Bytes of one value: 1, 2, 4 or 8 for integers and logicals; 4 or 8 for reals; for complex
  // items the size of one part (4 or 8). Character items use `length` instead.
  std::uint8_t size;
  // Where the value lives. Output statements only read through it.
  void* address;
  // Character items: the length in bytes.
  std::size_t length;
};

// A logical is true when any bit is set; READ stores true as all bits set and false as 0.
inline IoItem item(const std::int8_t& v) { return {ItemType::Integer, 1, const_cast<std::int8_t*>(&v), 0}; }
inline IoItem item(const std::int16_t& v) { return {ItemType::Integer, 2, const_cast<std::int16_t*>(&v), 0}; }
inline IoItem item(const std::int32_t& v) { return {ItemType::Integer, 4, const_cast<std::int32_t*>(&v), 0}; }
inline IoItem item(const std::int64_t& v) { return {ItemType::Integer, 8, const_cast<std::int64_t*>(&v), 0}; }
inline IoItem item(const float& v) { return {ItemType::Real, 4, const_cast<float*>(&v), 0}; }
inline IoItem item(const double& v) { return {ItemType::Real, 8, const_cast<double*>(&v), 0}; }
inline IoItem item(const std::complex<float>& v) {
  return {ItemType::Complex, 4, const_cast<std::complex<float>*>(&v), 0};
}
inline IoItem item(const std::complex<double>& v) {
  return {ItemType::Complex, 8, const_cast<std::complex<double>*>(&v), 0};
}
// Character data for output.
inline IoItem item(std::string_view text) {
  return {ItemType::Character, 0, const_cast<char*>(text.data()), text.size()};
}
// Character variable of fixed length (input or output).
inline IoItem item(std::span<char> text) { return {ItemType::Character, 0, text.data(), text.size()}; }
inline IoItem item(char* text, std::size_t length) { return {ItemType::Character, 0, text, length}; }

inline IoItem logical_item(const std::int8_t& v) { return {ItemType::Logical, 1, const_cast<std::int8_t*>(&v), 0}; }
inline IoItem logical_item(const std::int16_t& v) { return {ItemType::Logical, 2, const_cast<std::int16_t*>(&v), 0}; }
inline IoItem logical_item(const std::int32_t& v) { return {ItemType::Logical, 4, const_cast<std::int32_t*>(&v), 0}; }
inline IoItem logical_item(const std::int64_t& v) { return {ItemType::Logical, 8, const_cast<std::int64_t*>(&v), 0}; }

}  // namespace runtime
