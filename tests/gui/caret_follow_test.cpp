// The text window's view keeps the caret's cell in view: output and echo that move the text
// position out of the visible part scroll the view the least distance that shows it, a read
// that starts waiting brings it back, clearing the window returns the view to the top, and
// the view stays where it is while the user holds a scroll bar or everything is shown (Size
// To Fit, Full Screen), catching up afterwards.

#include <QScrollBar>
#include <QTest>

#include "frame_fixture.h"
#include "gui/child_sub_window.h"
#include "gui/command_ids.h"
#include "gui/full_screen_window.h"

namespace gui_test {
namespace {

constexpr int kRow = 16;  // the default text cell: 8 x 16 pixels

std::string numbered_rows(int first, int count) {
  std::string text;
  for (int i = first; i < first + count; ++i) text += "row " + std::to_string(i) + "\r\n";
  return text;
}

class CaretFollowTest : public FrameTest {
 protected:
  // A text window of unit 10, shown in a child frame much smaller than its 48 rows.
  void SetUp() override {
    FrameTest::SetUp();
    auto program = run_program([this] {
      window_.store(open_window("Input Window", 10));
      core_->write_text(window_.load(), "");  // configures and shows it
    });
    ASSERT_TRUE(join_program());
    ASSERT_TRUE(wait_until([this] { return view() != nullptr && view()->isVisible(); }));
    frame_->sub_window(window_.load())->resize(400, 300);
    settle(30);
  }

  gui::ChildView* view() { return frame_->view(window_.load()); }

  // What the program writes (on a program thread of its own, unit 10 being its active
  // window); returns once the view has taken the new text position.
  void write(const std::string& text) { run({}, text); }
  void run(const std::function<void()>& before, const std::string& text) {
    auto program = run_program([&] {
      core_->set_active_window(10);
      if (before) before();
      if (!text.empty()) core_->write_text(window_.load(), text);
    });
    ASSERT_TRUE(join_program());
    wait_for_caret();
  }
  void wait_for_caret() {
    ASSERT_TRUE(wait_until([this] {
      const auto info = core_->window_info(window_.load());
      return info && view() != nullptr && view()->caret_cell() == info->caret;
    }));
    settle(20);
  }

  QRect visible() { return QRect(view()->scroll_position(), view()->viewport()->size()); }
  bool caret_in_view() { return visible().contains(view()->caret_cell()); }
  // The vertical position that shows the caret's row as the last visible row.
  int caret_at_bottom() { return view()->caret_cell().bottom() + 1 - view()->viewport()->height(); }

