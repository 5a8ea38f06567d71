#pragma once
// The options that choose a map and its trajectory, for every command that iterates a map:
//   --map M             1-5, or quadratic, henon, dissipative, linear, rl-diode
//   --param NAME=VALUE  one per parameter, named as the dialogue's prompts name them
//   --initial V1[,V2]   one value per state variable
//   --transient N       0..999999, default 1000
//   --length N          2..999999, default 10000
//   --variable 1|2      the state variable to record, at most the map's number of variables
// Each value is checked with the limits the dialogue applies to its answer. A command lists
// the rules it takes (map_option_rules() and its own), parses them with parse_command_line
// and reads these with read_map_options; a command that takes one parameter from another
// option (a parameter it varies, say) leaves it out of the check for missing parameters.

#include <array>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_line.h"
#include "app/dialogue_state.h"
#include "app/map_catalogue.h"

namespace app {

inline constexpr std::string_view kMapOption = "--map";
inline constexpr std::string_view kParamOption = "--param";
inline constexpr std::string_view kInitialOption = "--initial";
inline constexpr std::string_view kTransientOption = "--transient";
inline constexpr std::string_view kLengthOption = "--length";
inline constexpr std::string_view kVariableOption = "--variable";

struct MapSettings {
  const MapEntry* map = nullptr;
  MapParameters parameters;
  std::array<bool, 4> parameter_given{};  // by slot - 1
  std::vector<double> initial;            // nvar values
  std::int32_t transient = kDefaultTransient;
  std::int32_t length = kDefaultSeriesLength;
  std::int32_t variable = 1;
};

// The six options above, for a command's list of rules.
std::span<const OptionRule> map_option_rules();
// The same without the options named in `left_out` (a command that records no series takes
// no --length, say).
std::vector<OptionRule> map_option_rules_except(std::initializer_list<std::string_view> left_out);

// The map named by a number 1-5 or by its name; null for anything else.
const MapEntry* find_map_named(std::string_view text);
// The parameter of `map` named `name`; null when the map has none of that name.
const ParameterPrompt* find_parameter(const MapEntry& map, std::string_view name);

// Reads the options above from `line` into `settings`; --map and --initial are required, the
// others keep their defaults when absent. Parameters are read but not required (see
// check_parameters_given). False with a one-line `error` naming the option.
bool read_map_options(const CommandLine& line, MapSettings& settings, std::string& error);

// True when every parameter of the map was given, except the one in slot `except_slot` (0:
// none excepted); otherwise false with an error naming the first one missing.
bool check_parameters_given(const MapSettings& settings, std::string& error, int except_slot = 0);

// The initial state as the analyses take it: the map's nvar values, then zeros.
std::array<double, 2> initial_state(const MapSettings& settings);

// The help lines of --map, --param and --initial as the commands show them; with
// `one_parameter_varied`, --param is worded for a command that varies one parameter itself.
std::string map_option_help(bool one_parameter_varied = false);

// Puts the settings into a dialogue state for a recording (x0 and the working state made).
void apply_map_settings(const MapSettings& settings, DialogueState& state);

}  // namespace app
