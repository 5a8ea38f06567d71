#include "app/lyapunov.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <span>

namespace app {

namespace {

// Checks the state before a step, as a recording does: true when the orbit may go on.
bool may_step(std::span<const double> state, std::int64_t steps_taken, LyapunovSpectrum& result) {
  if (is_divergent(state)) {
    result.outcome = OrbitOutcome::Divergent;
  } else if (std::any_of(state.begin(), state.end(), [](double v) { return std::isnan(v); })) {
    result.outcome = OrbitOutcome::NotANumber;
  } else {
    return true;
  }
  result.failed_at_step = steps_taken;
  return false;
}

// Looks at the stop request every few thousand steps: true (outcome Stopped) when it is set.
bool stopped(const std::atomic<bool>* stop, std::int64_t steps_taken, LyapunovSpectrum& result) {
  constexpr std::int64_t kStepsBetweenLooks = 4096;
  if (stop == nullptr || steps_taken % kStepsBetweenLooks != 0 || !stop->load(std::memory_order_relaxed)) return false;
  result.outcome = OrbitOutcome::Stopped;
  result.failed_at_step = steps_taken;
  return true;
}

std::string iterations(std::int64_t count) {
  return std::to_string(count) + (count == 1 ? " iteration" : " iterations");
}

// Tangent vectors (columns) of the orthonormal frame carried along the orbit.
struct Frame {
  double first[2] = {1.0, 0.0};
  double second[2] = {0.0, 1.0};
};

void apply(const MapJacobian& jacobian, const double (&in)[2], double (&out)[2]) {
  const auto& d = jacobian.entries;
  out[0] = d[0][0] * in[0] + d[0][1] * in[1];
  out[1] = d[1][0] * in[0] + d[1][1] * in[1];
}

// Advances the frame by the Jacobian and re-orthonormalises it; adds the logarithms of the
// stretching factors to `sums`. A vector that collapses to zero (a superstable point) gives
// -inf for its exponent; the frame is then reset so that the other one stays meaningful.
void advance_frame(const MapJacobian& jacobian, Frame& frame, double (&sums)[2]) {
  double first[2];
  double second[2];
  apply(jacobian, frame.first, first);
  apply(jacobian, frame.second, second);
  const double first_length = std::hypot(first[0], first[1]);
  sums[0] += std::log(first_length);
  if (first_length > 0.0) {
    frame.first[0] = first[0] / first_length;
    frame.first[1] = first[1] / first_length;
  } else {
    frame.first[0] = 1.0;
    frame.first[1] = 0.0;
  }
  const double projection = second[0] * frame.first[0] + second[1] * frame.first[1];
  second[0] -= projection * frame.first[0];
  second[1] -= projection * frame.first[1];
  const double second_length = std::hypot(second[0], second[1]);
  sums[1] += std::log(second_length);
  if (second_length > 0.0) {
    frame.second[0] = second[0] / second_length;
    frame.second[1] = second[1] / second_length;
  } else {
    frame.second[0] = -frame.first[1];
    frame.second[1] = frame.first[0];
  }
}

}  // namespace

LyapunovSpectrum lyapunov_spectrum(const OrbitSettings& settings, const std::atomic<bool>* stop) {
  LyapunovSpectrum result;
  const MapEntry* entry = find_map(settings.map_number);
  if (entry == nullptr || settings.length < 1) {
    result.outcome = OrbitOutcome::NotANumber;
    return result;
  }
  const auto nvar = static_cast<std::size_t>(entry->nvar);
  double components[2] = {settings.initial[0], settings.initial[1]};
  const std::span<double> state(components, nvar);

  std::int64_t steps_taken = 0;
  for (std::int64_t i = 0; i < settings.n_transient; ++i, ++steps_taken) {
    if (!may_step(state, steps_taken, result) || stopped(stop, steps_taken, result)) return result;
    map_step(settings.map_number, settings.parameters, static_cast<std::int32_t>(i), state);
  }

  Frame frame;
  double sums[2] = {0.0, 0.0};
  MapJacobian jacobian;
  for (std::int64_t i = 0; i < settings.length; ++i, ++steps_taken) {
    if (!may_step(state, steps_taken, result) || stopped(stop, steps_taken, result)) return result;
    map_jacobian(settings.map_number, settings.parameters, state, jacobian);
    if (nvar == 1) {
      sums[0] += std::log(std::fabs(jacobian.entries[0][0]));
    } else {
      advance_frame(jacobian, frame, sums);
    }
    map_step(settings.map_number, settings.parameters, static_cast<std::int32_t>(i), state);
  }
  // An orbit whose last step leaves is as divergent as one that leaves earlier, even though
  // every Jacobian taken along it was finite.
  if (!may_step(state, steps_taken, result)) return result;
  const double steps = static_cast<double>(settings.length);
  for (std::size_t k = 0; k < nvar; ++k) {
    const double exponent = sums[k] / steps;
    // A finite orbit whose derivative is not a number (a parameter at infinity, say) has
    // no exponent either.
    if (std::isnan(exponent)) {
      result.outcome = OrbitOutcome::NotANumber;
      result.failed_at_step = steps_taken;
      result.exponents.clear();
      return result;
    }
    result.exponents.push_back(exponent);
  }
  std::sort(result.exponents.begin(), result.exponents.end(), std::greater<>());
  return result;
}

std::string exponent_lines(const LyapunovSpectrum& spectrum) {
  std::string lines;
  for (const double exponent : spectrum.exponents) {
    char text[64];
    if (std::isinf(exponent)) {
      std::snprintf(text, sizeof text, "%s\n", exponent < 0 ? "-inf" : "inf");
    } else {
      std::snprintf(text, sizeof text, "%.10f\n", exponent);
    }
    lines += text;
  }
  return lines;
}

std::string orbit_failure_text(const LyapunovSpectrum& spectrum) {
  switch (spectrum.outcome) {
    case OrbitOutcome::Divergent:
      return "the orbit goes to infinity (a state variable reaches 1000 in magnitude after " +
             iterations(spectrum.failed_at_step) + "): it has no Lyapunov exponents";
    case OrbitOutcome::NotANumber:
      return "the orbit's state becomes NaN (not a number) after " + iterations(spectrum.failed_at_step) +
             ": it has no Lyapunov exponents";
    case OrbitOutcome::Stopped: return "the computation was stopped after " + iterations(spectrum.failed_at_step);
    case OrbitOutcome::Bounded: break;
  }
  return {};
}

}  // namespace app
