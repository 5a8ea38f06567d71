#pragma once
// Lyapunov exponents of a map's orbit: the orbit is iterated through a transient, then for
// `length` steps the tangent vectors are carried along by the map's Jacobian and
// re-orthonormalised (Gram-Schmidt) at every step; the exponents are the mean logarithms of
// the stretching factors, in nats per iteration, largest first. An orbit that reaches the
// divergence limit (or whose state becomes NaN) has no exponents: the outcome says where.

#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "app/map_catalogue.h"

namespace app {

struct OrbitSettings {
  int map_number = 1;
  MapParameters parameters;
  std::array<double, 2> initial{0.0, 0.0};  // the map's nvar components are read
  std::int64_t n_transient = 1000;
  std::int64_t length = 10000;
};

enum class OrbitOutcome : std::uint8_t { Bounded, Divergent, NotANumber, Stopped };

struct LyapunovSpectrum {
  OrbitOutcome outcome = OrbitOutcome::Bounded;
  // Divergent or NaN: the number of steps taken from the initial state when the state was
  // found divergent (or NaN) before the next step.
  std::int64_t failed_at_step = 0;
  std::vector<double> exponents;  // nvar values, largest first; empty unless Bounded
};

// Computes the spectrum for `settings` (a valid map number and length >= 1). When `stop` is
// given and becomes true, the computation ends early with outcome Stopped.
LyapunovSpectrum lyapunov_spectrum(const OrbitSettings& settings, const std::atomic<bool>* stop = nullptr);

// The exponents of a bounded orbit, one per line ("%.10f", "-inf" for a superstable one).
std::string exponent_lines(const LyapunovSpectrum& spectrum);
// Why an orbit that is not bounded has no exponents, as one sentence without a line end.
std::string orbit_failure_text(const LyapunovSpectrum& spectrum);

}  // namespace app
