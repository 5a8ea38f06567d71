#include "app/analysis_windows.h"

#include <algorithm>
#include <cctype>

#include "app/diagram_drawing.h"
#include "console/console_api.h"

namespace app {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr int kReportColumns = 80;
constexpr int kReportRows = 8;
constexpr std::int16_t kWhite = 15;
constexpr std::int16_t kBlack = 0;

// Black text on white, as in the dialogue's window.
void prepare_text_window(int window) {
  const int previous = console::exchange_active_window(window);
  console::set_bk_color(kWhite);
  console::clear_screen(0);
  console::set_text_color(kBlack);
  console::exchange_active_window(previous);
}

}  // namespace

int show_diagram_window(const BifurcationDiagram& diagram) {
  const int window = console::open_own_picture_window(kDiagramWindowTitle, diagram.layout.width, diagram.layout.height);
  if (window < 0) return -1;
  const int previous = console::exchange_active_window(window);
  draw_diagram(diagram.layout, diagram.parameter_axis, diagram.value_axis, diagram.labels, diagram.raster);
  console::exchange_active_window(previous);
  console::finish_own_window(window);
  return window;
}

std::string spectrum_report(const OrbitSettings& orbit, const LyapunovSpectrum& spectrum) {
  std::string report;
  if (const MapEntry* map = find_map(orbit.map_number)) {
    std::string_view heading = map->heading;
    if (heading.ends_with(':')) heading.remove_suffix(1);
    report +=
        std::string(heading) + ": " + parameter_values_text(orbit.map_number, orbit.parameters) + std::string(kLineEnd);
    report += map->nvar == 2 ? "x0 = " + shortest_text(orbit.initial[0]) + ", y0 = " + shortest_text(orbit.initial[1])
                             : "x0 = " + shortest_text(orbit.initial[0]);
  }
  report += "; Ntrans = " + std::to_string(orbit.n_transient) + ", N = " + std::to_string(orbit.length) +
            std::string(kLineEnd);
  if (spectrum.outcome != OrbitOutcome::Bounded) {
    std::string reason = orbit_failure_text(spectrum);
    if (!reason.empty()) reason[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(reason[0])));
    return report + reason + "." + std::string(kLineEnd);
  }
  report += "Lyapunov exponents (nats per iteration), largest first:" + std::string(kLineEnd);
  const std::string lines = exponent_lines(spectrum);
  for (std::size_t start = 0; start < lines.size();) {
    const std::size_t end = lines.find('\n', start);
    report += "  " + lines.substr(start, end - start) + std::string(kLineEnd);
    start = end + 1;
  }
  return report;
}

int show_spectrum_window(const OrbitSettings& orbit, const LyapunovSpectrum& spectrum) {
  const int window = console::open_own_text_window(kSpectrumWindowTitle, kReportColumns, kReportRows);
  if (window < 0) return -1;
  prepare_text_window(window);
  console::write_window_text(window, spectrum_report(orbit, spectrum));
  console::finish_own_window(window);
  return window;
}

}  // namespace app
