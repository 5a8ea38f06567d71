#include "app/replay_command.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <string_view>

#include "app/exit_status.h"
#include "app/provenance_file.h"
#include "app/recording_job.h"
#include "app/version.h"

namespace app {
namespace {

constexpr std::string_view kCheckOption = "--check";
constexpr std::string_view kHelpOption = "--help";

constexpr OptionRule kReplayOptions[] = {{kCheckOption, ""}, {kHelpOption, ""}};

constexpr std::string_view kReplayUsage =
    "Usage: mapexplorer replay [--check] FILE.json [OUT]\n"
    "Makes the recording that the provenance file FILE.json describes again (FILE.json is\n"
    "written by 'mapexplorer record --provenance' and by the dialogue with --provenance) and\n"
    "compares the new series with the SHA-256 of the series that FILE.json records.\n"
    "\n"
    "  OUT          where the new series goes; without it, a temporary file that is removed\n"
    "               afterwards:                       mapexplorer replay henon.dat.json again.dat\n"
    "  --check      compare the new series also with the recorded series file itself, FILE\n"
    "               (FILE.json without \".json\"), byte for byte; takes no OUT:\n"
    "                                                 mapexplorer replay --check henon.dat.json\n"
    "  --help       show this help and exit\n"
    "\n"
    "Exit status:\n"
    "  0  the new series is identical to the recorded one\n"
    "  1  it differs (or, with --check, the recorded file differs or cannot be read)\n"
    "  2  usage error, or FILE.json cannot be read or is malformed or incomplete (the\n"
    "     message names the field)\n"
    "  4  the new series could not be written or read back\n"
    "  other  a run-time error ended the recording with its number as status\n";

int usage_error(const std::string& message) {
  std::fprintf(stderr, "mapexplorer replay: %s (see mapexplorer replay --help)\n", message.c_str());
  return kExitUsage;
}

int failure(int status, const std::string& message) {
  std::fprintf(stderr, "mapexplorer replay: %s\n", message.c_str());
  return status;
}

// A temporary file for the new series, removed when the object goes.
class TemporaryFile {
 public:
  TemporaryFile() {
    const char* directory = std::getenv("TMPDIR");
    std::string pattern =
        std::string(directory != nullptr && *directory != '\0' ? directory : "/tmp") + "/mapexplorer-replay-XXXXXX";
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) return;
    ::close(fd);
    path_ = pattern;
  }
  ~TemporaryFile() {
    if (!path_.empty()) ::unlink(path_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

std::optional<std::string> read_bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes((std::istreambuf_iterator<char>(in)), {});
  if (in.bad()) return std::nullopt;
  return bytes;
}

// The recorded series file beside FILE.json.
std::optional<std::string> recorded_series_path(std::string_view sidecar) {
  if (sidecar.size() <= kSidecarExtension.size() || !sidecar.ends_with(kSidecarExtension)) return std::nullopt;
  return std::string(sidecar.substr(0, sidecar.size() - kSidecarExtension.size()));
}

}  // namespace

int run_replay_command(int& argc, char** argv, std::span<const std::string> arguments) {
  CommandLine line;
  std::string error;
  if (!parse_command_line(arguments, kReplayOptions, line, error)) return usage_error(error);
  if (line.has(kHelpOption)) {
    std::fwrite(kReplayUsage.data(), 1, kReplayUsage.size(), stdout);
    return kExitSuccess;
  }
  const std::vector<std::string>& operands = line.operands();
  const bool check = line.has(kCheckOption);
  if (operands.empty() || operands.size() > 2) return usage_error("give FILE.json and at most one OUT");
  if (check && operands.size() == 2) return usage_error("--check compares with the recorded file and takes no OUT");
  const std::string& sidecar = operands[0];
  const std::optional<std::string> recorded = recorded_series_path(sidecar);
  if (check && !recorded) return usage_error("--check needs FILE.json beside its series file FILE: " + sidecar);
  if (operands.size() == 2 && operands[1].find_first_not_of(' ') == std::string::npos) {
    return usage_error("OUT must not be blank");
  }
  Provenance provenance;
  if (!read_provenance_file(sidecar, provenance, error)) return failure(kExitUsage, error);

  std::optional<TemporaryFile> temporary;
  if (operands.size() == 1) temporary.emplace();
  RecordingJob job;
  job.map = provenance.settings;
  job.noise = provenance.noise;
  job.seed = provenance.seed;
  job.series_file = temporary ? temporary->path() : operands[1];
  if (job.series_file.empty()) return failure(kExitNotWritten, "cannot make a temporary file for the new series");
  const JobResult result = run_recording_job(argc, argv, job, "replay");
  if (!result.series_path) return failure(kExitNotWritten, "the new series did not go to a regular file");
  const std::optional<std::string> digest = file_sha256(*result.series_path, error);
  if (!digest) return failure(kExitNotWritten, error);

  if (*digest != provenance.series_sha256) {
    std::string message = "the series made again differs from the one " + sidecar + " records (SHA-256 " + *digest +
                          ", recorded " + provenance.series_sha256 + ")";
    if (provenance.version != kVersion) {
      message += "; it was recorded by version " + provenance.version + ", this is " + kVersion;
    }
    return failure(kExitDifferent, message);
  }
  if (check) {
    const std::optional<std::string> recorded_bytes = read_bytes(*recorded);
    if (!recorded_bytes) return failure(kExitDifferent, "cannot read the recorded series " + *recorded);
    if (recorded_bytes != read_bytes(*result.series_path)) {
      return failure(kExitDifferent, "the recorded series " + *recorded + " differs from the one " + sidecar +
                                         " describes (it was changed after the recording)");
    }
  }
  std::printf("%s: the series made again is identical to the recorded one%s\n", sidecar.c_str(),
              check ? (" and to " + *recorded).c_str() : "");
  return kExitSuccess;
}

}  // namespace app
