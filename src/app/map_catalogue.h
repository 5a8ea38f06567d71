#pragma once
// The map catalogue: the five maps the explorer offers, each with the texts the dialogue
// shows (menu line, heading, formula lines, parameter prompts with the slot each fills,
// initial-condition prompts) and its number of state variables; the step that advances a
// state by one iteration of a map; and the divergence test that ends a recording.

#include <cstdint>
#include <span>
#include <string_view>

namespace app {

inline constexpr int kMapCount = 5;

// A state component whose magnitude reaches this limit makes the state divergent.
inline constexpr double kDivergenceLimit = 1000.0;

// The 2*pi of the driven RL-diode circuit map: the single-precision value of 6.283185
// widened to double (6.283185005187988), not the double nearest to 2*pi.
inline constexpr double kCircuitTwoPi = static_cast<double>(6.283185f);

// The four parameters shared by all maps; a map reads the first one, two or four of them.
struct MapParameters {
  double p1 = 0.0;
  double p2 = 0.0;
  double p3 = 0.0;
  double p4 = 0.0;
};

// The parameter in slot 1..4, or null for any other slot.
double* parameter_slot(MapParameters& parameters, int slot);

// One parameter question: the prompt and the slot its answer fills.
struct ParameterPrompt {
  std::string_view text;
  int slot;
};

// The parameter's name as its prompt shows it ("lambda" for "   lambda = ").
std::string_view parameter_name(const ParameterPrompt& prompt);

// One catalogue row. Every text is one line of the dialogue; leading blanks belong to it.
struct MapEntry {
  int number;
  std::string_view name;  // the map's name on the command line ("quadratic", "henon", ...)
  std::string_view menu_line;
  std::string_view heading;
  std::span<const std::string_view> formula_lines;
  int nvar;
  std::span<const ParameterPrompt> parameter_prompts;  // in asking order
  // Prompt k fills initial-state component k+1 ("   x0 = ", then "   y0 = ").
  std::span<const std::string_view> initial_condition_prompts;
};

// The five maps, in menu order (entry k-1 is map k).
std::span<const MapEntry> map_catalogue();

// The entry of map 1..5, or null for any other number.
const MapEntry* find_map(int map_number);

// Advances `state` (the map's nvar components, updated in place) by one iteration of map
// `map_number` with `parameters`. All new components are computed from the old ones. `step`
// is the index of the step being taken; no map reads it. Returns false, leaving the state
// untouched, when the map number is unknown or the state does not have the map's nvar
// components. No arithmetic traps: bad parameters give infinities or NaN in the state.
bool map_step(int map_number, const MapParameters& parameters, std::int32_t step, std::span<double> state);

// True when some component v has |v| >= 1000.0. A NaN component alone is not divergent.
bool is_divergent(std::span<const double> state);

}  // namespace app
