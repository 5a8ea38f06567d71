#include "app/recording.h"

#include <algorithm>
#include <array>
#include <limits>

#include "app/prompt_read.h"
#include "numerics/normal_deviates.h"
#include "numerics/uniform_generator.h"
#include "runtime/fio.h"

namespace app {
namespace {

using runtime::Keyword;
using runtime::keyword_text;

const runtime::FixedFormat series_format("(F20.10)");

// The working state on its way from x0, and the series point at which it was first found
// divergent. Once divergent it is never stepped again.
class Trajectory {
 public:
  explicit Trajectory(DialogueState& state) : state_(state) {
    std::copy_n(state.x0.data(), state.nvar, state.working_state.data());
  }

  // Takes step `step_index` unless the state (series point `point`) is divergent; false, with
  // the state left as it is, when it is.
  bool advance(std::int32_t step_index, std::int64_t point) {
    if (is_divergent(state_.working_state.span())) {
      if (!divergent_point_) divergent_point_ = point;
      return false;
    }
    map_step(state_.map_number, state_.parameters, step_index, state_.working_state.span());
    return true;
  }

  bool diverged() const { return divergent_point_.has_value(); }
  std::optional<std::int64_t> divergent_point() const { return divergent_point_; }
  std::span<const double> state() const { return state_.working_state.span(); }

 private:
  DialogueState& state_;
  std::optional<std::int64_t> divergent_point_;
};

// The first M series points, nvar x M states column by column, and the plotting ranges over
// them: each component's smallest and largest value, widened by a tenth of their difference.
class PlotBuffer {
 public:
  PlotBuffer(std::int32_t nvar, std::int32_t points)
      : nvar_(nvar), points_(points), states_(static_cast<std::size_t>(nvar) * points) {}

  double* column(std::int32_t m) { return states_.data() + static_cast<std::size_t>(m - 1) * nvar_; }
  void store(std::int32_t m, std::span<const double> state) { std::copy(state.begin(), state.end(), column(m)); }

  void find_ranges() {
    range_min_.allocate(nvar_);
    range_max_.allocate(nvar_);
    for (std::int32_t i = 0; i < nvar_; ++i) {
      double low = std::numeric_limits<double>::max();
      double high = -std::numeric_limits<double>::max();
      for (std::int32_t m = 1; m <= points_; ++m) {
        const double v = column(m)[i];
        // The first column always replaces the starting values, even when it is NaN.
        if (m == 1 || v < low) low = v;
        if (m == 1 || v > high) high = v;
      }
      const double widen = (high - low) * 0.1;
      range_min_[i] = low - widen;
      range_max_[i] = widen + high;
    }
  }

  RecordingView view(std::int32_t record_variable) const {
    return {nvar_, record_variable, points_, states_.data(), range_min_.data(), range_max_.data()};
  }

  // The states are no longer needed once the first output phase is written; the ranges stay.
  void release_states() { states_.release(); }

 private:
  std::int32_t nvar_;
  std::int32_t points_;
  RuntimeArray states_;
  RuntimeArray range_min_;
  RuntimeArray range_max_;
};

// The noise of every series point, drawn at once by one call of DRNNOR and scaled by the
// standard deviation; nothing when the recording has no noise.
class SeriesNoise {
 public:
  SeriesNoise(const DialogueState& state, RecordingOutcome& outcome) {
    if (!state.add_noise) return;
    noise_.allocate(static_cast<std::size_t>(state.n_series));
    // Takes the seed from the clock now if no seed is set yet (DRNUN would at its first call),
    // so that the recording can tell which seed its noise started from.
    numerics::init_uniform_generator(0);
    outcome.noise_seed = numerics::uniform_seed();
    numerics::DRNNOR(state.n_series, noise_.span());
    for (std::size_t k = 0; k < noise_.size(); ++k) noise_[k] *= state.noise_std;
  }

  // `value` of series point m with its noise added (rounded to double).
  double added_to(std::int32_t m, double value) const {
    return noise_.allocated() ? value + noise_[static_cast<std::size_t>(m - 1)] : value;
  }

