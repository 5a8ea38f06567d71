#pragma once
// The windowed console's routines for the formatted I/O runtime (runtime::WindowServices):
// window units are created, written, read and closed through the console core; the file
// dialog, questions and run-time error messages go to the presentation; the program end is
// the console's end-of-program sequence; statements pass the console's pause gate.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/window_services.h"

namespace console {

class ConsoleCore;

class ConsoleWindowServices final : public runtime::WindowServices {
 public:
  explicit ConsoleWindowServices(ConsoleCore& core) : core_(core) {}

  int create_window(std::string_view title, bool take_focus) override;
  void set_focus_request(int window, bool take_focus) override;
  int close_window(int window, bool keep) override;
  long write_window(int window, std::string_view bytes) override;
  long read_window_line(int window, char* buffer, std::size_t capacity) override;
  // Under the GUI the default window; in the terminal the standard handles (-1), since the
  // terminal's standard output already is the transcript of the windows.
  int standard_unit_window() override;
  bool choose_file(std::int32_t unit, std::string& name) override;
  bool ask_yes_no(std::string_view caption, std::string_view text) override;
  void show_runtime_error(std::string_view caption, std::string_view text) override;
  void end_program(int exit_code) override;
  void pass_pause_gate() override;

 private:
  ConsoleCore& core_;
};

}  // namespace console
