#pragma once
// The settings the dialogue collects and every recording reads: the map, its parameters,
// the initial and working states, the variable to record, the lengths of the transient and
// of the series, and the noise.

#include <cstdint>

#include "app/map_catalogue.h"
#include "app/runtime_array.h"

namespace app {

// The lengths a run starts with, and the limits the dialogue sets its answers: a transient of
// at least 0 steps, a series of at least 2 points. Both are read under (I6), so no answer can
// exceed six digits.
inline constexpr std::int32_t kDefaultTransient = 1000;
inline constexpr std::int32_t kDefaultSeriesLength = 10000;
inline constexpr std::int32_t kShortestTransient = 0;
inline constexpr std::int32_t kShortestSeries = 2;
inline constexpr std::int32_t kLongestLength = 999999;

// A noise standard deviation must be greater than 0 (zero, negative and NaN are refused).
inline bool acceptable_noise(double noise_std) { return noise_std > 0.0; }

struct DialogueState {
  std::int32_t map_number = 0;
  std::int32_t nvar = 0;
  MapParameters parameters;
  RuntimeArray x0;             // initial state, nvar components
  RuntimeArray working_state;  // the state a recording advances, nvar components
  std::int32_t record_variable = 1;
  std::int32_t n_transient = kDefaultTransient;
  std::int32_t n_series = kDefaultSeriesLength;
  bool add_noise = false;
  double noise_std = 0.0;
  char answer = ' ';
  bool accepted = false;
};

}  // namespace app
