#include "app/map_options.h"

#include <algorithm>

#include "app/option_values.h"

namespace app {
namespace {

constexpr OptionRule kMapOptionRules[] = {
    {kMapOption, "M"},    {kParamOption, "NAME=VALUE", true}, {kInitialOption, "V1[,V2]"}, {kTransientOption, "N"},
    {kLengthOption, "N"}, {kVariableOption, "1|2"},
};

std::string map_choices() {
  std::string names;
  for (const MapEntry& entry : map_catalogue()) names += (names.empty() ? "" : ", ") + std::string(entry.name);
  return "1-" + std::to_string(kMapCount) + ", or " + names;
}

std::string parameter_names(const MapEntry& map) {
  std::string names;
  for (const ParameterPrompt& prompt : map.parameter_prompts) {
    names += (names.empty() ? "" : ", ") + std::string(parameter_name(prompt));
  }
  return names;
}

bool read_map(const CommandLine& line, MapSettings& settings, std::string& error) {
  const std::string* text = line.value(kMapOption);
  if (text == nullptr) {
    error = "missing " + std::string(kMapOption) + " M (" + map_choices() + ")";
    return false;
  }
  settings.map = find_map_named(*text);
  if (settings.map == nullptr) {
    error = std::string(kMapOption) + " must be " + map_choices() + ": " + *text;
    return false;
  }
  return true;
}

bool read_parameter(std::string_view text, MapSettings& settings, std::string& error) {
  const std::string option(kParamOption);
  const std::size_t equals = text.find('=');
  if (equals == std::string_view::npos) {
    error = option + " must be NAME=VALUE: " + std::string(text);
    return false;
  }
  const std::string_view name = text.substr(0, equals);
  const ParameterPrompt* prompt = find_parameter(*settings.map, name);
  if (prompt == nullptr) {
    error = option + ": the " + std::string(settings.map->name) + " map has no parameter '" + std::string(name) +
            "' (its parameters: " + parameter_names(*settings.map) + ")";
    return false;
  }
  bool& given = settings.parameter_given[static_cast<std::size_t>(prompt->slot - 1)];
  if (given) {
    error = option + ": " + std::string(name) + " is given twice";
    return false;
  }
  if (!parse_real(text.substr(equals + 1), *parameter_slot(settings.parameters, prompt->slot))) {
    error = option + ": " + std::string(name) + " must be a number: " + std::string(text.substr(equals + 1));
    return false;
  }
  given = true;
  return true;
}

bool read_initial(const CommandLine& line, MapSettings& settings, std::string& error) {
  const int nvar = settings.map->nvar;
  const std::string usage = nvar == 1 ? "V1" : "V1,V2";
  const std::string* text = line.value(kInitialOption);
  if (text == nullptr) {
    error = "missing " + std::string(kInitialOption) + " " + usage;
    return false;
  }
  std::vector<double> values;
  std::string_view rest = *text;
  for (;;) {
    const std::size_t comma = rest.find(',');
    double value = 0.0;
    if (!parse_real(rest.substr(0, comma), value)) {
      error = std::string(kInitialOption) + " must be " + usage + " (numbers): " + *text;
      return false;
    }
    values.push_back(value);
    if (comma == std::string_view::npos) break;
    rest.remove_prefix(comma + 1);
  }
  if (values.size() != static_cast<std::size_t>(nvar)) {
    error = std::string(kInitialOption) + ": the " + std::string(settings.map->name) + " map needs " +
            (nvar == 1 ? "one initial value, V1" : "two initial values, V1,V2") + ": " + *text;
    return false;
  }
  settings.initial = std::move(values);
  return true;
}

bool read_count(const CommandLine& line, std::string_view option, std::int32_t low, std::int32_t& value,
                std::string& error) {
  const std::string* text = line.value(option);
  return text == nullptr || read_whole_number(option, *text, low, kLongestLength, value, error);
}

}  // namespace

std::span<const OptionRule> map_option_rules() { return kMapOptionRules; }

std::vector<OptionRule> map_option_rules_except(std::initializer_list<std::string_view> left_out) {
  std::vector<OptionRule> rules;
  for (const OptionRule& rule : kMapOptionRules) {
    if (std::find(left_out.begin(), left_out.end(), rule.name) == left_out.end()) rules.push_back(rule);
  }
  return rules;
}

const MapEntry* find_map_named(std::string_view text) {
  std::int32_t number = 0;
  if (parse_whole_number(text, 1, kMapCount, number)) return find_map(number);
  const auto catalogue = map_catalogue();
  const auto found =
      std::find_if(catalogue.begin(), catalogue.end(), [text](const MapEntry& entry) { return entry.name == text; });
  return found != catalogue.end() ? &*found : nullptr;
}

const ParameterPrompt* find_parameter(const MapEntry& map, std::string_view name) {
  const auto found = std::find_if(map.parameter_prompts.begin(), map.parameter_prompts.end(),
                                  [name](const ParameterPrompt& prompt) { return parameter_name(prompt) == name; });
  return found != map.parameter_prompts.end() ? &*found : nullptr;
}

bool read_map_options(const CommandLine& line, MapSettings& settings, std::string& error) {
  settings = MapSettings{};
  if (!read_map(line, settings, error)) return false;
  for (const std::string& text : line.values(kParamOption)) {
    if (!read_parameter(text, settings, error)) return false;
  }
  if (!read_initial(line, settings, error)) return false;
  if (!read_count(line, kTransientOption, kShortestTransient, settings.transient, error)) return false;
  if (!read_count(line, kLengthOption, kShortestSeries, settings.length, error)) return false;
  if (const std::string* text = line.value(kVariableOption)) {
    if (!read_whole_number(kVariableOption, *text, 1, settings.map->nvar, settings.variable, error)) {
      error += " (the " + std::string(settings.map->name) + " map has " + std::to_string(settings.map->nvar) +
               (settings.map->nvar == 1 ? " variable)" : " variables)");
      return false;
    }
  }
  return true;
}

bool check_parameters_given(const MapSettings& settings, std::string& error, int except_slot) {
  for (const ParameterPrompt& prompt : settings.map->parameter_prompts) {
    if (prompt.slot == except_slot || settings.parameter_given[static_cast<std::size_t>(prompt.slot - 1)]) continue;
    error = "missing " + std::string(kParamOption) + " " + std::string(parameter_name(prompt)) + "=VALUE (the " +
            std::string(settings.map->name) + " map's parameters: " + parameter_names(*settings.map) + ")";
    return false;
  }
  return true;
}

std::array<double, 2> initial_state(const MapSettings& settings) {
  std::array<double, 2> initial{0.0, 0.0};
  std::copy_n(settings.initial.begin(), std::min(settings.initial.size(), initial.size()), initial.begin());
  return initial;
}

std::string map_option_help(bool one_parameter_varied) {
  std::string help =
      "  --map M               the map, by number or name:     --map 2   or   --map henon\n"
      "                        1 quadratic, 2 henon, 3 dissipative, 4 linear, 5 rl-diode\n";
  help += one_parameter_varied
              ? "  --param NAME=VALUE    one for each parameter of the map except the one varied:\n"
                "                                                         --param b=0.3\n"
              : "  --param NAME=VALUE    one for each parameter of the map, named as the dialogue asks\n"
                "                        for it:                          --param a=1.4 --param b=0.3\n";
  help +=
      "                        quadratic: lambda; henon: a, b; dissipative and linear:\n"
      "                        lambda, k; rl-diode: A, d, N, beta\n"
      "  --initial V1[,V2]     the initial state, one value per variable (two for henon,\n"
      "                        dissipative and linear):         --initial 0.1,0.1\n";
  return help;
}

void apply_map_settings(const MapSettings& settings, DialogueState& state) {
  state.map_number = settings.map->number;
  state.nvar = settings.map->nvar;
  state.parameters = settings.parameters;
  state.x0.release();
  state.working_state.release();
  state.x0.allocate(static_cast<std::size_t>(state.nvar));
  state.working_state.allocate(static_cast<std::size_t>(state.nvar));
  std::copy(settings.initial.begin(), settings.initial.end(), state.x0.data());
  state.record_variable = settings.variable;
  state.n_transient = settings.transient;
  state.n_series = settings.length;
}

}  // namespace app
