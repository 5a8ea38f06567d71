// The maps' Jacobians against finite differences, Lyapunov exponents against known values,
// and orbit diagrams against the quadratic map's fixed point and period-2 orbit; the
// diagrams made ready to draw: the axes' ranges and labels, the raster's pixels for the ends
// of the ranges and for points outside them, and the two sweeps of compute_diagram (the
// fixed point and the period-2 orbit on one and two rows, points left out, a stop request).

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <limits>
#include <numbers>
#include <set>
#include <utility>
#include <vector>

#include "app/bifurcation.h"
#include "app/bifurcation_diagram.h"
#include "app/diagram_raster.h"
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

TEST(Lyapunov, AStopEndsTheComputation) {
  std::atomic<bool> stop{true};
  const LyapunovSpectrum stopped = lyapunov_spectrum(orbit(2, {1.4, 0.3, 0, 0}, 0.1, 0.1, 999999), &stop);
  EXPECT_EQ(stopped.outcome, OrbitOutcome::Stopped);
  EXPECT_TRUE(stopped.exponents.empty());
  EXPECT_LT(stopped.failed_at_step, 999999 + 1000);
  EXPECT_NE(orbit_failure_text(stopped).find("stopped"), std::string::npos);
  stop = false;
  EXPECT_EQ(lyapunov_spectrum(orbit(2, {1.4, 0.3, 0, 0}, 0.1, 0.1, 1000), &stop).outcome, OrbitOutcome::Bounded);
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

// ---- orbit diagrams made ready to draw ----

TEST(DiagramAxis, RangesAreNeverEmptyAndRoundOutward) {
  struct Case {
    double a, b;
    double low, high;                  // spanning(a, b)
    double rounded_low, rounded_high;  // .rounded_out()
  };
  const Case cases[] = {
      {0.0, 2.0, 0.0, 2.0, 0.0, 2.0},
      {2.0, 0.0, 0.0, 2.0, 0.0, 2.0},
      {-1.99992, 1.99998, -1.99992, 1.99998, -2.0, 2.0},
      {0.31, 0.3449, 0.31, 0.3449, 0.31, 0.345},
      {0.6, 0.6, 0.1, 1.1, 0.1, 1.1},
      {std::numeric_limits<double>::quiet_NaN(), 1.0, -0.5, 0.5, -0.5, 0.5},
      {-1e308, 1e308, -1e308, 1e308, -1e308, 1e308},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.a << " " << c.b);
    const DiagramAxis axis = DiagramAxis::spanning(c.a, c.b);
    EXPECT_DOUBLE_EQ(axis.low, c.low);
    EXPECT_DOUBLE_EQ(axis.high, c.high);
    const DiagramAxis rounded = axis.rounded_out();
    EXPECT_NEAR(rounded.low, c.rounded_low, 1e-12 * std::max(1.0, std::fabs(c.rounded_low)));
    EXPECT_NEAR(rounded.high, c.rounded_high, 1e-12 * std::max(1.0, std::fabs(c.rounded_high)));
    // Never inside the range by more than a rounding error.
    EXPECT_LE(rounded.low, axis.low + 1e-9 * (axis.high - axis.low));
    EXPECT_GE(rounded.high, axis.high - 1e-9 * (axis.high - axis.low));
  }
}

TEST(DiagramAxis, LabelsAreShort) {
  const std::pair<double, const char*> cases[] = {
      {0.0, "0"},
      {-0.0, "0"},
      {2.0, "2"},
      {1.4, "1.4"},
      {-0.3, "-0.3"},
      {1e-05, "1e-05"},
      {-2.0000000000000004, "-2"},
      {123456789.0, "1.23457e+08"},
      {0.345, "0.345"},
  };
  for (const auto& [value, text] : cases) EXPECT_EQ(axis_number_text(value), text) << value;
}

TEST(DiagramRaster, RangeEndsFallOnTheFirstAndLastPixels) {
  const DiagramLayout layout = DiagramLayout::of_size(800, 600);
  ASSERT_GT(layout.inner_width(), 500);
  ASSERT_GT(layout.inner_height(), 400);
  EXPECT_LT(layout.right, 800);
  EXPECT_LT(layout.bottom, 600);
  DiagramRaster raster(layout, DiagramAxis{0.0, 2.0}, DiagramAxis{-1.0, 1.0});
  EXPECT_EQ(raster.columns(), layout.inner_width());
  EXPECT_EQ(raster.rows(), layout.inner_height());
  const int last_column = raster.columns() - 1;
  const int last_row = raster.rows() - 1;

  struct Case {
    double parameter, value;
    int column, row;  // -1: not marked anywhere
  };
  const Case cases[] = {
      {0.0, 1.0, 0, 0},  // top left: the low parameter, the high value
      {2.0, -1.0, last_column, last_row},
      {2.0, 1.0, last_column, 0},
      {0.0, -1.0, 0, last_row},
      {1.0, 0.0, static_cast<int>(std::lround(last_column / 2.0)),
       last_row - static_cast<int>(std::lround(last_row / 2.0))},
      {2.01, 0.0, -1, -1},  // outside the ranges: left out
      {1.0, -1.01, -1, -1},
      {-0.01, 0.0, -1, -1},
      {std::numeric_limits<double>::quiet_NaN(), 0.0, -1, -1},
      {1.0, std::numeric_limits<double>::quiet_NaN(), -1, -1},
  };
  std::int64_t expected_marks = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.parameter << ", " << c.value);
    const std::int64_t before = raster.marked_count();
    raster.add(c.parameter, c.value);
    if (c.column < 0) {
      EXPECT_EQ(raster.marked_count(), before);
      continue;
    }
    EXPECT_TRUE(raster.marked(c.column, c.row));
    EXPECT_EQ(raster.marked_count(), ++expected_marks);
  }
  // A point on a pixel already marked marks nothing new.
  raster.add(0.0, 1.0);
  EXPECT_EQ(raster.marked_count(), expected_marks);
  EXPECT_FALSE(raster.marked(-1, 0));
  EXPECT_FALSE(raster.marked(0, raster.rows()));
}

