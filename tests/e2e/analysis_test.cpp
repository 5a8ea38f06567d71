// mapexplorer lyapunov and mapexplorer bifurcation from outside: the known exponents on
// standard output, divergence reported instead of a number, usage errors that touch no file,
// the diagram's points at the quadratic map's fixed point and period-2 orbit, the picture
// read back (its frame and the points in the first and last columns), and files that cannot
// be written reported with status 4.

#include <gtest/gtest.h>

#include <QImage>
#include <QString>

#include <cmath>
#include <numbers>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/diagram_raster.h"
#include "explorer_process.h"

namespace {

using e2e::ExplorerRun;
using e2e::TemporaryDirectory;

std::vector<double> numbers_of(const std::string& text) {
  std::vector<double> numbers;
  for (const std::string& line : e2e::split_lines(text)) numbers.push_back(std::stod(line));
  return numbers;
}

TEST(Lyapunov, KnownExponentsOnePerLine) {
  TemporaryDirectory directory;
  const ExplorerRun quadratic =
      e2e::run_explorer_in(directory, {"lyapunov", "--map", "quadratic", "--param", "lambda=2", "--initial", "0.1"});
  ASSERT_FALSE(quadratic.timed_out);
  EXPECT_EQ(quadratic.exit_status, 0) << quadratic.err;
  EXPECT_TRUE(quadratic.err.empty()) << quadratic.err;
  const std::vector<double> one = numbers_of(quadratic.out);
  ASSERT_EQ(one.size(), 1u) << quadratic.out;
  EXPECT_NEAR(one[0], std::numbers::ln2, 5e-4);

  const ExplorerRun henon = e2e::run_explorer_in(
      directory, {"lyapunov", "--map", "henon", "--param", "a=1.4", "--param", "b=0.3", "--initial", "0.1,0.1"});
  EXPECT_EQ(henon.exit_status, 0) << henon.err;
  const std::vector<double> two = numbers_of(henon.out);
  ASSERT_EQ(two.size(), 2u) << henon.out;
  EXPECT_NEAR(two[0], 0.4192, 5e-4);
  EXPECT_NEAR(two[1], -1.6232, 5e-4);
  EXPECT_NEAR(two[0] + two[1], std::log(0.3), 1e-9);
}

TEST(Lyapunov, AnOrbitThatLeavesHasNoExponents) {
  struct Case {
    std::vector<std::string> arguments;
    const char* said;
  };
  const std::vector<Case> cases = {
      {{"--map", "1", "--param", "lambda=3", "--initial", "0.5"}, "goes to infinity"},
      {{"--map", "rl-diode", "--param", "A=0.5", "--param", "d=0.3", "--param", "N=0", "--param", "beta=0", "--initial",
        "0.2"},
       "NaN"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.said);
    TemporaryDirectory directory;
    std::vector<std::string> arguments = {"lyapunov"};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    const ExplorerRun run = e2e::run_explorer_in(directory, arguments);
    EXPECT_EQ(run.exit_status, 3);
    EXPECT_TRUE(run.out.empty()) << run.out;
    ASSERT_EQ(e2e::split_lines(run.err).size(), 1u) << run.err;
    EXPECT_EQ(run.err.rfind("mapexplorer lyapunov: ", 0), 0u) << run.err;
    EXPECT_NE(run.err.find(c.said), std::string::npos) << run.err;
  }
}

TEST(AnalysisCommands, BadOptionsAreUsageErrorsThatTouchNoFile) {
  struct Case {
    std::vector<std::string> arguments;
    const char* named;
  };
  const std::vector<std::string> diagram = {"bifurcation", "--map",     "1",       "--vary", "lambda=0:2", "--initial",
                                            "0.1",         "--picture", "out.png", "--data", "out.txt"};
  auto with = [&diagram](std::vector<std::string> more) {
    std::vector<std::string> arguments = diagram;
    arguments.insert(arguments.end(), more.begin(), more.end());
    return arguments;
  };
  const std::vector<Case> cases = {
      {{"lyapunov", "--map", "1", "--initial", "0.3"}, "--param"},
      {{"lyapunov", "--map", "1", "--param", "lambda=2", "--initial", "0.3", "--length", "1"}, "--length"},
      {{"lyapunov", "--frobnicate"}, "--frobnicate"},
      {with({"--steps", "0"}), "--steps"},
      {with({"--points", "-1"}), "--points"},
      {with({"--size", "10x10"}), "--size"},
      {with({"--variable", "2"}), "--variable"},
      {with({"--param", "lambda=1"}), "--vary"},
      {{"bifurcation", "--map", "1", "--vary", "lambda=0:2", "--initial", "0.1"}, "--picture"},
      {{"bifurcation", "--map", "1", "--vary", "mu=0:2", "--initial", "0.1", "--data", "out.txt"}, "--vary"},
      {{"bifurcation", "--map", "1", "--vary", "lambda=0:2", "--initial", "0.1", "--picture", "out.gif"}, "--picture"},
  };
  for (const Case& c : cases) {
    std::string label;
    for (const std::string& a : c.arguments) label += a + " ";
    SCOPED_TRACE(label);
    TemporaryDirectory directory;
    for (const char* name : {"out.png", "out.txt", "out.gif"}) {
      e2e::write_file(directory.file(name), std::string("kept ") + name);
    }
    const ExplorerRun run = e2e::run_explorer_in(directory, c.arguments);
    ASSERT_FALSE(run.timed_out);
    EXPECT_EQ(run.exit_status, 2);
    EXPECT_TRUE(run.out.empty()) << run.out;
    ASSERT_EQ(e2e::split_lines(run.err).size(), 1u) << run.err;
    EXPECT_EQ(run.err.rfind("mapexplorer " + c.arguments.front() + ": ", 0), 0u) << run.err;
    EXPECT_NE(run.err.find(c.named), std::string::npos) << run.err;
    for (const char* name : {"out.png", "out.txt", "out.gif"}) {
      EXPECT_EQ(e2e::read_file(directory.file(name)), std::string("kept ") + name) << name;
    }
  }
}

struct Point {
  double parameter;
  double value;
};

std::vector<Point> points_of(const std::string& text) {
  std::vector<Point> points;
  for (const std::string& line : e2e::split_lines(text)) {
    std::istringstream fields(line);
    Point point{};
    fields >> point.parameter >> point.value;
    EXPECT_TRUE(fields && fields.eof()) << line;
    points.push_back(point);
  }
  return points;
}

// The quadratic map at lambda = 0.6 (a fixed point) and 1.0 (a period-2 orbit).
const std::vector<std::string> kFixedPointAndPeriodTwo = {
    "bifurcation", "--map", "quadratic", "--vary", "lambda=0.6:1.0", "--steps", "2", "--initial", "0.1"};

TEST(Bifurcation, PointsOnTheFixedPointAndThePeriodTwoOrbit) {
  TemporaryDirectory directory;
  std::vector<std::string> arguments = kFixedPointAndPeriodTwo;
  arguments.insert(arguments.end(), {"--data", "points.txt"});
  const ExplorerRun run = e2e::run_explorer_in(directory, arguments);
  ASSERT_FALSE(run.timed_out);
  EXPECT_EQ(run.exit_status, 0) << run.err;
  EXPECT_TRUE(run.err.empty()) << run.err;
  const std::vector<Point> points = points_of(e2e::read_file(directory.file("points.txt")));
  ASSERT_EQ(points.size(), 400u);
  const double fixed = (-1.0 + std::sqrt(1.0 + 4.0 * 0.6)) / 2.0;
  std::set<double> period_two;
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (i < 200) {
      EXPECT_EQ(points[i].parameter, 0.6);
      EXPECT_NEAR(points[i].value, fixed, 1e-9);
    } else {
      EXPECT_EQ(points[i].parameter, 1.0);
      period_two.insert(std::round(points[i].value * 1e9) / 1e9);
    }
  }
  EXPECT_EQ(period_two, (std::set<double>{0.0, 1.0}));

