#pragma once
// The trajectory plot: two framed panels in the graphics window titled "Graphics" (unit 11).
// Above, the square panel (50, 50)-(250, 250) with the phase portrait of a two-variable map
// (y against x) or the return map of a one-variable map (x(n+1) against x(n)), a pixel per
// series point over the whole series; below, the panel (50, 350)-(350, 550) with the time
// series of the recorded component over the first M points as connected segments. Both are
// scaled to the ranges the recording found over its first M points; points fall on a pixel
// only strictly inside their frame, and nothing is drawn for a value that is NaN or whose
// range collapsed to one value. Frames, ticks and labels are drawn in colour 0 on a white
// window, the labels in "t'Arial'h14w7i".
//
// TrajectoryPlot implements the recording's TrajectoryObserver; the scaling and label
// helpers are exposed for tests.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "app/recording.h"

namespace app {

inline constexpr std::int32_t kGraphicsUnit = 11;

// The panels' corners and the font of the labels.
inline constexpr int kUpperLeft = 50, kUpperTop = 50, kUpperRight = 250, kUpperBottom = 250;
inline constexpr int kLowerLeft = 50, kLowerTop = 350, kLowerRight = 350, kLowerBottom = 550;
inline constexpr std::string_view kLabelFont = "t'Arial'h14w7i";

// One axis of a panel: the low end of its range and the reciprocal of the range's width,
// formed once per recording, so that scaling a point multiplies instead of divides.
struct AxisScale {
  double low = 0.0;
  double reciprocal = 0.0;
  bool collapsed = true;  // high equals low: nothing on this axis can be placed
  static AxisScale of(double low, double high);
};

// The time axis: trunc(k x (1 / m) x 300) for series point k of m.
int time_offset(std::int32_t k, std::int32_t m);

struct PixelPoint {
  int x = 0;
  int y = 0;
  friend bool operator==(const PixelPoint&, const PixelPoint&) = default;
};
struct PixelSegment {
  PixelPoint from;
  PixelPoint to;
  friend bool operator==(const PixelSegment&, const PixelSegment&) = default;
};

// The pixel of the upper panel for the pair (horizontal, vertical) on their axes, when it lies
// strictly inside the frame.
std::optional<PixelPoint> upper_panel_point(double horizontal, double vertical, const AxisScale& horizontal_axis,
                                            const AxisScale& vertical_axis);
// The segment of the lower panel from series point m - 1 to point m (2 <= m <= count) on the
// value axis, when both ends lie strictly between the frame's top and bottom.
std::optional<PixelSegment> lower_panel_segment(std::int32_t m, std::int32_t count, double previous, double current,
                                                const AxisScale& axis);

// A label: 20 characters, blank-padded; only the first 10 are drawn.
using Label = std::array<char, 20>;
inline constexpr std::size_t kDrawnLabelLength = 10;
// A range value written under (F5.1), a point count under (I5), by internal writes (a value
// that does not fit shows asterisks; the runtime reports it and goes on).
Label number_label(double value);
Label count_label(std::int32_t count);
Label text_label(std::string_view text);

// One framed panel: the border from (x1, y1) to (x2, y2), n_x - 1 ticks across the bottom and
// the left edge, and the labels x-minimum, x-name, x-maximum, y-minimum, y-name, y-maximum.
void draw_axes_box(std::int16_t x1, std::int16_t y1, std::int16_t x2, std::int16_t y2, std::int16_t n_x,
                   std::int16_t n_y, const std::array<Label, 6>& labels);

class TrajectoryPlot final : public TrajectoryObserver {
 public:
  void plot_setup(const RecordingView& view) override;
  void plot_first_phase_point(const RecordingView& view, std::int32_t m) override;
  void plot_second_phase_point(const RecordingView& view, double old_first_component,
                               std::span<const double> state) override;
  void plot_end() override;

 private:
  // The upper panel's axes and the lower panel's value axis of the recording being plotted
  // (made by plot_setup from the recording's ranges).
  AxisScale horizontal_;
  AxisScale vertical_;
  AxisScale series_;
};

}  // namespace app
