#include "app/analysis_menu.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "app/bifurcation_command.h"
#include "app/diagram_raster.h"
#include "app/lyapunov_command.h"
#include "app/map_catalogue.h"

namespace app {
namespace {

// Values that show each map at its best, by map number - 1: a chaotic orbit to measure, and
// a range of its first parameter that runs from order into chaos.
const std::array<gui::AnalysisMapExample, kMapCount> kExamples = {{
    {{1.9}, {0.1}, 0, 0.0, 2.0},
    {{1.4, 0.3}, {0.1, 0.1}, 0, 0.0, 1.4},
    {{1.8, 0.05}, {0.2, 0.3}, 0, 0.0, 2.0},
    {{1.6, 0.05}, {0.1, -0.2}, 0, 0.0, 2.0},
    {{0.5, 0.3, 2.0, 0.5}, {0.1}, 0, 0.0, 3.0},
}};

gui::AnalysisLimits limits() {
  gui::AnalysisLimits limits;
  limits.longest_transient = kLongestLength;
  limits.shortest_length = kShortestSeries;
  limits.longest_length = kLongestLength;
  limits.most_steps = kLongestLength;
  limits.most_points = kLongestLength;
  limits.smallest_width = kSmallestDiagramWidth;
  limits.smallest_height = kSmallestDiagramHeight;
  limits.largest_side = kLargestDiagramSide;
  return limits;
}

std::vector<gui::AnalysisMap> maps() {
  std::vector<gui::AnalysisMap> maps;
  for (const MapEntry& entry : map_catalogue()) {
    gui::AnalysisMap map;
    std::string_view heading = entry.heading;
    if (heading.ends_with(':')) heading.remove_suffix(1);
    map.heading = heading;
    for (const ParameterPrompt& prompt : entry.parameter_prompts)
      map.parameter_names.emplace_back(parameter_name(prompt));
    map.variables = entry.nvar;
    map.example = kExamples[static_cast<std::size_t>(entry.number - 1)];
    maps.push_back(std::move(map));
  }
  return maps;
}

bool within(int value, int low, int high) { return value >= low && value <= high; }

// The map, its parameters and its initial state; false with the reason when they do not fit.
bool read_map(const gui::AnalysisSettings& settings, const MapEntry*& map, MapParameters& parameters,
              std::array<double, 2>& initial, std::string& error) {
  map = find_map(settings.map + 1);
  if (map == nullptr || settings.parameters.size() != map->parameter_prompts.size() ||
      settings.initial.size() != static_cast<std::size_t>(map->nvar)) {
    error = "The map, its parameters and its initial state do not fit together.";
    return false;
  }
  for (std::size_t i = 0; i < settings.parameters.size(); ++i) {
    *parameter_slot(parameters, map->parameter_prompts[i].slot) = settings.parameters[i];
  }
  std::copy(settings.initial.begin(), settings.initial.end(), initial.begin());
  if (!within(settings.transient, kShortestTransient, kLongestLength)) {
    error = "The transient must be from 0 to " + std::to_string(kLongestLength) + " iterations.";
    return false;
  }
  return true;
}

}  // namespace

gui::AnalysisSettings starting_settings(const std::optional<RecordingSettings>& recording) {
  gui::AnalysisSettings settings;
  settings.length = kDefaultLyapunovLength;
  settings.steps = kDefaultDiagramSteps;
  settings.points = kDefaultDiagramPoints;
  settings.width = kDefaultDiagramWidth;
  settings.height = kDefaultDiagramHeight;
  const MapEntry* map = recording ? find_map(recording->map_number) : nullptr;
  if (map == nullptr) map = find_map(1);
  const gui::AnalysisMapExample& example = kExamples[static_cast<std::size_t>(map->number - 1)];
  settings.map = map->number - 1;
  settings.parameters = example.parameters;
  settings.initial = example.initial;
  settings.varied = example.varied;
  settings.from = example.from;
  settings.to = example.to;
  if (!recording || recording->map_number != map->number) return settings;

  MapParameters parameters = recording->parameters;
  for (std::size_t i = 0; i < map->parameter_prompts.size(); ++i) {
    settings.parameters[i] = *parameter_slot(parameters, map->parameter_prompts[i].slot);
  }
  settings.initial.assign(recording->initial.begin(), recording->initial.begin() + map->nvar);
  settings.transient = recording->transient;
  settings.variable = std::clamp(recording->variable, 1, map->nvar);
  // The example's range, widened to take in the value the recording had.
  const double recorded = settings.parameters[static_cast<std::size_t>(settings.varied)];
  if (std::isfinite(recorded)) {
    settings.from = std::min(settings.from, recorded);
    settings.to = std::max(settings.to, recorded);
  }
  return settings;
}

bool diagram_settings_of(const gui::AnalysisSettings& settings, BifurcationSettings& diagram, std::string& error) {
  const MapEntry* map = nullptr;
  diagram = BifurcationSettings{};
  if (!read_map(settings, map, diagram.parameters, diagram.initial, error)) return false;
  if (settings.varied < 0 || settings.varied >= static_cast<int>(map->parameter_prompts.size())) {
    error = "Choose the parameter to vary.";
    return false;
  }
  if (!std::isfinite(settings.from) || !std::isfinite(settings.to)) {
    error = "From and To must be finite numbers.";
    return false;
  }
  if (!within(settings.steps, 1, kLongestLength) || !within(settings.points, 1, kLongestLength)) {
    error =
        "The parameter values and the points per value must each be from 1 to " + std::to_string(kLongestLength) + ".";
    return false;
  }
  if (!within(settings.variable, 1, map->nvar)) {
    error = "The variable plotted must be from 1 to " + std::to_string(map->nvar) + ".";
    return false;
  }
  if (!within(settings.width, kSmallestDiagramWidth, kLargestDiagramSide) ||
      !within(settings.height, kSmallestDiagramHeight, kLargestDiagramSide)) {
    error = "The picture must be from " + std::to_string(kSmallestDiagramWidth) + " x " +
            std::to_string(kSmallestDiagramHeight) + " to " + std::to_string(kLargestDiagramSide) + " x " +
            std::to_string(kLargestDiagramSide) + " pixels.";
    return false;
  }
  diagram.map_number = map->number;
  diagram.vary_slot = map->parameter_prompts[static_cast<std::size_t>(settings.varied)].slot;
  diagram.from = settings.from;
  diagram.to = settings.to;
  diagram.steps = settings.steps;
  diagram.points = settings.points;
  diagram.n_transient = settings.transient;
  diagram.variable = settings.variable;
  return true;
}

bool spectrum_settings_of(const gui::AnalysisSettings& settings, OrbitSettings& orbit, std::string& error) {
  const MapEntry* map = nullptr;
  orbit = OrbitSettings{};
  if (!read_map(settings, map, orbit.parameters, orbit.initial, error)) return false;
  if (!within(settings.length, kShortestSeries, kLongestLength)) {
    error = "The iterations measured must be from " + std::to_string(kShortestSeries) + " to " +
            std::to_string(kLongestLength) + ".";
    return false;
  }
  orbit.map_number = map->number;
  orbit.n_transient = settings.transient;
  orbit.length = settings.length;
  return true;
}

gui::AnalysisHooks analysis_hooks(AnalysisRunner& runner) {
  gui::AnalysisHooks hooks;
  hooks.maps = maps();
  hooks.limits = limits();
  hooks.starting_settings = [] { return starting_settings(last_recording()); };
  hooks.refusal = [&runner] { return runner.refusal(); };
  hooks.start_bifurcation = [&runner](const gui::AnalysisSettings& settings) {
    BifurcationSettings diagram;
    std::string error;
    if (!diagram_settings_of(settings, diagram, error)) return error;
    return runner.start_bifurcation(diagram, settings.width, settings.height);
  };
  hooks.start_lyapunov = [&runner](const gui::AnalysisSettings& settings) {
    OrbitSettings orbit;
    std::string error;
    if (!spectrum_settings_of(settings, orbit, error)) return error;
    return runner.start_lyapunov(orbit);
  };
  hooks.shut_down = [&runner] { runner.shut_down(); };
  return hooks;
}

}  // namespace app
