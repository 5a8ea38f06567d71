#pragma once
// The fixture of the console tests: a console core on a 1024 x 768 display with a fake
// presentation, installed for the test (the default window Graphic1 exists and is the test
// thread's active window), and helpers that look into a window.

#include <gtest/gtest.h>

#include <QRgb>

#include <functional>
#include <memory>
#include <string>

#include "console/console_core.h"
#include "fake_presentation.h"

namespace console_test {

class ConsoleTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Makes a new core with the current options (the old one is dropped first).
  void restart();

  // Text of a row in a window's text store ("" when the row has no entry).
  std::string row_text(int window, int row);
  int row_first_column(int window, int row);
  int store_size(int window);
  QRgb pixel(int window, int x, int y);
  // Runs `change` on the window's record under its draw_lock.
  void with_record(int window, const std::function<void(console::ChildWindowRecord&)>& change);
  std::pair<int, int> text_position(int window);

  FakePresentation presentation;
  console::ConsoleOptions options;
  std::unique_ptr<console::ConsoleCore> core;
};

// A window index and its configured size on the test display.
inline constexpr int kGraphic1 = console::kFirstWindowIndex;

}  // namespace console_test
