#include "console/console_window_services.h"

#include "console/console_core.h"

namespace console {

int ConsoleWindowServices::create_window(std::string_view title, bool take_focus) {
  return core_.create_unit_window(title, take_focus);
}

void ConsoleWindowServices::set_focus_request(int window, bool take_focus) {
  core_.set_focus_request(window, take_focus);
}

int ConsoleWindowServices::close_window(int window, bool keep) { return core_.close_unit_window(window, keep); }

long ConsoleWindowServices::write_window(int window, std::string_view bytes) {
  return core_.write_text(window, bytes, TextOrigin::Program);
}

long ConsoleWindowServices::read_window_line(int window, char* buffer, std::size_t capacity) {
  return core_.read_line(window, buffer, capacity);
}

int ConsoleWindowServices::standard_unit_window() {
  if (!core_.options().standard_units_use_default_window) return -1;
  const int index = core_.default_window();
  return index != 0 ? index : -1;
}

bool ConsoleWindowServices::choose_file(std::int32_t unit, std::string& name) {
  FileDialogRequest request;
  request.title = "Open: Select File for Unit " + std::to_string(unit);
  request.unit = unit;
  return core_.choose_file(request, name);
}

bool ConsoleWindowServices::ask_yes_no(std::string_view caption, std::string_view text) {
  MessageBoxRequest request;
  request.caption = caption;
  request.text = text;
  request.buttons = MessageBoxButtons::YesNo;
  request.icon = MessageBoxIcon::Exclamation;
  request.default_answer = MessageBoxAnswer::No;
  request.purpose = MessageBoxPurpose::Question;
  return core_.ask(request) == MessageBoxAnswer::Yes;
}

void ConsoleWindowServices::show_runtime_error(std::string_view caption, std::string_view text) {
  MessageBoxRequest request;
  request.caption = caption;
  request.text = text;
  request.buttons = MessageBoxButtons::Ok;
  request.icon = MessageBoxIcon::Error;
  request.default_answer = MessageBoxAnswer::Ok;
  request.purpose = MessageBoxPurpose::RuntimeError;
  core_.ask(request);
}

void ConsoleWindowServices::end_program(int exit_code) { core_.end_program(exit_code); }

void ConsoleWindowServices::pass_pause_gate() { core_.pass_pause_gate(); }

}  // namespace console
