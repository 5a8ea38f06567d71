#pragma once
// One recording made without the dialogue, for the commands record and replay: the map
// settings, the noise and its seed, the series file, and on request the picture of the plot
// and the provenance sidecar. It runs through the same recording routine as the dialogue,
// into unit 1 opened as the dialogue opens it, so the series file is the dialogue's byte for
// byte. No window is shown, also when a display exists: without a picture no console is
// started at all, with one the console runs on the offscreen platform.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/map_options.h"
#include "app/recording.h"
#include "console/console_api.h"

namespace app {

struct PictureRequest {
  std::string path;
  console::PictureFormat format = console::PictureFormat::Bitmap;
};

struct RecordingJob {
  MapSettings map;
  std::optional<double> noise;       // standard deviation; nothing: no noise
  std::optional<std::int32_t> seed;  // nothing: the generator takes the time of day
  std::string series_file;
  std::optional<PictureRequest> picture;
  bool provenance = false;  // also write series_file + ".json"
};

struct JobResult {
  RecordingOutcome outcome;
  // The series file's full path; nothing when the series went to a device.
  std::optional<std::string> series_path;
  bool all_written = true;  // the picture and the sidecar asked for were written
};

// The picture format a file name asks for by its extension (".png" or ".bmp", in any case).
std::optional<console::PictureFormat> picture_format_of(std::string_view path);
// Why a picture was not saved, for the graphics status a save returned ("the file could not
// be created", ...).
std::string picture_failure(int status);

// Runs the job; messages (the divergence message, files not written) go to standard error,
// each after "mapexplorer COMMAND: " except the divergence message, which is the dialogue's.
// A severe run-time error (the series file cannot be opened, say) ends the process with its
// error number, as in the dialogue.
JobResult run_recording_job(int& argc, char** argv, const RecordingJob& job, std::string_view command);

}  // namespace app
