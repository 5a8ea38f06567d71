#pragma once
// The windows the analyses show their results in, each a window of its own (no unit) made
// and drawn through the console API on the calling thread and finished at once, so that
// the user may keep, save, print, copy or close it: the orbit diagram as a graphics window
// the size of its picture, the Lyapunov spectrum as a text window.

#include <string>
#include <string_view>

#include "app/bifurcation_diagram.h"
#include "app/lyapunov.h"

namespace app {

inline constexpr std::string_view kDiagramWindowTitle = "Bifurcation Diagram";
inline constexpr std::string_view kSpectrumWindowTitle = "Lyapunov Exponents";

// Opens a window of the diagram's picture size, draws the diagram and finishes the window:
// its index, or -1 when it could not be made.
int show_diagram_window(const BifurcationDiagram& diagram);

// The spectrum as the text window shows it, lines ended by CR LF: the map with its
// parameters, the orbit's settings, then the exponents one per line, largest first, or why
// there are none.
std::string spectrum_report(const OrbitSettings& orbit, const LyapunovSpectrum& spectrum);
// Opens a text window with the report and finishes it: its index, or -1.
int show_spectrum_window(const OrbitSettings& orbit, const LyapunovSpectrum& spectrum);

}  // namespace app
