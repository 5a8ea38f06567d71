// The explorer from outside: mapexplorer run in the terminal with --save-pictures, its
// answers on standard input; the saved Graphics.bmp is read back and the frames, ticks,
// points and segments are checked at the positions the scaling gives for the states of the
// recording (computed here with the map catalogue's own step).

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/map_catalogue.h"
#include "explorer_process.h"

namespace {

std::string read_text(const std::string& path) { return e2e::read_file(path); }

// Runs the explorer in the terminal in `directory` with `arguments` and `input`.
e2e::ExplorerRun run_in(const e2e::TemporaryDirectory& directory, std::vector<std::string> arguments,
                        const std::string& input) {
  e2e::ExplorerOptions options;
  options.arguments = {"--terminal"};
  options.arguments.insert(options.arguments.end(), arguments.begin(), arguments.end());
  options.input = input;
  options.working_directory = directory.path();
  options.time_limit = std::chrono::seconds(300);
  return e2e::run_explorer(options);
}

// A 32-bit bitmap file read back: pixels as 0xRRGGBB, top row first.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
  std::uint32_t at(int x, int y) const {
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
  }
  bool black(int x, int y) const { return at(x, y) == 0x000000u; }
};

std::uint32_t u32(const std::string& b, std::size_t at) {
  auto byte = [&](std::size_t i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(b[i])); };
  return byte(at) | (byte(at + 1) << 8) | (byte(at + 2) << 16) | (byte(at + 3) << 24);
}

std::optional<Picture> read_bitmap(const std::string& path) {
  const std::string file = read_text(path);
  if (file.size() < 54 || file[0] != 'B' || file[1] != 'M') return std::nullopt;
  if (u32(file, 2) != file.size() || u32(file, 10) != 54 || u32(file, 14) != 40) return std::nullopt;
  if ((u32(file, 26) >> 16) != 32 || u32(file, 30) != 0) return std::nullopt;  // 32 bits, no compression
  Picture picture;
  picture.width = static_cast<int>(u32(file, 18));
  picture.height = static_cast<int>(u32(file, 22));
  const std::size_t stride = 4 * static_cast<std::size_t>(picture.width);
  if (file.size() != 54 + stride * static_cast<std::size_t>(picture.height)) return std::nullopt;
  picture.pixels.resize(static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height));
  for (int y = 0; y < picture.height; ++y) {
    const std::size_t row = 54 + stride * static_cast<std::size_t>(picture.height - 1 - y);  // bottom row first
    for (int x = 0; x < picture.width; ++x) {
      picture
          .pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(picture.width) + static_cast<std::size_t>(x)] =
          u32(file, row + 4 * static_cast<std::size_t>(x)) & 0xFFFFFFu;
    }
  }
  return picture;
}

// The recording's states: point m (1-based) after n_transient + m - 1 steps.
std::vector<std::vector<double>> henon_states(int n_transient, int n_series) {
  app::MapParameters parameters;
  parameters.p1 = 1.4;
  parameters.p2 = 0.3;
  std::vector<double> state = {0.1, 0.1};
  for (int i = 0; i < n_transient; ++i) app::map_step(2, parameters, i, state);
  std::vector<std::vector<double>> states = {state};
  for (int m = 2; m <= n_series; ++m) {
    app::map_step(2, parameters, m - 1, state);
    states.push_back(state);
  }
  return states;
}

// The plot's scaling: trunc(((v - low) x (1 / (high - low))) x 200), toward zero.
double offset(double v, double low, double high) { return std::trunc(((v - low) * (1.0 / (high - low))) * 200.0); }

struct Ranges {
  double low[2];
  double high[2];
};

// The ranges over the first min(N, 100) points, widened by a tenth of their width.
Ranges ranges_of(const std::vector<std::vector<double>>& states) {
  Ranges r{};
  const std::size_t m = std::min<std::size_t>(states.size(), 100);
  for (int i = 0; i < 2; ++i) {
    double low = std::numeric_limits<double>::max();
    double high = -std::numeric_limits<double>::max();
    for (std::size_t k = 0; k < m; ++k) {
      low = std::min(low, states[k][static_cast<std::size_t>(i)]);
      high = std::max(high, states[k][static_cast<std::size_t>(i)]);
    }
    const double d = (high - low) * 0.1;
    r.low[i] = low - d;
    r.high[i] = d + high;
  }
  return r;
}

std::string henon_input(int n_series) {
  return "2\n1.4\n0.3\n0.1\n0.1\n1\ny\n1000\n" + std::to_string(n_series) + "\nn\nn\nn\nn\n";
}

