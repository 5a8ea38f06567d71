// The trajectory plot: the scaling and clipping rules, the labels, and the plot drawn into a
// console window by plot_setup and the per-point calls, alone and through record_series.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "app/dialogue_state.h"
#include "app/plot.h"
#include "app/recording.h"
#include "console/console_window_services.h"
#include "console/palette.h"
#include "console_test_support.h"
#include "runtime/fio.h"

namespace {

using app::PixelPoint;
using app::PixelSegment;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// ---- scaling ----

TEST(PlotScaling, TimeAxis) {
  struct TimeCase {
    int k, m, expected;
  };
  for (const TimeCase& c : {TimeCase{1, 100, 3}, TimeCase{100, 100, 300}, TimeCase{1, 2, 150}, TimeCase{2, 2, 300},
                            TimeCase{1, 7, 42}, TimeCase{3, 7, 128}, TimeCase{0, 5, 0}, TimeCase{1, 0, 0}}) {
    EXPECT_EQ(app::time_offset(c.k, c.m), c.expected) << c.k << "/" << c.m;
  }
}

struct UpperCase {
  const char* name;
  double h, v, h_low, h_high, v_low, v_high;
  std::optional<PixelPoint> expected;
};
void PrintTo(const UpperCase& c, std::ostream* os) { *os << c.name; }

class UpperPanelTest : public ::testing::TestWithParam<UpperCase> {};

TEST_P(UpperPanelTest, PointStrictlyInsideTheFrame) {
  const UpperCase& c = GetParam();
  EXPECT_EQ(
      app::upper_panel_point(c.h, c.v, app::AxisScale::of(c.h_low, c.h_high), app::AxisScale::of(c.v_low, c.v_high)),
      c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UpperPanelTest,
    ::testing::Values(UpperCase{"middle", 0.5, 1.0, 0, 2, 0, 4, PixelPoint{100, 200}},
                      UpperCase{"near_top_right", 1.999, 3.999, 0, 2, 0, 4, PixelPoint{249, 51}},
                      UpperCase{"one_pixel_in", 0.015625, 0.03125, 0, 2, 0, 4, PixelPoint{51, 249}},
                      UpperCase{"on_right_frame", 2.0, 1.0, 0, 2, 0, 4, std::nullopt},
                      UpperCase{"on_left_frame", 0.0, 1.0, 0, 2, 0, 4, std::nullopt},
                      UpperCase{"on_bottom_frame", 0.5, 0.0, 0, 2, 0, 4, std::nullopt},
                      UpperCase{"on_top_frame", 0.5, 4.0, 0, 2, 0, 4, std::nullopt},
                      UpperCase{"beyond_the_range", 2.5, 1.0, 0, 2, 0, 4, std::nullopt},
                      UpperCase{"nan", kNaN, 1.0, 0, 2, 0, 4, std::nullopt},
                      UpperCase{"collapsed_range", 0.5, 1.0, 1, 1, 0, 4, std::nullopt},
                      UpperCase{"nan_range", 0.5, 1.0, kNaN, 2, 0, 4, std::nullopt},
                      UpperCase{"just_below_the_range", -0.0078125, 1.0, 0, 2, 0, 4, std::nullopt},
                      UpperCase{"huge_does_not_wrap", 1e300, -1e300, 0, 2, 0, 4, std::nullopt},
                      UpperCase{"infinite", std::numeric_limits<double>::infinity(), 1.0, 0, 2, 0, 4, std::nullopt}),
    [](const ::testing::TestParamInfo<UpperCase>& info) { return std::string(info.param.name); });

struct LowerCase {
  const char* name;
  int m, count;
  double previous, current, low, high;
  std::optional<PixelSegment> expected;
};
void PrintTo(const LowerCase& c, std::ostream* os) { *os << c.name; }

class LowerPanelTest : public ::testing::TestWithParam<LowerCase> {};

TEST_P(LowerPanelTest, SegmentBetweenSuccessivePoints) {
  const LowerCase& c = GetParam();
  EXPECT_EQ(app::lower_panel_segment(c.m, c.count, c.previous, c.current, app::AxisScale::of(c.low, c.high)),
            c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LowerPanelTest,
    ::testing::Values(LowerCase{"two_points_200_to_350", 2, 2, 1.0, 3.0, 0, 4, PixelSegment{{200, 500}, {350, 400}}},
                      LowerCase{"point_100_of_100", 100, 100, 2.0, 2.0, 0, 4, PixelSegment{{347, 450}, {350, 450}}},
                      LowerCase{"second_of_seven", 2, 7, 1.0, 2.0, 0, 4, PixelSegment{{92, 500}, {135, 450}}},
                      LowerCase{"first_point_has_no_segment", 1, 5, 1.0, 1.0, 0, 4, std::nullopt},
                      LowerCase{"end_on_the_top_frame", 2, 2, 1.0, 4.0, 0, 4, std::nullopt},
                      LowerCase{"start_on_the_bottom_frame", 2, 2, 0.0, 1.0, 0, 4, std::nullopt},
                      LowerCase{"nan", 3, 4, kNaN, 1.0, 0, 4, std::nullopt},
                      LowerCase{"collapsed_range", 2, 2, 1.0, 1.0, 1, 1, std::nullopt}),
    [](const ::testing::TestParamInfo<LowerCase>& info) { return std::string(info.param.name); });

// ---- labels ----

std::string text_of(const app::Label& label) { return std::string(label.data(), label.size()); }

TEST(PlotLabels, InternalWritesIntoTwentyCharacters) {
  struct LabelCase {
    app::Label label;
    std::string expected;
  };
  const std::string blanks15(15, ' ');
  const std::vector<LabelCase> cases = {
      {app::number_label(1.4), "  1.4" + blanks15},
      {app::number_label(-1.5), " -1.5" + blanks15},
      {app::number_label(999.94), "999.9" + blanks15},
      {app::number_label(999.96), "*****" + blanks15},  // 1000.0 does not fit
      {app::number_label(-99.96), "*****" + blanks15},  // -100.0 does not fit
      {app::count_label(100), "  100" + blanks15},
      {app::count_label(2), "    2" + blanks15},
      {app::text_label("x(n+1)"), "x(n+1)" + std::string(14, ' ')},
      {app::text_label(std::string(25, 'z')), std::string(20, 'z')},
  };
  for (const LabelCase& c : cases) EXPECT_EQ(text_of(c.label), c.expected);
}

// ---- the plot in a console window ----

class PlotWindowTest : public console_test::ConsoleTest {
 protected:
  void SetUp() override {
    ConsoleTest::SetUp();
    services = std::make_unique<console::ConsoleWindowServices>(*core);
    runtime::register_window_services(services.get());
    core->set_unit_mapper([](std::int32_t unit) { return runtime::unit_window_index(unit); });
  }
  void TearDown() override {
    runtime::close_unit(app::kGraphicsUnit, 0);
    runtime::close_unit(app::kSeriesUnit, 0);
    runtime::register_window_services(nullptr);
    ConsoleTest::TearDown();
  }
  int graphics_window() { return runtime::unit_window_index(app::kGraphicsUnit); }
  bool black(int x, int y) { return pixel(graphics_window(), x, y) == qRgb(0, 0, 0); }
  // Black pixels strictly inside a panel, away from the ticks and the labels that reach in.
  std::vector<std::pair<int, int>> inner_points(int left, int top, int right, int bottom) {
    std::vector<std::pair<int, int>> points;
    with_record(graphics_window(), [&](console::ChildWindowRecord& r) {
      for (int y = top + 4; y <= bottom - 4; ++y)
        for (int x = left + 10; x <= right - 1; ++x)
          if (r.surface().pixel(x, y) == qRgb(0, 0, 0)) points.emplace_back(x, y);
    });
    return points;
  }
  int black_in(const QRect& area) {
    int n = 0;
    with_record(graphics_window(), [&](console::ChildWindowRecord& r) {
      for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) n += r.surface().pixel(x, y) == qRgb(0, 0, 0) ? 1 : 0;
    });
    return n;
  }
  // Opens unit 1 on a file of the test's own.
  void open_series_file() {
    const std::string path = ::testing::TempDir() + "plot_series.txt";
    ASSERT_EQ(runtime::open_unit(app::kSeriesUnit, runtime::kErrorBranch,
                                 {runtime::keyword_text(runtime::Keyword::File, path),
                                  runtime::keyword_text(runtime::Keyword::Status, "UNKNOWN")}),
              0);
  }

  std::unique_ptr<console::ConsoleWindowServices> services;
  app::TrajectoryPlot plot;
};

TEST_F(PlotWindowTest, SetupDrawsBothFramesTicksAndLabelsOnWhite) {
  const double range_min[2] = {0.0, 0.0};
  const double range_max[2] = {2.0, 4.0};
  const double buffer[4] = {0.5, 1.0, 1.0, 2.0};
  const app::RecordingView view{2, 1, 2, buffer, range_min, range_max};
  plot.plot_setup(view);
  ASSERT_GT(graphics_window(), 0);
  const auto info = core->window_info(graphics_window());
  ASSERT_TRUE(info);
  EXPECT_EQ(info->title, "Graphics");
  EXPECT_EQ(core->active_window(), graphics_window());
  // Corners of both frames, and the white inside.
  for (const auto& [x, y] :
       {std::pair{50, 50}, {250, 50}, {50, 250}, {250, 250}, {50, 350}, {350, 350}, {50, 550}, {350, 550}})
    EXPECT_TRUE(black(x, y)) << x << "," << y;
  EXPECT_EQ(pixel(graphics_window(), 150, 150), qRgb(255, 255, 255));
  EXPECT_EQ(pixel(graphics_window(), 600, 400), qRgb(255, 255, 255));
  // Nine ticks per axis, 3 pixels each side of the edge.
  for (int k = 1; k <= 9; ++k) {
    const int upper = 50 + 20 * k;
    EXPECT_TRUE(black(upper, 247) && black(upper, 253)) << k;
    EXPECT_FALSE(black(upper, 254)) << k;
    EXPECT_TRUE(black(47, upper) && black(53, upper)) << k;
    const int lower_x = 50 + 30 * k;
    EXPECT_TRUE(black(lower_x, 547) && black(lower_x, 553)) << k;
    EXPECT_TRUE(black(47, 350 + 20 * k)) << k;
  }
  EXPECT_FALSE(black(50 + 20 * 10, 253));  // no tick at the corner
  // Labels below each frame and to its left.
  EXPECT_GT(black_in(QRect(50, 255, 40, 18)), 5);   // x minimum
  EXPECT_GT(black_in(QRect(138, 255, 20, 18)), 3);  // "x"
  EXPECT_GT(black_in(QRect(226, 255, 40, 18)), 5);  // x maximum
  EXPECT_GT(black_in(QRect(20, 234, 30, 16)), 5);   // y minimum
  EXPECT_GT(black_in(QRect(20, 142, 30, 16)), 3);   // "y"
  EXPECT_GT(black_in(QRect(20, 50, 30, 16)), 5);    // y maximum
  EXPECT_GT(black_in(QRect(326, 555, 40, 18)), 5);  // M under the time axis
  // Nothing inside the panels yet.
  EXPECT_TRUE(inner_points(50, 50, 250, 250).empty());
}

TEST_F(PlotWindowTest, PointsAndSegmentsAtTheScaledPositions) {
  const double range_min[2] = {0.0, 0.0};
  const double range_max[2] = {2.0, 4.0};
  // Columns (x, y): (0.5, 1), (1.5, 3), (2, 2) on the right frame, (NaN, 1).
  const double buffer[8] = {0.5, 1.0, 1.5, 3.0, 2.0, 2.0, kNaN, 1.0};
  const app::RecordingView view{2, 2, 4, buffer, range_min, range_max};
  plot.plot_setup(view);
  for (int m = 1; m <= 4; ++m) plot.plot_first_phase_point(view, m);
  EXPECT_EQ(inner_points(50, 50, 250, 250), (std::vector<std::pair<int, int>>{{200, 100}, {100, 200}}));
  // The lower panel shows y (record_variable 2): from (125, 500) to (200, 400), then to
  // (275, 450); the NaN point of x does not matter for y, so the last segment goes on to
  // (350, 500).
  for (const auto& [x, y] : {std::pair{125, 500}, {200, 400}, {275, 450}, {350, 500}})
    EXPECT_TRUE(black(x, y)) << x << "," << y;
  // The second phase adds upper-panel points only.
  const std::vector<double> state = {1.0, 2.0};
  plot.plot_second_phase_point(view, 0.0, state);
  EXPECT_TRUE(black(150, 150));
}

TEST_F(PlotWindowTest, ReturnMapOfAOneVariableMap) {
  const double range_min[1] = {0.0};
  const double range_max[1] = {2.0};
  const double buffer[3] = {0.5, 1.5, 1.0};
  const app::RecordingView view{1, 1, 3, buffer, range_min, range_max};
  plot.plot_setup(view);
  plot.plot_first_phase_point(view, 1);
  EXPECT_TRUE(inner_points(50, 50, 250, 250).empty());  // no point for series point 1
  plot.plot_first_phase_point(view, 2);
  plot.plot_first_phase_point(view, 3);
  // (x(1), x(2)) = (0.5, 1.5) and (x(2), x(3)) = (1.5, 1.0).
  EXPECT_EQ(inner_points(50, 50, 250, 250), (std::vector<std::pair<int, int>>{{100, 100}, {200, 150}}));
  const std::vector<double> state = {0.25};
  plot.plot_second_phase_point(view, 1.0, state);  // (1.0, 0.25)
  EXPECT_TRUE(black(150, 225));
}

TEST_F(PlotWindowTest, EverySetupClearsThePicture) {
  const double range_min[2] = {0.0, 0.0};
  const double range_max[2] = {2.0, 4.0};
  const double buffer[2] = {0.5, 1.0};
  const app::RecordingView view{2, 1, 1, buffer, range_min, range_max};
  plot.plot_setup(view);
  plot.plot_first_phase_point(view, 1);
  EXPECT_TRUE(black(100, 200));
  const int window = graphics_window();
  plot.plot_setup(view);
  EXPECT_EQ(graphics_window(), window);  // the same window again
  EXPECT_FALSE(black(100, 200));
}

// Runs one recording of the Henon map through record_series with the plot.
void henon_state(app::DialogueState& state, std::int32_t n_series, bool noise) {
  state.map_number = 2;
  state.nvar = 2;
  state.parameters.p1 = 1.4;
  state.parameters.p2 = 0.3;
  state.x0.allocate(2);
  state.working_state.allocate(2);
  state.x0[0] = 0.1;
  state.x0[1] = 0.1;
  state.record_variable = 1;
  state.n_transient = 1000;
  state.n_series = n_series;
  state.add_noise = noise;
  state.noise_std = 0.5;
}

TEST_F(PlotWindowTest, NoiseNeverShowsInThePlot) {
  QImage pictures[2];
  for (const bool noise : {false, true}) {
    app::DialogueState state;
    henon_state(state, 3000, noise);
    open_series_file();
    app::record_series(state, &plot);
    with_record(graphics_window(), [&](console::ChildWindowRecord& r) { pictures[noise ? 1 : 0] = r.surface().copy(); });
  }
  // The labels show the same ranges and the points are the noiseless states.
  EXPECT_EQ(pictures[0], pictures[1]);
  EXPECT_GT(inner_points(50, 50, 250, 250).size(), 500u);
}

TEST_F(PlotWindowTest, FixedPointDrawsNoPointsAndLabelsTheValue) {
  app::DialogueState state;
  state.map_number = 1;
  state.nvar = 1;
  state.parameters.p1 = 2.0;
  state.x0.allocate(1);
  state.working_state.allocate(1);
  state.x0[0] = 1.0;
  state.n_transient = 10;
  state.n_series = 300;
  open_series_file();
  app::record_series(state, &plot);
  EXPECT_TRUE(inner_points(50, 50, 250, 250).empty());
  EXPECT_TRUE(inner_points(50, 350, 350, 550).empty());
  EXPECT_GT(black_in(QRect(50, 255, 40, 18)), 5);  // "  1.0" under the frame
}

}  // namespace