  std::atomic<int> window_{0};
};

TEST_F(CaretFollowTest, OutputBelowTheViewScrollsTheLeastDistanceThatShowsTheCaret) {
  write(numbered_rows(1, 40));
  EXPECT_EQ(view()->caret_cell().top(), 40 * kRow);
  EXPECT_EQ(view()->scroll_position(), QPoint(0, caret_at_bottom()));
  // Row by row, the view moves with the caret.
  for (int row = 41; row <= 44; ++row) {
    write(numbered_rows(row, 1));
    EXPECT_EQ(view()->scroll_position(), QPoint(0, caret_at_bottom())) << "after row " << row;
  }
  // Output within the visible part leaves the view alone.
  const QPoint position = view()->scroll_position();
  write("more on the same row");
  EXPECT_EQ(view()->scroll_position(), position);
}

TEST_F(CaretFollowTest, AReadThatStartsWaitingAndItsEchoBringTheCaretBackIntoView) {
  write(numbered_rows(1, 40) + "Answer: ");
  view()->scroll_to(0, 0);  // the user looks at the first rows
  settle(20);
  ASSERT_FALSE(caret_in_view());
  std::optional<std::string> line;
  auto program = run_program([&] { line = read_line(window_.load()); });
  ASSERT_TRUE(wait_for_read(window_));
  EXPECT_TRUE(wait_until([this] { return caret_in_view(); }));
  EXPECT_EQ(view()->scroll_position(), QPoint(0, caret_at_bottom()));
  // Scrolled away again while the read waits: typing brings the caret back.
  view()->scroll_to(0, 0);
  settle(20);
  type(window_.load(), "7");
  EXPECT_TRUE(wait_until([this] { return caret_in_view(); }));
  key(window_.load(), Qt::Key_Return);
  ASSERT_TRUE(join_program());
  EXPECT_EQ(line.value_or("<none>"), "7");
}

TEST_F(CaretFollowTest, ALongEchoScrollsRightAndTheNextQuestionBringsBackItsFirstColumn) {
  const std::string answer(90, 'x');
  std::optional<std::string> line;
  auto program = run_program([&] {
    core_->set_active_window(10);
    core_->write_text(window_.load(), "Answer: ");
    line = read_line(window_.load());
    core_->write_text(window_.load(), "\r\n Incorrect input\r\nAnswer: ");
  });
  ASSERT_TRUE(wait_for_read(window_));
  type(window_.load(), QString::fromStdString(answer));
  EXPECT_TRUE(wait_until([this] { return view()->scroll_position().x() > 0 && caret_in_view(); }));
  key(window_.load(), Qt::Key_Return);
  ASSERT_TRUE(join_program());
  wait_for_caret();
  EXPECT_EQ(line.value_or("<none>"), answer);
  // The question's prompt is in view, not only the caret after it.
  EXPECT_EQ(view()->scroll_position().x(), 0);
  EXPECT_TRUE(caret_in_view());
}

TEST_F(CaretFollowTest, ClearingTheWindowReturnsTheViewToTheTop) {
  write(numbered_rows(1, 40));
  ASSERT_GT(view()->scroll_position().y(), 0);
  // Cleared and written again: the first rows are in view.
  run([this] { core_->clear_screen(0); }, numbered_rows(1, 3));
  EXPECT_EQ(view()->scroll_position(), QPoint(0, 0));
  // Cleared while the caret already stands at the top left and the user looks further down.
  run([this] { core_->clear_screen(0); }, "");
  view()->scroll_to(0, 10 * kRow);
  settle(20);
  run([this] { core_->clear_screen(0); }, "");
  EXPECT_EQ(view()->scroll_position(), QPoint(0, 0));
}

TEST_F(CaretFollowTest, TheViewStaysWhileTheUserHoldsAScrollBar) {
  view()->verticalScrollBar()->setSliderDown(true);
  write(numbered_rows(1, 40));
  EXPECT_EQ(view()->scroll_position(), QPoint(0, 0));
  view()->verticalScrollBar()->setSliderDown(false);
  // The next output that moves the caret is followed again.
  write(numbered_rows(41, 1));
  EXPECT_TRUE(caret_in_view());
}

TEST_F(CaretFollowTest, SizeToFitAndFullScreenShowEverythingAndTheViewCatchesUpAfterwards) {
  // Size To Fit: no scrolling while the whole picture is shown.
  frame_->run_command(gui::kSizeToFit);
  ASSERT_TRUE(view()->fit_to_window());
  write(numbered_rows(1, 40));
  EXPECT_EQ(view()->scroll_position(), QPoint(0, 0));
  frame_->run_command(gui::kSizeToFit);
  ASSERT_FALSE(view()->fit_to_window());
  EXPECT_TRUE(wait_until([this] { return caret_in_view(); }));

  // Full Screen: the child's view follows once Full Screen ends.
  run([this] { core_->clear_screen(0); }, "");
  ASSERT_EQ(view()->scroll_position(), QPoint(0, 0));
  key(window_.load(), Qt::Key_Return, Qt::AltModifier);
  gui::FullScreenWindow* full = frame_->full_screen_window();
  ASSERT_NE(full, nullptr);
  write(numbered_rows(1, 40));
  EXPECT_EQ(view()->scroll_position(), QPoint(0, 0));
  QTest::keyClick(full, Qt::Key_Return, Qt::AltModifier);
  ASSERT_TRUE(wait_until([this] { return frame_->full_screen_window() == nullptr; }));
  EXPECT_TRUE(wait_until([this] { return caret_in_view(); }));
}

}  // namespace
}  // namespace gui_test
