#include "gui/gui_entry.h"

#include <QApplication>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <memory>

#include "console/core_access.h"
#include "gui/analysis_commands.h"
#include "gui/frame_window.h"
#include "gui/gui_presentation.h"
#include "gui/picture_commands.h"

// The icons are compiled into this static library; the resource must be registered once.
static void register_gui_resources() { Q_INIT_RESOURCE(gui_icons); }

namespace gui {

namespace {

// The program thread runs one step below the GUI thread's priority, so that painting and
// the keyboard stay responsive while the program computes.
void lower_thread_priority() {
  const auto thread = static_cast<id_t>(::syscall(SYS_gettid));
  errno = 0;
  const int current = ::getpriority(PRIO_PROCESS, thread);
  if (errno == 0) ::setpriority(PRIO_PROCESS, thread, current + 1);
}

}  // namespace

int run_gui(int& argc, char** argv, const GuiOptions& options,
            const std::function<void(console::ConsoleCore&)>& prepare, std::function<int()> program) {
  // A reader of standard output that goes away must not kill the program.
  std::signal(SIGPIPE, SIG_IGN);
  QApplication application(argc, argv);
  // The frame decides when the program ends, not the last window that closes (a message box
  // closing while the frame is minimised, for one).
  QApplication::setQuitOnLastWindowClosed(false);
  register_gui_resources();

  GuiPresentation presentation;
  // Made before the frame and gone after it: the frame refers to it until it is destroyed.
  PictureCommands own_commands;
  AnalysisCommands analysis(options.analysis);
  WindowCommands* commands = options.window_commands != nullptr ? options.window_commands : &own_commands;
  std::unique_ptr<FrameWindow> frame;
  console::ConsoleStart start;
  start.standard_units_use_default_window = true;
  bool settings_made = true;
  start.prepare_program = [&](console::ConsoleCore& core) {
    if (prepare) prepare(core);
    if (options.initial_settings) settings_made = options.initial_settings(core);
  };
  start.prepare_presentation = [&](console::CoreAccess& core) {
    if (!settings_made)
      core.show_error_box(console::ErrorBoxKind::Error, console::kErrorBoxInitialMenuFailed, "qwkinit", 412);
    FrameOptions frame_options;
    frame_options.settings_file = options.settings_file;
    frame_options.window_commands = commands;
    if (!options.analysis.maps.empty()) frame_options.analysis = &analysis;
    frame_options.closing = [&presentation, &analysis] {
      // An analysis in progress stops before the console goes.
      analysis.shut_down();
      presentation.frame_gone();
    };
    frame_options.closed = [](int code) { QCoreApplication::exit(code); };
    frame = std::make_unique<FrameWindow>(core, std::move(frame_options));
    own_commands.attach(frame.get(), &core);
    presentation.set_frame(frame.get());
    frame->start();
  };
  start.program = [program = std::move(program)] {
    lower_thread_priority();
    return program ? program() : 0;
  };
  const int code = console::run_console(presentation, std::move(start));
  // The console is gone now; the frame closed before and no longer refers to it.
  presentation.set_frame(nullptr);
  own_commands.attach(nullptr, nullptr);
  frame.reset();
  return code;
}

int run_gui_program(int& argc, char** argv, std::vector<std::string> arguments, const GuiOptions& options,
                    std::function<void()> main_routine) {
  return run_gui(argc, argv, options, console::connect_runtime,
                 console::runtime_main(std::move(arguments), std::move(main_routine)));
}

}  // namespace gui
