#pragma once
// The provenance sidecar on disk: FILE.json beside the series file FILE, written whole or not
// at all (into a temporary file that then replaces it), and read back; the SHA-256 of a file.

#include <optional>
#include <string>
#include <string_view>

#include "app/provenance.h"

namespace app {

inline constexpr std::string_view kSidecarExtension = ".json";

// FILE.json for the series file FILE.
std::string sidecar_path(std::string_view series_path);

// The SHA-256 of the file's bytes in lower-case hexadecimal; nothing, with a one-line `error`,
// when the file cannot be read.
std::optional<std::string> file_sha256(const std::string& path, std::string& error);

// The current time in UTC, as "YYYY-MM-DDThh:mm:ssZ".
std::string utc_now();

// Writes the sidecar of the recording just made into `series_path` (the series unit's file,
// taken before the recording closed it; nothing when the series did not go to a regular
// file): the series file's hash, the settings of `state` and the `outcome`. False with a
// one-line `error` when there is no file to describe or the sidecar cannot be written.
bool write_provenance_file(const std::optional<std::string>& series_path, const DialogueState& state,
                           const RecordingOutcome& outcome, std::string& error);

// Reads the sidecar `path`; false with a one-line `error` (naming the file) when it cannot be
// read or is malformed or incomplete.
bool read_provenance_file(const std::string& path, Provenance& provenance, std::string& error);

}  // namespace app
