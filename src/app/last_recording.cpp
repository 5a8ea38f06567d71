#include "app/last_recording.h"

#include <mutex>

namespace app {
namespace {

std::mutex settings_mutex;
std::optional<RecordingSettings> published;

}  // namespace

void publish_last_recording(const DialogueState& state) {
  RecordingSettings settings;
  settings.map_number = state.map_number;
  settings.parameters = state.parameters;
  for (std::size_t i = 0; i < state.x0.size() && i < settings.initial.size(); ++i) settings.initial[i] = state.x0[i];
  settings.transient = state.n_transient;
  settings.length = state.n_series;
  settings.variable = state.record_variable;
  std::lock_guard lock(settings_mutex);
  published = settings;
}

std::optional<RecordingSettings> last_recording() {
  std::lock_guard lock(settings_mutex);
  return published;
}

}  // namespace app
