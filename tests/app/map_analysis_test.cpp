// The maps' Jacobians against finite differences, Lyapunov exponents against known values,
// and orbit diagrams against the quadratic map's fixed point and period-2 orbit.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <set>
#include <vector>

#include "app/bifurcation.h"
#include "app/lyapunov.h"
#include "app/map_catalogue.h"

namespace app {
namespace {

struct JacobianCase {
  int map;
  MapParameters parameters;
  std::vector<double> state;
};

TEST(MapJacobian, MatchesCentralDifferencesOfTheStep) {
  const JacobianCase cases[] = {
      {1, {1.9, 0, 0, 0}, {0.3}},          {1, {2.0, 0, 0, 0}, {-1.2}},          {2, {1.4, 0.3, 0, 0}, {0.4, -0.2}},
      {2, {1.2, -0.5, 0, 0}, {-0.9, 0.7}}, {3, {1.8, 0.2, 0, 0}, {0.5, -0.3}},   {3, {1.5, 1.3, 0, 0}, {-0.1, 0.8}},
      {4, {1.9, 0.05, 0, 0}, {0.2, 0.6}},  {4, {1.1, -0.4, 0, 0}, {-0.7, 0.35}}, {5, {0.5, 0.3, 2.0, 0.4}, {0.8}},
      {5, {-1.0, 1.1, 3.5, -0.2}, {1.7}},  {5, {0.0, 0.0, 1.0, 0.0}, {0.25}},
  };
  for (const JacobianCase& c : cases) {
    SCOPED_TRACE(c.map);
    MapJacobian jacobian;
    ASSERT_TRUE(map_jacobian(c.map, c.parameters, c.state, jacobian));
    const std::size_t n = c.state.size();
    for (std::size_t j = 0; j < n; ++j) {
      const double h = 1e-6 * std::max(1.0, std::fabs(c.state[j]));
      std::vector<double> plus = c.state, minus = c.state;
      plus[j] += h;
      minus[j] -= h;
      ASSERT_TRUE(map_step(c.map, c.parameters, 0, plus));
      ASSERT_TRUE(map_step(c.map, c.parameters, 0, minus));
      for (std::size_t i = 0; i < n; ++i) {
        const double difference = (plus[i] - minus[i]) / (2.0 * h);
        EXPECT_NEAR(jacobian.entries[i][j], difference, 1e-6 * std::max(1.0, std::fabs(difference)))
            << "entry " << i << "," << j;
      }
    }
    // Entries outside a one-variable map's 1x1 block stay zero.
    if (n == 1) {
      EXPECT_EQ(jacobian.entries[0][1], 0.0);
      EXPECT_EQ(jacobian.entries[1][0], 0.0);
      EXPECT_EQ(jacobian.entries[1][1], 0.0);
    }
  }
  MapJacobian jacobian;
  EXPECT_FALSE(map_jacobian(6, {}, std::vector<double>{0.0}, jacobian));
  EXPECT_FALSE(map_jacobian(2, {}, std::vector<double>{0.0}, jacobian));
}

OrbitSettings orbit(int map, MapParameters parameters, double x0, double y0, std::int64_t length,
                    std::int64_t transient = 1000) {
  OrbitSettings settings;
  settings.map_number = map;
  settings.parameters = parameters;
  settings.initial = {x0, y0};
  settings.n_transient = transient;
  settings.length = length;
  return settings;
}

TEST(Lyapunov, QuadraticMapAtLambdaTwoIsLnTwo) {
  const LyapunovSpectrum spectrum = lyapunov_spectrum(orbit(1, {2.0, 0, 0, 0}, 0.1, 0.0, 999999));
  ASSERT_EQ(spectrum.outcome, OrbitOutcome::Bounded);
  ASSERT_EQ(spectrum.exponents.size(), 1u);
  EXPECT_NEAR(spectrum.exponents[0], std::numbers::ln2, 5e-4);
}

TEST(Lyapunov, HenonSpectrumAndItsSum) {
  const LyapunovSpectrum spectrum = lyapunov_spectrum(orbit(2, {1.4, 0.3, 0, 0}, 0.1, 0.1, 999999));
  ASSERT_EQ(spectrum.outcome, OrbitOutcome::Bounded);
  ASSERT_EQ(spectrum.exponents.size(), 2u);
  EXPECT_NEAR(spectrum.exponents[0], 0.4192, 5e-4);
  EXPECT_NEAR(spectrum.exponents[1], -1.6232, 5e-4);
  // The Jacobian's determinant is -b at every point, so the exponents sum to ln b at any length.
  for (const std::int64_t length : {1, 2, 17, 1000, 50000}) {
    SCOPED_TRACE(length);
    const LyapunovSpectrum short_run = lyapunov_spectrum(orbit(2, {1.4, 0.3, 0, 0}, 0.1, 0.1, length));
    ASSERT_EQ(short_run.outcome, OrbitOutcome::Bounded);
    EXPECT_NEAR(short_run.exponents[0] + short_run.exponents[1], std::log(0.3), 1e-9);
    EXPECT_GE(short_run.exponents[0], short_run.exponents[1]);
  }
}

TEST(Lyapunov, StableFixedPointsHaveNegativeExponents) {
  // Quadratic map at lambda = 0.6: the fixed point x* = (-1 + sqrt(3.4)) / 2 with slope -2x*.
  const double fixed = (-1.0 + std::sqrt(1.0 + 4.0 * 0.6)) / 2.0;
  const LyapunovSpectrum quadratic = lyapunov_spectrum(orbit(1, {0.6, 0, 0, 0}, 0.1, 0.0, 10000));
  ASSERT_EQ(quadratic.outcome, OrbitOutcome::Bounded);
  EXPECT_NEAR(quadratic.exponents[0], std::log(2.0 * fixed), 1e-9);
  // Two uncoupled copies (k = 0) with equal starts: both exponents are that of one copy.
  const LyapunovSpectrum coupled = lyapunov_spectrum(orbit(4, {0.6, 0.0, 0, 0}, 0.1, 0.1, 10000));
  ASSERT_EQ(coupled.outcome, OrbitOutcome::Bounded);
  EXPECT_NEAR(coupled.exponents[0], std::log(2.0 * fixed), 1e-9);
  EXPECT_NEAR(coupled.exponents[1], std::log(2.0 * fixed), 1e-9);
  // A superstable point: lambda = 0 keeps x = 0, where the slope is 0.
  const LyapunovSpectrum superstable = lyapunov_spectrum(orbit(1, {0.0, 0, 0, 0}, 0.0, 0.0, 100));
  ASSERT_EQ(superstable.outcome, OrbitOutcome::Bounded);
  EXPECT_EQ(superstable.exponents[0], -std::numeric_limits<double>::infinity());
}

TEST(Lyapunov, OrbitsThatLeaveAreReportedNotMeasured) {
  struct Case {
    OrbitSettings settings;
    OrbitOutcome outcome;
    std::int64_t step;
  };
  const Case cases[] = {
      // lambda = 3, x0 = 0.5: 2.75, -4.56, -17.8, -316, -99943: divergent after 5 steps.
      {orbit(1, {3.0, 0, 0, 0}, 0.5, 0.0, 100), OrbitOutcome::Divergent, 5},
      {orbit(1, {3.0, 0, 0, 0}, 0.5, 0.0, 100, 0), OrbitOutcome::Divergent, 5},
      {orbit(2, {1.4, 0.3, 0, 0}, 1000.0, 0.0, 100), OrbitOutcome::Divergent, 0},
      // N = 0 in the circuit map: exp(-d/0) and cos(2pi/0) make the state NaN after one step.
      {orbit(5, {0.5, 0.3, 0.0, 0.0}, 0.2, 0.0, 100), OrbitOutcome::NotANumber, 1},
      // The last step leaves: every Jacobian along the orbit was finite, yet it diverged.
      {orbit(1, {3.0, 0, 0, 0}, 0.5, 0.0, 5, 0), OrbitOutcome::Divergent, 5},
      {orbit(1, {3.0, 0, 0, 0}, 0.5, 0.0, 4, 1), OrbitOutcome::Divergent, 5},
  };
  for (const Case& c : cases) {
    const LyapunovSpectrum spectrum = lyapunov_spectrum(c.settings);
    EXPECT_EQ(spectrum.outcome, c.outcome);
    EXPECT_EQ(spectrum.failed_at_step, c.step);
    EXPECT_TRUE(spectrum.exponents.empty());
  }
}

BifurcationSettings quadratic_diagram(double from, double to, std::int64_t steps) {
  BifurcationSettings settings;
  settings.map_number = 1;
  settings.vary_slot = 1;
  settings.from = from;
  settings.to = to;
  settings.steps = steps;
  settings.initial = {0.1, 0.0};
  settings.n_transient = 1000;
  settings.points = 200;
  return settings;
}

TEST(Bifurcation, QuadraticFixedPointAndPeriodTwoOrbit) {
  struct Point {
    double parameter, value;
  };
  std::vector<Point> points;
  const auto collect = [&](double parameter, double value) { points.push_back({parameter, value}); };

  const BifurcationSummary fixed_summary = compute_bifurcation(quadratic_diagram(0.6, 0.6, 1), collect);
  EXPECT_EQ(fixed_summary.points_kept, 200);
  EXPECT_EQ(fixed_summary.points_left_out, 0);
  const double fixed = (-1.0 + std::sqrt(1.0 + 4.0 * 0.6)) / 2.0;
  ASSERT_EQ(points.size(), 200u);
  for (const Point& p : points) {
    EXPECT_EQ(p.parameter, 0.6);
    EXPECT_NEAR(p.value, fixed, 1e-12);
  }

  points.clear();
  compute_bifurcation(quadratic_diagram(1.0, 1.0, 1), collect);
  std::set<double> values;
  for (const Point& p : points) values.insert(std::round(p.value * 1e9) / 1e9);
  EXPECT_EQ(values, (std::set<double>{0.0, 1.0}));
}

TEST(Bifurcation, ParameterValuesAreEvenlySpacedAndEndAtTo) {
  const BifurcationSettings settings = quadratic_diagram(0.0, 2.0, 801);
  EXPECT_EQ(bifurcation_parameter(settings, 0), 0.0);
  EXPECT_EQ(bifurcation_parameter(settings, 400), 1.0);
  EXPECT_EQ(bifurcation_parameter(settings, 800), 2.0);
  EXPECT_EQ(bifurcation_parameter(quadratic_diagram(1.5, 2.0, 1), 0), 1.5);

  std::vector<double> parameters;
  compute_bifurcation(quadratic_diagram(1.4, 2.0, 61), [&](double parameter, double) {
    if (parameters.empty() || parameters.back() != parameter) parameters.push_back(parameter);
  });
  ASSERT_EQ(parameters.size(), 61u);
  for (std::size_t k = 1; k < parameters.size(); ++k) EXPECT_NEAR(parameters[k] - parameters[k - 1], 0.01, 1e-12);
}

TEST(Bifurcation, DivergentOrbitsAreLeftOutCountedAndRestarted) {
  // Past lambda = 2 the quadratic map's orbit from 0.1 leaves for infinity; below it stays.
  BifurcationSettings settings = quadratic_diagram(1.0, 3.0, 5);  // 1.0, 1.5, 2.0, 2.5, 3.0
  settings.points = 50;
  std::vector<double> kept_parameters;
  const BifurcationSummary summary =
      compute_bifurcation(settings, [&](double parameter, double) { kept_parameters.push_back(parameter); });
  EXPECT_EQ(summary.points_kept, 150);
  EXPECT_EQ(summary.points_left_out, 100);
  EXPECT_EQ(kept_parameters.size(), 150u);
  EXPECT_EQ(kept_parameters.back(), 2.0);

  // After a divergent orbit the next value starts again from the initial state: a range that
  // comes back to a bounded parameter value keeps its points.
  BifurcationSettings back = quadratic_diagram(3.0, 1.0, 3);  // 3.0, 2.0, 1.0
  back.points = 10;
  const BifurcationSummary back_summary = compute_bifurcation(back, {});
  EXPECT_EQ(back_summary.points_left_out, 10);
  EXPECT_EQ(back_summary.points_kept, 20);
}

TEST(Bifurcation, ChosenVariableOfATwoVariableMap) {
  BifurcationSettings settings;
  settings.map_number = 2;
  settings.parameters = {1.4, 0.3, 0, 0};
  settings.vary_slot = 1;
  settings.from = settings.to = 1.4;
  settings.steps = 1;
  settings.initial = {0.1, 0.1};
  settings.points = 100;
  std::vector<double> xs, ys;
  settings.variable = 1;
  compute_bifurcation(settings, [&](double, double value) { xs.push_back(value); });
  settings.variable = 2;
  compute_bifurcation(settings, [&](double, double value) { ys.push_back(value); });
  ASSERT_EQ(xs.size(), 100u);
  ASSERT_EQ(ys.size(), 100u);
  // y(n+1) = x(n): the y series is the x series one step late.
  for (std::size_t n = 1; n < xs.size(); ++n) EXPECT_EQ(ys[n], xs[n - 1]);
  settings.variable = 3;
  EXPECT_EQ(compute_bifurcation(settings, {}).points_kept, 0);
}

}  // namespace
}  // namespace app