TEST(SavePictures, HenonRecordingPlotsAttractorAndSeriesAtTheScaledPositions) {
  constexpr int kSeries = 5000;
  const e2e::TemporaryDirectory dir;
  const e2e::ExplorerRun run = run_in(dir, {"--save-pictures", "pictures", "series.dat"}, henon_input(kSeries));
  ASSERT_EQ(run.exit_status, 0) << run.err;
  const std::optional<Picture> picture = read_bitmap(dir.file("pictures/Graphics.bmp"));
  ASSERT_TRUE(picture) << "Graphics.bmp missing or not a 32-bit bitmap file";
  ASSERT_GE(picture->width, 400);
  ASSERT_GE(picture->height, 600);
  EXPECT_TRUE(e2e::file_exists(dir.file("pictures/Input Window.bmp")));

  // Frames and ticks.
  for (const auto& [x, y] : {std::pair{50, 50},
                             {250, 50},
                             {50, 250},
                             {250, 250},
                             {150, 50},
                             {50, 150},
                             {50, 350},
                             {350, 350},
                             {50, 550},
                             {350, 550},
                             {200, 550},
                             {350, 450}})
    EXPECT_TRUE(picture->black(x, y)) << "frame " << x << "," << y;
  for (int k = 1; k <= 9; ++k) {
    EXPECT_TRUE(picture->black(50 + 20 * k, 247) && picture->black(50 + 20 * k, 253)) << "tick " << k;
    EXPECT_TRUE(picture->black(47, 50 + 20 * k) && picture->black(53, 50 + 20 * k)) << "tick " << k;
    EXPECT_TRUE(picture->black(50 + 30 * k, 553) && picture->black(47, 350 + 20 * k)) << "tick " << k;
  }

  // The upper panel: exactly the pixels of the states strictly inside the frame (looked at
  // away from the ticks and the labels that reach in from the left).
  const auto states = henon_states(1000, kSeries);
  const Ranges r = ranges_of(states);
  std::set<std::pair<int, int>> expected;
  for (const auto& s : states) {
    const double sx = offset(s[0], r.low[0], r.high[0]);
    const double sy = offset(s[1], r.low[1], r.high[1]);
    if (sx > 0 && sx < 200 && sy > 0 && sy < 200)
      expected.emplace(50 + static_cast<int>(sx), 250 - static_cast<int>(sy));
  }
  ASSERT_GT(expected.size(), 1000u);
  std::set<std::pair<int, int>> seen;
  for (int y = 54; y <= 246; ++y)
    for (int x = 60; x <= 249; ++x)
      if (picture->black(x, y)) seen.emplace(x, y);
  std::set<std::pair<int, int>> expected_in_view;
  for (const auto& p : expected)
    if (p.first >= 60 && p.second >= 54 && p.second <= 246) expected_in_view.insert(p);
  EXPECT_EQ(seen, expected_in_view);
  for (const auto& [x, y] : expected) EXPECT_TRUE(picture->black(x, y)) << "point " << x << "," << y;

  // The lower panel: both ends of every segment over the first 100 points.
  int segments = 0;
  for (int m = 2; m <= 100; ++m) {
    const double s1 = offset(states[static_cast<std::size_t>(m - 2)][0], r.low[0], r.high[0]);
    const double s2 = offset(states[static_cast<std::size_t>(m - 1)][0], r.low[0], r.high[0]);
    if (!(s1 > 0 && s1 < 200 && s2 > 0 && s2 < 200)) continue;
    const int x1 = 50 + static_cast<int>(std::trunc((m - 1) * (1.0 / 100) * 300));
    const int x2 = 50 + static_cast<int>(std::trunc(m * (1.0 / 100) * 300));
    EXPECT_TRUE(picture->black(x1, 550 - static_cast<int>(s1))) << "segment " << m;
    EXPECT_TRUE(picture->black(x2, 550 - static_cast<int>(s2))) << "segment " << m;
    ++segments;
  }
  EXPECT_GT(segments, 90);
  // Nothing beyond point M: the panel's right of x = 350 stays white.
  for (int y = 360; y < 540; ++y) EXPECT_FALSE(picture->black(352, y)) << y;

  // Labels below and left of both frames.
  auto black_in = [&](int left, int top, int width, int height) {
    int n = 0;
    for (int y = top; y < top + height; ++y)
      for (int x = left; x < left + width; ++x) n += picture->black(x, y) ? 1 : 0;
    return n;
  };
  EXPECT_GT(black_in(50, 255, 40, 18), 5);
  EXPECT_GT(black_in(20, 50, 30, 16), 5);
  EXPECT_GT(black_in(326, 555, 40, 18), 5);  // "  100"
  EXPECT_GT(black_in(20, 442, 30, 16), 3);   // "v"

  // The series file holds every point.
  const std::string series = read_text(dir.file("series.dat"));
  EXPECT_EQ(std::count(series.begin(), series.end(), '\n'), kSeries);
}

TEST(SavePictures, PngFormatWritesPngFilesNamedAfterTheWindows) {
  const e2e::TemporaryDirectory dir;
  const e2e::ExplorerRun run =
      run_in(dir, {"--save-pictures", "pictures", "--picture-format", "png", "series.dat"}, henon_input(200));
  ASSERT_EQ(run.exit_status, 0) << run.err;
  for (const char* name : {"pictures/Graphics.png", "pictures/Input Window.png"}) {
    EXPECT_EQ(read_text(dir.file(name)).rfind("\x89PNG\r\n\x1a\n", 0), 0u) << name;
  }
  EXPECT_FALSE(e2e::file_exists(dir.file("pictures/Graphics.bmp")));
  const e2e::ExplorerRun bad = run_in(dir, {"--save-pictures", "p2", "--picture-format", "jpg", "s.dat"}, "");
  EXPECT_EQ(bad.exit_status, 2);
  EXPECT_NE(bad.err.find("--picture-format"), std::string::npos) << bad.err;
  EXPECT_FALSE(e2e::file_exists(dir.file("s.dat")));
}

TEST(SavePictures, UnwritablePictureDirectoryIsReported) {
  const e2e::TemporaryDirectory dir;
  const e2e::ExplorerRun run = run_in(dir, {"--save-pictures", "/proc/no-such-place", "series.dat"}, henon_input(10));
  EXPECT_EQ(run.exit_status, 0);
  EXPECT_NE(run.err.find("--save-pictures"), std::string::npos) << run.err;
}

}  // namespace
