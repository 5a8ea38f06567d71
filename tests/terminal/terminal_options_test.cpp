#include <gtest/gtest.h>

#include <ostream>

#include <optional>
#include <string>
#include <vector>

#include "terminal/terminal_entry.h"

namespace {

struct OptionsCase {
  const char* name;
  std::vector<std::string> arguments;
  bool ok;
  std::optional<std::string> directory;
  std::vector<std::string> rest;
};

// Test names show the case name, not the bytes of the case.
void PrintTo(const OptionsCase& c, std::ostream* os) { *os << c.name; }

class TerminalOptionsTest : public ::testing::TestWithParam<OptionsCase> {};

TEST_P(TerminalOptionsTest, TakesOwnOptions) {
  const OptionsCase& c = GetParam();
  std::vector<std::string> arguments = c.arguments;
  terminal::TerminalOptions options;
  std::string error;
  EXPECT_EQ(terminal::take_terminal_options(arguments, options, error), c.ok);
  if (!c.ok) {
    EXPECT_FALSE(error.empty());
    return;
  }
  EXPECT_EQ(options.save_pictures_directory, c.directory);
  EXPECT_EQ(arguments, c.rest);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TerminalOptionsTest,
    ::testing::Values(
        OptionsCase{"none", {"a.txt", "b.txt"}, true, std::nullopt, {"a.txt", "b.txt"}},
        OptionsCase{"separate_value", {"a.txt", "--save-pictures", "pics", "b.txt"}, true, "pics", {"a.txt", "b.txt"}},
        OptionsCase{"joined_value", {"--save-pictures=out dir", "a.txt"}, true, "out dir", {"a.txt"}},
        OptionsCase{"last_wins", {"--save-pictures=one", "--save-pictures", "two"}, true, "two", {}},
        OptionsCase{"missing_value", {"a.txt", "--save-pictures"}, false, std::nullopt, {}},
        OptionsCase{"empty_value", {"--save-pictures="}, false, std::nullopt, {}},
        OptionsCase{"similar_word_is_a_file_name", {"--save-picturesX"}, true, std::nullopt, {"--save-picturesX"}}),
    [](const ::testing::TestParamInfo<OptionsCase>& info) { return std::string(info.param.name); });

}  // namespace
