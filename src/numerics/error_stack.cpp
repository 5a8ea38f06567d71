#include "numerics/error_stack.h"

#include <array>
#include <vector>

#include "numerics/error_output.h"
#include "numerics/error_printing.h"
#include "numerics/message_template.h"

namespace numerics {

namespace {

constexpr std::string_view kPushOverflowTemplate =
    "Error condition in E1PSH.  Push would cause stack level to exceed %(I1).";
constexpr std::string_view kPopEmptyTemplate =
    "Error condition in E1POP.  Cannot pop from %(L1) because stack is empty.";
constexpr std::string_view kPopMismatchTemplate =
    "Error condition in E1POP.  %(L1) does not match the name %(L2) in the stack.";

constexpr int kErrorTypes = 7;

struct Level {
  std::string name;
  int type = kNoError;
  int code = 0;
  std::string message;
  bool reported = false;  // printed already, or its pop decided not to print it
};

struct Attributes {
  std::array<bool, kErrorTypes> print{false, false, true, true, true, true, true};
  std::array<bool, kErrorTypes> stop{false, false, false, true, true, false, true};
};

struct ErrorStack {
  // levels[0] is unused so that levels[k] is level k.
  std::array<Level, kMaxStackLevel + 1> levels{};
  int level = 1;
  InsertionValues insertions;
  Attributes attributes;
};

ErrorStack& error_stack() {
  static ErrorStack stack;
  return stack;
}

Level& top_level() {
  ErrorStack& stack = error_stack();
  return stack.levels[static_cast<std::size_t>(stack.level)];
}

bool is_error_type(int type) { return type >= 1 && type <= kErrorTypes; }

std::size_t attribute_index(int type) { return static_cast<std::size_t>(type - 1); }

std::string stored_name(std::string_view name) {
  name = name.substr(0, kRoutineNameLength);
  const auto end = name.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string{} : std::string(name.substr(0, end + 1));
}

// The stack's own errors: printed without a type header, and always the end of the program.
[[noreturn]] void fail_stack_operation(std::string_view message_template, const InsertionValues& values) {
  const std::vector<std::string> lines = format_plain_lines(expand_message_template(message_template, values));
  print_library_lines(lines);
  stop_after_library_error();
}

void print_error(const Level& level) {
  const std::vector<std::string> lines = format_error_lines(level.type, level.code, level.name, level.message);
  print_library_lines(lines);
}

}  // namespace

void E1PSH(std::string_view name) {
  ErrorStack& stack = error_stack();
  if (stack.level >= kMaxStackLevel) {
    InsertionValues values;
    values.set_integer(1, kMaxStackLevel);
    fail_stack_operation(kPushOverflowTemplate, values);
  }
  if (stack.level == 1) stack.levels[1] = Level{};
  ++stack.level;
  top_level() = Level{stored_name(name), kNoError, 0, {}, false};
}

void E1POP(std::string_view name) {
  ErrorStack& stack = error_stack();
  if (stack.level <= 1) {
    InsertionValues values;
    values.set_text(1, name);
    fail_stack_operation(kPopEmptyTemplate, values);
  }
  Level& top = top_level();
  if (stored_name(name) != top.name) {
    InsertionValues values;
    values.set_text(1, name);
    values.set_text(2, top.name);
    fail_stack_operation(kPopMismatchTemplate, values);
  }
  if (top.type != kNoError) {
    const std::size_t index = attribute_index(top.type);
    if (!top.reported && stack.attributes.print[index]) print_error(top);
    top.reported = true;
    Level& below = stack.levels[static_cast<std::size_t>(stack.level - 1)];
    if (top.type >= kAlert) {
      below.type = top.type;
      below.code = top.code;
      below.message = top.message;
      below.reported = true;
    }
    const bool stops = stack.attributes.stop[index];
    if (stops && top.type == kTerminal) stop_after_library_error();
    if (stops && top.type == kFatal && stack.level - 1 == 1) stop_after_library_error();
  }
  top = Level{};
  --stack.level;
}

void E1MES(int type, int code, std::string_view message_template) {
  ErrorStack& stack = error_stack();
  Level& top = top_level();
  if (type == kNoError) {
    top.type = kNoError;
    top.code = 0;
    top.message.clear();
    top.reported = false;
    stack.insertions.clear();
    return;
  }
  if (!is_error_type(type)) return;
  top.type = type;
  top.code = code;
  top.message = expand_message_template(message_template, stack.insertions);
  top.reported = false;
  stack.insertions.clear();
  if (type == kWarningImmediate || type == kFatalImmediate) {
    const std::size_t index = attribute_index(type);
    if (stack.attributes.print[index]) print_error(top);
    top.reported = true;
    if (type == kFatalImmediate && stack.attributes.stop[index]) stop_after_library_error();
  }
}

void set_integer_insertion(int slot, std::int64_t value) { error_stack().insertions.set_integer(slot, value); }

void set_text_insertion(int slot, std::string_view text) { error_stack().insertions.set_text(slot, text); }

void set_error_print_attribute(int type, bool print) {
  if (is_error_type(type)) error_stack().attributes.print[attribute_index(type)] = print;
}

void set_error_stop_attribute(int type, bool stop) {
  if (is_error_type(type)) error_stack().attributes.stop[attribute_index(type)] = stop;
}

bool error_print_attribute(int type) {
  return is_error_type(type) && error_stack().attributes.print[attribute_index(type)];
}

bool error_stop_attribute(int type) {
  return is_error_type(type) && error_stack().attributes.stop[attribute_index(type)];
}

int error_stack_level() { return error_stack().level; }
int current_error_type() { return top_level().type; }
int current_error_code() { return top_level().code; }
std::string current_error_message() { return top_level().message; }

void reset_error_stack() { error_stack() = ErrorStack{}; }

}  // namespace numerics
