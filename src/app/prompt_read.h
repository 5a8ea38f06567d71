#pragma once
// The dialogue's writing and reading on its unit: lines and prompts under (1X,A), and the
// three prompt-and-read routines that ask a question until one answer reads without error
// under a format held in character data ("(I1)", "(I6)", "(F20.10)", "(A1)").
//
// The routines never check the value: the caller rejects an out-of-range answer with
// write_incorrect_input and asks again, so a malformed and an out-of-range answer look alike.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace app {

// Writes `text` as one line (a record under 1X,A).
void write_line(std::int32_t unit, std::string_view text);

// Writes the rejection line " Incorrect input".
void write_incorrect_input(std::int32_t unit);

// Each writes `prompt` as a non-advancing record under 1X,A, reads one record under
// `format_text` with an error branch, and on failure writes " Incorrect input" and asks again.
void prompt_read_integer(std::int32_t unit, std::string_view format_text, std::string_view prompt, std::int32_t& value);
void prompt_read_real(std::int32_t unit, std::string_view format_text, std::string_view prompt, double& value);
void prompt_read_char(std::int32_t unit, std::string_view format_text, std::string_view prompt, char* value,
                      std::size_t length);

}  // namespace app
