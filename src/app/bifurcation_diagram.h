#pragma once
// An orbit (bifurcation) diagram made ready to draw: a first sweep over the parameter values
// finds the range of the variable's values (and hands every point to a data sink, for a
// file of the points), a second sweep marks the points' pixels in a raster of the picture's
// size. Memory stays that of the raster whatever the number of points; the sweeps are the
// same computation, so they meet the same points.

#include <atomic>
#include <string>

#include "app/bifurcation.h"
#include "app/diagram_raster.h"

namespace app {

struct BifurcationDiagram {
  DiagramLayout layout;
  DiagramAxis parameter_axis;
  DiagramAxis value_axis;
  DiagramRaster raster;
  DiagramLabels labels;
  BifurcationSummary summary;  // the points kept and left out, the values' range
};

// Computes the diagram of `settings` for a picture of `width` x `height` pixels. `data`
// (may be empty) receives every point kept, in order. When `stop` becomes true the sweeps
// end early and summary.stopped is set.
BifurcationDiagram compute_diagram(const BifurcationSettings& settings, int width, int height,
                                   const BifurcationSink& data = {}, const std::atomic<bool>* stop = nullptr);

// The title and axis names of the diagram: the map's heading and the parameters held fixed
// ("Henon map: b = 0.3"), the varied parameter's name, the variable's name (x or y). The
// note (the points left out) is filled in by compute_diagram.
DiagramLabels diagram_labels(const BifurcationSettings& settings);

// A number in the fewest digits that read back to it ("0.3", "2", "1e-05").
std::string shortest_text(double value);
// The map's parameters in asking order, "a = 1.4, b = 0.3", without the one in slot
// `left_out_slot` (0: none left out).
std::string parameter_values_text(int map_number, const MapParameters& parameters, int left_out_slot = 0);

// The name of the parameter in `slot` of the map, as the dialogue's prompt names it; empty
// when the map has no such parameter.
std::string slot_parameter_name(int map_number, int slot);

// "N of M points left out: their orbits went to infinity or became NaN" (empty when none).
std::string left_out_text(const BifurcationSummary& summary);

}  // namespace app
