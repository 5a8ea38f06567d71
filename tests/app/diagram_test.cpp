// Orbit diagrams made ready to draw: the axes' ranges and labels, the raster's pixels for the
// ends of the ranges and for points outside them, and the two sweeps of compute_diagram
// (the quadratic map's fixed point and period-2 orbit on one and two rows, points left out,
// a stop request).

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <limits>
#include <vector>

#include "app/bifurcation_diagram.h"
#include "app/diagram_raster.h"

namespace app {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

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
      {kNaN, 1.0, -0.5, 0.5, -0.5, 0.5},
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
      {kNaN, 0.0, -1, -1},
      {1.0, kNaN, -1, -1},
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

BifurcationSettings quadratic(double from, double to, std::int64_t steps) {
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
      compute_diagram(quadratic(0.6, 1.0, 2), 800, 600, [&data_points](double, double) { ++data_points; });
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
  BifurcationSettings settings = quadratic(1.0, 3.0, 5);
  settings.points = 10;
  const BifurcationDiagram some = compute_diagram(settings, 400, 300);
  EXPECT_EQ(some.summary.points_kept, 30);
  EXPECT_EQ(some.summary.points_left_out, 20);
  EXPECT_EQ(left_out_text(some.summary), "20 of 50 points left out: their orbits went to infinity or became NaN");

  const BifurcationDiagram none = compute_diagram(quadratic(2.5, 3.0, 3), 400, 300);
  EXPECT_EQ(none.summary.points_kept, 0);
  EXPECT_EQ(none.raster.marked_count(), 0);
  EXPECT_LT(none.value_axis.low, none.value_axis.high);
  EXPECT_EQ(left_out_text(compute_diagram(quadratic(0.5, 0.6, 3), 400, 300).summary), "");
}

TEST(ComputeDiagram, AStopEndsTheSweeps) {
  std::atomic<bool> stop{true};
  const BifurcationDiagram diagram = compute_diagram(quadratic(0.0, 2.0, 800), 800, 600, {}, &stop);
  EXPECT_TRUE(diagram.summary.stopped);
  EXPECT_EQ(diagram.summary.points_kept, 0);

  // A stop asked for while the first sweep runs ends it after the parameter value in hand.
  std::atomic<bool> later{false};
  int seen = 0;
  const BifurcationSummary summary = compute_bifurcation(
      quadratic(0.0, 2.0, 800),
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
  EXPECT_EQ(diagram_labels(quadratic(0, 2, 2)).title, "Quadratic map");
  EXPECT_EQ(slot_parameter_name(1, 2), "");
  EXPECT_EQ(slot_parameter_name(9, 1), "");
}

}  // namespace
}  // namespace app
