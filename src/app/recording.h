#pragma once
// One recording: the transient is iterated and thrown away, the first (at most 100) series
// points are buffered to find the plotting ranges, noise is drawn for the whole series at
// once, and every series point is written under (F20.10) to unit 1 and handed to the plot
// right after it is written. Divergence ends the writing early with the message
// "The trajectory goes to infinity". Unit 1 is closed at the end.
//
// The dialogue and the record command share this routine and open_series_unit, so that a
// series file is the same byte for byte whichever of them made it.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "app/dialogue_state.h"

namespace app {

inline constexpr std::int32_t kDialogueUnit = 10;
inline constexpr std::int32_t kSeriesUnit = 1;
inline constexpr std::int32_t kPlotBufferLength = 100;

inline constexpr std::string_view kDivergenceMessage = "The trajectory goes to infinity";

// What the plot reads while a recording runs.
struct RecordingView {
  std::int32_t nvar = 0;
  std::int32_t record_variable = 1;
  std::int32_t buffered_points = 0;  // M = min(n_series, 100)
  // The plot buffer: nvar x M states stored column by column (point m is column m - 1);
  // null after the first output phase.
  const double* buffer = nullptr;
  const double* range_min = nullptr;  // nvar values
  const double* range_max = nullptr;  // nvar values
};

// Receives the plot's share of a recording. The plot draws only noiseless states.
class TrajectoryObserver {
 public:
  virtual ~TrajectoryObserver() = default;
  // The graphics window is prepared and both panels are drawn (before any value is written).
  virtual void plot_setup(const RecordingView& view) = 0;
  // Series point m (1..M) of the first output phase was written.
  virtual void plot_first_phase_point(const RecordingView& view, std::int32_t m) = 0;
  // A point of the second phase was written: the first component before the step and the
  // state after it.
  virtual void plot_second_phase_point(const RecordingView& view, double old_first_component,
                                       std::span<const double> state) = 0;
  // The last point was written: whatever the plot holds back goes on the window now.
  virtual void plot_end() = 0;
};

// What a recording leaves besides its file and its plot.
struct RecordingOutcome {
  std::int64_t values_written = 0;
  // The series point whose state was first found divergent. Series point m is the state after
  // n_transient + m - 1 steps, so the states of the transient are the points 1 - n_transient
  // (x0) to 0. Nothing when no state was found divergent.
  std::optional<std::int64_t> divergent_point;
  // The element of the uniform generator's sequence that this recording's noise continued
  // from (the seed that starts the same noise again); nothing without noise.
  std::optional<std::int32_t> noise_seed;
};

// Shows the divergence message; the dialogue writes it as a line on its unit.
using MessageWriter = void (*)(std::string_view message);
void write_dialogue_line(std::string_view message);

// Connects unit 1 for the next recording with an empty file name: the runtime takes the next
// unused command-line argument or asks the user for a name.
void open_series_unit();

// Runs one recording for `state` (map, parameters, x0, settings) into unit 1; `plot` may be
// null. The divergence message goes to `report_divergence`.
RecordingOutcome record_series(DialogueState& state, TrajectoryObserver* plot,
                               MessageWriter report_divergence = write_dialogue_line);

}  // namespace app
