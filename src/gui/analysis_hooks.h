#pragma once
// What the frame's Analysis menu needs from the program, which registers it at start-up: the
// maps it may analyse (their headings, parameter names and number of variables), the limits
// of the counts, the settings its dialogs start from, and the calls that start an orbit
// (bifurcation) diagram or a Lyapunov spectrum. The program runs them on a thread of its own
// and shows each result in a window of its own; the frame only asks and never waits.

#include <functional>
#include <string>
#include <vector>

namespace gui {

// Values that show a map at its best, filled in when the user picks the map in a dialog.
struct AnalysisMapExample {
  std::vector<double> parameters;
  std::vector<double> initial;
  int varied = 0;  // the parameter a diagram varies, and its range
  double from = 0.0;
  double to = 1.0;
};

struct AnalysisMap {
  std::string heading;                       // "Henon map"
  std::vector<std::string> parameter_names;  // in the dialogue's asking order
  int variables = 1;                         // 1 or 2
  AnalysisMapExample example;
};

// The ranges the dialogs' counts are kept in.
struct AnalysisLimits {
  int longest_transient = 999999;
  int shortest_length = 2;
  int longest_length = 999999;
  int most_steps = 999999;
  int most_points = 999999;
  int smallest_width = 200;
  int smallest_height = 150;
  int largest_side = 8000;
};

// The settings of one analysis, as the dialogs show them and hand them back. Indices are
// 0-based: `map` into the maps, `varied` into the map's parameter names.
struct AnalysisSettings {
  int map = 0;
  std::vector<double> parameters;  // one per parameter name
  std::vector<double> initial;     // one per variable
  int transient = 1000;
  // Lyapunov exponents.
  int length = 999999;
  // Bifurcation diagram.
  int varied = 0;
  double from = 0.0;
  double to = 1.0;
  int steps = 800;
  int points = 200;
  int variable = 1;  // 1-based
  int width = 800;
  int height = 600;
};

struct AnalysisHooks {
  std::vector<AnalysisMap> maps;
  AnalysisLimits limits;
  // The settings a dialog starts from (the last recording's, or the program's defaults).
  std::function<AnalysisSettings()> starting_settings;
  // Why no analysis may start now (one is running); empty when one may.
  std::function<std::string()> refusal;
  // Start a run and return at once: empty when started, otherwise why it was refused (one
  // is running, or a setting is out of range).
  std::function<std::string(const AnalysisSettings&)> start_bifurcation;
  std::function<std::string(const AnalysisSettings&)> start_lyapunov;
  // The frame is closing: a run in progress is stopped and nothing more is shown.
  std::function<void()> shut_down;
};

}  // namespace gui
