#include "app/record_command.h"

#include <cstdio>
#include <string_view>
#include <vector>

#include "app/exit_status.h"
#include "app/option_values.h"

namespace app {
namespace {

constexpr std::string_view kPictureOption = "--picture";
constexpr std::string_view kProvenanceOption = "--provenance";
constexpr std::string_view kHelpOption = "--help";
constexpr std::string_view kSidecarExtension = ".json";

constexpr OptionRule kRecordOptions[] = {
    {kNoiseOption, "STD"}, {kSeedOption, "N"}, {kPictureOption, "FILE"}, {kProvenanceOption, ""}, {kHelpOption, ""},
};

constexpr std::string_view kRecordUsageHead =
    "Usage: mapexplorer record [OPTION]... FILE\n"
    "Makes one recording without the dialogue and without a window, and writes its series to\n"
    "FILE exactly as the dialogue would for the same settings (one value per line, (F20.10),\n"
    "lines ended by CR LF).\n"
    "\n"
    "The map and its trajectory (the dialogue's questions 1 to 6):\n";

constexpr std::string_view kRecordUsageTail =
    "  --transient N         iterations discarded first, 0 to 999999 (default 1000):\n"
    "                                                         --transient 500\n"
    "  --length N            values to record, 2 to 999999 (default 10000):  --length 2000\n"
    "  --variable 1|2        the variable to record, 2 only for a two-variable map\n"
    "                        (default 1):                     --variable 2\n"
    "\n"
    "Noise (the dialogue's questions 7 and 8):\n"
    "  --noise STD           add Gaussian noise of standard deviation STD > 0:  --noise 0.01\n"
    "  --seed N              start the noise from seed N, 1 to 2147483646, instead of the\n"
    "                        time of day (the same seed gives the same noise):  --seed 42\n"
    "\n"
    "More output:\n"
    "  --picture FILE        also save the plot (the Graphics window after the recording) as\n"
    "                        FILE, a .png or .bmp file:       --picture henon.png\n"
    "  --provenance          also write FILE.json, which tells how FILE was made; see\n"
    "                        'mapexplorer replay --help':     --provenance\n"
    "  --help                show this help and exit\n"
    "\n"
    "Example:\n"
    "  mapexplorer record --map henon --param a=1.4 --param b=0.3 --initial 0.1,0.1 \\\n"
    "      --length 5000 --noise 0.01 --seed 42 --picture henon.png henon.dat\n"
    "\n"
    "Exit status:\n"
    "  0  the recording is written\n"
    "  2  usage error: a bad or missing option (no file is touched)\n"
    "  3  the trajectory went to infinity: \"The trajectory goes to infinity\" on standard\n"
    "     error; FILE holds the values up to the divergent one, or is left as it was when\n"
    "     the trajectory diverged before the first value (as in the dialogue; then no\n"
    "     picture is saved either)\n"
    "  4  the picture or FILE.json could not be written (said on standard error)\n"
    "  other  a run-time error ends the recording with its number as status, for example\n"
    "     29 when FILE cannot be opened, or 38 when writing it fails (a full disk, a file\n"
    "     size limit, FILE removed while it is written); FILE then keeps whole lines only\n";

std::vector<OptionRule> record_option_rules() {
  std::vector<OptionRule> rules(map_option_rules().begin(), map_option_rules().end());
  rules.insert(rules.end(), std::begin(kRecordOptions), std::end(kRecordOptions));
  return rules;
}

bool read_series_file(const CommandLine& line, RecordingJob& job, std::string& error) {
  const std::vector<std::string>& operands = line.operands();
  if (operands.size() != 1) {
    error = operands.empty() ? "missing FILE, the series file to write"
                             : "one FILE only, the series file to write (got " + std::to_string(operands.size()) + ")";
    return false;
  }
  // A blank name would make the runtime ask for one.
  if (operands.front().find_first_not_of(' ') == std::string::npos) {
    error = "FILE must not be blank";
    return false;
  }
  job.series_file = operands.front();
  return true;
}

bool read_picture(const CommandLine& line, RecordingJob& job, std::string& error) {
  const std::string* path = line.value(kPictureOption);
  if (path == nullptr) return true;
  const std::optional<console::PictureFormat> format = picture_format_of(*path);
  if (!format) {
    error = std::string(kPictureOption) + " must name a .png or .bmp file: " + *path;
    return false;
  }
  if (*path == job.series_file || (job.provenance && *path == job.series_file + std::string(kSidecarExtension))) {
    error = std::string(kPictureOption) + " names a file the recording writes already: " + *path;
    return false;
  }
  job.picture = PictureRequest{*path, *format};
  return true;
}

}  // namespace

bool read_record_arguments(std::span<const std::string> arguments, RecordingJob& job, bool& help, std::string& error) {
  const std::vector<OptionRule> rules = record_option_rules();
  CommandLine line;
  if (!parse_command_line(arguments, rules, line, error)) return false;
  help = line.has(kHelpOption);
  if (help) return true;
  job = RecordingJob{};
  job.provenance = line.has(kProvenanceOption);
  return read_map_options(line, job.map, error) && check_parameters_given(job.map, error) &&
         read_noise_option(line, job.noise, error) && read_seed_option(line, job.seed, error) &&
         read_series_file(line, job, error) && read_picture(line, job, error);
}

int run_record_command(int& argc, char** argv, std::span<const std::string> arguments) {
  RecordingJob job;
  bool help = false;
  std::string error;
  if (!read_record_arguments(arguments, job, help, error)) {
    std::fprintf(stderr, "mapexplorer record: %s (see mapexplorer record --help)\n", error.c_str());
    return kExitUsage;
  }
  if (help) {
    const std::string usage = std::string(kRecordUsageHead) + map_option_help() + std::string(kRecordUsageTail);
    std::fwrite(usage.data(), 1, usage.size(), stdout);
    return kExitSuccess;
  }
  const JobResult result = run_recording_job(argc, argv, job, "record");
  if (!result.all_written) return kExitNotWritten;
  return result.outcome.divergent_point ? kExitDiverged : kExitSuccess;
}

}  // namespace app
