#include "app/map_catalogue.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

namespace app {
namespace {

std::vector<std::string> texts(std::span<const std::string_view> lines) { return {lines.begin(), lines.end()}; }

TEST(MapCatalogue, TextsOfEveryMap) {
  struct Row {
    const char* menu_line;
    const char* heading;
    std::vector<std::string> formula;
    int nvar;
    std::vector<std::pair<std::string, int>> parameters;
  };
  const Row rows[] = {
      {"   1 - Quadratic map", "Quadratic map:", {"x(n+1) = lambda - x(n)^2"}, 1, {{"   lambda = ", 1}}},
      {"   2 - Henon map",
       "Henon map:",
       {"x(n+1) = 1 - a*x(n)^2 + b*y(n)", "y(n+1) = x(n)"},
       2,
       {{"   a = ", 1}, {"   b = ", 2}}},
      {"   3 - Dissipatively coupled quadratic maps",
       "Dissipatively coupled quadratic maps:",
       {"x(n+1) = lambda - x(n)^2 + k*(x(n)^2 - y(n)^2)", "y(n+1) = lambda - y(n)^2 + k*(y(n)^2 - x(n)^2)"},
       2,
       {{"   lambda = ", 1}, {"   k = ", 2}}},
      {"   4 - Linearly coupled quadratic maps",
       "Linearly coupled quadratic maps:",
       {"x(n+1) = lambda - x(n)^2 + k*(y(n) - x(n))", "y(n+1) = lambda - y(n)^2 + k*(x(n) - y(n))"},
       2,
       {{"   lambda = ", 1}, {"   k = ", 2}}},
      {"   5 - Model map of the driven RL-diode circuit",
       "Model map of the driven RL-diode circuit:",
       {"x(n+1) = A + x(n)*exp(-d/N)*cos(2*pi/(N*(1+beta*x(n))))"},
       1,
       {{"   A = ", 1}, {"   d = ", 2}, {"   N = ", 3}, {"   beta = ", 4}}},
  };
  const std::vector<std::string> initial_prompts = {"   x0 = ", "   y0 = "};
  ASSERT_EQ(map_catalogue().size(), 5u);
  for (int number = 1; number <= 5; ++number) {
    SCOPED_TRACE(number);
    const Row& row = rows[number - 1];
    const MapEntry* entry = find_map(number);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry, &map_catalogue()[static_cast<std::size_t>(number - 1)]);
    EXPECT_EQ(entry->number, number);
    EXPECT_EQ(entry->menu_line, row.menu_line);
    EXPECT_EQ(entry->heading, row.heading);
    EXPECT_EQ(texts(entry->formula_lines), row.formula);
    EXPECT_EQ(entry->nvar, row.nvar);
    ASSERT_EQ(entry->parameter_prompts.size(), row.parameters.size());
    for (std::size_t i = 0; i < row.parameters.size(); ++i) {
      EXPECT_EQ(entry->parameter_prompts[i].text, row.parameters[i].first);
      EXPECT_EQ(entry->parameter_prompts[i].slot, row.parameters[i].second);
    }
    EXPECT_EQ(texts(entry->initial_condition_prompts),
              std::vector<std::string>(initial_prompts.begin(), initial_prompts.begin() + row.nvar));
  }
  for (const int number : {0, 6, -1, std::numeric_limits<int>::min()}) {
    EXPECT_EQ(find_map(number), nullptr);
  }
}

TEST(MapCatalogue, CommandLineNamesOfMapsAndParameters) {
  const std::vector<std::pair<std::string, std::vector<std::string>>> expected = {
      {"quadratic", {"lambda"}},
      {"henon", {"a", "b"}},
      {"dissipative", {"lambda", "k"}},
      {"linear", {"lambda", "k"}},
      {"rl-diode", {"A", "d", "N", "beta"}},
  };
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const MapEntry& entry = map_catalogue()[i];
    EXPECT_EQ(entry.name, expected[i].first);
    std::vector<std::string> names;
    for (const ParameterPrompt& prompt : entry.parameter_prompts) names.emplace_back(parameter_name(prompt));
    EXPECT_EQ(names, expected[i].second) << entry.name;
  }
}

