#pragma once
// The command line of mapexplorer's commands: options are named "--name" and take their value
// as the next argument or after "=" ("--length 500", "--length=500"); every other argument, and
// every argument after "--", is an operand. Parsing only splits and checks the shape (known
// option, value present and not empty, not given twice); what a value means is checked by its
// command. A usage error is one line that names the option: the commands print it and exit
// with status 2 before they touch any file.

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace app {

struct OptionRule {
  std::string_view name;        // "--length"
  std::string_view value_name;  // "N" in the help; empty for an option without a value
  bool repeatable = false;      // may be given more than once (every value is kept)
};

class CommandLine {
 public:
  bool has(std::string_view name) const;
  // The value of option `name` (the last one given); null when it was not given.
  const std::string* value(std::string_view name) const;
  // Every value given to option `name`, in order.
  std::vector<std::string> values(std::string_view name) const;
  const std::vector<std::string>& operands() const { return operands_; }

 private:
  friend bool parse_command_line(std::span<const std::string> arguments, std::span<const OptionRule> rules,
                                 CommandLine& line, std::string& error);
  struct Given {
    std::string name;
    std::string value;
  };
  std::vector<Given> options_;
  std::vector<std::string> operands_;
};

// Splits `arguments` by `rules`. False, with a one-line `error`, for an unknown option, a
// missing or empty value, a value given to an option that takes none, or an option that is
// not repeatable given twice.
bool parse_command_line(std::span<const std::string> arguments, std::span<const OptionRule> rules, CommandLine& line,
                        std::string& error);

}  // namespace app
