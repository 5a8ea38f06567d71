#pragma once
// Column movements of the position descriptors (nX, TRn, Tn, TLn) as composable maps.
//
// Every position descriptor, and every sequence of them, moves the record position p by
//     p' = max(left_tab_limit + floor, p + shift)
// where either term may be absent. X and TR shift right, T sets an absolute column (no shift
// term), TL shifts left but never before the left tab limit (floor 0). Such maps compose into
// a map of the same shape, and repeating one r times has a closed form, so a group that only
// moves the position can be applied in one step whatever its repeat counts. The cursor uses
// the same maps for single descriptors, so both paths agree.
//
// Values saturate at +-kPositionLimit: a position that large never fits a record, and the
// statement driver reports it when it tries to use the column.

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace runtime::format_layout {

inline constexpr std::int64_t kPositionLimit = std::int64_t{1} << 60;
inline constexpr std::int64_t kAbsent = INT64_MIN;

struct PositionMap {
  std::int64_t shift = 0;        // kAbsent: the old position does not matter
  std::int64_t floor = kAbsent;  // kAbsent: no lower bound

  friend bool operator==(const PositionMap&, const PositionMap&) = default;
};

inline std::int64_t clamp_position(std::int64_t value) { return std::clamp(value, -kPositionLimit, kPositionLimit); }

inline std::int64_t add_saturated(std::int64_t a, std::int64_t b) {
  if (a == kAbsent || b == kAbsent) return kAbsent;
  return clamp_position(clamp_position(a) + clamp_position(b));  // |sum| <= 2^61: no overflow
}

inline std::int64_t multiply_saturated(std::int64_t a, std::int64_t count) {
  if (a == kAbsent) return kAbsent;
  a = clamp_position(a);
  if (a == 0 || count == 0) return 0;
  if ((a > 0 ? a : -a) > kPositionLimit / count) return a > 0 ? kPositionLimit : -kPositionLimit;
  return a * count;
}

inline std::int64_t max_present(std::int64_t a, std::int64_t b) {
  if (a == kAbsent) return b;
  if (b == kAbsent) return a;
  return std::max(a, b);
}

inline PositionMap move_right(std::int64_t n) { return {clamp_position(n), kAbsent}; }
inline PositionMap tab_to(std::int64_t column) { return {kAbsent, clamp_position(column - 1)}; }
inline PositionMap tab_left(std::int64_t n) { return {-clamp_position(n), 0}; }

// The map that applies `first` and then `second`.
inline PositionMap then(const PositionMap& first, const PositionMap& second) {
  PositionMap result;
  result.shift = add_saturated(first.shift, second.shift);
  result.floor = max_present(second.floor, add_saturated(first.floor, second.shift));
  return result;
}

// `map` applied `count` times (count >= 1).
inline PositionMap repeated(const PositionMap& map, std::int64_t count) {
  PositionMap result;
  result.shift = multiply_saturated(map.shift, count);
  if (map.floor == kAbsent || map.shift == kAbsent || map.shift <= 0) {
    result.floor = map.floor;
  } else {
    // Each later pass lifts the bound set by the first one by `shift`.
    result.floor = add_saturated(map.floor, multiply_saturated(map.shift, count - 1));
  }
  return result;
}

// The new position for a record at `position` with left tab limit `left_tab_limit`.
inline std::size_t apply(const PositionMap& map, std::size_t position, std::size_t left_tab_limit) {
  const auto limited = [](std::size_t value) {
    return static_cast<std::int64_t>(std::min<std::size_t>(value, kPositionLimit));
  };
  std::int64_t moved = add_saturated(limited(position), map.shift);
  std::int64_t bound = add_saturated(limited(left_tab_limit), map.floor);
  std::int64_t result = max_present(moved, bound);
  if (result == kAbsent || result < 0) result = 0;
  return static_cast<std::size_t>(result);
}

}  // namespace runtime::format_layout
