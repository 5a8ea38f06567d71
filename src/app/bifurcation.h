#pragma once
// Orbit (bifurcation) diagrams: for each of `steps` parameter values evenly spaced from
// `from` to `to`, the map is iterated through a transient and then `points` values of the
// chosen variable are taken. Each parameter value continues from the state the previous one
// ended in; the first starts from the initial state, and so does the one after an orbit that
// diverged. Points of an orbit that reaches the divergence limit (or NaN) are left out and
// counted. The points are handed to a sink one at a time, so memory does not grow with
// steps x points.

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>

#include "app/map_catalogue.h"

namespace app {

struct BifurcationSettings {
  int map_number = 1;
  MapParameters parameters;  // the varied slot is overwritten for each parameter value
  int vary_slot = 1;         // 1..4
  double from = 0.0;
  double to = 1.0;
  std::int64_t steps = 800;  // number of parameter values, >= 1
  std::array<double, 2> initial{0.0, 0.0};
  std::int64_t n_transient = 1000;
  std::int64_t points = 200;  // values taken per parameter value
  int variable = 1;           // 1..nvar
};

// Parameter value k (0-based) of `settings.steps` values from `from` to `to`; one step gives
// `from`.
double bifurcation_parameter(const BifurcationSettings& settings, std::int64_t k);

struct BifurcationSummary {
  std::int64_t points_kept = 0;
  std::int64_t points_left_out = 0;  // points of orbits that diverged (or became NaN)
  double value_min = 0.0;            // range of the points handed to the sink (when any)
  double value_max = 0.0;
  bool stopped = false;  // `stop` ended the sweep early
};

using BifurcationSink = std::function<void(double parameter, double value)>;

// Iterates as described above and hands every point kept to `sink` (which may be empty).
// When `stop` is given and becomes true, the sweep ends after the parameter value in hand
// (summary.stopped).
BifurcationSummary compute_bifurcation(const BifurcationSettings& settings, const BifurcationSink& sink,
                                       const std::atomic<bool>* stop = nullptr);

}  // namespace app
