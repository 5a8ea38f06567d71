#include "io_test_support.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

namespace io_test {

namespace {

void remove_tree(const std::string& path) {
  if (DIR* directory = ::opendir(path.c_str())) {
    while (dirent* entry = ::readdir(directory)) {
      std::string name = entry->d_name;
      if (name == "." || name == "..") continue;
      std::string child = path + "/" + name;
      struct stat info {};
      if (::lstat(child.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        ::chmod(child.c_str(), 0700);
        remove_tree(child);
      } else {
        ::unlink(child.c_str());
      }
    }
    ::closedir(directory);
  }
  ::rmdir(path.c_str());
}

}  // namespace

ScratchDirectory::ScratchDirectory(bool enter) {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/io_test_XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "mkdtemp failed";
  char resolved[4096];
  path_ = ::realpath(pattern.c_str(), resolved) != nullptr ? std::string(resolved) : pattern;
  if (enter) {
    char current[4096];
    if (::getcwd(current, sizeof current) != nullptr) previous_directory_ = current;
    entered_ = ::chdir(path_.c_str()) == 0;
  }
}

ScratchDirectory::~ScratchDirectory() {
  if (entered_) [[maybe_unused]]
    int ignored = ::chdir(previous_directory_.c_str());
  remove_tree(path_);
}

EnvironmentVariable::EnvironmentVariable(std::string name, std::optional<std::string> value) : name_(std::move(name)) {
  if (const char* old = std::getenv(name_.c_str())) previous_ = old;
  if (value) {
    ::setenv(name_.c_str(), value->c_str(), 1);
  } else {
    ::unsetenv(name_.c_str());
  }
}

EnvironmentVariable::~EnvironmentVariable() {
  if (previous_) {
    ::setenv(name_.c_str(), previous_->c_str(), 1);
  } else {
    ::unsetenv(name_.c_str());
  }
}

MessageLog::MessageLog()
    : directory_(false),
      log_("FOR_DIAGNOSTIC_LOG_FILE", directory_.file("messages.log")),
      display_("FOR_DISABLE_DIAGNOSTIC_DISPLAY", "1"),
      traceback_("FOR_DISABLE_STACK_TRACE", "1") {}

std::string MessageLog::text() const { return read_file(directory_.file("messages.log")); }

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void write_file(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool file_exists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0;
}

std::vector<std::string> directory_entries(const std::string& path) {
  std::vector<std::string> names;
  if (DIR* directory = ::opendir(path.c_str())) {
    while (dirent* entry = ::readdir(directory)) {
      std::string name = entry->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(directory);
  }
  return names;
}

int FakeWindows::create_window(std::string_view title, bool take_focus) {
  if (refuse_windows) return -1;
  windows.push_back(Window{std::string(title), take_focus, {}, {}, false, false});
  return 1024 + static_cast<int>(windows.size()) - 1;
}

int FakeWindows::add_standard_window() {
  windows.push_back(Window{"Graphic1", false, {}, {}, false, false});
  standard_window = 1024 + static_cast<int>(windows.size()) - 1;
  return standard_window;
}

void FakeWindows::set_focus_request(int index, bool take_focus) { window(index).focus = take_focus; }

int FakeWindows::close_window(int index, bool keep) {
  ++close_calls;
  if (index < 1024 || index >= 1024 + static_cast<int>(windows.size())) return -1;
  Window& target = window(index);
  target.closed = true;
  target.kept = keep;
  if (keep) target.title += "-Closed";
  return 0;
}

long FakeWindows::write_window(int index, std::string_view bytes) {
  if (index < 1024 || index >= 1024 + static_cast<int>(windows.size())) return -1;
  window(index).output.append(bytes);
  if (during_write) {
    auto action = std::move(during_write);
    during_write = nullptr;
    action();
  }
  return static_cast<long>(bytes.size());
}

long FakeWindows::read_window_line(int index, char* buffer, std::size_t capacity) {
  if (index < 1024 || index >= 1024 + static_cast<int>(windows.size())) return -1;
  if (hold_read) {
    while (!hold_read()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  Window& target = window(index);
  if (target.lines.empty()) return -1;
  std::string line = target.lines.front();
  target.lines.erase(target.lines.begin());
  std::size_t count = line.size() < capacity ? line.size() : capacity;
  line.copy(buffer, count);
  target.output.append(line.substr(0, count));  // the echo of the typed characters
  return static_cast<long>(count);
}

bool FakeWindows::choose_file(std::int32_t, std::string& name) {
  if (file_answers.empty()) return false;
  std::optional<std::string> answer = file_answers.front();
  file_answers.erase(file_answers.begin());
  if (!answer) return false;
  name = *answer;
  return true;
}

bool FakeWindows::ask_yes_no(std::string_view caption, std::string_view text) {
  questions.push_back(std::string(caption) + "|" + std::string(text));
  if (yes_no_answers.empty()) return false;
  bool answer = yes_no_answers.front();
  yes_no_answers.erase(yes_no_answers.begin());
  return answer;
}

void FakeWindows::show_runtime_error(std::string_view caption, std::string_view text) {
  errors_shown.push_back(std::string(caption) + "|" + std::string(text));
}

}  // namespace io_test