  // "-" writes the same points to standard output.
  arguments.back() = "-";
  const ExplorerRun piped = e2e::run_explorer_in(directory, arguments);
  EXPECT_EQ(piped.exit_status, 0) << piped.err;
  EXPECT_EQ(piped.out, e2e::read_file(directory.file("points.txt")));
}

// The black pixels strictly inside the frame in one column of the picture.
int black_inside(const QImage& picture, const app::DiagramLayout& layout, int x) {
  int count = 0;
  for (int y = layout.top + 1; y < layout.bottom; ++y) count += picture.pixel(x, y) == qRgb(0, 0, 0) ? 1 : 0;
  return count;
}

TEST(Bifurcation, ThePictureFramesThePointsAndNeedsNoDisplay) {
  TemporaryDirectory directory;
  e2e::ExplorerOptions options;
  options.arguments = kFixedPointAndPeriodTwo;
  options.arguments.insert(options.arguments.end(), {"--picture", "diagram.png", "--size", "400x300"});
  options.working_directory = directory.path();
  // A display that does not exist: a command that tried to show a window would fail.
  options.environment = {{"DISPLAY", ":98765"}};
  const ExplorerRun run = e2e::run_explorer(options);
  ASSERT_FALSE(run.timed_out);
  EXPECT_EQ(run.exit_status, 0) << run.err;
  EXPECT_TRUE(run.err.empty()) << run.err;
  EXPECT_TRUE(run.out.empty()) << run.out;

  const QImage picture(QString::fromStdString(directory.file("diagram.png")), "PNG");
  ASSERT_FALSE(picture.isNull());
  ASSERT_EQ(picture.width(), 400);
  ASSERT_EQ(picture.height(), 300);
  const app::DiagramLayout layout = app::DiagramLayout::of_size(400, 300);
  const QRgb black = qRgb(0, 0, 0);
  const QRgb white = qRgb(255, 255, 255);
  for (const auto& [x, y] : {std::pair{layout.left, layout.top}, std::pair{layout.right, layout.bottom},
                             std::pair{(layout.left + layout.right) / 2, layout.top}}) {
    EXPECT_EQ(picture.pixel(x, y), black) << x << "," << y;
  }
  EXPECT_EQ(picture.pixel(layout.right + 3, layout.bottom - 3), white);
  // lambda = 0.6 in the first column inside the frame: the fixed point, one pixel; 1.0 in
  // the last: the two points of the orbit; nothing in between.
  EXPECT_EQ(black_inside(picture, layout, layout.left + 1), 1);
  EXPECT_EQ(black_inside(picture, layout, layout.right - 1), 2);
  for (int x = layout.left + 2; x < layout.right - 1; ++x) EXPECT_EQ(black_inside(picture, layout, x), 0) << x;
  // The ticks point outward.
  EXPECT_EQ(picture.pixel(layout.left - 1, (layout.top + layout.bottom) / 2), black);
  EXPECT_EQ(picture.pixel((layout.left + layout.right) / 2, layout.bottom + 1), black);
}