TEST(MapCatalogue, ParameterSlots) {
  MapParameters parameters;
  for (int slot = 1; slot <= 4; ++slot) *parameter_slot(parameters, slot) = slot * 1.5;
  EXPECT_EQ(parameters.p1, 1.5);
  EXPECT_EQ(parameters.p2, 3.0);
  EXPECT_EQ(parameters.p3, 4.5);
  EXPECT_EQ(parameters.p4, 6.0);
  EXPECT_EQ(parameter_slot(parameters, 0), nullptr);
  EXPECT_EQ(parameter_slot(parameters, 5), nullptr);
}

TEST(MapCatalogue, DivergenceTest) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    std::vector<double> state;
    bool divergent;
  };
  const Case cases[] = {
      {{1000.0}, true},
      {{-1000.0}, true},
      {{999.999}, false},
      {{std::nextafter(1000.0, 0.0)}, false},
      {{nan}, false},
      {{nan, 1000.0}, true},
      {{inf}, true},
      {{-inf}, true},
      {{0.5, -1000.5}, true},
      {{999.999, -999.999}, false},
      {{}, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(is_divergent(c.state), c.divergent) << ::testing::PrintToString(c.state);
  }
}

// The maps written out in the textbook form, independently of the step routine.
std::vector<double> reference_step(int map, const MapParameters& p, std::vector<double> s) {
  const double x = s[0];
  const double y = s.size() > 1 ? s[1] : 0.0;
  switch (map) {
    case 1: return {p.p1 - std::pow(x, 2)};
    case 2: return {1 - p.p1 * std::pow(x, 2) + p.p2 * y, x};
    case 3:
      return {p.p1 - std::pow(x, 2) + p.p2 * (std::pow(x, 2) - std::pow(y, 2)),
              p.p1 - std::pow(y, 2) + p.p2 * (std::pow(y, 2) - std::pow(x, 2))};
    case 4: return {p.p1 - std::pow(x, 2) + p.p2 * (y - x), p.p1 - std::pow(y, 2) + p.p2 * (x - y)};
    default: return {p.p1 + x * std::exp(-p.p2 / p.p3) * std::cos(6.283185005187988 / (p.p3 * (1 + p.p4 * x)))};
  }
}

TEST(MapStep, MatchesTheFormulas) {
  struct Case {
    int map;
    MapParameters parameters;
    std::vector<double> state;
    bool exact;  // dyadic inputs: every evaluation order gives the same double
  };
  const Case cases[] = {
      {1, {2.0, 0, 0, 0}, {0.5}, true},           {1, {1.8, 0, 0, 0}, {0.3}, false},
      {2, {1.25, 0.5, 0, 0}, {0.5, -0.25}, true}, {2, {1.4, 0.3, 0, 0}, {0.631, 0.189}, false},
      {3, {1.5, 0.25, 0, 0}, {0.5, 1.0}, true},   {3, {1.9, 0.1, 0, 0}, {0.2, -0.7}, false},
      {4, {1.0, 0.5, 0, 0}, {0.5, -0.5}, true},   {4, {1.7, 0.05, 0, 0}, {0.4, 0.41}, false},
      {5, {1.2, 0.3, 2.0, 0.1}, {0.7}, false},    {5, {-0.5, 0.0, 1.0, 0.0}, {2.0}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.map);
    const std::vector<double> expected = reference_step(c.map, c.parameters, c.state);
    std::vector<double> first;
    // The step index is not read by any map.
    for (const std::int32_t n : {0, 7, -5, std::numeric_limits<std::int32_t>::max()}) {
      std::vector<double> state = c.state;
      ASSERT_TRUE(map_step(c.map, c.parameters, n, state));
      if (first.empty()) first = state;
      EXPECT_EQ(state, first) << n;
    }
    for (std::size_t i = 0; i < first.size(); ++i) {
      if (c.exact) {
        EXPECT_EQ(first[i], expected[i]) << i;
      } else {
        EXPECT_NEAR(first[i], expected[i], 4e-16 * std::fabs(expected[i])) << i;
      }
    }
  }
}

