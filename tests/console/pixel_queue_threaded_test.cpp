// plot_pixel on a program thread: the picture, the graphics status and the changed area are
// those set_pixel leaves, and a pause waits until the pixels waiting in the thread's queue are
// on the surface, whichever call the program stops at.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "console/graphics_status.h"
#include "console_test_support.h"

namespace console_test {
namespace {

using namespace std::chrono_literals;

// One step of a drawing run: a pixel, or a new drawing colour.
struct Step {
  enum Kind { Pixel, Color } kind;
  int x = 0, y = 0;
};

std::vector<Step> pixels_over_the_surface(int count, int width, int height) {
  std::vector<Step> steps;
  unsigned state = 12345;
  for (int i = 0; i < count; ++i) {
    state = state * 1103515245u + 12345u;
    steps.push_back({Step::Pixel, static_cast<int>((state >> 8) % width), static_cast<int>((state >> 20) % height)});
  }
  return steps;
}

// Pixels anywhere from (low, low) to (high - 1, high - 1).
std::vector<Step> pixels_between(int count, int low, int high) {
  std::vector<Step> steps = pixels_over_the_surface(count, high - low, high - low);
  for (Step& step : steps) {
    step.x += low;
    step.y += low;
  }
  return steps;
}

struct QueueCase {
  const char* name;
  std::vector<Step> steps;
  int viewport_right;  // the viewport is (viewport_left, viewport_top) to (viewport_right, kHeight - 1)
  int viewport_left = 0;
  int viewport_top = 0;
  std::int16_t origin_x = 0;  // added to each pixel's coordinates, in 16 bits
  std::int16_t origin_y = 0;
};
void PrintTo(const QueueCase& c, std::ostream* os) { *os << c.name; }

constexpr int kWidth = 160;
constexpr int kHeight = 100;

std::vector<Step> joined(std::vector<Step> a, const std::vector<Step>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

const QueueCase kQueueCases[] = {
    {"a_few_pixels", {{Step::Pixel, 1, 1}, {Step::Pixel, 5, 7}, {Step::Pixel, 1, 1}}, kWidth - 1},
    {"last_pixel_off_the_surface", {{Step::Pixel, 3, 3}, {Step::Pixel, kWidth, 2}}, kWidth - 1},
    {"first_pixel_off_the_surface_last_on", {{Step::Pixel, -1, 3}, {Step::Pixel, 4, 4}}, kWidth - 1},
    {"outside_the_viewport", {{Step::Pixel, 10, 10}, {Step::Pixel, 90, 10}, {Step::Pixel, 70, 20}}, 80},
    {"viewport_away_from_the_corner", pixels_over_the_surface(2000, kWidth, kHeight), 80, 20, 10},
    {"origin_moved", pixels_between(2000, -60, 200), kWidth - 1, 0, 0, 30, -20},
    {"origin_wraps_in_16_bits",
     {{Step::Pixel, 3000, 5}, {Step::Pixel, -29995, 6}, {Step::Pixel, 2767, 7}, {Step::Pixel, -30000, 8}},
     kWidth - 1, 0, 0, 30000, 0},
    {"several_queues_full", pixels_over_the_surface(3000, kWidth, kHeight), kWidth - 1},
    {"colours_change_between_pixels",
     joined(joined(pixels_over_the_surface(700, kWidth, kHeight), {{Step::Color, 12}}),
            joined(pixels_over_the_surface(50, kWidth, kHeight), {{Step::Color, 4}, {Step::Pixel, 7, 7}})),
     kWidth - 1},
};

class PixelQueueTest : public ConsoleTest, public ::testing::WithParamInterface<QueueCase> {
 protected:
  int make_window(const char* title, const QueueCase& c) {
    const int index = core->create_window(title);
    auto record = core->find_window(index);
    console::WindowConfig config;
    config.pixels_x = kWidth;
    config.pixels_y = kHeight;
    for (int i = 0; i < 3 && core->apply_config(*record, config) != console::ConsoleCore::ApplyOutcome::Applied; ++i) {
    }
    {
      std::lock_guard lock(record->draw_lock);
      record->viewport_right = c.viewport_right;
      record->viewport_left = c.viewport_left;
      record->viewport_top = c.viewport_top;
      record->origin_x = c.origin_x;
      record->origin_y = c.origin_y;
    }
    core->activate_window(index);
    core->set_bk_color(15);
    core->clear_screen(0);
    core->set_color(0);
    // What painting takes from now on is what the run changed.
    core->with_surface(index, nullptr);
    return index;
  }

  // Runs the steps on a program thread into `window`, each pixel by `draw`; the graphics
  // status after the last step (for plot_pixel: after its flush).
  int run(int window, const std::vector<Step>& steps, const std::function<void(int, int)>& draw, bool flush) {
    int status = 0;
    std::thread program([&] {
      core->activate_window(window);
      for (const Step& step : steps) {
        if (step.kind == Step::Color) {
          core->set_color(static_cast<std::int16_t>(step.x));
        } else {
          draw(step.x, step.y);
        }
      }
      if (flush) core->flush_pixels();
      status = console::graphics_status();
    });
    program.join();
    return status;
  }
};

TEST_P(PixelQueueTest, LeavesThePictureStatusAndChangedAreaOfSetPixel) {
  const QueueCase& c = GetParam();
  const int immediate = make_window("Immediate", c);
  const int queued = make_window("Queued", c);
  const int immediate_status = run(
      immediate, c.steps,
      [&](int x, int y) { core->set_pixel(static_cast<std::int16_t>(x), static_cast<std::int16_t>(y)); }, false);
  const int queued_status = run(
      queued, c.steps,
      [&](int x, int y) { core->plot_pixel(static_cast<std::int16_t>(x), static_cast<std::int16_t>(y)); }, true);
  EXPECT_EQ(queued_status, immediate_status);
  EXPECT_EQ(core->run_control().threads_inside(), 0);
  QImage immediate_picture, queued_picture;
  QRect immediate_dirty, queued_dirty;
  core->with_surface(immediate, [&](const QImage& surface, const QRect& dirty) {
    immediate_picture = surface.copy();
    immediate_dirty = dirty;
  });
  core->with_surface(queued, [&](const QImage& surface, const QRect& dirty) {
    queued_picture = surface.copy();
    queued_dirty = dirty;
  });
  EXPECT_EQ(queued_picture, immediate_picture);
  EXPECT_EQ(queued_dirty, immediate_dirty);
}

INSTANTIATE_TEST_SUITE_P(Cases, PixelQueueTest, ::testing::ValuesIn(kQueueCases),
                         [](const ::testing::TestParamInfo<QueueCase>& info) { return std::string(info.param.name); });

// The call a program with waiting pixels makes after a pause was asked for: each is where it
// stops, with its pixels drawn.
struct StopCase {
  const char* name;
  std::function<void(console::ConsoleCore&)> next_call;
};
void PrintTo(const StopCase& c, std::ostream* os) { *os << c.name; }

class PixelQueueStopTest : public ConsoleTest, public ::testing::WithParamInterface<StopCase> {};

TEST_P(PixelQueueStopTest, APauseWaitsForTheWaitingPixelsToBeDrawn) {
  core->set_bk_color(15);
  core->clear_screen(0);
  std::atomic<bool> queued{false};
  std::atomic<bool> go_on{false};
  std::atomic<bool> past_the_call{false};
  std::thread program([&] {
    core->set_color(0);
    for (int i = 0; i < 10; ++i) core->plot_pixel(static_cast<std::int16_t>(i), 3);
    queued = true;
    while (!go_on) std::this_thread::sleep_for(1ms);
    GetParam().next_call(*core);
    past_the_call = true;
    core->flush_pixels();
  });
  while (!queued) std::this_thread::sleep_for(1ms);
  core->pause();
  // The thread holds waiting pixels and makes no call: the pause is not carried out yet.
  std::this_thread::sleep_for(20ms);
  EXPECT_TRUE(core->pause_in_progress());
  EXPECT_EQ(pixel(kGraphic1, 9, 3), qRgb(255, 255, 255));
  go_on = true;
  ASSERT_TRUE(core->run_control().wait_until_paused());
  for (int i = 0; i < 10; ++i) EXPECT_EQ(pixel(kGraphic1, i, 3), qRgb(0, 0, 0)) << i;
  // The program stopped at that call.
  std::this_thread::sleep_for(20ms);
  EXPECT_FALSE(past_the_call.load());
  EXPECT_EQ(pixel(kGraphic1, 50, 50), qRgb(255, 255, 255));
  core->resume(kGraphic1);
  program.join();
  EXPECT_TRUE(past_the_call.load());
  EXPECT_EQ(pixel(kGraphic1, 50, 50), qRgb(0, 0, 0));
  EXPECT_EQ(core->run_control().threads_inside(), 0);
}

INSTANTIATE_TEST_SUITE_P(Calls, PixelQueueStopTest,
                         ::testing::Values(StopCase{"another_queued_pixel",
                                                    [](console::ConsoleCore& c) { c.plot_pixel(50, 50); }},
                                           StopCase{"a_runtime_statement",
                                                    [](console::ConsoleCore& c) {
                                                      c.pass_pause_gate();
                                                      c.plot_pixel(50, 50);
                                                    }},
                                           StopCase{"a_console_entry",
                                                    [](console::ConsoleCore& c) {
                                                      c.set_color(0);
                                                      c.plot_pixel(50, 50);
                                                    }}),
                         [](const ::testing::TestParamInfo<StopCase>& info) { return std::string(info.param.name); });

TEST_F(ConsoleTest, PixelsWaitingWhenTheThreadEndsAreDrawn) {
  core->set_bk_color(15);
  core->clear_screen(0);
  std::thread program([&] {
    core->set_color(0);
    core->plot_pixel(4, 5);
  });
  program.join();
  EXPECT_EQ(pixel(kGraphic1, 4, 5), qRgb(0, 0, 0));
  EXPECT_EQ(core->run_control().threads_inside(), 0);
}

}  // namespace
}  // namespace console_test