 private:
  RuntimeArray noise_;
};

// The series values on their way to the file, written a batch at a time: one WRITE of up to
// kBatchLength items under (F20.10) makes the same records, one per item (the format reverts
// after its one field), as one WRITE per value, and pays for a statement once a batch. The
// batch is written when it is full and by flush; a write that fails ends the program from
// the runtime, as a single value's write would.
class SeriesWriter {
 public:
  explicit SeriesWriter(RecordingOutcome& outcome) : outcome_(outcome) {
    for (std::size_t i = 0; i < kBatchLength; ++i) items_[i] = runtime::item(values_[i]);
  }
  SeriesWriter(const SeriesWriter&) = delete;
  SeriesWriter& operator=(const SeriesWriter&) = delete;

  void add(double value) {
    values_[count_++] = value;
    ++outcome_.values_written;
    if (count_ == kBatchLength) flush();
  }

  void flush() {
    if (count_ == 0) return;
    runtime::write_formatted(kSeriesUnit, 0, std::span<const runtime::IoItem>(items_.data(), count_), series_format);
    count_ = 0;
  }

 private:
  static constexpr std::size_t kBatchLength = 512;
  RecordingOutcome& outcome_;
  std::array<double, kBatchLength> values_{};
  std::array<runtime::IoItem, kBatchLength> items_{};
  std::size_t count_ = 0;
};

// From the end of the transient to the end of the series: the buffered points, the ranges,
// the plot's set-up, the noise and both output phases. Writes nothing when one of the
// buffered points 1 to M - 1 is divergent.
void write_series(DialogueState& state, Trajectory& trajectory, TrajectoryObserver* plot, RecordingOutcome& outcome) {
  const std::int32_t buffered = std::min(state.n_series, kPlotBufferLength);
  PlotBuffer buffer(state.nvar, buffered);
  buffer.store(1, trajectory.state());
  for (std::int32_t m = 2; m <= buffered; ++m) {
    trajectory.advance(m - 1, m - 1);
    buffer.store(m, trajectory.state());
  }
  buffer.find_ranges();
  if (trajectory.diverged()) return;

  RecordingView view = buffer.view(state.record_variable);
  if (plot != nullptr) plot->plot_setup(view);
  const SeriesNoise noise(state, outcome);
  const std::int32_t variable = state.record_variable - 1;
  SeriesWriter writer(outcome);

  for (std::int32_t m = 1; m <= buffered; ++m) {
    writer.add(noise.added_to(m, buffer.column(m)[variable]));
    if (plot != nullptr) plot->plot_first_phase_point(view, m);
  }
  buffer.release_states();
  view.buffer = nullptr;

  for (std::int32_t m = buffered + 1; m <= state.n_series; ++m) {
    const double old_first = trajectory.state()[0];
    if (!trajectory.advance(m - 1, m - 1)) continue;  // divergent: the loop runs on without effect
    writer.add(noise.added_to(m, trajectory.state()[variable]));
    if (plot != nullptr) plot->plot_second_phase_point(view, old_first, trajectory.state());
  }
  writer.flush();
  if (plot != nullptr) plot->plot_end();
}

}  // namespace

void write_dialogue_line(std::string_view message) { write_line(kDialogueUnit, message); }

void open_series_unit() {
  runtime::open_unit(kSeriesUnit, 0,
                     {keyword_text(Keyword::File, ""), keyword_text(Keyword::Blank, "NULL"),
                      keyword_text(Keyword::Status, "UNKNOWN")});
}

RecordingOutcome record_series(DialogueState& state, TrajectoryObserver* plot, MessageWriter report_divergence) {
  RecordingOutcome outcome;
  Trajectory trajectory(state);
  // The transient always makes n_transient passes; once divergent the state stays as it is.
  for (std::int32_t i = 1; i <= state.n_transient; ++i) {
    trajectory.advance(i - 1, static_cast<std::int64_t>(i) - state.n_transient);
  }
  if (!trajectory.diverged()) write_series(state, trajectory, plot, outcome);
  outcome.divergent_point = trajectory.divergent_point();
  if (trajectory.diverged()) report_divergence(kDivergenceMessage);
  runtime::close_unit(kSeriesUnit, 0);
  return outcome;
}

}  // namespace app