TEST(MapStep, EdgeCases) {
  // Henon with b = 0: y' is the old x bit for bit, x' = 1 - a*x*x.
  std::vector<double> henon = {0.1234567890123, 55.0};
  ASSERT_TRUE(map_step(2, {1.4, 0.0, 0, 0}, 0, henon));
  EXPECT_EQ(henon[1], 0.1234567890123);
  EXPECT_EQ(henon[0], 1.0 - 1.4 * 0.1234567890123 * 0.1234567890123);

  // Coupling 0 with equal components: both coupled maps follow the quadratic map.
  for (const int map : {3, 4}) {
    std::vector<double> pair = {0.3, 0.3};
    std::vector<double> single = {0.3};
    for (std::int32_t n = 0; n < 100; ++n) {
      ASSERT_TRUE(map_step(map, {1.9, 0.0, 0, 0}, n, pair));
      ASSERT_TRUE(map_step(1, {1.9, 0.0, 0, 0}, n, single));
      ASSERT_EQ(pair[0], pair[1]);
      ASSERT_EQ(pair[0], single[0]);
    }
  }

  // The circuit map with beta = 0, d = 0, N = 1 uses the single-precision 2*pi.
  EXPECT_EQ(kCircuitTwoPi, 6.283185005187988);
  EXPECT_NE(kCircuitTwoPi, 2.0 * std::numbers::pi);
  std::vector<double> circuit = {1.0};
  ASSERT_TRUE(map_step(5, {0.0, 0.0, 1.0, 0.0}, 0, circuit));
  EXPECT_EQ(circuit[0], std::cos(6.283185005187988));
  EXPECT_NE(circuit[0], 1.0);
}

TEST(MapStep, BadArgumentsAndNonFiniteResults) {
  std::vector<double> one = {0.5};
  std::vector<double> two = {0.5, 0.5};
  EXPECT_FALSE(map_step(0, {}, 0, one));
  EXPECT_FALSE(map_step(6, {}, 0, one));
  EXPECT_FALSE(map_step(2, {}, 0, one));
  EXPECT_FALSE(map_step(1, {}, 0, two));
  EXPECT_FALSE(map_step(3, {}, 0, std::span<double>()));
  EXPECT_EQ(one[0], 0.5);
  EXPECT_EQ(two, std::vector<double>({0.5, 0.5}));

  // N = 0 and 1 + beta*x = 0 give NaN, which is not divergent and keeps propagating.
  for (const MapParameters& p : {MapParameters{1.0, 0.5, 0.0, 0.0}, MapParameters{1.0, 0.5, 1.0, -2.0}}) {
    std::vector<double> x = {0.5};
    ASSERT_TRUE(map_step(5, p, 0, x));
    EXPECT_TRUE(std::isnan(x[0]));
    EXPECT_FALSE(is_divergent(x));
    ASSERT_TRUE(map_step(5, {1.0, 0.5, 2.0, 0.0}, 1, x));
    EXPECT_TRUE(std::isnan(x[0]));
  }
  // An overflowing decay factor gives an infinite component, which is divergent.
  std::vector<double> x = {0.5};
  ASSERT_TRUE(map_step(5, {1.0, -1000.0, 1.0, 0.0}, 0, x));
  EXPECT_TRUE(std::isinf(x[0]));
  EXPECT_TRUE(is_divergent(x));
}

}  // namespace
}  // namespace app
