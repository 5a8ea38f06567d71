#pragma once
// Shared pieces of the support tests: a fixture that clears the environment variables the
// runtime reads, a recording WindowServices, file helpers and output matchers.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "runtime/window_services.h"

namespace support_test {

inline void write_to_standard_error(std::string_view text) {
  const ssize_t ignored = ::write(2, text.data(), text.size());
  (void)ignored;
}

// Every test starts without the runtime's switches, whatever the developer's shell has set.
class SupportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name :
         {"FORT0", "FOR_DIAGNOSTIC_LOG_FILE", "FOR_DISABLE_DIAGNOSTIC_DISPLAY", "FOR_DISABLE_STACK_TRACE",
          "FOR_FULL_SRC_FILE_SPEC", "FOR_ENABLE_VERBOSE_STACK_TRACE", "FOR_GENERATE_DEBUG_EXCEPTION",
          "FOR__IS_DEBUGGER_PRESENT", "f77_dump_flag", "harrowfort_dump_flag", "FOR_NOERROR_DIALOGS",
          "FOR_IGNORE_EXCEPTIONS", "FOR_RUN_FLAWED_PENTIUM"}) {
      unsetenv(name);
    }
  }

  // A path in the test temporary directory named after the running test, the same in the
  // parent and in a death-test child.
  static std::string temporary_path(const std::string& suffix) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "_" + info->name() + suffix;
    for (char& c : name) {
      if (c == '/') c = '_';
    }
    const std::string path = ::testing::TempDir() + name;
    std::remove(path.c_str());
    return path;
  }
};

inline std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline std::size_t count_occurrences(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++count;
  return count;
}

MATCHER_P(ContainsOnce, part, "contains \"" + std::string(part) + "\" exactly once") {
  return count_occurrences(arg, part) == 1;
}

// Records what the runtime asks of the windowed console; in death-test children it also
// writes each call to standard error, where the parent can see it.
class RecordingWindowServices : public runtime::WindowServices {
 public:
  explicit RecordingWindowServices(bool echo) : echo_(echo) {}

  int create_window(std::string_view, bool) override { return -1; }
  void set_focus_request(int, bool) override {}
  int close_window(int, bool) override { return 0; }
  long write_window(int, std::string_view) override { return -1; }
  long read_window_line(int, char*, std::size_t) override { return -1; }
  int standard_unit_window() override { return -1; }
  bool choose_file(std::int32_t, std::string&) override { return false; }
  bool ask_yes_no(std::string_view, std::string_view) override { return false; }
  void show_runtime_error(std::string_view caption, std::string_view text) override {
    captions.emplace_back(caption);
    texts.emplace_back(text);
    if (echo_)
      write_to_standard_error("[box caption=" + std::string(caption) + "]" + std::string(text) + "[end box]\n");
  }
  void end_program(int exit_code) override {
    end_codes.push_back(exit_code);
    if (echo_) write_to_standard_error("[end_program " + std::to_string(exit_code) + "]\n");
  }
  void pass_pause_gate() override {}

  std::vector<std::string> captions;
  std::vector<std::string> texts;
  std::vector<int> end_codes;

 private:
  bool echo_;
};

// Registers `services` for the scope of a test.
class ScopedWindowServices {
 public:
  explicit ScopedWindowServices(runtime::WindowServices* services) { runtime::register_window_services(services); }
  ~ScopedWindowServices() { runtime::register_window_services(nullptr); }
  ScopedWindowServices(const ScopedWindowServices&) = delete;
  ScopedWindowServices& operator=(const ScopedWindowServices&) = delete;
};

// For children that end by a signal with a core dump: no core file is left behind.
inline void suppress_core_files() {
  const rlimit none{0, 0};
  setrlimit(RLIMIT_CORE, &none);
}

// A unit closer for death-test children: says on standard error that it ran.
inline void announce_units_closed() { write_to_standard_error("[units closed]\n"); }

}  // namespace support_test
