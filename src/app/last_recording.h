#pragma once
// The settings of the dialogue's last recording, published as each recording starts, for
// readers on other threads: the frame's Analysis menu starts its dialogs from them. Reading
// and publishing are safe from any thread; nothing is published before the first recording.

#include <array>
#include <cstdint>
#include <optional>

#include "app/dialogue_state.h"
#include "app/map_catalogue.h"

namespace app {

struct RecordingSettings {
  int map_number = 1;
  MapParameters parameters;
  std::array<double, 2> initial{0.0, 0.0};  // the map's nvar components are meaningful
  std::int32_t transient = kDefaultTransient;
  std::int32_t length = kDefaultSeriesLength;
  std::int32_t variable = 1;
};

// Publishes the settings of `state` (map, parameters, x0, lengths, variable).
void publish_last_recording(const DialogueState& state);
// The settings published last; nothing before the first recording.
std::optional<RecordingSettings> last_recording();

}  // namespace app
