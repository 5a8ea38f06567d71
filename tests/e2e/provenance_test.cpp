// --provenance and mapexplorer replay from outside: the sidecar beside every series (from
// record and from the dialogue), replay making the same file again, a changed series or
// sidecar found out, and malformed sidecars refused.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QCryptographicHash>
#include <QFile>

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "explorer_process.h"

namespace {

using e2e::ExplorerRun;
using e2e::TemporaryDirectory;
using Json = nlohmann::json;

std::string sha256_of(const std::string& path) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) return "unreadable";
  return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex().toStdString();
}

Json sidecar(const TemporaryDirectory& directory, const std::string& name) {
  return Json::parse(e2e::read_file(directory.file(name)), nullptr, false);
}

const std::vector<std::string> kHenon = {"record",  "--map",      "henon",     "--param", "a=1.4",
                                         "--param", "b=0.3",      "--initial", "0.1,0.1", "--length",
                                         "3000",    "--variable", "2"};

std::vector<std::string> henon_with(std::vector<std::string> more) {
  std::vector<std::string> arguments = kHenon;
  arguments.insert(arguments.end(), more.begin(), more.end());
  return arguments;
}

TEST(SidecarAndReplay, RecordWritesTheSidecarAndReplayMakesTheSameFile) {
  TemporaryDirectory directory;
  const ExplorerRun recorded =
      e2e::run_explorer_in(directory, henon_with({"--noise", "0.01", "--seed", "77", "--provenance", "henon.dat"}));
  ASSERT_EQ(recorded.exit_status, 0) << recorded.err;
  const Json json = sidecar(directory, "henon.dat.json");
  ASSERT_FALSE(json.is_discarded());
  EXPECT_EQ(json["program"], "mapexplorer");
  EXPECT_EQ(json["map"], (Json{{"number", 2}, {"name", "henon"}}));
  EXPECT_EQ(json["parameters"], (Json{{"a", 1.4}, {"b", 0.3}}));
  EXPECT_EQ(json["initial"], (Json{0.1, 0.1}));
  EXPECT_EQ(json["transient"], 1000);
  EXPECT_EQ(json["length"], 3000);
  EXPECT_EQ(json["variable"], 2);
  EXPECT_EQ(json["noise"], 0.01);
  EXPECT_EQ(json["seed"], 77);
  EXPECT_EQ(json["values_written"], 3000);
  EXPECT_TRUE(json["divergent_point"].is_null());
  EXPECT_EQ(json["series_sha256"], sha256_of(directory.file("henon.dat")));
  EXPECT_TRUE(json["version"].is_string());
  EXPECT_EQ(json["created_utc"].get<std::string>().size(), 20u);

  const ExplorerRun replayed = e2e::run_explorer_in(directory, {"replay", "henon.dat.json"});
  EXPECT_EQ(replayed.exit_status, 0) << replayed.err;
  const ExplorerRun checked = e2e::run_explorer_in(directory, {"replay", "--check", "henon.dat.json"});
  EXPECT_EQ(checked.exit_status, 0) << checked.err;
  const ExplorerRun again = e2e::run_explorer_in(directory, {"replay", "henon.dat.json", "again.dat"});
  EXPECT_EQ(again.exit_status, 0) << again.err;
  EXPECT_EQ(e2e::read_file(directory.file("again.dat")), e2e::read_file(directory.file("henon.dat")));
}

