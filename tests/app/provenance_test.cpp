// The provenance sidecar: numbers in the shortest form that reads back to the same double,
// every field written and read back, malformed and incomplete sidecars refused with the field
// named, and the file on disk (its hash, written whole, read back).

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "app/provenance.h"
#include "app/provenance_file.h"

namespace app {
namespace {

using Json = nlohmann::json;

bool same_bits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// A provenance of the Henon map with everything set.
Provenance sample() {
  Provenance p;
  p.version = "0.1.0";
  p.settings.map = find_map(2);
  p.settings.parameters.p1 = 1.4;
  p.settings.parameters.p2 = 0.3;
  p.settings.parameter_given = {true, true, false, false};
  p.settings.initial = {0.1, -0.1};
  p.settings.transient = 500;
  p.settings.length = 2000;
  p.settings.variable = 2;
  p.noise = 0.01;
  p.seed = 42;
  p.values_written = 2000;
  p.divergent_point = std::nullopt;
  p.series_sha256 = std::string(64, 'a');
  p.created_utc = "2024-01-02T03:04:05Z";
  return p;
}

TEST(Provenance, RealsInShortestRoundTripForm) {
  struct Case {
    double value;
    const char* text;
  };
  const std::vector<Case> cases = {
      {1.4, "1.4"},
      {2.0, "2.0"},
      {-0.0, "-0.0"},
      {0.0, "0.0"},
      {1e-5, "1e-05"},
      {0.1 + 0.2, "0.30000000000000004"},
      // A value whose shortest form a Grisu-style printer misses by a digit.
      {-0.11312832227303771, "-0.1131283222730377"},
      {5e-324, "5e-324"},
      {std::numeric_limits<double>::max(), "1.7976931348623157e+308"},
      {123456789012345680.0, "123456789012345680.0"},
      {std::nan(""), "\"nan\""},
      {HUGE_VAL, "\"inf\""},
      {-HUGE_VAL, "\"-inf\""},
  };
  for (const Case& c : cases) EXPECT_EQ(json_real(c.value), c.text) << c.text;
}

TEST(Provenance, RandomRealsReadBackToTheSameDouble) {
  std::mt19937_64 bits(20240101);
  Provenance p = sample();
  std::string error;
  for (int i = 0; i < 5000; ++i) {
    double values[4];
    for (double& v : values) {
      const std::uint64_t pattern = bits();
      std::memcpy(&v, &pattern, sizeof v);
    }
    p.settings.parameters.p1 = values[0];
    p.settings.parameters.p2 = values[1];
    p.settings.initial = {values[2], values[3]};
    p.noise = std::fabs(values[0]) + 1e-300;  // any positive number
    if (std::isnan(*p.noise)) p.noise = 0.5;
    const std::string text = provenance_json(p);
    Provenance back;
    ASSERT_TRUE(read_provenance_json(text, back, error)) << error << "\n" << text;
    for (const auto& [written, read] :
         {std::pair{values[0], back.settings.parameters.p1}, std::pair{values[1], back.settings.parameters.p2},
          std::pair{values[2], back.settings.initial[0]}, std::pair{values[3], back.settings.initial[1]},
          std::pair{*p.noise, *back.noise}}) {
      if (std::isnan(written)) {
        EXPECT_TRUE(std::isnan(read));
        continue;
      }
      ASSERT_TRUE(same_bits(written, read)) << json_real(written);
      // No shorter text reads back to it: the digits are std::to_chars's shortest.
      char shortest[64];
      const auto end = std::to_chars(shortest, shortest + sizeof shortest, written).ptr;
      const std::string expected(shortest, end);
      EXPECT_EQ(json_real(written).rfind(expected, 0), 0u) << expected;
    }
  }
}

TEST(Provenance, EveryFieldIsWrittenAndReadBack) {
  const Provenance p = sample();
  const std::string text = provenance_json(p);
  const Json json = Json::parse(text);
  EXPECT_EQ(json["program"], "mapexplorer");
  EXPECT_EQ(json["map"]["name"], "henon");
  EXPECT_EQ(json["parameters"]["a"], 1.4);
  EXPECT_TRUE(json["divergent_point"].is_null());
  Provenance back;
  std::string error;
  ASSERT_TRUE(read_provenance_json(text, back, error)) << error;
  EXPECT_EQ(back.version, p.version);
  EXPECT_EQ(back.settings.map, p.settings.map);
  EXPECT_EQ(back.settings.parameters.p1, 1.4);
  EXPECT_EQ(back.settings.parameters.p2, 0.3);
  EXPECT_EQ(back.settings.initial, p.settings.initial);
  EXPECT_EQ(back.settings.transient, 500);
  EXPECT_EQ(back.settings.length, 2000);
  EXPECT_EQ(back.settings.variable, 2);
  EXPECT_EQ(back.noise, 0.01);
  EXPECT_EQ(back.seed, 42);
  EXPECT_EQ(back.values_written, 2000);
  EXPECT_EQ(back.divergent_point, std::nullopt);
  EXPECT_EQ(back.series_sha256, p.series_sha256);
  EXPECT_EQ(back.created_utc, p.created_utc);

  Provenance diverged = sample();
  diverged.noise.reset();
  diverged.seed.reset();
  diverged.values_written = 0;
  diverged.divergent_point = -994;
  ASSERT_TRUE(read_provenance_json(provenance_json(diverged), back, error)) << error;
  EXPECT_EQ(back.noise, std::nullopt);
  EXPECT_EQ(back.seed, std::nullopt);
  EXPECT_EQ(back.divergent_point, -994);
}

TEST(Provenance, EveryMissingFieldIsNamed) {
  const Json whole = Json::parse(provenance_json(sample()));
  for (const auto& [key, value] : whole.items()) {
    Json without = whole;
    without.erase(key);
    Provenance back;
    std::string error;
    EXPECT_FALSE(read_provenance_json(without.dump(), back, error)) << key;
    EXPECT_EQ(error, "\"" + key + "\" is missing") << key;
  }
}

TEST(Provenance, MalformedSidecarsNameTheField) {
  struct Case {
    const char* pointer;  // a JSON pointer into the sample, replaced by `value`
    Json value;
    const char* named;
  };
  const std::vector<Case> cases = {
      {"/program", "otherprogram", "\"program\""},
      {"/version", 1, "\"version\""},
      {"/map", 2, "\"map\""},
      {"/map/number", 6, "\"map.number\""},
      {"/map/number", 1.5, "\"map.number\""},
      {"/map/name", "quadratic", "\"map.name\""},
      {"/map/name", nullptr, "\"map.name\""},
      {"/parameters/a", "many", "\"parameters.a\""},
      {"/parameters/lambda", 1.0, "\"parameters.lambda\""},
      {"/parameters", Json::array({1.4, 0.3}), "\"parameters\""},
      {"/initial", Json::array({0.1}), "\"initial\""},
      {"/initial", Json::array({0.1, "x"}), "\"initial\""},
      {"/transient", -1, "\"transient\""},
      {"/transient", 1000000, "\"transient\""},
      {"/length", 1, "\"length\""},
      {"/length", "2000", "\"length\""},
      {"/variable", 3, "\"variable\""},
      {"/noise", 0, "\"noise\""},
      {"/noise", -0.5, "\"noise\""},
      {"/noise", "nan", "\"noise\""},
      {"/seed", 0, "\"seed\""},
      {"/seed", 2147483647, "\"seed\""},
      {"/seed", 4.5, "\"seed\""},
      {"/seed", nullptr, "\"seed\""},
      {"/values_written", 2001, "\"values_written\""},
      {"/values_written", -1, "\"values_written\""},
      {"/divergent_point", "late", "\"divergent_point\""},
      {"/series_sha256", std::string(64, 'A'), "\"series_sha256\""},
      {"/series_sha256", "abc", "\"series_sha256\""},
      {"/created_utc", 5, "\"created_utc\""},
  };
  const Json whole = Json::parse(provenance_json(sample()));
  for (const Case& c : cases) {
    Json changed = whole;
    changed[Json::json_pointer(c.pointer)] = c.value;
    Provenance back;
    std::string error;
    EXPECT_FALSE(read_provenance_json(changed.dump(), back, error)) << c.pointer << " = " << c.value;
    EXPECT_EQ(error.rfind(c.named, 0), 0u) << c.pointer << ": " << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
  }
  for (const char* text : {"", "{", "[]", "42", "{\"program\": \"mapexplorer\",}", "\xff\xfe"}) {
    Provenance back;
    std::string error;
    EXPECT_FALSE(read_provenance_json(text, back, error)) << text;
    EXPECT_FALSE(error.empty());
  }
}

// ---- on disk ----

class ProvenanceFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    directory_ = ::testing::TempDir() + "provenance_file_test";
    std::filesystem::remove_all(directory_);
    std::filesystem::create_directories(directory_);
  }
  void TearDown() override { std::filesystem::remove_all(directory_); }
  std::string file(const std::string& name) const { return directory_ + "/" + name; }
  static void write(const std::string& path, const std::string& bytes) { std::ofstream(path) << bytes; }

