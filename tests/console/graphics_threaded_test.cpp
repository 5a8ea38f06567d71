// Drawing on a program thread while the GUI thread (the test thread) paints, pauses and
// saves the picture; and the results of drawing when the thread's active window is gone.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "console/graphics_status.h"
#include "console_test_support.h"

namespace console_test {
namespace {

using namespace std::chrono_literals;

TEST_F(ConsoleTest, DrawingWithoutATargetWindowChangesNothing) {
  const int window = core->create_window("Other");
  std::atomic<bool> activated{false};
  std::atomic<bool> removed{false};
  struct Results {
    int pixel = 0, line = 0, rectangle = 0, fonts = 0, font = 0, status = 0;
    console::GraphicsPosition position{9, 9};
  } results;
  std::thread program([&] {
    core->activate_window(window);
    activated = true;
    while (!removed) std::this_thread::sleep_for(1ms);
    console::set_graphics_status(7);
    results.pixel = core->set_pixel(1, 1);
    results.status = console::graphics_status();
    results.position = core->move_to(5, 5);
    results.line = core->line_to(9, 9);
    results.rectangle = core->draw_rectangle(2, 1, 1, 5, 5);
    results.fonts = core->init_fonts();
    results.font = core->set_font("t'Arial'");
    core->draw_text("abc");
  });
  while (!activated) std::this_thread::sleep_for(1ms);
  // Closed from another thread, the program thread's active index names an empty slot.
  core->close_unit_window(window, false);
  removed = true;
  program.join();
  EXPECT_EQ(results.pixel, -1);
  EXPECT_EQ(results.status, 0);
  EXPECT_EQ(results.position.x, 0);
  EXPECT_EQ(results.position.y, 0);
  EXPECT_EQ(results.line, 0);
  EXPECT_EQ(results.rectangle, 0);
  EXPECT_EQ(results.fonts, -1);
  EXPECT_EQ(results.font, -1);
}

TEST_F(ConsoleTest, PaintingWhileTheProgramDrawsSeesWholeFiguresAndFewRequests) {
  core->set_bk_color(15);
  core->clear_screen(0);
  // The GUI thread's painting: copy what changed into a mirror, as a presentation would.
  QImage mirror;
  core->with_surface(kGraphic1, [&](const QImage& surface, const QRect&) { mirror = surface.copy(); });
  presentation.clear();
  constexpr int kPoints = 60000;
  std::atomic<bool> done{false};
  std::thread program([&] {
    core->set_color(0);
    for (int i = 0; i < kPoints; ++i) {
      core->set_pixel(static_cast<std::int16_t>(i % 500), static_cast<std::int16_t>((i / 500) % 300));
      if (i % 1000 == 0) {
        core->move_to(600, static_cast<std::int16_t>(i / 1000));
        core->line_to(700, static_cast<std::int16_t>(i / 1000));
        core->draw_rectangle(2, 720, 10, 760, 50);
      }
    }
    done = true;
  });
  int paints = 0;
  auto paint = [&] {
    core->with_surface(kGraphic1, [&](const QImage& surface, const QRect& dirty) {
      for (int y = dirty.top(); y <= dirty.bottom(); ++y)
        for (int x = dirty.left(); x <= dirty.right(); ++x) mirror.setPixel(x, y, surface.pixel(x, y));
    });
    ++paints;
  };
  while (!done) {
    paint();
    std::this_thread::sleep_for(200us);
  }
  program.join();
  paint();
  // At most one repaint request was outstanding at any time.
  EXPECT_LE(presentation.count_events(kGraphic1, console::WindowEvent::Changed), paints);
  with_record(kGraphic1, [&](console::ChildWindowRecord& r) {
    for (int y = 0; y < 300; ++y)
      for (int x = 0; x < 500; ++x) ASSERT_EQ(mirror.pixel(x, y), r.surface().pixel(x, y)) << x << "," << y;
    EXPECT_EQ(mirror.pixel(650, 30), qRgb(0, 0, 0));
    EXPECT_EQ(mirror.pixel(720, 30), qRgb(0, 0, 0));
  });
}

TEST_F(ConsoleTest, PauseStopsDrawingAndThePictureCanBeSavedMeanwhile) {
  core->set_bk_color(15);
  core->clear_screen(0);
  std::atomic<bool> stop{false};
  std::atomic<long> drawn{0};
  std::thread program([&] {
    core->set_color(0);
    while (!stop) {
      const long i = drawn.load();
      core->set_pixel(static_cast<std::int16_t>(i % 1000), static_cast<std::int16_t>((i / 1000) % 700));
      ++drawn;
    }
  });
  while (drawn < 1000) std::this_thread::sleep_for(1ms);
  core->pause();
  ASSERT_TRUE(core->run_control().wait_until_paused());
  const long at_pause = drawn.load();
  std::this_thread::sleep_for(20ms);
  EXPECT_LE(drawn.load(), at_pause + 1);
  EXPECT_EQ(core->save_window_picture(kGraphic1, ::testing::TempDir() + "paused.bmp", console::PictureFormat::Bitmap),
            0);
  stop = true;
  core->resume(kGraphic1);
  program.join();
  EXPECT_GT(drawn.load(), at_pause);
}

}  // namespace
}  // namespace console_test
