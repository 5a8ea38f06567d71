#include "app/map_catalogue.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

namespace app {

namespace {

constexpr std::array<std::string_view, 1> kQuadraticFormula = {"x(n+1) = lambda - x(n)^2"};
constexpr std::array<std::string_view, 2> kHenonFormula = {"x(n+1) = 1 - a*x(n)^2 + b*y(n)", "y(n+1) = x(n)"};
constexpr std::array<std::string_view, 2> kDissipativeFormula = {"x(n+1) = lambda - x(n)^2 + k*(x(n)^2 - y(n)^2)",
                                                                 "y(n+1) = lambda - y(n)^2 + k*(y(n)^2 - x(n)^2)"};
constexpr std::array<std::string_view, 2> kLinearFormula = {"x(n+1) = lambda - x(n)^2 + k*(y(n) - x(n))",
                                                            "y(n+1) = lambda - y(n)^2 + k*(x(n) - y(n))"};
constexpr std::array<std::string_view, 1> kCircuitFormula = {"x(n+1) = A + x(n)*exp(-d/N)*cos(2*pi/(N*(1+beta*x(n))))"};

constexpr std::array<ParameterPrompt, 1> kQuadraticParameters = {{{"   lambda = ", 1}}};
constexpr std::array<ParameterPrompt, 2> kHenonParameters = {{{"   a = ", 1}, {"   b = ", 2}}};
constexpr std::array<ParameterPrompt, 2> kCoupledParameters = {{{"   lambda = ", 1}, {"   k = ", 2}}};
constexpr std::array<ParameterPrompt, 4> kCircuitParameters = {
    {{"   A = ", 1}, {"   d = ", 2}, {"   N = ", 3}, {"   beta = ", 4}}};

constexpr std::array<std::string_view, 1> kOneVariablePrompts = {"   x0 = "};
constexpr std::array<std::string_view, 2> kTwoVariablePrompts = {"   x0 = ", "   y0 = "};

constexpr std::array<MapEntry, kMapCount> kCatalogue = {{
    {1, "quadratic", "   1 - Quadratic map", "Quadratic map:", kQuadraticFormula, 1, kQuadraticParameters,
     kOneVariablePrompts},
    {2, "henon", "   2 - Henon map", "Henon map:", kHenonFormula, 2, kHenonParameters, kTwoVariablePrompts},
    {3, "dissipative", "   3 - Dissipatively coupled quadratic maps",
     "Dissipatively coupled quadratic maps:", kDissipativeFormula, 2, kCoupledParameters, kTwoVariablePrompts},
    {4, "linear", "   4 - Linearly coupled quadratic maps", "Linearly coupled quadratic maps:", kLinearFormula, 2,
     kCoupledParameters, kTwoVariablePrompts},
    {5, "rl-diode", "   5 - Model map of the driven RL-diode circuit",
     "Model map of the driven RL-diode circuit:", kCircuitFormula, 1, kCircuitParameters, kOneVariablePrompts},
}};

}  // namespace

double* parameter_slot(MapParameters& parameters, int slot) {
  switch (slot) {
    case 1: return &parameters.p1;
    case 2: return &parameters.p2;
    case 3: return &parameters.p3;
    case 4: return &parameters.p4;
    default: return nullptr;
  }
}

std::string_view parameter_name(const ParameterPrompt& prompt) {
  std::string_view name = prompt.text;
  name.remove_prefix(std::min(name.find_first_not_of(' '), name.size()));
  return name.substr(0, name.find(" ="));
}

std::span<const MapEntry> map_catalogue() { return kCatalogue; }

const MapEntry* find_map(int map_number) {
  if (map_number < 1 || map_number > kMapCount) return nullptr;
  return &kCatalogue[static_cast<std::size_t>(map_number - 1)];
}

bool map_step(int map_number, const MapParameters& parameters, std::int32_t /*step*/, std::span<double> state) {
  const MapEntry* entry = find_map(map_number);
  if (entry == nullptr || state.size() != static_cast<std::size_t>(entry->nvar)) return false;

  // Work from a copy of the old state so that the two-variable maps update x and y at once.
  const double x = state[0];
  const double y = entry->nvar == 2 ? state[1] : 0.0;
  const double p1 = parameters.p1;
  const double p2 = parameters.p2;
  const double p3 = parameters.p3;
  const double p4 = parameters.p4;

  switch (map_number) {
    case 1: state[0] = p1 - x * x; break;
    case 2:
      state[0] = (p2 * y - p1 * x * x) + 1.0;
      state[1] = x;
      break;
    case 3: {
      const double xx = x * x;
      const double yy = y * y;
      state[0] = (p1 - xx) + p2 * (xx - yy);
      state[1] = (p1 - yy) + p2 * (yy - xx);
      break;
    }
    case 4:
      state[0] = (p1 - x * x) + p2 * (y - x);
      state[1] = (p1 - y * y) + p2 * (x - y);
      break;
    case 5: {
      const double decay = std::exp(-p2 / p3);
      state[0] = p1 + (x * decay) * std::cos(kCircuitTwoPi / ((p4 * x + 1.0) * p3));
      break;
    }
    default: return false;
  }
  return true;
}

bool is_divergent(std::span<const double> state) {
  for (const double v : state) {
    if (std::fabs(v) >= kDivergenceLimit) return true;
  }
  return false;
}

}  // namespace app
