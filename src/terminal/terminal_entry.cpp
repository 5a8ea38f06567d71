#include "terminal/terminal_entry.h"

#include <QGuiApplication>

#include <csignal>

#include "console/core_access.h"
#include "terminal/picture_saver.h"
#include "terminal/transcript.h"

namespace terminal {

int run_terminal(int& argc, char** argv, const TerminalOptions& options,
                 const std::function<void(console::ConsoleCore&)>& prepare, std::function<int()> program) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // A reader of standard output that goes away must not kill the program.
  std::signal(SIGPIPE, SIG_IGN);
  QGuiApplication application(argc, argv);
  TerminalPresentation presentation;
  presentation.set_announce_program_end(options.announce_program_end);
  if (options.save_pictures_directory) {
    PictureSaver saver = options.picture_saver;
    if (!saver) {
      saver = [format = options.picture_format](console::CoreAccess& core, const std::string& directory) {
        std::string errors;
        const bool saved = save_window_pictures(core, directory, errors, format);
        if (!errors.empty()) file_descriptor_sink(2)("--save-pictures: " + errors);
        return saved;
      };
    }
    presentation.set_save_pictures(*options.save_pictures_directory, std::move(saver));
  }
  console::ConsoleStart start;
  start.standard_units_use_default_window = false;
  start.prepare_program = prepare;
  start.prepare_presentation = [&presentation](console::CoreAccess& core) { presentation.attach(core); };
  start.program = std::move(program);
  return console::run_console(presentation, std::move(start));
}

}  // namespace terminal
