#include "app/plot.h"

#include <algorithm>
#include <cmath>

#include "console/console_api.h"
#include "runtime/fio.h"

namespace app {

namespace {

using runtime::Keyword;
using runtime::keyword_text;

const runtime::FixedFormat range_format("(F5.1)");
const runtime::FixedFormat count_format("(I5)");

constexpr double kAxisPixels = 200.0;
constexpr double kTimeAxisPixels = 300.0;
constexpr std::int16_t kDivisions = 10;
constexpr std::int16_t kTickHalfLength = 3;

// The state component i (1-based) of series point m (1-based) in the plot buffer.
double buffered(const RecordingView& view, std::int32_t component, std::int32_t m) {
  return view.buffer[static_cast<std::size_t>(m - 1) * static_cast<std::size_t>(view.nvar) +
                     static_cast<std::size_t>(component - 1)];
}

// The plot needs no answer from its pixels: they go through the console's queue, drawn in
// batches (plot_end draws the rest).
void set_pixel_at(const std::optional<PixelPoint>& point) {
  if (point) console::plot_pixel(static_cast<std::int16_t>(point->x), static_cast<std::int16_t>(point->y));
}

void draw_label(std::int16_t x, std::int16_t y, const Label& label) {
  console::GraphicsPosition previous;
  console::move_to(x, y, previous);
  console::draw_text(std::string_view(label.data(), kDrawnLabelLength));
}

}  // namespace

AxisScale AxisScale::of(double low, double high) {
  if (high == low) return AxisScale{};
  return AxisScale{low, 1.0 / (high - low), false};
}

int time_offset(std::int32_t k, std::int32_t m) {
  if (m <= 0) return 0;
  return static_cast<int>(std::trunc(static_cast<double>(k) * (1.0 / static_cast<double>(m)) * kTimeAxisPixels));
}

namespace {

// The scaled offset trunc(((v - low) x (1 / (high - low))) x 200) when it lies strictly inside
// the axis (0 < offset < 200), else -1 (also for a collapsed axis). The truncated offset is
// above 0 exactly when the unrounded one is at least 1, and below 200 exactly when the
// unrounded one is; so the test needs no rounding, and the conversion to int (which truncates
// toward zero) happens only for values that fit. NaN fails both tests.
int inner_offset(double value, const AxisScale& axis) {
  if (axis.collapsed) return -1;
  const double offset = ((value - axis.low) * axis.reciprocal) * kAxisPixels;
  return offset >= 1.0 && offset < kAxisPixels ? static_cast<int>(offset) : -1;
}

// upper_panel_point, inlined where the plot sets its pixels: returned from a call, the point
// and its flag are stored apart and read back in one piece, a stall of some ten cycles for
// every point of a series.
[[gnu::always_inline]] inline std::optional<PixelPoint> panel_point(double horizontal, double vertical,
                                                                    const AxisScale& horizontal_axis,
                                                                    const AxisScale& vertical_axis) {
  const int sx = inner_offset(horizontal, horizontal_axis);
  if (sx < 0) return std::nullopt;
  const int sy = inner_offset(vertical, vertical_axis);
  if (sy < 0) return std::nullopt;
  return PixelPoint{kUpperLeft + sx, kUpperBottom - sy};
}

}  // namespace

std::optional<PixelPoint> upper_panel_point(double horizontal, double vertical, const AxisScale& horizontal_axis,
                                            const AxisScale& vertical_axis) {
  return panel_point(horizontal, vertical, horizontal_axis, vertical_axis);
}

std::optional<PixelSegment> lower_panel_segment(std::int32_t m, std::int32_t count, double previous, double current,
                                                const AxisScale& axis) {
  if (m < 2 || count < m) return std::nullopt;
  const int s1 = inner_offset(previous, axis);
  const int s2 = inner_offset(current, axis);
  if (s1 < 0 || s2 < 0) return std::nullopt;
  return PixelSegment{{kLowerLeft + time_offset(m - 1, count), kLowerBottom - s1},
                      {kLowerLeft + time_offset(m, count), kLowerBottom - s2}};
}

Label text_label(std::string_view text) {
  Label label;
  label.fill(' ');
  std::copy_n(text.begin(), std::min(text.size(), label.size()), label.begin());
  return label;
}

Label number_label(double value) {
  Label label = text_label("");
  runtime::write_internal(std::span<char>(label), 0, {runtime::item(value)}, range_format);
  return label;
}

Label count_label(std::int32_t count) {
  Label label = text_label("");
  runtime::write_internal(std::span<char>(label), 0, {runtime::item(count)}, count_format);
  return label;
}

void draw_axes_box(std::int16_t x1, std::int16_t y1, std::int16_t x2, std::int16_t y2, std::int16_t n_x,
                   std::int16_t n_y, const std::array<Label, 6>& labels) {
  console::draw_rectangle(console::kBorderOnly, x1, y1, x2, y2);
  const int dx = x2 - x1;
  const int dy = y2 - y1;
  console::GraphicsPosition previous;
  for (int k = 1; k <= n_x - 1; ++k) {
    // 16-bit positions; the divisions truncate toward zero. A count of 0 on the vertical axis
    // has no divisions to mark, so that axis then gets no ticks.
    const auto xt = static_cast<std::int16_t>(x1 + (k * dx) / n_x);
    console::move_to(xt, static_cast<std::int16_t>(y2 - kTickHalfLength), previous);
    console::line_to(xt, static_cast<std::int16_t>(y2 + kTickHalfLength));
    if (n_y == 0) continue;
    const auto yt = static_cast<std::int16_t>(y1 + (k * dy) / n_y);
    console::move_to(static_cast<std::int16_t>(x1 - kTickHalfLength), yt, previous);
    console::line_to(static_cast<std::int16_t>(x1 + kTickHalfLength), yt);
  }
  const auto below = static_cast<std::int16_t>(y2 + 5);
  const auto left_of = static_cast<std::int16_t>(x1 - 30);
  draw_label(x1, below, labels[0]);
  draw_label(static_cast<std::int16_t>((x1 + x2) / 2 - 12), below, labels[1]);
  draw_label(static_cast<std::int16_t>(x2 - 24), below, labels[2]);
  draw_label(left_of, static_cast<std::int16_t>(y2 - 16), labels[3]);
  draw_label(left_of, static_cast<std::int16_t>((y1 + y2) / 2 - 8), labels[4]);
  draw_label(left_of, y1, labels[5]);
}

void TrajectoryPlot::plot_setup(const RecordingView& view) {
  runtime::open_unit(kGraphicsUnit, 0,
                     {keyword_text(Keyword::File, "user"), keyword_text(Keyword::Title, "Graphics"),
                      keyword_text(Keyword::Blank, "NULL"), keyword_text(Keyword::Status, "UNKNOWN")});
  console::set_window_size(kGraphicsUnit, console::WindowPosition{4, 50, 0, 31, 47});
  console::set_active_window(kGraphicsUnit);
  console::set_bk_color(15);
  console::clear_screen(0);
  console::set_color(0);
  console::init_fonts();
  console::set_font(kLabelFont);
  horizontal_ = vertical_ = series_ = AxisScale{};
  if (view.nvar < 1 || view.range_min == nullptr || view.range_max == nullptr) return;

  const double x_low = view.range_min[0];
  const double x_high = view.range_max[0];
  if (view.nvar >= 2) {
    draw_axes_box(kUpperLeft, kUpperTop, kUpperRight, kUpperBottom, kDivisions, kDivisions,
                  {number_label(x_low), text_label("x"), number_label(x_high), number_label(view.range_min[1]),
                   text_label("y"), number_label(view.range_max[1])});
  } else {
    draw_axes_box(kUpperLeft, kUpperTop, kUpperRight, kUpperBottom, kDivisions, kDivisions,
                  {number_label(x_low), text_label("x(n)"), number_label(x_high), number_label(x_low),
                   text_label("x(n+1)"), number_label(x_high)});
  }
  const std::int32_t r = std::clamp(view.record_variable, 1, view.nvar);
  // A one-variable map's return map puts x(n) across and x(n+1) up: both on the range of x.
  horizontal_ = AxisScale::of(x_low, x_high);
  vertical_ = view.nvar >= 2 ? AxisScale::of(view.range_min[1], view.range_max[1]) : horizontal_;
  series_ = AxisScale::of(view.range_min[r - 1], view.range_max[r - 1]);
  draw_axes_box(kLowerLeft, kLowerTop, kLowerRight, kLowerBottom, kDivisions, kDivisions,
                {text_label("0"), text_label("n"), count_label(view.buffered_points),
                 number_label(view.range_min[r - 1]), text_label("v"), number_label(view.range_max[r - 1])});
}

void TrajectoryPlot::plot_first_phase_point(const RecordingView& view, std::int32_t m) {
  if (view.buffer == nullptr || view.nvar < 1 || m < 1 || m > view.buffered_points) return;
  if (view.nvar >= 2) {
    set_pixel_at(panel_point(buffered(view, 1, m), buffered(view, 2, m), horizontal_, vertical_));
  } else if (m >= 2) {
    set_pixel_at(panel_point(buffered(view, 1, m - 1), buffered(view, 1, m), horizontal_, vertical_));
  }
  if (m < 2) return;
  const std::int32_t r = std::clamp(view.record_variable, 1, view.nvar);
  const std::optional<PixelSegment> segment =
      lower_panel_segment(m, view.buffered_points, buffered(view, r, m - 1), buffered(view, r, m), series_);
  if (!segment) return;
  console::GraphicsPosition previous;
  console::move_to(static_cast<std::int16_t>(segment->from.x), static_cast<std::int16_t>(segment->from.y), previous);
  console::line_to(static_cast<std::int16_t>(segment->to.x), static_cast<std::int16_t>(segment->to.y));
}

void TrajectoryPlot::plot_second_phase_point(const RecordingView& view, double old_first_component,
                                             std::span<const double> state) {
  if (view.nvar < 1 || state.empty()) return;
  if (view.nvar >= 2) {
    if (state.size() >= 2) set_pixel_at(panel_point(state[0], state[1], horizontal_, vertical_));
  } else {
    set_pixel_at(panel_point(old_first_component, state[0], horizontal_, vertical_));
  }
}

void TrajectoryPlot::plot_end() { console::flush_pixels(); }

}  // namespace app
