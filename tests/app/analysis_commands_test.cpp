// The command lines of lyapunov and bifurcation: good lines give the settings with their
// defaults, bad ones a one-line error that names the option; the exponents' text; the points
// file, whose failures are reported rather than lost; and the Analysis menu's settings,
// which start from the last recording and are checked before a run starts.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/analysis_menu.h"
#include "app/bifurcation_command.h"
#include "app/last_recording.h"
#include "app/lyapunov_command.h"
#include "app/points_file.h"

namespace app {
namespace {

struct BadCase {
  std::vector<std::string> arguments;
  const char* error;  // a part of the one-line error
};

TEST(LyapunovArguments, GoodLinesAndDefaults) {
  OrbitSettings orbit;
  bool help = false;
  std::string error;
  const std::vector<std::string> henon = {"--map",   "henon", "--param",   "a=1.4",
                                          "--param", "b=0.3", "--initial", "0.1,-0.2"};
  ASSERT_TRUE(read_lyapunov_arguments(henon, orbit, help, error)) << error;
  EXPECT_FALSE(help);
  EXPECT_EQ(orbit.map_number, 2);
  EXPECT_EQ(orbit.parameters.p1, 1.4);
  EXPECT_EQ(orbit.parameters.p2, 0.3);
  EXPECT_EQ(orbit.initial[0], 0.1);
  EXPECT_EQ(orbit.initial[1], -0.2);
  EXPECT_EQ(orbit.n_transient, 1000);
  EXPECT_EQ(orbit.length, kDefaultLyapunovLength);

  const std::vector<std::string> short_run = {"--map", "1",           "--param", "lambda=2", "--initial",
                                              "0.3",   "--transient", "0",       "--length", "2"};
  ASSERT_TRUE(read_lyapunov_arguments(short_run, orbit, help, error)) << error;
  EXPECT_EQ(orbit.n_transient, 0);
  EXPECT_EQ(orbit.length, 2);

  ASSERT_TRUE(read_lyapunov_arguments(std::vector<std::string>{"--help"}, orbit, help, error));
  EXPECT_TRUE(help);
}

TEST(LyapunovArguments, BadLinesNameTheirOption) {
  const std::vector<std::string> good = {"--map", "1", "--param", "lambda=2", "--initial", "0.3"};
  const auto with = [&good](std::vector<std::string> more) {
    std::vector<std::string> arguments = good;
    arguments.insert(arguments.end(), more.begin(), more.end());
    return arguments;
  };
  const std::vector<BadCase> cases = {
      {{"--param", "lambda=2", "--initial", "0.3"}, "missing --map"},
      {{"--map", "1", "--initial", "0.3"}, "missing --param lambda=VALUE"},
      {{"--map", "1", "--param", "lambda=2"}, "missing --initial"},
      {with({"--length", "1"}), "--length must be a whole number from 2 to 999999"},
      {with({"--length", "1000000"}), "--length"},
      {with({"--transient", "-1"}), "--transient"},
      {with({"--variable", "1"}), "unknown option --variable"},
      {with({"--picture", "x.png"}), "unknown option --picture"},
      {with({"out.dat"}), "no operand is taken: out.dat"},
  };
  for (const BadCase& c : cases) {
    SCOPED_TRACE(c.error);
    OrbitSettings orbit;
    bool help = false;
    std::string error;
    EXPECT_FALSE(read_lyapunov_arguments(c.arguments, orbit, help, error));
    EXPECT_NE(error.find(c.error), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
  }
}

TEST(LyapunovText, OneExponentPerLineAndFailuresInWords) {
  LyapunovSpectrum spectrum;
  spectrum.exponents = {0.41921234567891, -1.6232, -std::numeric_limits<double>::infinity()};
  EXPECT_EQ(exponent_lines(spectrum), "0.4192123457\n-1.6232000000\n-inf\n");
  EXPECT_EQ(orbit_failure_text(spectrum), "");

  LyapunovSpectrum divergent;
  divergent.outcome = OrbitOutcome::Divergent;
  divergent.failed_at_step = 5;
  EXPECT_NE(orbit_failure_text(divergent).find("goes to infinity"), std::string::npos);
  EXPECT_NE(orbit_failure_text(divergent).find("after 5 iterations"), std::string::npos);
  LyapunovSpectrum not_a_number;
  not_a_number.outcome = OrbitOutcome::NotANumber;
  not_a_number.failed_at_step = 1;
  EXPECT_NE(orbit_failure_text(not_a_number).find("NaN (not a number) after 1 iteration:"), std::string::npos);
}

std::vector<std::string> quadratic_diagram(std::vector<std::string> more) {
  std::vector<std::string> arguments = {"--map", "quadratic", "--vary", "lambda=0:2", "--initial", "0.1"};
  arguments.insert(arguments.end(), more.begin(), more.end());
  return arguments;
}

TEST(BifurcationArguments, GoodLinesAndDefaults) {
  BifurcationJob job;
  bool help = false;
  std::string error;
  ASSERT_TRUE(read_bifurcation_arguments(quadratic_diagram({"--picture", "q.PNG"}), job, help, error)) << error;
  EXPECT_EQ(job.settings.map_number, 1);
  EXPECT_EQ(job.settings.vary_slot, 1);
  EXPECT_EQ(job.settings.from, 0.0);
  EXPECT_EQ(job.settings.to, 2.0);
  EXPECT_EQ(job.settings.steps, 800);
  EXPECT_EQ(job.settings.points, 200);
  EXPECT_EQ(job.settings.n_transient, 1000);
  EXPECT_EQ(job.settings.variable, 1);
  EXPECT_EQ(job.settings.initial[0], 0.1);
  EXPECT_EQ(job.width, 800);
  EXPECT_EQ(job.height, 600);
  ASSERT_TRUE(job.picture);
  EXPECT_EQ(job.picture->path, "q.PNG");
  EXPECT_EQ(job.picture->format, console::PictureFormat::Png);
  EXPECT_FALSE(job.data_path);

  const std::vector<std::string> henon = {"--map",     "2",       "--vary",      "b=0.4:-0.25", "--param", "a=1.4",
                                          "--initial", "0.1,0.1", "--variable",  "2",           "--steps", "1",
                                          "--points",  "999999",  "--transient", "0",           "--data",  "-"};
  ASSERT_TRUE(read_bifurcation_arguments(henon, job, help, error)) << error;
  EXPECT_EQ(job.settings.vary_slot, 2);
  EXPECT_EQ(job.settings.parameters.p1, 1.4);
  EXPECT_EQ(job.settings.from, 0.4);
  EXPECT_EQ(job.settings.to, -0.25);
  EXPECT_EQ(job.settings.steps, 1);
  EXPECT_EQ(job.settings.points, 999999);
  EXPECT_EQ(job.settings.n_transient, 0);
  EXPECT_EQ(job.settings.variable, 2);
  EXPECT_FALSE(job.picture);
  EXPECT_EQ(job.data_path, "-");

  ASSERT_TRUE(
      read_bifurcation_arguments(quadratic_diagram({"--picture", "q.bmp", "--size", "200x8000"}), job, help, error))
      << error;
  EXPECT_EQ(job.picture->format, console::PictureFormat::Bitmap);
  EXPECT_EQ(job.width, 200);
  EXPECT_EQ(job.height, 8000);
}

TEST(BifurcationArguments, BadLinesNameTheirOption) {
  const std::vector<BadCase> cases = {
      {{"--map", "1", "--initial", "0.1", "--picture", "q.png"}, "missing --vary NAME=FROM:TO"},
      {quadratic_diagram({}), "missing --picture FILE or --data FILE"},
      {{"--map", "1", "--vary", "lambda", "--initial", "0.1", "--picture", "q.png"}, "--vary must be NAME=FROM:TO"},
      {{"--map", "1", "--vary", "lambda=0", "--initial", "0.1", "--picture", "q.png"}, "--vary must be NAME=FROM:TO"},
      {{"--map", "1", "--vary", "k=0:1", "--initial", "0.1", "--picture", "q.png"}, "--vary: the quadratic map has no"},
      {{"--map", "1", "--vary", "lambda=0:x", "--initial", "0.1", "--picture", "q.png"}, "--vary: FROM and TO"},
      {{"--map", "1", "--vary", "lambda=0:inf", "--initial", "0.1", "--picture", "q.png"}, "--vary: FROM and TO"},
      {{"--map", "1", "--vary", "lambda=nan:1", "--initial", "0.1", "--picture", "q.png"}, "--vary: FROM and TO"},
      {{"--map", "1", "--vary", "lambda=0:2", "--param", "lambda=1", "--initial", "0.1", "--picture", "q.png"},
       "--param lambda is the parameter --vary varies"},
      {{"--map", "2", "--vary", "a=0:1.4", "--initial", "0.1,0.1", "--picture", "q.png"}, "missing --param b=VALUE"},
      {quadratic_diagram({"--picture", "q.png", "--steps", "0"}), "--steps must be a whole number from 1 to 999999"},
      {quadratic_diagram({"--picture", "q.png", "--steps", "1000000"}), "--steps"},
      {quadratic_diagram({"--picture", "q.png", "--points", "0"}), "--points must be a whole number from 1"},
      {quadratic_diagram({"--picture", "q.png", "--points", "2.5"}), "--points"},
      {quadratic_diagram({"--picture", "q.png", "--length", "100"}), "unknown option --length"},
      {quadratic_diagram({"--picture", "q.png", "--variable", "2"}), "--variable"},
      {quadratic_diagram({"--picture", "q.png", "--transient", "1000000"}), "--transient"},
      {quadratic_diagram({"--picture", "q.gif"}), "--picture must name a .png or .bmp file"},
      {quadratic_diagram({"--picture", "q.png", "--data", "q.png"}), "--data names the file --picture writes"},
      {quadratic_diagram({"--data", " "}), "--data must not be blank"},
      {quadratic_diagram({"--data", "q.txt", "--size", "800x600"}), "--size is the size of the picture"},
      {quadratic_diagram({"--picture", "q.png", "--size", "800"}), "--size must be WxH"},
      {quadratic_diagram({"--picture", "q.png", "--size", "199x600"}), "--size must be WxH"},
      {quadratic_diagram({"--picture", "q.png", "--size", "800x149"}), "--size"},
      {quadratic_diagram({"--picture", "q.png", "--size", "8001x600"}), "--size"},
      {quadratic_diagram({"--picture", "q.png", "--size", "800X600"}), "--size"},
      {quadratic_diagram({"--picture", "q.png", "q.dat"}), "no operand is taken: q.dat"},
  };
  for (const BadCase& c : cases) {
    SCOPED_TRACE(c.error);
    BifurcationJob job;
    bool help = false;
    std::string error;
    EXPECT_FALSE(read_bifurcation_arguments(c.arguments, job, help, error));
    EXPECT_NE(error.find(c.error), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
  }
}

TEST(PictureFormat, TheExtensionInAnyCase) {
  using console::PictureFormat;
  const std::pair<const char*, std::optional<PictureFormat>> cases[] = {
      {"a.png", PictureFormat::Png},
      {"a.PNG", PictureFormat::Png},
      {"dir.bmp/a.Png", PictureFormat::Png},
      {"a.bmp", PictureFormat::Bitmap},
      {"a.BMP", PictureFormat::Bitmap},
      {"a.gif", std::nullopt},
      {"png", std::nullopt},
      {"a.png.txt", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& [path, format] : cases) EXPECT_EQ(picture_format_of(path), format) << path;
}

std::string file_text(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(PointsFile, WritesTwoColumnsAndReportsEveryFailure) {
  const std::string path = testing::TempDir() + "points_file_test.txt";
  {
    PointsFile points;
    std::string error;
    ASSERT_TRUE(points.open(path, error)) << error;
    points.write(0.6, 0.41886116991581);
    points.write(2.0, -1.0);
    ASSERT_TRUE(points.close(error)) << error;
  }
  EXPECT_EQ(file_text(path), "0.6 0.418861169916\n2 -1\n");
  std::remove(path.c_str());

  PointsFile missing_directory;
  std::string error;
  EXPECT_FALSE(missing_directory.open(testing::TempDir() + "no/such/directory/points.txt", error));
  EXPECT_NE(error.find("no/such/directory/points.txt"), std::string::npos) << error;
  EXPECT_EQ(error.find('\n'), std::string::npos) << error;

  // A device that takes no byte: the writes fail, and close says so.
  PointsFile full;
  ASSERT_TRUE(full.open("/dev/full", error)) << error;
  for (int i = 0; i < 10000; ++i) full.write(i, i);
  EXPECT_FALSE(full.close(error));
  EXPECT_NE(error.find("cannot write the points to /dev/full"), std::string::npos) << error;
}

// ---- the Analysis menu's settings ----

TEST(AnalysisMenuSettings, StartFromTheLastRecording) {
  EXPECT_FALSE(last_recording());
  const gui::AnalysisSettings before = starting_settings(std::nullopt);
  EXPECT_EQ(before.map, 0);
  EXPECT_EQ(before.parameters, std::vector<double>{1.9});
  EXPECT_EQ(before.initial, std::vector<double>{0.1});
  EXPECT_EQ(before.from, 0.0);
  EXPECT_EQ(before.to, 2.0);
  EXPECT_EQ(before.length, kDefaultLyapunovLength);
  EXPECT_EQ(before.steps, kDefaultDiagramSteps);
  EXPECT_EQ(before.points, kDefaultDiagramPoints);
  EXPECT_EQ(before.width, 800);
  EXPECT_EQ(before.height, 600);

  DialogueState state;
  state.map_number = 2;
  state.nvar = 2;
  state.parameters = {1.5, 0.3, 7.0, 7.0};
  state.x0.allocate(2);
  state.x0[0] = 0.2;
  state.x0[1] = -0.1;
  state.n_transient = 50;
  state.n_series = 300;
  state.record_variable = 2;
  publish_last_recording(state);
  const std::optional<RecordingSettings> recording = last_recording();
  ASSERT_TRUE(recording);
  EXPECT_EQ(recording->map_number, 2);
  EXPECT_EQ(recording->length, 300);

  const gui::AnalysisSettings after = starting_settings(recording);
  EXPECT_EQ(after.map, 1);
  EXPECT_EQ(after.parameters, (std::vector<double>{1.5, 0.3}));
  EXPECT_EQ(after.initial, (std::vector<double>{0.2, -0.1}));
  EXPECT_EQ(after.transient, 50);
  EXPECT_EQ(after.variable, 2);
  // The example's range of a, widened to take in the recording's a = 1.5.
  EXPECT_EQ(after.varied, 0);
  EXPECT_EQ(after.from, 0.0);
  EXPECT_EQ(after.to, 1.5);
}

TEST(AnalysisMenuSettings, SettingsOutOfRangeAreRefusedWithTheReason) {
  gui::AnalysisSettings good = starting_settings(std::nullopt);
  struct Case {
    const char* label;
    void (*spoil)(gui::AnalysisSettings&);
    const char* reason;  // null: accepted
  };
  const Case cases[] = {
      {"as it starts", [](gui::AnalysisSettings&) {}, nullptr},
      {"map 6", [](gui::AnalysisSettings& s) { s.map = 5; }, "do not fit"},
      {"two parameters for one",
       [](gui::AnalysisSettings& s) {
         s.parameters = {1.0, 2.0};
       },
       "do not fit"},
      {"no initial state", [](gui::AnalysisSettings& s) { s.initial.clear(); }, "do not fit"},
      {"transient", [](gui::AnalysisSettings& s) { s.transient = -1; }, "transient"},
      {"infinite range", [](gui::AnalysisSettings& s) { s.to = std::numeric_limits<double>::infinity(); },
       "From and To"},
      {"NaN range", [](gui::AnalysisSettings& s) { s.from = std::numeric_limits<double>::quiet_NaN(); }, "From and To"},
      {"no steps", [](gui::AnalysisSettings& s) { s.steps = 0; }, "parameter values"},
      {"too many points", [](gui::AnalysisSettings& s) { s.points = 1000000; }, "parameter values"},
      {"variable 2 of one", [](gui::AnalysisSettings& s) { s.variable = 2; }, "variable"},
      {"varied parameter 2 of one", [](gui::AnalysisSettings& s) { s.varied = 1; }, "parameter to vary"},
      {"narrow picture", [](gui::AnalysisSettings& s) { s.width = 100; }, "picture"},
      {"tall picture", [](gui::AnalysisSettings& s) { s.height = 9000; }, "picture"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    gui::AnalysisSettings settings = good;
    c.spoil(settings);
    BifurcationSettings diagram;
    std::string error;
    const bool accepted = diagram_settings_of(settings, diagram, error);
    if (c.reason == nullptr) {
      ASSERT_TRUE(accepted) << error;
      EXPECT_EQ(diagram.map_number, 1);
      EXPECT_EQ(diagram.vary_slot, 1);
      EXPECT_EQ(diagram.to, 2.0);
      EXPECT_EQ(diagram.initial[0], 0.1);
      continue;
    }
    EXPECT_FALSE(accepted);
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
  }

  OrbitSettings orbit;
  std::string error;
  ASSERT_TRUE(spectrum_settings_of(good, orbit, error)) << error;
  EXPECT_EQ(orbit.map_number, 1);
  EXPECT_EQ(orbit.parameters.p1, 1.9);
  EXPECT_EQ(orbit.length, kDefaultLyapunovLength);
  good.length = 1;
  EXPECT_FALSE(spectrum_settings_of(good, orbit, error));
  EXPECT_NE(error.find("iterations measured"), std::string::npos) << error;
}

}  // namespace
}  // namespace app
