#include "terminal/terminal_entry.h"

#include <QGuiApplication>

#include <csignal>

#include "console/console_entry.h"
#include "terminal/picture_saver.h"
#include "terminal/transcript.h"

namespace terminal {

namespace {
constexpr std::string_view kSavePictures = "--save-pictures";
}

bool take_terminal_options(std::vector<std::string>& arguments, TerminalOptions& options, std::string& error) {
  std::vector<std::string> rest;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    std::string directory;
    if (argument == kSavePictures) {
      if (i + 1 >= arguments.size()) {
        error = "--save-pictures needs a directory";
        return false;
      }
      directory = arguments[++i];
    } else if (argument.rfind(std::string(kSavePictures) + "=", 0) == 0) {
      directory = argument.substr(kSavePictures.size() + 1);
    } else {
      rest.push_back(argument);
      continue;
    }
    if (directory.empty()) {
      error = "--save-pictures needs a directory";
      return false;
    }
    options.save_pictures_directory = directory;
  }
  arguments = std::move(rest);
  return true;
}

int run_terminal(int& argc, char** argv, const TerminalOptions& options,
                 const std::function<void(console::ConsoleCore&)>& prepare, std::function<int()> program) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // A reader of standard output that goes away must not kill the program.
  std::signal(SIGPIPE, SIG_IGN);
  QGuiApplication application(argc, argv);
  TerminalPresentation presentation;
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
