// mapexplorer: time series from chaotic maps through a numbered question-and-answer dialogue.
// main() takes the explorer's own options off the command line, picks the presentation (the
// frame on screen, or the terminal when there is no display or with --terminal) and runs the
// dialogue on the program thread. Every other argument names a series file, in order.

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "app/dialogue.h"
#include "app/plot.h"
#include "app/version.h"
#include "console/console_core.h"
#include "gui/gui_entry.h"
#include "runtime/support/lifecycle.h"
#include "terminal/terminal_entry.h"

namespace {

constexpr std::string_view kUsage =
    "Usage: mapexplorer [OPTION]... [FILE]...\n"
    "Records time series of chaotic maps through a numbered question-and-answer dialogue.\n"
    "Each recording writes its series to the next FILE given, or asks for a file name.\n"
    "\n"
    "Options:\n"
    "  --terminal              run in the terminal even when a display is available\n"
    "                          (the default when neither DISPLAY nor WAYLAND_DISPLAY is set)\n"
    "  --save-pictures DIR     terminal only: when the program ends, save the picture of\n"
    "                          every window as DIR/<window title>.bmp\n"
    "  --help                  show this help and exit\n"
    "  --version               show the version and exit\n"
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
    "Except for a wrong option, every file is written and closed first.\n";

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
  std::vector<std::string> arguments;
  bool terminal = false;
  bool options_ended = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (options_ended) {
      arguments.emplace_back(argument);
      continue;
    }
    if (argument == "--") {
      options_ended = true;
      continue;
    }
    if (argument == "--help") {
      std::fwrite(kUsage.data(), 1, kUsage.size(), stdout);
      return 0;
    }
    if (argument == "--version") {
      std::printf("mapexplorer %s\n", app::kVersion);
      return 0;
    }
    if (argument == "--terminal") {
      terminal = true;
      continue;
    }
    arguments.emplace_back(argument);
  }
  if (!has_display()) terminal = true;

  terminal::TerminalOptions options;
  std::string error;
  const std::size_t argument_count = arguments.size();
  if (!terminal::take_terminal_options(arguments, options, error)) {
    std::fprintf(stderr, "mapexplorer: %s\n%s", error.c_str(), "Try 'mapexplorer --help'.\n");
    return 2;
  }
  if (!terminal && arguments.size() != argument_count) {
    std::fprintf(stderr, "mapexplorer: --save-pictures works in the terminal only (add --terminal)\n");
    return 2;
  }
  for (const std::string& argument : arguments) {
    if (argument.size() > 2 && argument.compare(0, 2, "--") == 0) {
      std::fprintf(stderr, "mapexplorer: unknown option %s\nTry 'mapexplorer --help'.\n", argument.c_str());
      return 2;
    }
  }
  // Start the runtime before any other thread exists, so that every thread inherits its
  // handling of console events.
  runtime::start_runtime(arguments);
  ensure_runtime_directory();
  // Every recording draws its trajectory in the window "Graphics", in both presentations.
  const auto dialogue = [] {
    app::TrajectoryPlot plot;
    app::run_dialogue(&plot);
  };
  if (terminal) return terminal::run_terminal_program(argc, argv, arguments, options, dialogue);
  gui::GuiOptions gui_options;
  gui_options.initial_settings = initial_settings;
  return gui::run_gui_program(argc, argv, arguments, gui_options, dialogue);
}