TEST(SidecarAndReplay, ATamperedSeriesOrSidecarFailsReplay) {
  TemporaryDirectory directory;
  ASSERT_EQ(e2e::run_explorer_in(directory, henon_with({"--noise", "0.5", "--seed", "3", "--provenance", "h.dat"}))
                .exit_status,
            0);
  std::string series = e2e::read_file(directory.file("h.dat"));
  series[25] = series[25] == '1' ? '2' : '1';  // one digit of the second value
  e2e::write_file(directory.file("h.dat"), series);
  const ExplorerRun checked = e2e::run_explorer_in(directory, {"replay", "--check", "h.dat.json"});
  EXPECT_EQ(checked.exit_status, 1);
  EXPECT_NE(checked.err.find("h.dat"), std::string::npos) << checked.err;
  // Without --check only the recorded hash counts, and the recording is made the same.
  EXPECT_EQ(e2e::run_explorer_in(directory, {"replay", "h.dat.json"}).exit_status, 0);

  for (const auto& [pointer, value] : std::vector<std::pair<std::string, Json>>{
           {"/parameters/b", 0.31}, {"/seed", 4}, {"/initial/0", 0.11}, {"/noise", 0.25}}) {
    Json changed = sidecar(directory, "h.dat.json");
    changed[Json::json_pointer(pointer)] = value;
    e2e::write_file(directory.file("changed.json"), changed.dump());
    const ExplorerRun replayed = e2e::run_explorer_in(directory, {"replay", "changed.json"});
    EXPECT_EQ(replayed.exit_status, 1) << pointer << " " << replayed.err;
    EXPECT_NE(replayed.err.find("differs"), std::string::npos) << replayed.err;
  }
}

TEST(SidecarAndReplay, MalformedOrIncompleteSidecarsAreRefused) {
  TemporaryDirectory directory;
  ASSERT_EQ(e2e::run_explorer_in(directory, henon_with({"--provenance", "h.dat"})).exit_status, 0);
  const Json whole = sidecar(directory, "h.dat.json");
  Json without_seed = whole;
  without_seed.erase("seed");
  Json bad_length = whole;
  bad_length["length"] = 1;
  struct Case {
    std::string text;
    const char* named;
  };
  const std::vector<Case> cases = {
      {"{", "not a JSON text"},
      {"[1, 2]", "not a JSON object"},
      {without_seed.dump(), "\"seed\" is missing"},
      {bad_length.dump(), "\"length\" must be a whole number from 2 to 999999"},
  };
  for (const Case& c : cases) {
    e2e::write_file(directory.file("bad.dat.json"), c.text);
    const ExplorerRun run = e2e::run_explorer_in(directory, {"replay", "--check", "bad.dat.json"});
    EXPECT_EQ(run.exit_status, 2) << c.text;
    EXPECT_EQ(e2e::split_lines(run.err).size(), 1u) << run.err;
    EXPECT_NE(run.err.find(c.named), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("bad.dat.json"), std::string::npos) << run.err;
    EXPECT_FALSE(e2e::file_exists(directory.file("bad.dat"))) << "no series is made";
  }
  const ExplorerRun missing = e2e::run_explorer_in(directory, {"replay", "none.json"});
  EXPECT_EQ(missing.exit_status, 2);
  EXPECT_NE(missing.err.find("none.json"), std::string::npos) << missing.err;
  for (const std::vector<std::string>& arguments :
       std::vector<std::vector<std::string>>{{"replay"},
                                             {"replay", "--check", "h.dat.json", "out.dat"},
                                             {"replay", "a.json", "b", "c"},
                                             {"replay", "--check", "h.dat"},
                                             {"replay", "--frobnicate", "h.dat.json"}}) {
    const ExplorerRun run = e2e::run_explorer_in(directory, arguments);
    EXPECT_EQ(run.exit_status, 2) << arguments.back();
    EXPECT_FALSE(e2e::file_exists(directory.file("out.dat")));
  }
}

