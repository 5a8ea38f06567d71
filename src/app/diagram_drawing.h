#pragma once
// Drawing an orbit (bifurcation) diagram through the console API into the calling thread's
// active window, in the manner of the trajectory plot: a white picture, the title above, the
// frame in colour 0 with ten divisions ticked (outward) on both axes, the ends of both ranges and the
// names of the parameter and the variable as labels in the plot's label font, a note below
// them (the points left out), and a pixel in colour 0 for every pixel of the raster that
// holds a point.

#include "app/diagram_raster.h"

namespace app {

void draw_diagram(const DiagramLayout& layout, const DiagramAxis& parameter, const DiagramAxis& value,
                  const DiagramLabels& labels, const DiagramRaster& raster);

}  // namespace app
