#include "app/dialogue.h"

#include <optional>
#include <string>

#include "app/dialogue_state.h"
#include "app/prompt_read.h"
#include "app/provenance_file.h"
#include "app/recording.h"
#include "console/console_api.h"
#include "runtime/fio.h"

namespace app {
namespace {

using runtime::Keyword;
using runtime::keyword_logical;
using runtime::keyword_text;

constexpr std::int32_t unit = kDialogueUnit;

const runtime::FixedFormat settings_format("(1X,A,I5,A,I5)");

// Asks a y/n question until the answer is "y" or "n" (lower case only).
char ask_yes_or_no(DialogueState& state, std::string_view prompt) {
  for (;;) {
    prompt_read_char(unit, "(A1)", prompt, &state.answer, 1);
    if (state.answer == 'y' || state.answer == 'n') return state.answer;
    write_incorrect_input(unit);
  }
}

// Asks an integer question until `accept` holds for the answer.
template <typename Accept>
void ask_integer(std::string_view format, std::string_view prompt, std::int32_t& value, Accept accept) {
  for (;;) {
    prompt_read_integer(unit, format, prompt, value);
    if (accept(value)) return;
    write_incorrect_input(unit);
  }
}

void open_dialogue_window() {
  // In later system cycles the unit is still connected to the same window: the OPEN keeps it.
  runtime::open_unit(unit, 0,
                     {keyword_text(Keyword::File, "user"), keyword_text(Keyword::Title, "Input Window"),
                      keyword_logical(Keyword::IoFocus, true), keyword_text(Keyword::Blank, "NULL"),
                      keyword_text(Keyword::Status, "UNKNOWN")});
  console::set_window_size(unit, console::WindowPosition{4, 0, 0, 31, 47});
  console::set_bk_color(15);
  console::clear_screen(0);
  console::set_text_color(0);
  console::display_cursor(1);
}

std::int32_t ask_map_number() {
  write_line(unit, "1) You can select one of the following");
  write_line(unit, "   exemplar maps: ");
  for (const MapEntry& entry : map_catalogue()) write_line(unit, entry.menu_line);
  std::int32_t map_number = 0;
  ask_integer("(I1)", "   Select a map: ", map_number, [](std::int32_t n) { return n >= 1 && n <= kMapCount; });
  return map_number;
}

void ask_parameters(DialogueState& state, const MapEntry& entry) {
  write_line(unit, entry.heading);
  for (std::string_view line : entry.formula_lines) write_line(unit, line);
  write_line(unit, "2) Enter values of parameters: ");
  for (const ParameterPrompt& prompt : entry.parameter_prompts) {
    prompt_read_real(unit, "(F20.10)", prompt.text, *parameter_slot(state.parameters, prompt.slot));
  }
  write_line(unit, "3) Enter initial conditions:");
  for (std::int32_t i = 0; i < state.nvar; ++i) {
    prompt_read_real(unit, "(F20.10)", entry.initial_condition_prompts[i], state.x0[i]);
  }
}

void ask_settings(DialogueState& state) {
  if (state.nvar == 1) {
    state.record_variable = 1;
  } else {
    const std::int32_t nvar = state.nvar;
    ask_integer("(I1)", "4) Number of the variable to record: ", state.record_variable,
                [nvar](std::int32_t n) { return n >= 1 && n <= nvar; });
  }
  write_line(unit, "5) Current settings are:");
  runtime::write_formatted(unit, 0,
                           {runtime::item(std::string_view("   Ntrans = ")), runtime::item(state.n_transient),
                            runtime::item(std::string_view(", N = ")), runtime::item(state.n_series)},
                           settings_format);
  if (ask_yes_or_no(state, "   Change settings? (y/n) ") == 'y') {
    ask_integer("(I6)", "6) Length of a transient process: Ntrans = ", state.n_transient,
                [](std::int32_t n) { return n >= kShortestTransient; });
    ask_integer("(I6)", "   Length of the series to record: N = ", state.n_series,
                [](std::int32_t n) { return n >= kShortestSeries; });
  }
  if (ask_yes_or_no(state, "7) Add noise to the time series? (y/n) ") == 'y') {
    state.add_noise = true;
    for (;;) {
      prompt_read_real(unit, "(F20.10)", "8) Noise standard deviation: std = ", state.noise_std);
      if (acceptable_noise(state.noise_std)) break;
      write_incorrect_input(unit);
    }
  } else {
    state.add_noise = false;
  }
  // An empty file name: the next unused command-line argument, or the user is asked.
  open_series_unit();
}

// One recording, and on request its provenance sidecar.
void record(DialogueState& state, TrajectoryObserver* plot, bool write_provenance) {
  if (!write_provenance) {
    record_series(state, plot);
    return;
  }
  // The series file's name is known while the unit is connected; the recording closes it.
  const std::optional<std::string> series_path = runtime::unit_file_path(kSeriesUnit);
  const RecordingOutcome outcome = record_series(state, plot);
  std::string error;
  if (!write_provenance_file(series_path, state, outcome, error)) console::show_message(error);
}

}  // namespace

void run_dialogue(TrajectoryObserver* plot, bool write_provenance) {
  runtime::check_division_flaw();
  const int thread_mode = 0;
  runtime::set_thread_mode(&thread_mode);

  DialogueState state;
  state.n_transient = kDefaultTransient;
  state.n_series = kDefaultSeriesLength;

  for (;;) {  // system cycle
    open_dialogue_window();
    state.map_number = ask_map_number();
    const MapEntry& entry = *find_map(state.map_number);

    for (;;) {  // parameter cycle
      state.nvar = entry.nvar;
      state.x0.allocate(state.nvar);
      state.working_state.allocate(state.nvar);
      ask_parameters(state, entry);

      for (;;) {  // recording cycle
        ask_settings(state);
        record(state, plot, write_provenance);
        if (ask_yes_or_no(state, "9) Record again? (y/n) ") == 'n') break;
      }

      const char different_parameters = ask_yes_or_no(state, "10) Different values of parameters? (y/n) ");
      state.working_state.release();
      state.x0.release();
      if (different_parameters == 'n') break;
    }

    if (ask_yes_or_no(state, "11) Different system? (y/n) ") == 'n') return;
  }
}

}  // namespace app
