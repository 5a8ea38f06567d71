// The console's own error boxes (warning, error, fatal error) and the fatal path, and the
// questions put to the presentation.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "console/console_core.h"

namespace console {

namespace {

std::string_view error_text(int code) {
  switch (code) {
    case kErrorBoxOutOfMemory: return "Out of Memory";
    case kErrorBoxInternalError: return "Internal Error - unexpected error";
    case kErrorBoxInconsistency: return "Possible internal inconsistency";
    case kErrorBoxInitialMenuFailed: return "INITIALMENU failed";
    default: return "Internal Error - unexpected error";
  }
}

}  // namespace

MessageBoxAnswer ConsoleCore::ask(const MessageBoxRequest& request) {
  GateRelease release(*this);
  return presentation_.message_box(request);
}

bool ConsoleCore::choose_file(const FileDialogRequest& request, std::string& name) {
  GateRelease release(*this);
  return presentation_.choose_file(request, name);
}

void ConsoleCore::show_error_box(ErrorBoxKind kind, int code, std::string_view source, int line) {
  MessageBoxRequest request;
  request.buttons = MessageBoxButtons::Ok;
  request.default_answer = MessageBoxAnswer::Ok;
  request.purpose = MessageBoxPurpose::ErrorBox;
  const std::string text(error_text(code));
  const std::string file(source);
  const std::string number = std::to_string(line);
  if (kind == ErrorBoxKind::Fatal) {
    if (code != 0) {
      request.caption = "VozazAze Fatal Error";
      request.icon = MessageBoxIcon::Error;
      request.text = text + ", file \"" + file + "\", line " + number;
      ask(request);
    }
    fatal_exit();
  }
  request.caption = kind == ErrorBoxKind::Warning ? "VozazAze Warning" : "VozazAze Error";
  request.icon = kind == ErrorBoxKind::Warning ? MessageBoxIcon::Warning : MessageBoxIcon::Error;
  request.text = text + "\nfile \"" + file + "\", line " + number;
  if (ask(request) != MessageBoxAnswer::Ok) fatal_exit();
}

// The fatal path after its box: the exit list runs and the process ends with -1. Other
// threads may still run, so static destructors are not run (std::_Exit after flushing).
void ConsoleCore::fatal_exit() {
  run_exit_routines();
  std::fflush(nullptr);
  std::_Exit(-1 & 0xFF);
}

}  // namespace console
