#pragma once
// How a series file was made: the provenance of one recording, written as FILE.json beside
// the series file FILE. It holds the program and its version, the map (number and name), the
// parameters by name, the initial state, the transient, the length, the recorded variable, the
// noise level and its seed (null without noise, and when no noise was drawn because the
// trajectory diverged before the first value), the number of values written, the series
// point found divergent (null when none was; the states of the transient are the points
// 1 - transient to 0), the series file's SHA-256 and the time of the recording (UTC).
//
// Every real number is written in the shortest form that reads back to the same double
// (with ".0" added to a whole number, so that -0.0 keeps its sign); NaN and the infinities,
// which JSON has no numbers for, are the strings "nan", "inf" and "-inf". Reading checks
// every field with the limits the dialogue applies, so that a sidecar read without error
// can be recorded again.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/dialogue_state.h"
#include "app/map_options.h"
#include "app/recording.h"

namespace app {

struct Provenance {
  std::string version;
  MapSettings settings;  // map, parameters, initial state, transient, length, variable
  std::optional<double> noise;
  std::optional<std::int32_t> seed;
  std::int64_t values_written = 0;
  std::optional<std::int64_t> divergent_point;
  std::string series_sha256;  // 64 lower-case hexadecimal digits
  std::string created_utc;    // "YYYY-MM-DDThh:mm:ssZ"
};

// The provenance of the recording `state` just made with `outcome`.
Provenance provenance_of(const DialogueState& state, const RecordingOutcome& outcome, std::string series_sha256,
                         std::string created_utc);

// The JSON text (an object, one field a line, ending in a line feed).
std::string provenance_json(const Provenance& provenance);

// Reads a JSON text; false with a one-line `error` that names the field when the text is not
// JSON, not an object, or a field is missing, of the wrong type or out of its limits.
bool read_provenance_json(std::string_view text, Provenance& provenance, std::string& error);

// The shortest text that reads back to `value` (see above), as it stands in the JSON text.
std::string json_real(double value);

}  // namespace app
