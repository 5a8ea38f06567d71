#include "recording_error_output.h"

#include <sstream>

#include "numerics/error_output.h"
#include "numerics/error_stack.h"
#include "numerics/uniform_generator.h"

namespace numerics {

void print_library_lines(std::span<const std::string> lines) {
  testing::printed_lines().insert(testing::printed_lines().end(), lines.begin(), lines.end());
}

void stop_after_library_error() { throw testing::LibraryStopped{}; }

namespace testing {

std::vector<std::string>& printed_lines() {
  static std::vector<std::string> lines;
  return lines;
}

std::string printed_text() {
  std::string text;
  for (const auto& line : printed_lines()) text += line + "\n";
  return text;
}

std::string printed_words() {
  std::string words;
  for (const auto& line : printed_lines()) {
    std::istringstream in(line);
    for (std::string word; in >> word;) {
      if (word != "***") words += word + " ";
    }
  }
  return words;
}

void reset_library_state() {
  reset_error_stack();
  restart_uniform_generator();
  printed_lines().clear();
}

}  // namespace testing
}  // namespace numerics
