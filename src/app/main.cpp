// mapexplorer: time series from chaotic maps through a numbered question-and-answer dialogue.
// main() takes the explorer's own options off the command line, picks the presentation (the
// frame on screen, or the terminal when there is no display or with --terminal) and runs the
// dialogue on the program thread. Every other argument names a series file, in order.

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/analysis_menu.h"
#include "app/bifurcation_command.h"
#include "app/command_line.h"
#include "app/dialogue.h"
#include "app/exit_status.h"
#include "app/frame_loader.h"
#include "app/lyapunov_command.h"
#include "app/option_values.h"
#include "app/plot.h"
#include "app/record_command.h"
#include "app/replay_command.h"
#include "app/version.h"
#include "console/console_core.h"
#include "console/font_system.h"
#include "numerics/uniform_generator.h"
#include "runtime/support/lifecycle.h"
#include "terminal/terminal_entry.h"

namespace {

constexpr std::string_view kUsage =
    "Usage: mapexplorer [OPTION]... [FILE]...\n"
    "       mapexplorer record [OPTION]... FILE\n"
    "       mapexplorer replay [--check] FILE.json [OUT]\n"
    "       mapexplorer lyapunov [OPTION]...\n"
    "       mapexplorer bifurcation --vary NAME=FROM:TO [OPTION]... --picture FILE\n"
    "Records time series of chaotic maps through a numbered question-and-answer dialogue.\n"
    "Each recording writes its series to the next FILE given, or asks for a file name.\n"
    "\n"
    "Options:\n"
    "  --terminal              run in the terminal even when a display is available\n"
    "                          (the default when neither DISPLAY nor WAYLAND_DISPLAY is set):\n"
    "                            mapexplorer --terminal series.dat\n"
    "  --save-pictures DIR     terminal only: when the program ends, save the picture of\n"
    "                          every window as DIR/<window title>.bmp:\n"
    "                            mapexplorer --terminal --save-pictures pictures series.dat\n"
    "  --picture-format bmp|png  the format of the pictures --save-pictures saves (default\n"
    "                          bmp; png writes DIR/<window title>.png):\n"
    "                            mapexplorer --terminal --save-pictures pictures \\\n"
    "                                --picture-format png series.dat\n"
    "  --seed N                start the noise from seed N, 1 to 2147483646, instead of the\n"
    "                          time of day, so that a run can be repeated (one sequence per\n"
    "                          run, continued from one recording to the next):\n"
    "                            mapexplorer --seed 42 series.dat\n"
    "  --provenance            each recording also writes FILE.json beside its series FILE,\n"
    "                          which tells how it was made (see 'mapexplorer replay --help'):\n"
    "                            mapexplorer --provenance series.dat\n"
    "  --help                  show this help and exit\n"
    "  --version               show the version and exit\n"
    "  --                      every argument after it is a FILE (also one named 'record')\n"
    "\n"
    "In the terminal, standard input supplies the answers, one per line, and standard output\n"
    "shows the dialogue.\n"
    "\n"
    "Exit status:\n"
    "  0      the dialogue ended\n"
    "  1      standard input ended while a question waited, or control-BREAK (SIGQUIT)\n"
    "  2      window-CLOSE (SIGHUP), or a wrong option\n"
    "  130    control-C (SIGINT)\n"
    "  143    SIGTERM\n"
    "  other  a run-time error ended the program: its error number\n"
    "Except for a wrong option, every file is written and closed first.\n"
    "\n"
    "Commands:\n"
    "  record       one recording from the command line, without the dialogue and without\n"
    "               a window ('mapexplorer record --help'):\n"
    "                 mapexplorer record --map quadratic --param lambda=1.9 --initial 0.3 q.dat\n"
    "  replay       make a recording described by its FILE.json again and compare\n"
    "               ('mapexplorer replay --help'):\n"
    "                 mapexplorer replay --check q.dat.json\n"
    "  lyapunov     the Lyapunov exponents of an orbit, one per line on standard output\n"
    "               ('mapexplorer lyapunov --help'):\n"
    "                 mapexplorer lyapunov --map henon --param a=1.4 --param b=0.3 \\\n"
    "                     --initial 0.1,0.1\n"
    "  bifurcation  the orbit (bifurcation) diagram of a map over one parameter, as a\n"
    "               picture and as points ('mapexplorer bifurcation --help'):\n"
    "                 mapexplorer bifurcation --map quadratic --vary lambda=0:2 \\\n"
    "                     --initial 0.1 --picture quadratic.png\n"
    "\n"
    "In the frame, the Analysis menu draws the diagram and computes the exponents in windows\n"
    "of their own, starting from the settings of the last recording.\n";

// Qt keeps per-user runtime files under XDG_RUNTIME_DIR and warns on standard error when it is
// not set (as in a plain terminal session or a CI job). Give it the directory it would
// choose anyway, without the warning.
void ensure_runtime_directory() {
  const char* current = std::getenv("XDG_RUNTIME_DIR");
  if (current != nullptr && *current != '\0') return;
  const std::string directory = "/tmp/runtime-" + std::to_string(::getuid());
  if (::mkdir(directory.c_str(), 0700) != 0 && errno != EEXIST) return;
  struct stat info {};
  if (::lstat(directory.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::getuid()) return;
  if ((info.st_mode & 0777) != 0700) return;
  ::setenv("XDG_RUNTIME_DIR", directory.c_str(), 1);
}

constexpr std::string_view kRecordCommand = "record";
constexpr std::string_view kReplayCommand = "replay";
constexpr std::string_view kLyapunovCommand = "lyapunov";
constexpr std::string_view kBifurcationCommand = "bifurcation";
constexpr std::string_view kTerminalOption = "--terminal";
constexpr std::string_view kSavePicturesOption = "--save-pictures";
constexpr std::string_view kPictureFormatOption = "--picture-format";
constexpr std::string_view kProvenanceOption = "--provenance";
constexpr std::string_view kHelpOption = "--help";
constexpr std::string_view kVersionOption = "--version";

// The dialogue's options; every operand names a series file, in order. The options it has
// always had may be given again (--save-pictures: the last directory counts).
constexpr app::OptionRule kDialogueOptions[] = {
    {kTerminalOption, "", true},       {kSavePicturesOption, "DIR", true},
    {kPictureFormatOption, "bmp|png"}, {app::kSeedOption, "N"},
    {kProvenanceOption, ""},           {kHelpOption, "", true},
    {kVersionOption, "", true},
};

int usage_error(const std::string& message) {
  std::fprintf(stderr, "mapexplorer: %s (see mapexplorer --help)\n", message.c_str());
  return app::kExitUsage;
}

bool has_display() {
  const char* x_display = std::getenv("DISPLAY");
  const char* wayland_display = std::getenv("WAYLAND_DISPLAY");
  return (x_display != nullptr && *x_display != '\0') || (wayland_display != nullptr && *wayland_display != '\0');
}

// The program's initial-settings hook: the frame opens maximised. Its first menu is deleted
// too, which at this point (before the menus exist) leaves the bar as it is.
bool initial_settings(console::ConsoleCore& core) {
  core.set_window_size(console::kFrameUnit, console::WindowPosition{2, 0, 0, 0, 0});
  core.delete_menu(1, 0);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> all_arguments(argv + 1, argv + argc);
  if (!all_arguments.empty() && all_arguments.front() == kRecordCommand) {
    ensure_runtime_directory();
    return app::run_record_command(argc, argv, std::span(all_arguments).subspan(1));
  }
  if (!all_arguments.empty() && all_arguments.front() == kReplayCommand) {
    return app::run_replay_command(argc, argv, std::span(all_arguments).subspan(1));
  }
  if (!all_arguments.empty() && all_arguments.front() == kLyapunovCommand) {
    return app::run_lyapunov_command(std::span(all_arguments).subspan(1));
  }
  if (!all_arguments.empty() && all_arguments.front() == kBifurcationCommand) {
    ensure_runtime_directory();
    return app::run_bifurcation_command(argc, argv, std::span(all_arguments).subspan(1));
  }
  app::CommandLine line;
  std::string error;
  if (!app::parse_command_line(all_arguments, kDialogueOptions, line, error)) return usage_error(error);
  if (line.has(kHelpOption)) {
    std::fwrite(kUsage.data(), 1, kUsage.size(), stdout);
    return app::kExitSuccess;
  }
  if (line.has(kVersionOption)) {
    std::printf("mapexplorer %s\n", app::kVersion);
    return app::kExitSuccess;
  }
  const bool terminal = line.has(kTerminalOption) || !has_display();
  terminal::TerminalOptions options;
  if (const std::string* directory = line.value(kSavePicturesOption)) {
    if (!terminal) return usage_error("--save-pictures works in the terminal only (add --terminal)");
    options.save_pictures_directory = *directory;
  }
  if (const std::string* format = line.value(kPictureFormatOption)) {
    if (!options.save_pictures_directory) return usage_error("--picture-format goes with --save-pictures DIR");
    if (*format == "png") {
      options.picture_format = console::PictureFormat::Png;
    } else if (*format != "bmp") {
      return usage_error("--picture-format must be bmp or png: " + *format);
    }
  }
  std::optional<std::int32_t> seed;
  if (!app::read_seed_option(line, seed, error)) return usage_error(error);
  // The frame's module is loaded before anything starts: without it the run ends here.
  gui::FrameEntry run_frame_program = nullptr;
  if (!terminal) {
    run_frame_program = app::load_frame_module(error);
    if (run_frame_program == nullptr) {
      std::fprintf(stderr, "mapexplorer: cannot open the frame: %s\n(mapexplorer --terminal runs in the terminal)\n",
                   error.c_str());
      return app::kExitNoFrame;
    }
  }

  // The noise of this run starts from the seed given instead of the clock.
  if (seed) numerics::init_uniform_generator(*seed);
  const std::vector<std::string>& arguments = line.operands();
  // Start the runtime before any other thread exists, so that every thread inherits its
  // handling of console events.
  runtime::start_runtime(arguments);
  // The font configuration is read once, before any other thread uses it. In the terminal the
  // first prompt's window needs it: it is read on a thread of its own while the rest starts,
  // and that window waits for the reading. The frame's widgets read it on the GUI thread while
  // the program's windows read it on the program thread: it is read here, before either starts.
  std::optional<console::FontSystemWarmUp> font_warm_up;
  if (terminal) {
    font_warm_up.emplace();
  } else {
    console::ready_font_system();
  }
  ensure_runtime_directory();
  // Every recording draws its trajectory in the window "Graphics", in both presentations.
  const bool provenance = line.has(kProvenanceOption);
  const auto dialogue = [provenance] {
    app::TrajectoryPlot plot;
    app::run_dialogue(&plot, provenance);
  };
  if (terminal) return terminal::run_terminal_program(argc, argv, arguments, options, dialogue);
  // The Analysis menu's work runs beside the dialogue; the frame stops it when it closes.
  app::AnalysisRunner analysis_runner;
  gui::GuiOptions gui_options;
  gui_options.initial_settings = initial_settings;
  gui_options.analysis = app::analysis_hooks(analysis_runner);
  return run_frame_program(argc, argv, arguments, gui_options, dialogue);
}