TEST(Bifurcation, LeftOutPointsAndFilesNotWrittenAreReported) {
  struct Case {
    const char* label;
    std::vector<std::string> more;
    int status;
    const char* said;
  };
  const std::vector<std::string> diverging = {"bifurcation", "--map", "1",        "--initial", "0.1",
                                              "--steps",     "5",     "--points", "10"};
  const std::vector<Case> cases = {
      {"some diverge", {"--vary", "lambda=1:3", "--data", "p.txt"}, 0, "20 of 50 points left out"},
      {"all diverge", {"--vary", "lambda=2.5:3", "--data", "p.txt", "--picture", "p.png"}, 3, "every orbit"},
      {"picture not written",
       {"--vary", "lambda=1:2", "--picture", "no/such/directory/p.png"},
       4,
       "cannot write the picture no/such/directory/p.png"},
      {"points not created",
       {"--vary", "lambda=1:2", "--data", "no/such/directory/p.txt"},
       4,
       "cannot create the points file no/such/directory/p.txt"},
      {"points not written", {"--vary", "lambda=1:2", "--data", "/dev/full"}, 4, "cannot write the points"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    TemporaryDirectory directory;
    std::vector<std::string> arguments = diverging;
    arguments.insert(arguments.end(), c.more.begin(), c.more.end());
    const ExplorerRun run = e2e::run_explorer_in(directory, arguments);
    ASSERT_FALSE(run.timed_out);
    EXPECT_EQ(run.exit_status, c.status) << run.err;
    EXPECT_NE(run.err.find(c.said), std::string::npos) << run.err;
  }
}

TEST(AnalysisCommands, HelpDocumentsEveryOption) {
  TemporaryDirectory directory;
  const ExplorerRun lyapunov = e2e::run_explorer_in(directory, {"lyapunov", "--help"});
  EXPECT_EQ(lyapunov.exit_status, 0);
  for (const char* text :
       {"--map", "--param", "--initial", "--transient", "--length", "default 999999", "Example", "Exit status"}) {
    EXPECT_NE(lyapunov.out.find(text), std::string::npos) << text;
  }
  const ExplorerRun bifurcation = e2e::run_explorer_in(directory, {"bifurcation", "--help"});
  EXPECT_EQ(bifurcation.exit_status, 0);
  for (const char* text :
       {"--map", "--param", "--initial", "--transient", "--variable", "--vary", "--steps", "default 800", "--points",
        "default 200", "default 1000", "--picture", "--size", "default 800x600", "--data", "Examples", "Exit status"}) {
    EXPECT_NE(bifurcation.out.find(text), std::string::npos) << text;
  }
  const ExplorerRun main_help = e2e::run_explorer_in(directory, {"--help"});
  for (const char* text : {"mapexplorer lyapunov", "mapexplorer bifurcation", "Analysis menu"}) {
    EXPECT_NE(main_help.out.find(text), std::string::npos) << text;
  }
}

}  // namespace