std::vector<int> marked_rows(const DiagramRaster& raster, int column) {
  std::vector<int> rows;
  for (int row = 0; row < raster.rows(); ++row) {
    if (raster.marked(column, row)) rows.push_back(row);
  }
  return rows;
}

TEST(ComputeDiagram, FixedPointAndPeriodTwoOrbitOnTheirRows) {
  // Two parameter values: 0.6 in the first column, 1.0 in the last.
  int data_points = 0;
  const BifurcationDiagram diagram =
      compute_diagram(quadratic_diagram(0.6, 1.0, 2), 800, 600, [&data_points](double, double) { ++data_points; });
  EXPECT_EQ(data_points, 400);  // the data sink sees every point once, not once per sweep
  EXPECT_EQ(diagram.summary.points_kept, 400);
  EXPECT_EQ(diagram.summary.points_left_out, 0);
  EXPECT_FALSE(diagram.summary.stopped);
  // The values run from 0 to 1: the value axis holds both ends.
  EXPECT_LE(diagram.value_axis.low, 0.0);
  EXPECT_GE(diagram.value_axis.high, 1.0);

  const DiagramRaster& raster = diagram.raster;
  const double fixed = (-1.0 + std::sqrt(1.0 + 4.0 * 0.6)) / 2.0;
  const double row_scale = (raster.rows() - 1) / (diagram.value_axis.high - diagram.value_axis.low);
  const auto row_of = [&](double value) {
    return raster.rows() - 1 - static_cast<int>(std::lround((value - diagram.value_axis.low) * row_scale));
  };
  EXPECT_EQ(marked_rows(raster, 0), std::vector<int>{row_of(fixed)});
  EXPECT_EQ(marked_rows(raster, raster.columns() - 1), (std::vector<int>{row_of(1.0), row_of(0.0)}));
  for (int column = 1; column < raster.columns() - 1; ++column) EXPECT_TRUE(marked_rows(raster, column).empty());
  EXPECT_EQ(raster.marked_count(), 3);
}

TEST(ComputeDiagram, DivergentOrbitsAreCountedAndEverythingLeftOutStillDraws) {
  BifurcationSettings settings = quadratic_diagram(1.0, 3.0, 5);
  settings.points = 10;
  const BifurcationDiagram some = compute_diagram(settings, 400, 300);
  EXPECT_EQ(some.summary.points_kept, 30);
  EXPECT_EQ(some.summary.points_left_out, 20);
  EXPECT_EQ(left_out_text(some.summary), "20 of 50 points left out: their orbits went to infinity or became NaN");

  const BifurcationDiagram none = compute_diagram(quadratic_diagram(2.5, 3.0, 3), 400, 300);
  EXPECT_EQ(none.summary.points_kept, 0);
  EXPECT_EQ(none.raster.marked_count(), 0);
  EXPECT_LT(none.value_axis.low, none.value_axis.high);
  EXPECT_EQ(left_out_text(compute_diagram(quadratic_diagram(0.5, 0.6, 3), 400, 300).summary), "");
}

TEST(ComputeDiagram, AStopEndsTheSweeps) {
  std::atomic<bool> stop{true};
  const BifurcationDiagram diagram = compute_diagram(quadratic_diagram(0.0, 2.0, 800), 800, 600, {}, &stop);
  EXPECT_TRUE(diagram.summary.stopped);
  EXPECT_EQ(diagram.summary.points_kept, 0);

  // A stop asked for while the first sweep runs ends it after the parameter value in hand.
  std::atomic<bool> later{false};
  int seen = 0;
  const BifurcationSummary summary = compute_bifurcation(
      quadratic_diagram(0.0, 2.0, 800),
      [&](double, double) {
        if (++seen == 250) later = true;
      },
      &later);
  EXPECT_TRUE(summary.stopped);
  EXPECT_EQ(summary.points_kept, 400);  // two parameter values of 200 points
}

TEST(DiagramLabels, TitleNamesTheMapAndTheFixedParameters) {
  BifurcationSettings henon;
  henon.map_number = 2;
  henon.parameters = {1.4, 0.3, 0, 0};
  henon.vary_slot = 1;
  henon.variable = 2;
  const DiagramLabels labels = diagram_labels(henon);
  EXPECT_EQ(labels.title, "Henon map: b = 0.3");
  EXPECT_EQ(labels.parameter_name, "a");
  EXPECT_EQ(labels.variable_name, "y");

  BifurcationSettings circuit;
  circuit.map_number = 5;
  circuit.parameters = {0.5, 0.3, 2.0, -0.25};
  circuit.vary_slot = 2;
  EXPECT_EQ(diagram_labels(circuit).title, "Model map of the driven RL-diode circuit: A = 0.5, N = 2, beta = -0.25");
  EXPECT_EQ(diagram_labels(circuit).parameter_name, "d");
  EXPECT_EQ(diagram_labels(quadratic_diagram(0, 2, 2)).title, "Quadratic map");
  EXPECT_EQ(slot_parameter_name(1, 2), "");
  EXPECT_EQ(slot_parameter_name(9, 1), "");
}

}  // namespace
}  // namespace app
