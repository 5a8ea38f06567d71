#pragma once
// Helpers of the unit-layer tests: a scratch directory, environment variables set for one
// test, the diagnostic log that run-time messages go to, file contents, and a fake windowed
// console that records what the runtime asks of it.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/fio.h"

namespace io_test {

// A fresh directory, removed with its files afterwards; optionally the current directory.
class ScratchDirectory {
 public:
  explicit ScratchDirectory(bool enter = false);
  ~ScratchDirectory();
  const std::string& path() const { return path_; }
  std::string file(std::string_view name) const { return path_ + "/" + std::string(name); }

 private:
  std::string path_;
  std::string previous_directory_;
  bool entered_ = false;
};

// Sets (or, with nullopt, unsets) an environment variable and restores it afterwards.
class EnvironmentVariable {
 public:
  EnvironmentVariable(std::string name, std::optional<std::string> value);
  ~EnvironmentVariable();

 private:
  std::string name_;
  std::optional<std::string> previous_;
};

// Routes run-time messages to a log file and off the display for the life of the object.
class MessageLog {
 public:
  MessageLog();
  std::string text() const;

 private:
  ScratchDirectory directory_;
  EnvironmentVariable log_;
  EnvironmentVariable display_;
  EnvironmentVariable traceback_;
};

std::string read_file(const std::string& path);
void write_file(const std::string& path, std::string_view bytes);
bool file_exists(const std::string& path);
// The names in a directory, without "." and "..".
std::vector<std::string> directory_entries(const std::string& path);

// A windowed console that records the calls the runtime makes.
class FakeWindows : public runtime::WindowServices {
 public:
  struct Window {
    std::string title;
    bool focus = false;
    std::string output;              // every byte written to the window
    std::vector<std::string> lines;  // lines the user will type, in order
    bool closed = false;
    bool kept = false;
  };

  int create_window(std::string_view title, bool take_focus) override;
  void set_focus_request(int window, bool take_focus) override;
  int close_window(int window, bool keep) override;
  long write_window(int window, std::string_view bytes) override;
  long read_window_line(int window, char* buffer, std::size_t capacity) override;
  int standard_unit_window() override { return standard_window; }
  bool choose_file(std::int32_t unit, std::string& name) override;
  bool ask_yes_no(std::string_view caption, std::string_view text) override;
  void show_runtime_error(std::string_view caption, std::string_view text) override;
  void end_program(int exit_code) override { end_codes.push_back(exit_code); }
  void pass_pause_gate() override { ++gate_passes; }

  // The window of index `index` (1024 + slot).
  Window& window(int index) { return windows.at(static_cast<std::size_t>(index - 1024)); }
  // Makes a window that is not owned by any unit (the standard units' window).
  int add_standard_window();

  std::vector<Window> windows;
  int standard_window = -1;
  bool refuse_windows = false;
  std::vector<std::optional<std::string>> file_answers;  // nullopt: the dialog is cancelled
  std::vector<bool> yes_no_answers;                      // when they run out: No
  std::vector<std::string> questions;
  std::vector<std::string> errors_shown;
  std::vector<int> end_codes;
  int gate_passes = 0;
  int close_calls = 0;
  // Runs inside write_window (to start a statement from inside another).
  std::function<void()> during_write;
  // Blocks inside read_window_line until it returns true (for threaded tests).
  std::function<bool()> hold_read;
};

// Registers `fake` as the windowed console for the life of the object.
class RegisteredWindows {
 public:
  explicit RegisteredWindows(FakeWindows& fake) { runtime::register_window_services(&fake); }
  ~RegisteredWindows() { runtime::register_window_services(nullptr); }
};

// OPEN and CLOSE keyword helpers.
inline runtime::KeywordValue text_keyword(runtime::Keyword keyword, std::string_view value) {
  return runtime::keyword_text(keyword, value);
}

}  // namespace io_test
