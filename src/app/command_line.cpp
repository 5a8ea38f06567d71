#include "app/command_line.h"

#include <algorithm>

namespace app {
namespace {

constexpr std::string_view kOptionPrefix = "--";
constexpr std::string_view kEndOfOptions = "--";

bool is_option(std::string_view argument) {
  return argument.size() > kOptionPrefix.size() && argument.substr(0, kOptionPrefix.size()) == kOptionPrefix;
}

const OptionRule* find_rule(std::span<const OptionRule> rules, std::string_view name) {
  const auto found = std::find_if(rules.begin(), rules.end(), [name](const OptionRule& s) { return s.name == name; });
  return found != rules.end() ? &*found : nullptr;
}

}  // namespace

bool CommandLine::has(std::string_view name) const { return value(name) != nullptr; }

const std::string* CommandLine::value(std::string_view name) const {
  const auto found =
      std::find_if(options_.rbegin(), options_.rend(), [name](const Given& given) { return given.name == name; });
  return found != options_.rend() ? &found->value : nullptr;
}

std::vector<std::string> CommandLine::values(std::string_view name) const {
  std::vector<std::string> found;
  for (const Given& given : options_) {
    if (given.name == name) found.push_back(given.value);
  }
  return found;
}

bool parse_command_line(std::span<const std::string> arguments, std::span<const OptionRule> rules, CommandLine& line,
                        std::string& error) {
  line = CommandLine{};
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string_view argument = arguments[i];
    if (argument == kEndOfOptions) {
      line.operands_.insert(line.operands_.end(), arguments.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                            arguments.end());
      return true;
    }
    if (!is_option(argument)) {
      line.operands_.emplace_back(argument);
      continue;
    }
    const std::size_t equals = argument.find('=');
    const std::string_view name = argument.substr(0, equals);
    const OptionRule* rule = find_rule(rules, name);
    if (rule == nullptr) {
      error = "unknown option " + std::string(name);
      return false;
    }
    std::string value;
    if (rule->value_name.empty()) {
      if (equals != std::string_view::npos) {
        error = std::string(name) + " takes no value";
        return false;
      }
    } else if (equals != std::string_view::npos) {
      value = argument.substr(equals + 1);
    } else if (i + 1 < arguments.size()) {
      value = arguments[++i];
    }
    if (!rule->value_name.empty() && value.empty()) {
      error = std::string(name) + " needs a value: " + std::string(name) + " " + std::string(rule->value_name);
      return false;
    }
    if (!rule->repeatable && line.has(rule->name)) {
      error = std::string(name) + " is given twice";
      return false;
    }
    line.options_.push_back({std::string(rule->name), std::move(value)});
  }
  return true;
}

}  // namespace app
