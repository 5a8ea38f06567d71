// The console with a program thread: reads answered by typing on the GUI thread (the test
// thread), the pause gate, the program end, and painting while the program writes.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <string>
#include <thread>

#include "console/palette.h"
#include "console_test_support.h"

namespace console_test {
namespace {

using namespace std::chrono_literals;

// Polls `condition` until it holds or two seconds pass.
bool eventually(const std::function<bool()>& condition) {
  const auto deadline = std::chrono::steady_clock::now() + 5s;
  while (std::chrono::steady_clock::now() < deadline) {
    if (condition()) return true;
    std::this_thread::sleep_for(1ms);
  }
  return condition();
}

class ProgramThreadTest : public ConsoleTest {
 protected:
  void SetUp() override {
    ConsoleTest::SetUp();
    window = core->create_unit_window("Input Window", true);
  }
  void TearDown() override {
    if (program.joinable()) program.join();
    ConsoleTest::TearDown();
  }
  bool waits_for_input() {
    return eventually([this] { return core->status_view().input_window == window; });
  }
  void type(const std::string& text) {
    for (const char c : text) core->type_character(window, static_cast<unsigned char>(c));
  }
  std::string read_on(console::ConsoleCore& c, std::size_t n) {
    std::string buffer(n, '\0');
    const long count = c.read_line(window, buffer.data(), n);
    if (count < 0) return "<refused>";
    buffer.resize(static_cast<std::size_t>(count));
    return buffer;
  }
  int window = 0;
  std::thread program;
};

TEST_F(ProgramThreadTest, ProgramReadsLinesTypedOnTheGuiThread) {
  std::promise<std::vector<std::string>> lines;
  std::atomic<int> reads_done{0};
  program = std::thread([&] {
    std::vector<std::string> got;
    for (int i = 0; i < 3; ++i) {
      core->write_text(window, " Question? ");
      got.push_back(read_on(*core, 1024));
      ++reads_done;
      core->write_text(window, "\r\n");
    }
    lines.set_value(got);
  });
  int answered = 0;
  for (const std::string answer : {"1", "two words", ""}) {
    // The next read waits once the previous one has returned.
    ASSERT_TRUE(eventually([&] { return reads_done.load() == answered; }));
    ASSERT_TRUE(waits_for_input());
    type(answer + "\r");
    ++answered;
  }
  auto result = lines.get_future().get();
  EXPECT_EQ(result, (std::vector<std::string>{"1", "two words", ""}));
  EXPECT_EQ(row_text(window, 1), " Question? 1");
  EXPECT_EQ(row_text(window, 2), " Question? two words");
}

TEST_F(ProgramThreadTest, FunctionKeyEndsTheWaitLikeEnter) {
  std::promise<std::string> line;
  program = std::thread([&] { line.set_value(read_on(*core, 1024)); });
  ASSERT_TRUE(waits_for_input());
  type("12");
  core->press_function_key(window, 5);
  EXPECT_EQ(line.get_future().get(), "12");
}

TEST_F(ProgramThreadTest, FunctionKeyWhilePausedDoesNothing) {
  std::promise<std::string> line;
  program = std::thread([&] { line.set_value(read_on(*core, 1024)); });
  ASSERT_TRUE(waits_for_input());
  type("7");
  core->pause();
  EXPECT_EQ(core->run_state(), console::RunState::Paused);  // the waiting read is outside the gate
  core->press_function_key(window, 5);
  type("8");  // dropped with a beep while paused
  EXPECT_EQ(presentation.beeps(), 1);
  core->resume(window);
  core->press_function_key(window, 12);
  EXPECT_EQ(line.get_future().get(), "7");
}

TEST_F(ProgramThreadTest, PasteWakesTheWaitingRead) {
  std::promise<std::string> line;
  program = std::thread([&] { line.set_value(read_on(*core, 1024)); });
  ASSERT_TRUE(waits_for_input());
  type("ab");
  core->paste(window, "cd\n");
  EXPECT_EQ(line.get_future().get(), "abcd");
}

TEST_F(ProgramThreadTest, PauseStopsTheProgramAtItsNextCall) {
  std::atomic<int> writes{0};
  std::atomic<bool> stop{false};
  program = std::thread([&] {
    while (!stop.load()) {
      core->write_text(window, "x");
      ++writes;
    }
  });
  ASSERT_TRUE(eventually([&] { return writes.load() > 10; }));
  core->pause();
  ASSERT_TRUE(core->run_control().wait_until_paused());
  EXPECT_EQ(core->status_view().run_state_text, "Paused");
  EXPECT_EQ(core->run_control().threads_inside(), 0);
  const int frozen = writes.load();
  std::this_thread::sleep_for(50ms);
  EXPECT_LE(writes.load(), frozen + 1);  // at most the call that had passed the gate returns
  const int frozen_again = writes.load();
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(writes.load(), frozen_again);
  // Painting goes on while paused.
  EXPECT_TRUE(core->with_surface(window, [](const QImage&, const QRect&) {}));
  stop = true;
  core->resume(window);
  EXPECT_TRUE(eventually([&] { return writes.load() > frozen_again; }));
  program.join();
  EXPECT_EQ(core->status_view().run_state_text, "Running");
}

TEST_F(ProgramThreadTest, StatementsWaitAtThePauseGate) {
  core->pause();
  ASSERT_EQ(core->run_state(), console::RunState::Paused);
  std::atomic<bool> passed{false};
  program = std::thread([&] {
    core->pass_pause_gate();
    passed = true;
  });
  std::this_thread::sleep_for(30ms);
  EXPECT_FALSE(passed.load());
  core->resume(window);
  EXPECT_TRUE(eventually([&] { return passed.load(); }));
}

TEST_F(ProgramThreadTest, PaintingWhileTheProgramWritesSeesWholeRuns) {
  std::atomic<bool> stop{false};
  program = std::thread([&] {
    for (int i = 0; i < 400 && !stop.load(); ++i) core->write_text(window, "0123456789\r\n");
  });
  const std::shared_ptr<console::ChildWindowRecord> record = core->find_window(window);
  ASSERT_NE(record, nullptr);
  int paints = 0;
  while (paints < 200) {
    core->with_surface(window, [&](const QImage&, const QRect&) {
      // Under draw_lock (held while painting) the text store and the text position agree.
      EXPECT_EQ(record->text_column, 1);
      ++paints;
    });
  }
  stop = true;
  program.join();
}

TEST_F(ProgramThreadTest, ChildWindowSizeConfiguresFirstOnTheProgramThread) {
  const int graphics = core->create_window("Graphics");
  core->set_unit_mapper([graphics](std::int32_t unit) { return unit == 11 ? graphics : -1; });
  std::promise<int> result;
  program = std::thread([&] { result.set_value(core->set_window_size(11, console::WindowPosition{3, 0, 0, 0, 0})); });
  EXPECT_EQ(result.get_future().get(), 0);
  EXPECT_TRUE(core->window_info(graphics)->configured);
}

class ProgramEndTest : public ProgramThreadTest {};

TEST_F(ProgramEndTest, AnswerYesClosesTheFrame) {
  presentation.queue_answer(console::MessageBoxAnswer::Yes);
  std::atomic<bool> returned{false};
  program = std::thread([&] {
    core->end_program(3);
    returned = true;
  });
  ASSERT_TRUE(presentation.wait_for_boxes(1));
  ASSERT_TRUE(eventually([&] { return presentation.close_frame_calls() == 1; }));
  const auto box = presentation.boxes().at(0);
  EXPECT_EQ(box.caption, "mapexplorer");
  EXPECT_EQ(box.text, "Program Terminated with exit code 3\nExit Window?");
  EXPECT_EQ(box.buttons, console::MessageBoxButtons::YesNo);
  EXPECT_EQ(box.default_answer, console::MessageBoxAnswer::No);
  EXPECT_EQ(core->status_view().run_state_text, "Finished");
  // The program thread returns once the frame is closed.
  std::this_thread::sleep_for(20ms);
  EXPECT_FALSE(returned.load());
  int exit_routine_runs = 0;
  core->register_exit_routine([&] { ++exit_routine_runs; });
  EXPECT_EQ(core->frame_closed(0), 3);
  program.join();
  EXPECT_TRUE(returned.load());
  EXPECT_EQ(exit_routine_runs, 1);
}

TEST_F(ProgramEndTest, AnswerNoKeepsTheFrameUntilTheUserClosesIt) {
  presentation.queue_answer(console::MessageBoxAnswer::No);
  std::atomic<bool> returned{false};
  program = std::thread([&] {
    core->end_program(0);
    returned = true;
  });
  ASSERT_TRUE(presentation.wait_for_boxes(1));
  EXPECT_EQ(presentation.boxes().at(0).text, "Program Terminated with exit code 0\nExit Window?");
  std::this_thread::sleep_for(30ms);
  EXPECT_FALSE(returned.load());
  EXPECT_EQ(presentation.close_frame_calls(), 0);
  // While finished, Pause does nothing and the windows still answer.
  core->pause();
  EXPECT_EQ(core->run_state(), console::RunState::Finished);
  EXPECT_TRUE(core->window_info(window));
  EXPECT_EQ(core->frame_closed(7), 0);  // the program's own code
  program.join();
  EXPECT_TRUE(returned.load());
}

TEST_F(ProgramEndTest, ClosingTheFrameWhileRunningGivesTheCallersCode) {
  EXPECT_EQ(core->frame_closed(9), 9);
  EXPECT_TRUE(core->frame_is_closed());
}

}  // namespace
}  // namespace console_test