  std::string directory_;
};

TEST_F(ProvenanceFileTest, HashOfAFile) {
  write(file("abc"), "abc");
  std::string error;
  EXPECT_EQ(file_sha256(file("abc"), error), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(file_sha256(file("missing"), error), std::nullopt);
  EXPECT_NE(error.find(file("missing")), std::string::npos) << error;
}

TEST_F(ProvenanceFileTest, SidecarOfARecordingIsWrittenAndReadBack) {
  DialogueState state;
  state.map_number = 1;
  state.nvar = 1;
  state.parameters.p1 = 1.9;
  state.x0.allocate(1);
  state.x0[0] = 0.3;
  state.n_transient = 10;
  state.n_series = 2;
  RecordingOutcome outcome;
  outcome.values_written = 2;
  const std::string series = file("series.dat");
  write(series, "        0.3000000000\r\n        1.8100000000\r\n");
  std::string error;
  ASSERT_TRUE(write_provenance_file(series, state, outcome, error)) << error;
  Provenance back;
  ASSERT_TRUE(read_provenance_file(sidecar_path(series), back, error)) << error;
  EXPECT_EQ(back.settings.map->number, 1);
  EXPECT_EQ(back.settings.parameters.p1, 1.9);
  EXPECT_EQ(back.settings.initial, std::vector<double>{0.3});
  EXPECT_EQ(back.values_written, 2);
  EXPECT_EQ(back.series_sha256, file_sha256(series, error));
  EXPECT_EQ(back.created_utc.size(), 20u);
  // Nothing but the sidecar is left beside the series (no temporary file).
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(directory_)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"series.dat", "series.dat.json"}));
}

