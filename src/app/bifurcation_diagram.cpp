#include "app/bifurcation_diagram.h"

#include <charconv>

#include "app/map_catalogue.h"

namespace app {

BifurcationDiagram compute_diagram(const BifurcationSettings& settings, int width, int height,
                                   const BifurcationSink& data, const std::atomic<bool>* stop) {
  BifurcationDiagram diagram;
  diagram.layout = DiagramLayout::of_size(width, height);
  diagram.labels = diagram_labels(settings);
  diagram.parameter_axis = DiagramAxis::spanning(settings.from, settings.to);
  diagram.summary = compute_bifurcation(settings, data, stop);
  if (diagram.summary.stopped) return diagram;
  diagram.labels.note =
      diagram.summary.points_kept == 0 ? "Every orbit went to infinity or became NaN" : left_out_text(diagram.summary);
  // Without a point kept the value axis has no range of its own: one unit around 0.
  diagram.value_axis =
      (diagram.summary.points_kept > 0 ? DiagramAxis::spanning(diagram.summary.value_min, diagram.summary.value_max)
                                       : DiagramAxis::spanning(0.0, 0.0))
          .rounded_out();
  diagram.raster = DiagramRaster(diagram.layout, diagram.parameter_axis, diagram.value_axis);
  DiagramRaster& raster = diagram.raster;
  const BifurcationSummary second = compute_bifurcation(
      settings, [&raster](double parameter, double value) { raster.add(parameter, value); }, stop);
  diagram.summary.stopped = second.stopped;
  return diagram;
}

std::string shortest_text(double value) {
  char text[32];
  const auto [end, error] = std::to_chars(text, text + sizeof text, value);
  return error == std::errc() ? std::string(text, end) : std::string("?");
}

std::string parameter_values_text(int map_number, const MapParameters& parameters, int left_out_slot) {
  const MapEntry* map = find_map(map_number);
  if (map == nullptr) return {};
  MapParameters values = parameters;
  std::string text;
  for (const ParameterPrompt& prompt : map->parameter_prompts) {
    if (prompt.slot == left_out_slot) continue;
    text += (text.empty() ? "" : ", ") + std::string(parameter_name(prompt)) + " = " +
            shortest_text(*parameter_slot(values, prompt.slot));
  }
  return text;
}

std::string slot_parameter_name(int map_number, int slot) {
  const MapEntry* map = find_map(map_number);
  if (map == nullptr) return {};
  for (const ParameterPrompt& prompt : map->parameter_prompts) {
    if (prompt.slot == slot) return std::string(parameter_name(prompt));
  }
  return {};
}

DiagramLabels diagram_labels(const BifurcationSettings& settings) {
  DiagramLabels labels;
  const MapEntry* map = find_map(settings.map_number);
  if (map == nullptr) return labels;
  std::string_view heading = map->heading;
  if (heading.ends_with(':')) heading.remove_suffix(1);
  labels.title = heading;
  const std::string fixed = parameter_values_text(settings.map_number, settings.parameters, settings.vary_slot);
  if (!fixed.empty()) labels.title += ": " + fixed;
  labels.parameter_name = slot_parameter_name(settings.map_number, settings.vary_slot);
  labels.variable_name.assign(1, settings.variable == 2 ? 'y' : 'x');
  return labels;
}

std::string left_out_text(const BifurcationSummary& summary) {
  if (summary.points_left_out == 0) return {};
  const std::int64_t all = summary.points_kept + summary.points_left_out;
  return std::to_string(summary.points_left_out) + " of " + std::to_string(all) +
         " points left out: their orbits went to infinity or became NaN";
}

}  // namespace app
