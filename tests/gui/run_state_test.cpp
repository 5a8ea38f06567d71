// Pause and Resume from the keyboard and the State menu: the program stops at its next
// console call, the status bar tells the state, the State item is relabelled, and the GUI
// stays responsive while the program is paused.

#include <QMenu>

#include "frame_fixture.h"
#include "gui/command_ids.h"
#include "gui/frame_menus.h"
#include "gui/status_bar.h"

namespace gui_test {
namespace {

// A program that writes to its window until told to stop, counting its writes.
class RunStateTest : public FrameTest {
 public:
  void start_writer() {
    run_program([this] {
      window_.store(open_window("Input Window", 10));
      while (!stop_.load()) {
        core_->write_text(window_.load(), "x");
        writes_.fetch_add(1);
      }
    }).release();
    ASSERT_TRUE(wait_until([this] { return writes_.load() > 10; }));
  }
  void TearDown() override {
    stop_.store(true);
    FrameTest::TearDown();
  }
  // The program has stopped: its count stays put while the GUI runs.
  bool program_stands_still() {
    const int before = writes_.load();
    settle(100);
    return writes_.load() == before;
  }
  QString state_item_text() {
    QMenu* state = frame_->menus().popups().at(3);
    emit state->aboutToShow();
    return frame_->menus().state_action()->text();
  }

  std::atomic<int> window_{0};
  std::atomic<int> writes_{0};
  std::atomic<bool> stop_{false};
};

struct PauseWay {
  const char* name;
  std::function<void(RunStateTest&, int window)> pause;
  std::function<void(RunStateTest&, int window)> resume;
};

TEST_F(RunStateTest, PauseStopsTheProgramAndResumeContinuesIt) {
  start_writer();
  const std::vector<PauseWay> ways = {
      {"Ctrl+S and Ctrl+Q", [](RunStateTest& t, int w) { t.key(w, Qt::Key_S, Qt::ControlModifier); },
       [](RunStateTest& t, int w) { t.key(w, Qt::Key_Q, Qt::ControlModifier); }},
      {"Ctrl+S and Esc", [](RunStateTest& t, int w) { t.key(w, Qt::Key_S, Qt::ControlModifier); },
       [](RunStateTest& t, int w) { t.key(w, Qt::Key_Escape); }},
      {"the State menu", [](RunStateTest& t, int) { t.frame_->run_command(gui::kPause); },
       [](RunStateTest& t, int) { t.frame_->run_command(gui::kResume); }},
  };
  for (const PauseWay& way : ways) {
    SCOPED_TRACE(way.name);
    way.pause(*this, window_.load());
    ASSERT_TRUE(wait_until([this] { return frame_->status_bar()->state_text() == "Paused"; }));
    EXPECT_TRUE(program_stands_still());
    EXPECT_EQ(state_item_text(), "&Resume\tCtrl+Q");
    EXPECT_EQ(frame_->menus().state_action()->data().toInt(), gui::kResume);
    way.resume(*this, window_.load());
    ASSERT_TRUE(wait_until([this] { return frame_->status_bar()->state_text() == "Running"; }));
    const int before = writes_.load();
    EXPECT_TRUE(wait_until([&] { return writes_.load() > before + 10; }));
    EXPECT_EQ(state_item_text(), "&Pause\tCtrl+S");
  }
}

TEST_F(RunStateTest, WhilePausedTypingBeepsAndTheWindowsStillScroll) {
  start_writer();
  key(window_.load(), Qt::Key_S, Qt::ControlModifier);
  ASSERT_TRUE(wait_until([this] { return frame_->status_bar()->state_text() == "Paused"; }));
  type(window_.load(), "ab");
  settle(20);
  EXPECT_EQ(beeps_.load(), 2);
  // The view answers scroll keys while the program stands still.
  gui::ChildView* shown = view(window_.load());
  ASSERT_NE(shown, nullptr);
  shown->resize(300, 200);
  settle(20);
  key(window_.load(), Qt::Key_End, Qt::ControlModifier);
  EXPECT_GT(shown->scroll_position().y(), 0);
  key(window_.load(), Qt::Key_Home, Qt::ControlModifier);
  EXPECT_EQ(shown->scroll_position(), QPoint(0, 0));
  EXPECT_TRUE(program_stands_still());
  key(window_.load(), Qt::Key_Q, Qt::ControlModifier);
  ASSERT_TRUE(wait_until([this] { return frame_->status_bar()->state_text() == "Running"; }));
}

TEST_F(RunStateTest, APauseDuringAReadIsCarriedOutAtOnce) {
  std::optional<std::string> line;
  auto program = run_program([this, &line] {
    window_.store(open_window("Input Window", 10));
    line = read_line(window_.load());
  });
  ASSERT_TRUE(wait_for_read(window_));
  key(window_.load(), Qt::Key_S, Qt::ControlModifier);
  ASSERT_TRUE(wait_until([this] { return frame_->status_bar()->state_text() == "Paused"; }));
  // The wait's message stays in view; typing is refused while paused.
  EXPECT_EQ(frame_->status_bar()->message(), "Input pending in Input Window");
  type(window_.load(), "5");
  key(window_.load(), Qt::Key_Q, Qt::ControlModifier);
  ASSERT_TRUE(wait_until([this] { return frame_->status_bar()->state_text() == "Running"; }));
  type(window_.load(), "6");
  key(window_.load(), Qt::Key_Return);
  ASSERT_TRUE(join_program());
  EXPECT_EQ(line.value_or("?"), "6");
  EXPECT_EQ(beeps_.load(), 1);
}

}  // namespace
}  // namespace gui_test
