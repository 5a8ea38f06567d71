#include "app/bifurcation.h"

#include <algorithm>
#include <cmath>
#include <span>

namespace app {

namespace {

bool orbit_failed(std::span<const double> state) {
  return is_divergent(state) || std::any_of(state.begin(), state.end(), [](double v) { return std::isnan(v); });
}

}  // namespace

double bifurcation_parameter(const BifurcationSettings& settings, std::int64_t k) {
  if (settings.steps <= 1) return settings.from;
  const double fraction = static_cast<double>(k) / static_cast<double>(settings.steps - 1);
  // The last value is `to` exactly, not `from` plus a rounded multiple of the step.
  return k == settings.steps - 1 ? settings.to : settings.from + (settings.to - settings.from) * fraction;
}

BifurcationSummary compute_bifurcation(const BifurcationSettings& settings, const BifurcationSink& sink,
                                       const std::atomic<bool>* stop) {
  BifurcationSummary summary;
  const MapEntry* entry = find_map(settings.map_number);
  if (entry == nullptr || settings.variable < 1 || settings.variable > entry->nvar) return summary;
  const auto nvar = static_cast<std::size_t>(entry->nvar);
  const auto variable = static_cast<std::size_t>(settings.variable - 1);

  MapParameters parameters = settings.parameters;
  double* varied = parameter_slot(parameters, settings.vary_slot);
  if (varied == nullptr) return summary;

  double components[2] = {settings.initial[0], settings.initial[1]};
  const std::span<double> state(components, nvar);
  bool any = false;
  for (std::int64_t k = 0; k < settings.steps; ++k) {
    if (stop != nullptr && stop->load(std::memory_order_relaxed)) {
      summary.stopped = true;
      break;
    }
    *varied = bifurcation_parameter(settings, k);
    bool failed = false;
    for (std::int64_t i = 0; i < settings.n_transient && !failed; ++i) {
      failed = orbit_failed(state);
      if (!failed) map_step(settings.map_number, parameters, static_cast<std::int32_t>(i), state);
    }
    std::int64_t taken = 0;
    for (; taken < settings.points && !failed; ++taken) {
      // The state is tested before it is used, as a recording tests it before each step.
      failed = orbit_failed(state);
      if (failed) break;
      const double value = state[variable];
      if (sink) sink(*varied, value);
      if (!any) {
        summary.value_min = summary.value_max = value;
        any = true;
      } else {
        summary.value_min = std::min(summary.value_min, value);
        summary.value_max = std::max(summary.value_max, value);
      }
      map_step(settings.map_number, parameters, static_cast<std::int32_t>(taken), state);
    }
    summary.points_kept += taken;
    if (failed) {
      summary.points_left_out += settings.points - taken;
      components[0] = settings.initial[0];
      components[1] = settings.initial[1];
    }
  }
  return summary;
}

}  // namespace app
