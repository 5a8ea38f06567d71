// The command-line parser shared by the commands, and the value readers and map options built
// on it: every usage error is one line that names its option; good command lines give the
// values the dialogue would have taken.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/map_options.h"
#include "app/option_values.h"

namespace app {
namespace {

constexpr OptionRule kSpecs[] = {{"--flag", ""}, {"--name", "N"}, {"--many", "V", true}};

struct ParseCase {
  const char* label;
  std::vector<std::string> arguments;
  const char* error;  // a part of the error, or null when the line is good
  std::vector<std::string> operands;
};

TEST(CommandLine, SplitsOptionsAndOperands) {
  const std::vector<ParseCase> cases = {
      {"operands only", {"a.dat", "-", "-x"}, nullptr, {"a.dat", "-", "-x"}},
      {"separate value", {"--name", "5", "a.dat"}, nullptr, {"a.dat"}},
      {"joined value", {"--name=with space", "a.dat"}, nullptr, {"a.dat"}},
      {"value that looks like an option", {"--name", "--flag"}, nullptr, {}},
      {"repeatable", {"--many", "1", "--many=2", "b"}, nullptr, {"b"}},
      {"end of options", {"--flag", "--", "--name", "--"}, nullptr, {"--name", "--"}},
      {"unknown option", {"a", "--nmae", "5"}, "unknown option --nmae", {}},
      {"unknown option with value", {"--frobnicate=1"}, "unknown option --frobnicate", {}},
      {"missing value", {"--name"}, "--name needs a value: --name N", {}},
      {"empty value", {"--name="}, "--name needs a value", {}},
      {"empty separate value", {"--name", ""}, "--name needs a value", {}},
      {"value to a flag", {"--flag=yes"}, "--flag takes no value", {}},
      {"given twice", {"--name", "1", "--name", "2"}, "--name is given twice", {}},
      {"flag twice", {"--flag", "--flag"}, "--flag is given twice", {}},
  };
  for (const ParseCase& c : cases) {
    SCOPED_TRACE(c.label);
    CommandLine line;
    std::string error;
    const bool ok = parse_command_line(c.arguments, kSpecs, line, error);
    if (c.error != nullptr) {
      EXPECT_FALSE(ok);
      EXPECT_NE(error.find(c.error), std::string::npos) << error;
      EXPECT_EQ(error.find('\n'), std::string::npos) << error;
      continue;
    }
    ASSERT_TRUE(ok) << error;
    EXPECT_EQ(line.operands(), c.operands);
  }
}

TEST(CommandLine, ValuesInOrder) {
  CommandLine line;
  std::string error;
  const std::vector<std::string> arguments = {"--many", "1", "--name=x", "--many=2", "--flag"};
  ASSERT_TRUE(parse_command_line(arguments, kSpecs, line, error)) << error;
  EXPECT_EQ(line.values("--many"), (std::vector<std::string>{"1", "2"}));
  ASSERT_NE(line.value("--name"), nullptr);
  EXPECT_EQ(*line.value("--name"), "x");
  EXPECT_TRUE(line.has("--flag"));
  EXPECT_FALSE(line.has("--other"));
  EXPECT_EQ(line.value("--other"), nullptr);
}

TEST(OptionValues, RealNumbers) {
  struct Case {
    const char* text;
    std::optional<double> value;
  };
  const std::vector<Case> cases = {
      {"1.4", 1.4},  {"-0.3", -0.3}, {"2.5e-1", 0.25}, {"+2", 2.0},  {"2", 2.0},    {"1e308", 1e308},
      {"0.1", 0.1},  {"", {}},       {" 1", {}},       {"1 ", {}},   {"1,5", {}},   {"abc", {}},
      {"1e999", {}}, {"++1", {}},    {"+-1", {}},      {"0x10", {}}, {"1.4.2", {}},
  };
  for (const Case& c : cases) {
    double value = -7.0;
    EXPECT_EQ(parse_real(c.text, value), c.value.has_value()) << c.text;
    if (c.value) {
      EXPECT_EQ(value, *c.value) << c.text;
    }
  }
  double value = 0.0;
  ASSERT_TRUE(parse_real("inf", value));
  EXPECT_TRUE(std::isinf(value));
  ASSERT_TRUE(parse_real("nan", value));
  EXPECT_TRUE(std::isnan(value));
}

TEST(OptionValues, SeedAndNoise) {
  const OptionRule rules[] = {{kSeedOption, "N"}, {kNoiseOption, "STD"}};
  struct Case {
    std::vector<std::string> arguments;
    const char* error;  // null: good
    std::optional<std::int32_t> seed;
    std::optional<double> noise;
  };
  const std::vector<Case> cases = {
      {{}, nullptr, {}, {}},
      {{"--seed", "1"}, nullptr, 1, {}},
      {{"--seed=2147483646"}, nullptr, 2147483646, {}},
      {{"--seed", "+42", "--noise", "0.5"}, nullptr, 42, 0.5},
      {{"--noise", "5"}, nullptr, {}, 5.0},
      {{"--seed", "0"}, "--seed must be a whole number from 1 to 2147483646: 0", {}, {}},
      {{"--seed", "2147483647"}, "--seed must be a whole number from 1 to 2147483646: 2147483647", {}, {}},
      {{"--seed", "-5"}, "--seed must be", {}, {}},
      {{"--seed", "12x"}, "--seed must be", {}, {}},
      {{"--seed", "1.5"}, "--seed must be", {}, {}},
      {{"--seed", "99999999999999999999"}, "--seed must be", {}, {}},
      {{"--noise", "0"}, "--noise must be a number greater than 0: 0", {}, {}},
      {{"--noise", "-1"}, "--noise must be", {}, {}},
      {{"--noise", "nan"}, "--noise must be", {}, {}},
      {{"--noise", "x"}, "--noise must be", {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.empty() ? std::string("none") : c.arguments.back());
    CommandLine line;
    std::string error;
    ASSERT_TRUE(parse_command_line(c.arguments, rules, line, error)) << error;
    std::optional<std::int32_t> seed;
    std::optional<double> noise;
    const bool ok = read_seed_option(line, seed, error) && read_noise_option(line, noise, error);
    if (c.error != nullptr) {
      EXPECT_FALSE(ok);
      EXPECT_NE(error.find(c.error), std::string::npos) << error;
      continue;
    }
    ASSERT_TRUE(ok) << error;
    EXPECT_EQ(seed, c.seed);
    EXPECT_EQ(noise, c.noise);
  }
}

// ---- the map options ----

struct MapCase {
  const char* label;
  std::vector<std::string> arguments;
  const char* error;  // a part of the error; null: good
};

bool read_all(const std::vector<std::string>& arguments, MapSettings& settings, std::string& error) {
  CommandLine line;
  return parse_command_line(arguments, map_option_rules(), line, error) && read_map_options(line, settings, error) &&
         check_parameters_given(settings, error);
}

TEST(MapOptions, BadValuesNameTheirOption) {
  const std::vector<MapCase> cases = {
      {"no map", {"--param", "lambda=2", "--initial", "0.5"}, "missing --map M"},
      {"map 0", {"--map", "0", "--initial", "0.5"}, "--map must be 1-5, or quadratic, henon"},
      {"map 6", {"--map", "6", "--initial", "0.5"}, "--map must be"},
      {"map by wrong name", {"--map", "Henon", "--initial", "0.5"}, "--map must be"},
      {"unknown parameter", {"--map", "henon", "--param", "lambda=1", "--initial", "0,0"}, "--param: the henon map"},
      {"parameter twice", {"--map", "1", "--param", "lambda=1", "--param", "lambda=2", "--initial", "0"}, "--param"},
      {"parameter without value", {"--map", "1", "--param", "lambda=", "--initial", "0"}, "--param: lambda"},
      {"parameter not a number", {"--map", "1", "--param", "lambda=two", "--initial", "0"}, "--param: lambda"},
      {"parameter without =", {"--map", "1", "--param", "lambda", "--initial", "0"}, "--param must be NAME=VALUE"},
      {"parameter missing", {"--map", "henon", "--param", "a=1.4", "--initial", "0,0"}, "missing --param b=VALUE"},
      {"no initial", {"--map", "1", "--param", "lambda=2"}, "missing --initial V1"},
      {"one initial for two", {"--map", "2", "--param", "a=1", "--param", "b=0", "--initial", "0.1"}, "--initial"},
      {"two initial for one", {"--map", "1", "--param", "lambda=2", "--initial", "0.1,0.2"}, "--initial"},
      {"empty initial part", {"--map", "2", "--param", "a=1", "--param", "b=0", "--initial", "0.1,"}, "--initial"},
      {"bad initial", {"--map", "1", "--param", "lambda=2", "--initial", "x"}, "--initial"},
      {"negative transient",
       {"--map", "1", "--param", "lambda=2", "--initial", "0", "--transient", "-1"},
       "--transient must be a whole number from 0 to 999999: -1"},
      {"long transient",
       {"--map", "1", "--param", "lambda=2", "--initial", "0", "--transient", "1000000"},
       "--transient"},
      {"length 1",
       {"--map", "1", "--param", "lambda=2", "--initial", "0", "--length", "1"},
       "--length must be a whole number from 2 to 999999: 1"},
      {"length 1000000", {"--map", "1", "--param", "lambda=2", "--initial", "0", "--length", "1000000"}, "--length"},
      {"length not whole", {"--map", "1", "--param", "lambda=2", "--initial", "0", "--length", "1e3"}, "--length"},
      {"variable 2 of one",
       {"--map", "1", "--param", "lambda=2", "--initial", "0", "--variable", "2"},
       "--variable must be a whole number from 1 to 1"},
      {"variable 3 of two",
       {"--map", "2", "--param", "a=1", "--param", "b=0", "--initial", "0,0", "--variable", "3"},
       "--variable"},
      {"variable 0",
       {"--map", "2", "--param", "a=1", "--param", "b=0", "--initial", "0,0", "--variable", "0"},
       "--variable"},
  };
  for (const MapCase& c : cases) {
    SCOPED_TRACE(c.label);
    MapSettings settings;
    std::string error;
    EXPECT_FALSE(read_all(c.arguments, settings, error));
    EXPECT_NE(error.find(c.error), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
  }
}

TEST(MapOptions, GoodSettingsWithDefaults) {
  MapSettings settings;
  std::string error;
  ASSERT_TRUE(read_all({"--map", "rl-diode", "--param", "A=10", "--param", "d=0.5", "--param", "N=+1",
                        "--param=beta=-2.5e-1", "--initial", "0.3"},
                       settings, error))
      << error;
  ASSERT_NE(settings.map, nullptr);
  EXPECT_EQ(settings.map->number, 5);
  EXPECT_EQ(settings.parameters.p1, 10.0);
  EXPECT_EQ(settings.parameters.p2, 0.5);
  EXPECT_EQ(settings.parameters.p3, 1.0);
  EXPECT_EQ(settings.parameters.p4, -0.25);
  EXPECT_EQ(settings.initial, std::vector<double>{0.3});
  EXPECT_EQ(settings.transient, kDefaultTransient);
  EXPECT_EQ(settings.length, kDefaultSeriesLength);
  EXPECT_EQ(settings.variable, 1);

  ASSERT_TRUE(read_all({"--map", "3", "--param", "lambda=1.9", "--param", "k=0.1", "--initial=0.1,-0.2", "--transient",
                        "0", "--length", "2", "--variable", "2"},
                       settings, error))
      << error;
  EXPECT_EQ(settings.map->name, "dissipative");
  EXPECT_EQ(settings.initial, (std::vector<double>{0.1, -0.2}));
  EXPECT_EQ(settings.transient, 0);
  EXPECT_EQ(settings.length, 2);
  EXPECT_EQ(settings.variable, 2);
}

TEST(MapOptions, AParameterTakenElsewhereIsNotMissing) {
  CommandLine line;
  std::string error;
  MapSettings settings;
  const std::vector<std::string> arguments = {"--map", "henon", "--param", "b=0.3", "--initial", "0,0"};
  ASSERT_TRUE(parse_command_line(arguments, map_option_rules(), line, error));
  ASSERT_TRUE(read_map_options(line, settings, error)) << error;
  EXPECT_FALSE(check_parameters_given(settings, error));
  EXPECT_TRUE(check_parameters_given(settings, error, find_parameter(*settings.map, "a")->slot)) << error;
  EXPECT_EQ(find_parameter(*settings.map, "lambda"), nullptr);
}

TEST(MapOptions, MapsByNumberAndName) {
  for (const MapEntry& entry : map_catalogue()) {
    EXPECT_EQ(find_map_named(std::to_string(entry.number)), &entry);
    EXPECT_EQ(find_map_named(entry.name), &entry);
  }
  for (const char* text : {"", "0", "6", "quad", "1.0", " 1"}) EXPECT_EQ(find_map_named(text), nullptr) << text;
}

}  // namespace
}  // namespace app
