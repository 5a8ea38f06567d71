#pragma once
// What the program offers the frame's Analysis menu (gui/analysis_hooks.h): the five maps
// with their parameter names and example values, the counts' limits (those of the commands
// lyapunov and bifurcation), the settings the dialogs start from (the last recording's map,
// parameters, initial state, transient and variable, or the quadratic map's example before
// any recording), and the starts, which check the settings and hand them to the runner.

#include <optional>
#include <string>

#include "app/analysis_runner.h"
#include "app/last_recording.h"
#include "gui/analysis_hooks.h"

namespace app {

// The hooks for `runner`, which must outlive the frame that uses them.
gui::AnalysisHooks analysis_hooks(AnalysisRunner& runner);

// The dialogs' starting settings: those of `recording` when there is one.
gui::AnalysisSettings starting_settings(const std::optional<RecordingSettings>& recording);

// The settings as the runner takes them; false with the reason when one is out of range.
bool diagram_settings_of(const gui::AnalysisSettings& settings, BifurcationSettings& diagram, std::string& error);
bool spectrum_settings_of(const gui::AnalysisSettings& settings, OrbitSettings& orbit, std::string& error);

}  // namespace app
