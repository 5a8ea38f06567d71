#pragma once
// Argument checks of the numerical routines. An argument out of its bounds becomes a
// terminal error (type 5) on the error stack with the texts
//   "%(L1) = %(I1).  %(L1) must be greater than or equal to %(I2)."
//   "%(L1) = %(I1).  %(L1) must be greater than or equal to %(I2) and less than or equal to %(I3)."
// The caller pushes and pops its own name around the check.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace numerics {

inline constexpr std::string_view kLowerBoundTemplate = "%(L1) = %(I1).  %(L1) must be greater than or equal to %(I2).";
inline constexpr std::string_view kBoundsTemplate =
    "%(L1) = %(I1).  %(L1) must be greater than or equal to %(I2) and less than or equal to "
    "%(I3).";

// Checks `value` against `lower_bound` and `upper_bound` (an upper bound below the lower
// bound means there is none). Out of bounds: %(L1) = argument name, %(I1) = value, %(I2) =
// lower bound, %(I3) = upper bound when there is one, and a type 5 error with code
// `error_code`. In every case `error_code` then rises by one, so a routine that checks
// several arguments gives each its own code. Returns whether the value was in bounds.
bool check_integer_argument(std::int64_t value, std::string_view argument_name, std::int64_t lower_bound,
                            std::int64_t upper_bound, int& error_code);

// The check of a routine that fills `capacity` array elements with `count` values: `count`
// must be at least 1 and, so that nothing is written past the array, no more than
// `capacity`. On failure pushes `routine`, gives the error with code 1 and pops (which
// prints it and, with the default attributes, stops the program); returns false if the
// program goes on.
bool check_count_argument(std::string_view routine, std::string_view count_name, std::int32_t count,
                          std::size_t capacity);

}  // namespace numerics
