#include "numerics/error_printing.h"

#include <array>

namespace numerics {

std::string_view error_type_name(int type) {
  static constexpr std::array<std::string_view, 7> kNames = {"NOTE",     "ALERT",   "WARNING", "FATAL",
                                                             "TERMINAL", "WARNING", "FATAL"};
  if (type < 1 || type > 7) return {};
  return kNames[static_cast<std::size_t>(type - 1)];
}

namespace {

bool is_upper_letter(char c) { return c >= 'A' && c <= 'Z'; }
bool is_lower_letter(char c) { return c >= 'a' && c <= 'z'; }

std::string_view trim_trailing_blanks(std::string_view text) {
  const auto end = text.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string_view{} : text.substr(0, end + 1);
}

std::string_view trim_leading_blanks(std::string_view text) {
  const auto start = text.find_first_not_of(' ');
  return start == std::string_view::npos ? std::string_view{} : text.substr(start);
}

void add_line(std::vector<std::string>& lines, std::string_view prefix, std::string_view text) {
  std::string line(prefix);
  line.append(trim_trailing_blanks(text));
  lines.push_back(std::string(trim_trailing_blanks(line)));
}

// Cuts one segment (no forced breaks inside) into lines, breaking at blanks where possible
// and cutting a word that is longer than a whole line.
void wrap_segment(std::vector<std::string>& lines, std::string_view segment, std::size_t width) {
  std::string_view rest = segment;
  do {
    const std::string_view prefix = lines.empty() ? kFirstLinePrefix : kContinuationPrefix;
    const std::size_t room = width > prefix.size() ? width - prefix.size() : 1;
    if (rest.size() <= room) {
      add_line(lines, prefix, rest);
      return;
    }
    std::size_t cut = room;
    if (rest[room] != ' ') {
      const auto blank = rest.rfind(' ', room);
      if (blank != std::string_view::npos && blank > 0) cut = blank;
    }
    add_line(lines, prefix, rest.substr(0, cut));
    rest = trim_leading_blanks(rest.substr(cut));
  } while (!rest.empty());
}

std::vector<std::string> wrap_message(std::string_view text, std::size_t width) {
  std::vector<std::string> lines;
  std::string_view rest = text;
  while (true) {
    const auto forced = rest.find("%/");
    const std::string_view segment = rest.substr(0, forced);
    // Text after a forced break starts its continuation line at the first non-blank.
    wrap_segment(lines, lines.empty() ? segment : trim_leading_blanks(segment), width);
    if (forced == std::string_view::npos) break;
    rest = rest.substr(forced + 2);
  }
  return lines;
}

}  // namespace

std::string printed_routine_name(std::string_view name) {
  std::string printed(trim_trailing_blanks(name));
  if (printed.size() >= 2 && is_lower_letter(printed[0]) && is_upper_letter(printed[1])) {
    printed[0] = static_cast<char>(printed[0] - 'a' + 'A');
  }
  return printed;
}

std::vector<std::string> format_error_lines(int type, int code, std::string_view routine, std::string_view message,
                                            std::size_t width) {
  std::string text(error_type_name(type));
  text += " ERROR ";
  text += std::to_string(code);
  const std::string name = printed_routine_name(routine);
  if (!name.empty()) {
    text += " from ";
    text += name;
  }
  text += ".  ";
  text += message;
  return wrap_message(text, width);
}

std::vector<std::string> format_plain_lines(std::string_view message, std::size_t width) {
  return wrap_message(message, width);
}

}  // namespace numerics
