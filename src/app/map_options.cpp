#include "app/map_options.h"

#include <algorithm>

#include "app/option_values.h"

namespace app {
namespace {

constexpr OptionSpec kMapOptionSpecs[] = {
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

std::span<const OptionSpec> map_option_specs() { return kMapOptionSpecs; }

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
