#include "app/prompt_read.h"

#include <string>

#include "runtime/fio.h"

namespace app {
namespace {

const runtime::FixedFormat line_format("(1X,A)");

constexpr std::string_view kIncorrectInput = " Incorrect input";

void write_prompt(std::int32_t unit, std::string_view prompt) {
  // ADVANCE='NO': the record stays open, so the answer is typed on the prompt's line.
  runtime::write_formatted(unit, runtime::kAdvanceSpecifier, {runtime::item(prompt)}, line_format, "NO");
}

// Asks until `read_one` (one READ with an error branch) returns 0.
template <typename ReadOne>
void ask_until_read(std::int32_t unit, std::string_view format_text, std::string_view prompt, ReadOne read_one) {
  for (;;) {
    write_prompt(unit, prompt);
    // The format is copied into a working buffer for the statement, which compiles it.
    const std::string working_format(format_text);
    if (read_one(std::string_view(working_format)) == 0) return;
    write_incorrect_input(unit);
  }
}

}  // namespace

void write_line(std::int32_t unit, std::string_view text) {
  runtime::write_formatted(unit, 0, {runtime::item(text)}, line_format);
}

void write_incorrect_input(std::int32_t unit) { write_line(unit, kIncorrectInput); }

void prompt_read_integer(std::int32_t unit, std::string_view format_text, std::string_view prompt,
                         std::int32_t& value) {
  ask_until_read(unit, format_text, prompt, [&](std::string_view format) {
    return runtime::read_formatted(unit, runtime::kErrorBranch | runtime::kFormatInCharacterData,
                                   {runtime::item(value)}, format);
  });
}

void prompt_read_real(std::int32_t unit, std::string_view format_text, std::string_view prompt, double& value) {
  ask_until_read(unit, format_text, prompt, [&](std::string_view format) {
    return runtime::read_formatted(unit, runtime::kErrorBranch | runtime::kFormatInCharacterData,
                                   {runtime::item(value)}, format);
  });
}

void prompt_read_char(std::int32_t unit, std::string_view format_text, std::string_view prompt, char* value,
                      std::size_t length) {
  ask_until_read(unit, format_text, prompt, [&](std::string_view format) {
    return runtime::read_formatted(unit, runtime::kErrorBranch | runtime::kFormatInCharacterData,
                                   {runtime::item(value, length)}, format);
  });
}

}  // namespace app
