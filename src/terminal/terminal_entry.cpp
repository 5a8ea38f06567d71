#include "terminal/terminal_entry.h"

#include <QGuiApplication>

#include <csignal>

#include "console/console_entry.h"
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
      saver = [format = options.picture_format](console::ConsoleCore& core, const std::string& directory) {
        std::string errors;
        const bool saved = save_window_pictures(core, directory, errors, format);
        if (!errors.empty()) file_descriptor_sink(2)("--save-pictures: " + errors);
        return saved;
      };
    }
    presentation.set_save_pictures(*options.save_pictures_directory, std::move(saver));
  }
  console::ConsoleOptions console_options;
  console_options.standard_units_use_default_window = false;
  auto prepare_all = [&](console::ConsoleCore& core) {
    presentation.attach(core);
    if (prepare) prepare(core);
  };
  return console::run_console(presentation, std::move(console_options), prepare_all, std::move(program));
}

}  // namespace terminal