TEST(SidecarAndReplay, TheDialogueWritesASidecarForEveryRecording) {
  TemporaryDirectory directory;
  // Two noisy recordings of the quadratic map, then one diverging; the second recording's
  // noise continues the sequence of the seed, and its sidecar says where it started.
  const std::string input = "1\n1.5\n0.2\ny\n100\n500\ny\n0.01\ny\nn\ny\n0.01\nn\ny\n3.0\n0.5\nn\nn\nn\nn\nn\n";
  const ExplorerRun dialogue = e2e::run_explorer_in(
      directory, {"--terminal", "--seed", "42", "--provenance", "one.dat", "two.dat", "three.dat"}, input);
  ASSERT_FALSE(dialogue.timed_out);
  EXPECT_EQ(dialogue.exit_status, 0) << dialogue.err;
  const Json one = sidecar(directory, "one.dat.json");
  const Json two = sidecar(directory, "two.dat.json");
  const Json three = sidecar(directory, "three.dat.json");
  EXPECT_EQ(one["seed"], 42);
  ASSERT_TRUE(two["seed"].is_number_integer());
  EXPECT_NE(two["seed"], 42);
  EXPECT_EQ(three["parameters"]["lambda"], 3.0);
  EXPECT_EQ(three["values_written"], 0);
  EXPECT_EQ(three["divergent_point"], -94);  // x0 is point -99 (Ntrans 100); the fifth step passes 1000
  EXPECT_TRUE(three["noise"].is_null());
  for (const char* name : {"one.dat.json", "two.dat.json", "three.dat.json"}) {
    const ExplorerRun checked = e2e::run_explorer_in(directory, {"replay", "--check", name});
    EXPECT_EQ(checked.exit_status, 0) << name << ": " << checked.err;
  }
  // The recording made by record from the second sidecar's settings is the same file.
  const ExplorerRun recorded = e2e::run_explorer_in(
      directory, {"record", "--map", "1", "--param", "lambda=1.5", "--initial", "0.2", "--transient", "100", "--length",
                  "500", "--noise", "0.01", "--seed", std::to_string(two["seed"].get<int>()), "two-again.dat"});
  EXPECT_EQ(recorded.exit_status, 0) << recorded.err;
  EXPECT_EQ(e2e::read_file(directory.file("two-again.dat")), e2e::read_file(directory.file("two.dat")));
}

TEST(SidecarAndReplay, NonFiniteParametersAndLateDivergenceAreReplayed) {
  TemporaryDirectory directory;
  // lambda = nan: every value after x0 is NaN (written as text), nothing diverges.
  const ExplorerRun nan_run =
      e2e::run_explorer_in(directory, {"record", "--map", "1", "--param", "lambda=nan", "--initial", "0.5",
                                       "--transient", "0", "--length", "5", "--provenance", "nan.dat"});
  EXPECT_EQ(nan_run.exit_status, 0) << nan_run.err;
  EXPECT_EQ(sidecar(directory, "nan.dat.json")["parameters"]["lambda"], "nan");
  EXPECT_EQ(e2e::run_explorer_in(directory, {"replay", "--check", "nan.dat.json"}).exit_status, 0);
  const ExplorerRun late = e2e::run_explorer_in(
      directory, {"record", "--map", "5", "--param", "A=10.0", "--param", "d=0.0", "--param", "N=1.0", "--param",
                  "beta=0.0", "--initial", "0.0", "--transient", "0", "--length", "300", "--provenance", "late.dat"});
  EXPECT_EQ(late.exit_status, 3);
  const Json json = sidecar(directory, "late.dat.json");
  EXPECT_EQ(json["divergent_point"], json["values_written"]);  // the divergent point is the last record
  const ExplorerRun replayed = e2e::run_explorer_in(directory, {"replay", "--check", "late.dat.json"});
  EXPECT_EQ(replayed.exit_status, 0) << replayed.err;
  EXPECT_NE(replayed.err.find("The trajectory goes to infinity"), std::string::npos);
}

TEST(SidecarAndReplay, ASidecarThatCannotBeWrittenIsReported) {
  TemporaryDirectory directory;
  ASSERT_EQ(::mkdir(directory.file("blocked.dat.json").c_str(), 0755), 0);
  const ExplorerRun run = e2e::run_explorer_in(directory, henon_with({"--provenance", "blocked.dat"}));
  EXPECT_EQ(run.exit_status, 4);
  EXPECT_NE(run.err.find("blocked.dat.json"), std::string::npos) << run.err;
  EXPECT_EQ(e2e::split_lines(e2e::read_file(directory.file("blocked.dat"))).size(), 3000u);
}

}  // namespace
