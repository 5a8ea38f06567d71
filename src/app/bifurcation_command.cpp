#include "app/bifurcation_command.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string_view>
#include <vector>

#include "app/analysis_windows.h"
#include "app/bifurcation_diagram.h"
#include "app/exit_status.h"
#include "app/map_options.h"
#include "app/option_values.h"
#include "app/points_file.h"
#include "console/console_api.h"
#include "console/palette.h"
#include "terminal/terminal_entry.h"

namespace app {
namespace {

constexpr std::string_view kVaryOption = "--vary";
constexpr std::string_view kStepsOption = "--steps";
constexpr std::string_view kPointsOption = "--points";
constexpr std::string_view kPictureOption = "--picture";
constexpr std::string_view kDataOption = "--data";
constexpr std::string_view kSizeOption = "--size";
constexpr std::string_view kHelpOption = "--help";
constexpr std::string_view kStandardOutput = "-";

constexpr OptionRule kBifurcationOptions[] = {
    {kVaryOption, "NAME=FROM:TO"}, {kStepsOption, "K"},  {kPointsOption, "P"}, {kPictureOption, "FILE"},
    {kDataOption, "FILE"},         {kSizeOption, "WxH"}, {kHelpOption, ""},
};

constexpr std::string_view kBifurcationUsageHead =
    "Usage: mapexplorer bifurcation --vary NAME=FROM:TO [OPTION]... --picture FILE\n"
    "       mapexplorer bifurcation --vary NAME=FROM:TO [OPTION]... --data FILE\n"
    "Draws the orbit (bifurcation) diagram of a map over one of its parameters, without a\n"
    "window: for each of K parameter values evenly spaced from FROM to TO, the map is\n"
    "iterated through the transient and the next P values of the variable are plotted\n"
    "against the parameter. Each parameter value starts from the state the previous one\n"
    "ended in (the first, and the one after an orbit that went to infinity, from the\n"
    "initial state). Points of orbits that go to infinity are left out and counted.\n"
    "\n"
    "The parameter varied:\n"
    "  --vary NAME=FROM:TO   the parameter and its range; FROM may be above TO, which sweeps\n"
    "                        downwards:                       --vary lambda=0:2\n"
    "  --steps K             parameter values, 1 to 999999 (default 800):  --steps 1600\n"
    "  --points P            points plotted per value, 1 to 999999 (default 200):\n"
    "                                                         --points 500\n"
    "\n"
    "The map and its orbit (as for 'mapexplorer record'):\n";

constexpr std::string_view kBifurcationUsageTail =
    "  --transient N         iterations discarded at each parameter value, 0 to 999999\n"
    "                        (default 1000):                  --transient 500\n"
    "  --variable 1|2        the variable plotted, 2 only for a two-variable map\n"
    "                        (default 1):                     --variable 2\n"
    "\n"
    "Output (at least one of --picture and --data):\n"
    "  --picture FILE        save the diagram as FILE, a .png or .bmp file:\n"
    "                                                         --picture diagram.png\n"
    "  --size WxH            the picture's size in pixels, W from 200 to 8000 and H from\n"
    "                        150 to 8000 (default 800x600):   --size 1600x1200\n"
    "  --data FILE           write the points to FILE, one per line: the parameter value and\n"
    "                        the variable's value, separated by a blank; - is standard\n"
    "                        output:                          --data points.txt\n"
    "  --help                show this help and exit\n"
    "\n"
    "Examples:\n"
    "  mapexplorer bifurcation --map quadratic --vary lambda=0:2 --initial 0.1 \\\n"
    "      --picture quadratic.png\n"
    "  mapexplorer bifurcation --map henon --vary a=0:1.4 --param b=0.3 --initial 0.1,0.1 \\\n"
    "      --steps 1200 --points 300 --size 1200x800 --picture henon.png --data henon.txt\n"
    "\n"
    "Points left out are counted on standard error (\"N of M points left out: ...\").\n"
    "\n"
    "Exit status:\n"
    "  0  the picture and the points are written\n"
    "  2  usage error: a bad or missing option (no file is touched)\n"
    "  3  every orbit went to infinity (or became NaN): no point to show; the picture (an\n"
    "     empty frame) and the points file (empty) are written all the same\n"
    "  4  the picture or the points could not be written (said on standard error)\n";

std::vector<OptionRule> bifurcation_option_rules() {
  // The diagram takes --points at each parameter value instead of one series --length.
  std::vector<OptionRule> rules = map_option_rules_except({kLengthOption});
  rules.insert(rules.end(), std::begin(kBifurcationOptions), std::end(kBifurcationOptions));
  return rules;
}

bool read_vary(const CommandLine& line, const MapSettings& map, BifurcationSettings& settings, std::string& error) {
  const std::string option(kVaryOption);
  const std::string* text = line.value(kVaryOption);
  if (text == nullptr) {
    error = "missing " + option + " NAME=FROM:TO, the parameter to vary and its range";
    return false;
  }
  const std::size_t equals = text->find('=');
  const std::size_t colon = text->find(':', equals == std::string::npos ? 0 : equals);
  if (equals == std::string::npos || colon == std::string::npos) {
    error = option + " must be NAME=FROM:TO: " + *text;
    return false;
  }
  const std::string name = text->substr(0, equals);
  const ParameterPrompt* prompt = find_parameter(*map.map, name);
  if (prompt == nullptr) {
    error = option + ": the " + std::string(map.map->name) + " map has no parameter '" + name + "'";
    return false;
  }
  if (map.parameter_given[static_cast<std::size_t>(prompt->slot - 1)]) {
    error = std::string(kParamOption) + " " + name + " is the parameter " + option + " varies: leave it out";
    return false;
  }
  if (!parse_real(std::string_view(*text).substr(equals + 1, colon - equals - 1), settings.from) ||
      !parse_real(std::string_view(*text).substr(colon + 1), settings.to) || !std::isfinite(settings.from) ||
      !std::isfinite(settings.to)) {
    error = option + ": FROM and TO must be finite numbers: " + *text;
    return false;
  }
  settings.vary_slot = prompt->slot;
  return true;
}

bool read_count(const CommandLine& line, std::string_view option, std::int32_t fallback, std::int64_t& value,
                std::string& error) {
  std::int32_t count = fallback;
  const std::string* text = line.value(option);
  if (text != nullptr && !read_whole_number(option, *text, 1, kLongestLength, count, error)) return false;
  value = count;
  return true;
}

bool read_size(const CommandLine& line, BifurcationJob& job, std::string& error) {
  job.width = kDefaultDiagramWidth;
  job.height = kDefaultDiagramHeight;
  const std::string* text = line.value(kSizeOption);
  if (text == nullptr) return true;
  const std::size_t x = text->find('x');
  std::int32_t width = 0;
  std::int32_t height = 0;
  if (x == std::string::npos ||
      !parse_whole_number(std::string_view(*text).substr(0, x), kSmallestDiagramWidth, kLargestDiagramSide, width) ||
      !parse_whole_number(std::string_view(*text).substr(x + 1), kSmallestDiagramHeight, kLargestDiagramSide, height)) {
    error = std::string(kSizeOption) + " must be WxH, W from " + std::to_string(kSmallestDiagramWidth) +
            " and H from " + std::to_string(kSmallestDiagramHeight) + " to " + std::to_string(kLargestDiagramSide) +
            " pixels: " + *text;
    return false;
  }
  job.width = width;
  job.height = height;
  return true;
}

bool read_outputs(const CommandLine& line, BifurcationJob& job, std::string& error) {
  if (const std::string* path = line.value(kPictureOption)) {
    const std::optional<console::PictureFormat> format = picture_format_of(*path);
    if (!format) {
      error = std::string(kPictureOption) + " must name a .png or .bmp file: " + *path;
      return false;
    }
    job.picture = PictureRequest{*path, *format};
  }
  if (const std::string* path = line.value(kDataOption)) {
    if (path->find_first_not_of(' ') == std::string::npos) {
      error = std::string(kDataOption) + " must not be blank";
      return false;
    }
    if (job.picture && *path == job.picture->path) {
      error = std::string(kDataOption) + " names the file --picture writes: " + *path;
      return false;
    }
    job.data_path = *path;
  }
  if (!job.picture && !job.data_path) {
    error = "missing " + std::string(kPictureOption) + " FILE or " + std::string(kDataOption) +
            " FILE: the diagram needs somewhere to go";
    return false;
  }
  if (!job.picture && line.has(kSizeOption)) {
    error = std::string(kSizeOption) + " is the size of the picture: it goes with --picture FILE";
    return false;
  }
  return true;
}

void write_standard_error(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fflush(stderr);
}

std::string picture_not_written(const std::string& path, int status) {
  return "cannot write the picture " + path + ": " + picture_failure(status);
}

// What a run produced: the points' summary, and whether every file asked for was written.
struct DiagramRun {
  BifurcationSummary summary;
  bool all_written = true;
};

// Draws the diagram in a window of its own on the console and saves its picture (program
// thread of the terminal presentation).
void draw_and_save(const BifurcationJob& job, const BifurcationDiagram& diagram, DiagramRun& run,
                   const std::string& prefix) {
  const int window = show_diagram_window(diagram);
  const int status = window < 0 ? std::min<int>(console::get_graphics_status(), console::kStatusFailure)
                                : console::save_window_picture(window, job.picture->path, job.picture->format);
  if (status != console::kStatusOk) {
    write_standard_error(prefix + picture_not_written(job.picture->path, status) + "\n");
    run.all_written = false;
  }
}

}  // namespace

bool read_bifurcation_arguments(std::span<const std::string> arguments, BifurcationJob& job, bool& help,
                                std::string& error) {
  const std::vector<OptionRule> rules = bifurcation_option_rules();
  CommandLine line;
  if (!parse_command_line(arguments, rules, line, error)) return false;
  help = line.has(kHelpOption);
  if (help) return true;
  if (!line.operands().empty()) {
    error = "no operand is taken: " + line.operands().front() + " (the files go with --picture and --data)";
    return false;
  }
  job = BifurcationJob{};
  MapSettings map;
  BifurcationSettings& settings = job.settings;
  if (!read_map_options(line, map, error) || !read_vary(line, map, settings, error) ||
      !check_parameters_given(map, error, settings.vary_slot) ||
      !read_count(line, kStepsOption, kDefaultDiagramSteps, settings.steps, error) ||
      !read_count(line, kPointsOption, kDefaultDiagramPoints, settings.points, error) || !read_size(line, job, error) ||
      !read_outputs(line, job, error)) {
    return false;
  }
  settings.map_number = map.map->number;
  settings.parameters = map.parameters;
  settings.initial = initial_state(map);
  settings.n_transient = map.transient;
  settings.variable = map.variable;
  return true;
}

int run_bifurcation_command(int& argc, char** argv, std::span<const std::string> arguments) {
  const std::string prefix = "mapexplorer bifurcation: ";
  BifurcationJob job;
  bool help = false;
  std::string error;
  if (!read_bifurcation_arguments(arguments, job, help, error)) {
    write_standard_error(prefix + error + " (see mapexplorer bifurcation --help)\n");
    return kExitUsage;
  }
  if (help) {
    const std::string usage =
        std::string(kBifurcationUsageHead) + map_option_help(true) + std::string(kBifurcationUsageTail);
    std::fwrite(usage.data(), 1, usage.size(), stdout);
    return kExitSuccess;
  }

  PointsFile points;
  if (job.data_path && !points.open(*job.data_path, error)) {
    write_standard_error(prefix + error + "\n");
    return kExitNotWritten;
  }
  BifurcationSink data;
  if (job.data_path) data = [&points](double parameter, double value) { points.write(parameter, value); };

  DiagramRun run;
  if (job.picture) {
    terminal::TerminalOptions options;
    options.announce_program_end = false;
    terminal::run_terminal(argc, argv, options, {}, [&] {
      const BifurcationDiagram diagram = compute_diagram(job.settings, job.width, job.height, data);
      run.summary = diagram.summary;
      draw_and_save(job, diagram, run, prefix);
      return 0;
    });
  } else {
    run.summary = compute_bifurcation(job.settings, data);
  }
  if (job.data_path && !points.close(error)) {
    write_standard_error(prefix + error + "\n");
    run.all_written = false;
  }

  if (run.summary.points_kept == 0) {
    write_standard_error(prefix + "every orbit went to infinity or became NaN: no point to show\n");
  } else if (const std::string left_out = left_out_text(run.summary); !left_out.empty()) {
    write_standard_error(prefix + left_out + "\n");
  }
  if (!run.all_written) return kExitNotWritten;
  return run.summary.points_kept == 0 ? kExitDiverged : kExitSuccess;
}

}  // namespace app
