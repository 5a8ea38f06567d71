// mapexplorer record from outside: the series file is the dialogue's byte for byte for every
// map (with and without noise, with a seed), bad options are usage errors that touch no file,
// divergence is reported as the dialogue reports it, and the picture is the dialogue's plot.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "explorer_process.h"
#include "series_oracle.h"

namespace {

using e2e::ExplorerRun;
using e2e::TemporaryDirectory;

// One recording's settings, as record options and as the dialogue's answers.
struct Settings {
  const char* label;
  int map;
  std::vector<std::pair<std::string, std::string>> parameters;  // name, value as typed
  std::vector<std::string> initial;
  int variable;  // 0: a one-variable map (question 4 is not asked)
  std::string transient;
  std::string length;
  std::string noise;  // empty: no noise
};

std::vector<std::string> record_arguments(const Settings& s, const std::string& file) {
  std::vector<std::string> arguments = {"record", "--map", std::to_string(s.map)};
  for (const auto& [name, value] : s.parameters) arguments.insert(arguments.end(), {"--param", name + "=" + value});
  std::string initial;
  for (const std::string& v : s.initial) initial += (initial.empty() ? "" : ",") + v;
  arguments.insert(arguments.end(), {"--initial", initial, "--transient", s.transient, "--length", s.length});
  if (s.variable != 0) arguments.insert(arguments.end(), {"--variable", std::to_string(s.variable)});
  if (!s.noise.empty()) arguments.insert(arguments.end(), {"--noise", s.noise});
  arguments.push_back(file);
  return arguments;
}

std::string dialogue_answers(const Settings& s) {
  std::string answers = std::to_string(s.map) + "\n";
  for (const auto& parameter : s.parameters) answers += parameter.second + "\n";
  for (const std::string& v : s.initial) answers += v + "\n";
  if (s.variable != 0) answers += std::to_string(s.variable) + "\n";
  answers += "y\n" + s.transient + "\n" + s.length + "\n";
  answers += s.noise.empty() ? "n\n" : "y\n" + s.noise + "\n";
  return answers + "n\nn\nn\n";
}

const std::vector<Settings> kEveryMap = {
    {"quadratic", 1, {{"lambda", "1.9"}}, {"0.3"}, 0, "100", "500", ""},
    {"henon", 2, {{"a", "1.4"}, {"b", "0.3"}}, {"0.1", "0.1"}, 2, "1000", "400", ""},
    {"dissipative", 3, {{"lambda", "1.8"}, {"k", "0.05"}}, {"0.2", "0.3"}, 1, "50", "300", ""},
    {"linear", 4, {{"lambda", "1.6"}, {"k", "0.05"}}, {"0.1", "-0.2"}, 2, "0", "250", ""},
    {"rl-diode", 5, {{"A", "0.5"}, {"d", "0.3"}, {"N", "2.0"}, {"beta", "0.5"}}, {"0.1"}, 0, "10", "300", ""},
};

TEST(Record, EveryMapWritesTheDialoguesFileWithAndWithoutNoise) {
  for (Settings settings : kEveryMap) {
    for (const char* noise : {"", "0.05"}) {
      settings.noise = noise;
      SCOPED_TRACE(std::string(settings.label) + (*noise != '\0' ? " with noise" : ""));
      TemporaryDirectory directory;
      std::vector<std::string> arguments = record_arguments(settings, "record.dat");
      arguments.insert(arguments.end() - 1, {"--seed", "1234"});
      const ExplorerRun recorded = e2e::run_explorer_in(directory, arguments);
      ASSERT_FALSE(recorded.timed_out);
      EXPECT_EQ(recorded.exit_status, 0) << recorded.err;
      EXPECT_TRUE(recorded.out.empty()) << recorded.out;
      EXPECT_TRUE(recorded.err.empty()) << recorded.err;
      const ExplorerRun dialogue =
          e2e::run_explorer_in(directory, {"--terminal", "--seed", "1234", "dialogue.dat"}, dialogue_answers(settings));
      ASSERT_FALSE(dialogue.timed_out);
      EXPECT_EQ(dialogue.exit_status, 0) << dialogue.err;
      const std::string file = e2e::read_file(directory.file("record.dat"));
      EXPECT_EQ(e2e::split_lines(file).size(), static_cast<std::size_t>(std::stoi(settings.length)));
      EXPECT_EQ(file, e2e::read_file(directory.file("dialogue.dat")));
    }
  }
}

TEST(Record, BadOptionsAreUsageErrorsThatTouchNoFile) {
  struct Case {
    std::vector<std::string> arguments;  // after "record"
    const char* named;                   // what the message must name
  };
  const std::vector<std::string> good = {"--map", "1", "--param", "lambda=1.9", "--initial", "0.3"};
  auto with = [&good](std::vector<std::string> more) {
    std::vector<std::string> arguments = good;
    arguments.insert(arguments.end(), more.begin(), more.end());
    return arguments;
  };
  const std::vector<Case> cases = {
      {{"--param", "lambda=1.9", "--initial", "0.3", "out.dat"}, "--map"},
      {{"--map", "7", "--param", "lambda=1.9", "--initial", "0.3", "out.dat"}, "--map"},
      {{"--map", "1", "--initial", "0.3", "out.dat"}, "--param"},
      {{"--map", "1", "--param", "k=1", "--initial", "0.3", "out.dat"}, "--param"},
      {{"--map", "1", "--param", "lambda=x", "--initial", "0.3", "out.dat"}, "--param"},
      {{"--map", "1", "--param", "lambda=1.9", "out.dat"}, "--initial"},
      {{"--map", "henon", "--param", "a=1.4", "--param", "b=0.3", "--initial", "0.1", "out.dat"}, "--initial"},
      {with({"--transient", "-1", "out.dat"}), "--transient"},
      {with({"--length", "1", "out.dat"}), "--length"},
      {with({"--length", "1000000", "out.dat"}), "--length"},
      {with({"--variable", "2", "out.dat"}), "--variable"},
      {with({"--noise", "0", "out.dat"}), "--noise"},
      {with({"--noise", "-0.1", "out.dat"}), "--noise"},
      {with({"--seed", "0", "out.dat"}), "--seed"},
      {with({"--seed", "2147483647", "--noise", "0.1", "out.dat"}), "--seed"},
      {with({"--picture", "out.gif", "out.dat"}), "--picture"},
      {with({"--picture", "out.dat", "out.dat"}), "--picture"},
      {with({"--provenance", "--picture", "out.dat.json", "out.dat"}), "--picture"},
      {with({"--length", "10", "--length", "20", "out.dat"}), "--length"},
      {with({"--frobnicate", "out.dat"}), "--frobnicate"},
      {with({"--length"}), "--length"},
      {with({}), "FILE"},
      {with({"out.dat", "other.dat"}), "FILE"},
      {with({" ", "--picture", "out.png"}), "FILE"},
  };
  for (const Case& c : cases) {
    std::string label;
    for (const std::string& a : c.arguments) label += a + " ";
    SCOPED_TRACE(label);
    TemporaryDirectory directory;
    for (const char* name : {"out.dat", "out.dat.json", "out.png", "out.gif"}) {
      e2e::write_file(directory.file(name), std::string("kept ") + name);
    }
    std::vector<std::string> arguments = {"record"};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    const ExplorerRun run = e2e::run_explorer_in(directory, arguments);
    ASSERT_FALSE(run.timed_out);
    EXPECT_EQ(run.exit_status, 2);
    EXPECT_TRUE(run.out.empty()) << run.out;
    ASSERT_EQ(e2e::split_lines(run.err).size(), 1u) << run.err;
    EXPECT_EQ(run.err.rfind("mapexplorer record: ", 0), 0u) << run.err;
    EXPECT_NE(run.err.find(c.named), std::string::npos) << run.err;
    for (const char* name : {"out.dat", "out.dat.json", "out.png", "out.gif"}) {
      EXPECT_EQ(e2e::read_file(directory.file(name)), std::string("kept ") + name) << name;
    }
  }
}

TEST(Record, DivergenceIsReportedAndLeavesTheFileAsTheDialogueDoes) {
  struct Case {
    const char* label;
    std::vector<std::string> arguments;  // the settings, before the file
    std::string answers;                 // the same in the dialogue
  };
  const std::vector<Case> cases = {
      // Diverges in the transient: no record written, an existing file keeps its contents.
      {"early", {"--map", "1", "--param", "lambda=3.0", "--initial", "0.5"}, "1\n3.0\n0.5\nn\nn\nn\nn\nn\n"},
      // x' = 10 + x cos(C): grows past 1000 after the buffered points.
      {"late",
       {"--map", "5", "--param", "A=10.0", "--param", "d=0.0", "--param", "N=1.0", "--param", "beta=0.0", "--initial",
        "0.0", "--transient", "0", "--length", "300"},
       "5\n10.0\n0.0\n1.0\n0.0\n0.0\ny\n0\n300\nn\nn\nn\nn\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    TemporaryDirectory directory;
    for (const char* name : {"record.dat", "dialogue.dat"}) e2e::write_file(directory.file(name), "previous\n");
    std::vector<std::string> arguments = {"record"};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    arguments.push_back("record.dat");
    const ExplorerRun recorded = e2e::run_explorer_in(directory, arguments);
    ASSERT_FALSE(recorded.timed_out);
    EXPECT_EQ(recorded.exit_status, 3);
    EXPECT_EQ(recorded.err, "The trajectory goes to infinity\n");
    const ExplorerRun dialogue = e2e::run_explorer_in(directory, {"--terminal", "dialogue.dat"}, c.answers);
    EXPECT_EQ(dialogue.exit_status, 0) << dialogue.err;
    EXPECT_NE(dialogue.out.find("The trajectory goes to infinity\n"), std::string::npos);
    EXPECT_EQ(e2e::read_file(directory.file("record.dat")), e2e::read_file(directory.file("dialogue.dat")));
  }
}

// The values go to the file in batches of several hundred per statement: lengths on either
// side of a batch's end, and a divergence far past the buffered points, give the records of
// the independent model, none lost or repeated at a batch's end.
TEST(Record, LengthsAcrossTheWriteBatchesGiveEveryRecordOnce) {
  struct Case {
    std::vector<std::string> arguments;  // the settings, before the file
    e2e::SeriesRequest request;
    int exit_status;
  };
  const auto henon = [](int length) {
    return Case{{"--map", "2", "--param", "a=1.4", "--param", "b=0.3", "--initial", "0.1,0.1", "--variable", "1",
                 "--transient", "10", "--length", std::to_string(length)},
                {2, {1.4, 0.3, 0, 0}, {0.1, 0.1}, 1, 10, length},
                0};
  };
  // x' = 1.5 + x: the first divergent point (past 1000) is record 668.
  const Case divergent{{"--map", "5", "--param", "A=1.5", "--param", "d=0.0", "--param", "N=1.0", "--param", "beta=0.0",
                        "--initial", "0.0", "--transient", "0", "--length", "2000"},
                       {5, {1.5, 0, 1, 0}, {0}, 1, 0, 2000},
                       3};
  for (const Case& c : {henon(2), henon(511), henon(512), henon(513), henon(1025), divergent}) {
    SCOPED_TRACE(c.arguments[c.arguments.size() - 1]);
    TemporaryDirectory directory;
    std::vector<std::string> arguments = {"record"};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    arguments.push_back("series.dat");
    const ExplorerRun recorded = e2e::run_explorer_in(directory, arguments);
    ASSERT_FALSE(recorded.timed_out);
    EXPECT_EQ(recorded.exit_status, c.exit_status) << recorded.err;
    EXPECT_EQ(e2e::read_file(directory.file("series.dat")), e2e::expected_series_file(c.request));
  }
}

TEST(Record, ThePictureIsTheDialoguesPlotAndNoWindowIsShown) {
  TemporaryDirectory directory;
  const Settings& henon = kEveryMap[1];
  std::vector<std::string> arguments = record_arguments(henon, "henon.dat");
  arguments.insert(arguments.end() - 1, {"--picture", "henon.bmp"});
  e2e::ExplorerOptions options;
  options.arguments = arguments;
  options.working_directory = directory.path();
  // A display that does not exist: a command that tried to show a window would fail.
  options.environment = {{"DISPLAY", ":98765"}};
  const ExplorerRun recorded = e2e::run_explorer(options);
  ASSERT_FALSE(recorded.timed_out);
  EXPECT_EQ(recorded.exit_status, 0) << recorded.err;
  EXPECT_TRUE(recorded.err.empty()) << recorded.err;

  arguments.back() = "henon-png.dat";
  arguments[arguments.size() - 2] = "henon.png";
  const ExplorerRun png = e2e::run_explorer_in(directory, arguments);
  EXPECT_EQ(png.exit_status, 0) << png.err;
  EXPECT_EQ(e2e::read_file(directory.file("henon.png")).rfind("\x89PNG\r\n\x1a\n", 0), 0u);

  const ExplorerRun dialogue = e2e::run_explorer_in(
      directory, {"--terminal", "--save-pictures", "pictures", "dialogue.dat"}, dialogue_answers(henon));
  EXPECT_EQ(dialogue.exit_status, 0) << dialogue.err;
  const std::string picture = e2e::read_file(directory.file("henon.bmp"));
  EXPECT_GT(picture.size(), 54u);
  EXPECT_EQ(picture, e2e::read_file(directory.file("pictures/Graphics.bmp")));
}

TEST(Record, AFailedPictureIsReportedAfterTheSeries) {
  TemporaryDirectory directory;
  std::vector<std::string> arguments = record_arguments(kEveryMap[0], "series.dat");
  arguments.insert(arguments.end() - 1, {"--picture", "no/such/directory/plot.png"});
  const ExplorerRun run = e2e::run_explorer_in(directory, arguments);
  ASSERT_FALSE(run.timed_out);
  EXPECT_EQ(run.exit_status, 4);
  EXPECT_NE(run.err.find("no/such/directory/plot.png"), std::string::npos) << run.err;
  EXPECT_EQ(e2e::split_lines(e2e::read_file(directory.file("series.dat"))).size(), 500u);
}

TEST(Record, HelpDocumentsEveryOption) {
  TemporaryDirectory directory;
  const ExplorerRun help = e2e::run_explorer_in(directory, {"record", "--help"});
  EXPECT_EQ(help.exit_status, 0);
  for (const char* option : {"--map", "--param", "--initial", "--transient", "--length", "--variable", "--noise",
                             "--seed", "--picture", "--provenance", "Example:", "Exit status"}) {
    EXPECT_NE(help.out.find(option), std::string::npos) << option;
  }
}

}  // namespace
