#pragma once
// mapexplorer record [OPTION]... FILE: one recording from the command line, without the
// dialogue and without a window. The options choose the map and its trajectory (map_options.h),
// the noise and its seed, a picture of the plot and a provenance sidecar; every value is
// checked before anything starts, and a bad or missing one is a usage error (one line naming
// the option, exit status 2, no file touched).

#include <span>
#include <string>

#include "app/recording_job.h"

namespace app {

// Reads the command's arguments (after "record") into `job`; `help` is set by --help. False
// with a one-line `error` on a usage error.
bool read_record_arguments(std::span<const std::string> arguments, RecordingJob& job, bool& help, std::string& error);

// Runs the command: the exit status (exit_status.h), or the process ends with a run-time
// error's number.
int run_record_command(int& argc, char** argv, std::span<const std::string> arguments);

}  // namespace app
