#pragma once
// mapexplorer bifurcation [OPTION]...: an orbit (bifurcation) diagram of one parameter of a
// map, saved as a picture (--picture FILE.png|FILE.bmp, drawn on the console of the terminal
// presentation, no window shown) and/or its points as two columns of text (--data FILE).
// The map and its orbit are chosen with the record command's options (map_options.h) except
// --length; --vary NAME=FROM:TO names the parameter and its range, --steps the number of
// parameter values and --points the points taken at each. Every value is checked before
// anything starts: a bad or missing one is a usage error (one line naming the option, exit
// status 2, no file touched).

#include <optional>
#include <span>
#include <string>

#include "app/bifurcation.h"
#include "app/recording_job.h"

namespace app {

inline constexpr std::int32_t kDefaultDiagramSteps = 800;
inline constexpr std::int32_t kDefaultDiagramPoints = 200;

struct BifurcationJob {
  BifurcationSettings settings;
  int width = 0;  // the picture's size in pixels
  int height = 0;
  std::optional<PictureRequest> picture;
  std::optional<std::string> data_path;  // "-": standard output
};

// Reads the command's arguments (after "bifurcation"); `help` is set by --help. False with
// a one-line `error` on a usage error.
bool read_bifurcation_arguments(std::span<const std::string> arguments, BifurcationJob& job, bool& help,
                                std::string& error);

// Runs the command: the exit status (exit_status.h).
int run_bifurcation_command(int& argc, char** argv, std::span<const std::string> arguments);

}  // namespace app
