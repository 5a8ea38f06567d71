// The truth rule of the runtime's switches, command-line splitting and the argument list that
// blank-name OPENs consume.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "runtime/support/command_arguments.h"
#include "runtime/support/environment.h"
#include "runtime/support/lifecycle.h"
#include "support_test_helpers.h"

namespace {

TEST(SwitchTruth, ValueTable) {
  const struct {
    const char* value;
    bool expected;
  } cases[] = {
      {"T", true},      {"t", true},   {"TRUE", true}, {"true", true}, {"Y", true},   {"y", true},
      {"yes", true},    {"Yes", true}, {"1", true},    {"007", true},  {"42", true},  {"99999999999999999999999", true},
      {"0", false},     {"00", false}, {"", false},    {"no", false},  {"N", false},  {"F", false},
      {"false", false}, {"-1", false}, {"+1", false},  {" 1", false},  {"1x", false}, {"1.0", false},
      {"x", false},     {"on", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(runtime::switch_value_is_true(c.value), c.expected);
  }
}

class EnvironmentTest : public support_test::SupportTest {};

TEST_F(EnvironmentTest, SwitchReadsTheEnvironment) {
  EXPECT_FALSE(runtime::environment_switch("FOR_DISABLE_STACK_TRACE"));
  EXPECT_FALSE(runtime::environment_value("FOR_DISABLE_STACK_TRACE").has_value());
  setenv("FOR_DISABLE_STACK_TRACE", "no", 1);
  EXPECT_FALSE(runtime::environment_switch("FOR_DISABLE_STACK_TRACE"));
  EXPECT_EQ(runtime::environment_value("FOR_DISABLE_STACK_TRACE"), "no");
  setenv("FOR_DISABLE_STACK_TRACE", "Yes", 1);
  EXPECT_TRUE(runtime::environment_switch("FOR_DISABLE_STACK_TRACE"));
  setenv("FOR_DISABLE_STACK_TRACE", "", 1);
  EXPECT_FALSE(runtime::environment_switch("FOR_DISABLE_STACK_TRACE"));
  EXPECT_EQ(runtime::environment_value("FOR_DISABLE_STACK_TRACE"), "");
  unsetenv("FOR_DISABLE_STACK_TRACE");
  // A name no environment can hold.
  EXPECT_FALSE(runtime::environment_value(std::string_view("A\0B", 3)).has_value());
}

TEST(CommandLine, Splitting) {
  using Args = std::vector<std::string>;
  const struct {
    const char* line;
    Args expected;
  } cases[] = {
      {"", {}},
      {"   \t  ", {}},
      {"a", {"a"}},
      {"  series.dat  out.dat ", {"series.dat", "out.dat"}},
      {"a\tb\nc", {"a", "b", "c"}},
      {R"("my series.dat" b)", {"my series.dat", "b"}},
      {R"(pre"fix mid"post x)", {"prefix midpost", "x"}},
      {R"("")", {""}},
      {R"(a "" b)", {"a", "", "b"}},
      {R"("say ""hi""")", {R"(say "hi")"}},
      {R"("a""b" c)", {R"(a"b)", "c"}},
      {R"("unterminated quote)", {"unterminated quote"}},
      {R"(back\slash "x\y")", {R"(back\slash)", R"(x\y)"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(runtime::split_command_line(c.line), c.expected);
  }
}

TEST(CommandArguments, TakenInOrderWithLeadingBlanksStripped) {
  runtime::CommandArguments arguments;
  EXPECT_FALSE(arguments.take_next().has_value());
  arguments.assign({"  first.dat", "second.dat ", "   "});
  EXPECT_EQ(arguments.take_next(), "first.dat");
  EXPECT_EQ(arguments.take_next(), "second.dat ");
  EXPECT_EQ(arguments.take_next(), "");
  EXPECT_FALSE(arguments.take_next().has_value());
  EXPECT_FALSE(arguments.take_next().has_value());
  arguments.assign({"again"});
  EXPECT_EQ(arguments.take_next(), "again");
}

}  // namespace
