// Splitting a command line into arguments, and the list of arguments that blank-name OPENs
// take one by one.

#include <string_view>

#include "runtime/support/command_arguments.h"
#include "runtime/support/lifecycle.h"

namespace runtime {
namespace {

bool is_white_space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

}  // namespace

std::vector<std::string> split_command_line(std::string_view command_line) {
  std::vector<std::string> arguments;
  std::string current;
  bool in_argument = false;  // a quote alone makes an (empty) argument
  bool quoted = false;
  for (std::size_t i = 0; i < command_line.size(); ++i) {
    const char c = command_line[i];
    if (c == '"') {
      in_argument = true;
      if (quoted && i + 1 < command_line.size() && command_line[i + 1] == '"') {
        current.push_back('"');  // two quotes inside a quoted part stand for one
        ++i;
      } else {
        quoted = !quoted;
      }
    } else if (is_white_space(c) && !quoted) {
      if (in_argument) arguments.push_back(std::move(current));
      current.clear();
      in_argument = false;
    } else {
      current.push_back(c);
      in_argument = true;
    }
  }
  if (in_argument) arguments.push_back(std::move(current));
  return arguments;
}

void CommandArguments::assign(std::vector<std::string> arguments) {
  std::lock_guard lock(mutex_);
  arguments_ = std::move(arguments);
  next_ = 0;
}

std::optional<std::string> CommandArguments::take_next() {
  std::lock_guard lock(mutex_);
  if (next_ >= arguments_.size()) return std::nullopt;
  std::string_view argument = arguments_[next_++];
  while (!argument.empty() && argument.front() == ' ') argument.remove_prefix(1);
  return std::string(argument);
}

CommandArguments& process_command_arguments() {
  // Never destroyed: an OPEN on another thread may still ask during process exit.
  static CommandArguments* arguments = new CommandArguments;
  return *arguments;
}

std::optional<std::string> take_next_command_argument() { return process_command_arguments().take_next(); }

}  // namespace runtime
