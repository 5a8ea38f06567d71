#pragma once
// The settings the dialogue collects and every recording reads: the map, its parameters,
// the initial and working states, the variable to record, the lengths of the transient and
// of the series, and the noise.

#include <cstdint>

#include "app/map_catalogue.h"
#include "app/runtime_array.h"

namespace app {

struct DialogueState {
  std::int32_t map_number = 0;
  std::int32_t nvar = 0;
  MapParameters parameters;
  RuntimeArray x0;             // initial state, nvar components
  RuntimeArray working_state;  // the state a recording advances, nvar components
  std::int32_t record_variable = 1;
  std::int32_t n_transient = 1000;
  std::int32_t n_series = 10000;
  bool add_noise = false;
  double noise_std = 0.0;
  char answer = ' ';
  bool accepted = false;
};

}  // namespace app