TEST_F(ProvenanceFileTest, FailuresAreReportedAndLeaveNoPartialSidecar) {
  DialogueState state;
  state.map_number = 1;
  state.nvar = 1;
  state.x0.allocate(1);
  RecordingOutcome outcome;
  std::string error;
  EXPECT_FALSE(write_provenance_file(std::nullopt, state, outcome, error));
  EXPECT_NE(error.find("regular file"), std::string::npos) << error;
  error.clear();
  EXPECT_FALSE(write_provenance_file(file("missing.dat"), state, outcome, error));
  EXPECT_NE(error.find("missing.dat"), std::string::npos) << error;
  EXPECT_FALSE(std::filesystem::exists(file("missing.dat.json")));
  // The sidecar's place is taken by a directory: not written, and the directory stays.
  write(file("blocked.dat"), "");
  std::filesystem::create_directories(file("blocked.dat.json"));
  error.clear();
  EXPECT_FALSE(write_provenance_file(file("blocked.dat"), state, outcome, error));
  EXPECT_NE(error.find("blocked.dat.json"), std::string::npos) << error;
  EXPECT_TRUE(std::filesystem::is_directory(file("blocked.dat.json")));

  Provenance back;
  error.clear();
  EXPECT_FALSE(read_provenance_file(file("none.json"), back, error));
  EXPECT_NE(error.find("none.json"), std::string::npos) << error;
  write(file("bad.json"), "{\"program\": \"mapexplorer\"}");
  error.clear();
  EXPECT_FALSE(read_provenance_file(file("bad.json"), back, error));
  EXPECT_EQ(error, file("bad.json") + ": \"version\" is missing");
}

}  // namespace
}  // namespace app
