#include "app/recording.h"

#include <algorithm>
#include <limits>

#include "app/prompt_read.h"
#include "numerics/normal_deviates.h"
#include "runtime/fio.h"

namespace app {
namespace {

const runtime::FixedFormat series_format("(F20.10)");

constexpr std::string_view kDivergenceMessage = "The trajectory goes to infinity";

void write_series_value(double value) {
  runtime::write_formatted(kSeriesUnit, 0, {runtime::item(value)}, series_format);
}

// Advances the working state once unless it is divergent; returns false (and leaves the state
// as it is) when it was divergent.
bool step_unless_divergent(DialogueState& state, std::int32_t step_index) {
  if (is_divergent(state.working_state.span())) return false;
  map_step(state.map_number, state.parameters, step_index, state.working_state.span());
  return true;
}

}  // namespace

void record_series(DialogueState& state, TrajectoryObserver* plot) {
  const std::int32_t nvar = state.nvar;
  const std::int32_t variable = state.record_variable - 1;
  bool diverged = false;

  for (std::int32_t i = 0; i < nvar; ++i) state.working_state[i] = state.x0[i];

  // The transient always makes n_transient passes; once divergent the state stays as it is.
  for (std::int32_t i = 1; i <= state.n_transient; ++i) {
    if (!step_unless_divergent(state, i - 1)) diverged = true;
  }
  if (diverged) {
    write_line(kDialogueUnit, kDivergenceMessage);
    runtime::close_unit(kSeriesUnit, 0);
    return;
  }

  const std::int32_t buffered = std::min(state.n_series, kPlotBufferLength);
  RuntimeArray buffer(static_cast<std::size_t>(nvar) * buffered);
  auto column = [&](std::int32_t m) { return buffer.data() + static_cast<std::size_t>(m - 1) * nvar; };
  std::copy_n(state.working_state.data(), nvar, column(1));
  for (std::int32_t m = 2; m <= buffered; ++m) {
    if (!step_unless_divergent(state, m - 1)) diverged = true;
    std::copy_n(state.working_state.data(), nvar, column(m));
  }

  RuntimeArray range_min(nvar);
  RuntimeArray range_max(nvar);
  for (std::int32_t i = 0; i < nvar; ++i) {
    double low = std::numeric_limits<double>::max();
    double high = -std::numeric_limits<double>::max();
    for (std::int32_t m = 1; m <= buffered; ++m) {
      const double v = column(m)[i];
      // The first column always replaces the starting values, even when it is NaN.
      if (m == 1 || v < low) low = v;
      if (m == 1 || v > high) high = v;
    }
    const double widen = (high - low) * 0.1;
    range_min[i] = low - widen;
    range_max[i] = widen + high;
  }

  if (diverged) {
    buffer.release();
    range_min.release();
    range_max.release();
    write_line(kDialogueUnit, kDivergenceMessage);
    runtime::close_unit(kSeriesUnit, 0);
    return;
  }

  RecordingView view{nvar, state.record_variable, buffered, buffer.data(), range_min.data(), range_max.data()};
  if (plot != nullptr) plot->plot_setup(view);

  RuntimeArray noise;
  if (state.add_noise) {
    noise.allocate(static_cast<std::size_t>(state.n_series));
    numerics::DRNNOR(state.n_series, noise.span());
    for (std::size_t k = 0; k < noise.size(); ++k) noise[k] *= state.noise_std;
  }

  for (std::int32_t m = 1; m <= buffered; ++m) {
    double value = column(m)[variable];
    if (state.add_noise) value = value + noise[m - 1];
    write_series_value(value);
    if (plot != nullptr) plot->plot_first_phase_point(view, m);
  }
  buffer.release();
  view.buffer = nullptr;

  for (std::int32_t m = buffered + 1; m <= state.n_series; ++m) {
    if (is_divergent(state.working_state.span())) {
      diverged = true;
      continue;
    }
    const double old_first = state.working_state[0];
    map_step(state.map_number, state.parameters, m - 1, state.working_state.span());
    double value = state.working_state[variable];
    if (state.add_noise) value = value + noise[m - 1];
    write_series_value(value);
    if (plot != nullptr) plot->plot_second_phase_point(view, old_first, state.working_state.span());
  }

  range_min.release();
  range_max.release();
  noise.release();
  if (diverged) write_line(kDialogueUnit, kDivergenceMessage);
  runtime::close_unit(kSeriesUnit, 0);
}

}  // namespace app
