#include "gui/help_file.h"

#include <sys/stat.h>

#include <cstdlib>

namespace gui {

namespace {

bool is_directory(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool is_file(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

std::string in_directory(std::string directory) {
  if (directory.empty()) directory = ".";
  if (directory.back() != '/') directory += '/';
  return directory + kHelpFileName;
}

}  // namespace

HelpEnvironment current_help_environment() {
  HelpEnvironment environment;
  if (const char* value = std::getenv(kHelpVariable)) environment.help_variable = value;
  if (const char* path = std::getenv("PATH")) environment.search_path = path;
  return environment;
}

std::string find_help_file(const HelpEnvironment& environment) {
  if (environment.help_variable) {
    const std::string& value = *environment.help_variable;
    if (!value.empty()) {
      // A directory part alone (ending in a slash, or naming a directory) gets the name.
      const std::string candidate = value.back() == '/' || is_directory(value) ? in_directory(value) : value;
      if (is_file(candidate)) return candidate;
    }
    return kHelpFileName;
  }
  const std::string& path = environment.search_path;
  if (path.empty()) return kHelpFileName;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find(':', start);
    if (end == std::string::npos) end = path.size();
    // An empty entry of PATH stands for the current directory.
    const std::string candidate = in_directory(path.substr(start, end - start));
    if (is_file(candidate)) return candidate;
    start = end + 1;
  }
  return kHelpFileName;
}

}  // namespace gui
