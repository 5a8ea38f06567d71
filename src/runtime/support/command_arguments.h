#pragma once
// The command-line arguments that blank-name OPENs consume in order, shared by every thread.

#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace runtime {

class CommandArguments {
 public:
  // Replaces the list; no argument is used yet.
  void assign(std::vector<std::string> arguments);
  // The next argument not yet used, with leading blanks stripped, marked used.
  std::optional<std::string> take_next();

 private:
  std::mutex mutex_;
  std::vector<std::string> arguments_;
  std::size_t next_ = 0;
};

// The process's list, filled at start-up.
CommandArguments& process_command_arguments();

}  // namespace runtime
