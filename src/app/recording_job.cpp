#include "app/recording_job.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>

#include "app/plot.h"
#include "app/provenance_file.h"
#include "console/console_api.h"
#include "console/graphics_status.h"
#include "numerics/uniform_generator.h"
#include "runtime/io/statements.h"
#include "runtime/support/lifecycle.h"
#include "terminal/terminal_entry.h"

namespace app {
namespace {

void write_standard_error(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fflush(stderr);
}

// The divergence message as the dialogue words it, on a line of its own.
void report_divergence(std::string_view message) { write_standard_error(std::string(message) + "\n"); }

bool ends_with_ignoring_case(std::string_view text, std::string_view end) {
  return text.size() >= end.size() &&
         std::equal(end.begin(), end.end(), text.end() - static_cast<std::ptrdiff_t>(end.size()),
                    [](char wanted, char given) { return std::tolower(static_cast<unsigned char>(given)) == wanted; });
}

// The job's work on the program thread (or, without a console, the calling thread).
class JobRun {
 public:
  JobRun(const RecordingJob& job, std::string_view command)
      : job_(job), prefix_("mapexplorer " + std::string(command) + ": ") {}

  void operator()() {
    DialogueState state;
    apply_map_settings(job_.map, state);
    state.add_noise = job_.noise.has_value();
    state.noise_std = job_.noise.value_or(0.0);
    open_series_unit();
    // The series file's name is known while the unit is connected; the recording closes it.
    const std::optional<std::string> series_path = runtime::unit_file_path(kSeriesUnit);
    TrajectoryPlot plot;
    result_.outcome = record_series(state, job_.picture ? &plot : nullptr, report_divergence);
    result_.series_path = series_path;
    if (job_.picture) save_picture();
    std::string error;
    if (job_.provenance && !write_provenance_file(series_path, state, result_.outcome, error)) {
      write_standard_error(prefix_ + error + "\n");
      result_.all_written = false;
    }
  }

  const JobResult& result() const { return result_; }

 private:
  void save_picture() {
    const PictureRequest& picture = *job_.picture;
    // A trajectory that diverged before its plot was set up has no picture to save.
    if (result_.outcome.values_written == 0 && result_.outcome.divergent_point) {
      write_standard_error(prefix_ + "no picture written to " + picture.path +
                           ": the trajectory went to infinity before it could be plotted\n");
      return;
    }
    const int status = console::save_unit_picture(kGraphicsUnit, picture.path, picture.format);
    if (status == console::kStatusOk) return;
    write_standard_error(prefix_ + "cannot write the picture " + picture.path + ": " + picture_failure(status) + "\n");
    result_.all_written = false;
  }

  const RecordingJob& job_;
  const std::string prefix_;
  JobResult result_;
};

}  // namespace

std::string picture_failure(int status) {
  switch (status) {
    case console::kStatusFileNotCreated: return "the file could not be created";
    case console::kStatusWriteFailed: return "writing it failed";
    case console::kStatusNoImageMemory: return "there is not enough memory for it";
    default: return "the picture could not be taken (graphics status " + std::to_string(status) + ")";
  }
}

std::optional<console::PictureFormat> picture_format_of(std::string_view path) {
  if (ends_with_ignoring_case(path, ".png")) return console::PictureFormat::Png;
  if (ends_with_ignoring_case(path, ".bmp")) return console::PictureFormat::Bitmap;
  return std::nullopt;
}

JobResult run_recording_job(int& argc, char** argv, const RecordingJob& job, std::string_view command) {
  // The noise of this run starts from the seed given instead of the clock.
  if (job.seed) numerics::init_uniform_generator(*job.seed);
  // The series file is the one command-line argument that the open of unit 1 takes.
  const std::vector<std::string> arguments = {job.series_file};
  JobRun run(job, command);
  if (!job.picture) {
    // It returns only with exit code 0 (any other end exits the process): the job's own
    // result says how the recording went.
    static_cast<void>(runtime::run_main_wrapper(arguments, [&run] { run(); }));
    return run.result();
  }
  terminal::TerminalOptions options;
  options.announce_program_end = false;
  terminal::run_terminal_program(argc, argv, arguments, options, [&run] { run(); });
  return run.result();
}

}  // namespace app
