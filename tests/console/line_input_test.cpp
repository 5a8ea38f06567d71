// Line input with the read on the GUI thread (the test thread): the read waits in a nested
// event loop, and the typing is queued to that loop.

#include <gtest/gtest.h>

#include <QTimer>

#include <functional>
#include <string>
#include <vector>

#include "console_test_support.h"

namespace console_test {
namespace {

class LineInputTest : public ConsoleTest {
 protected:
  void SetUp() override {
    ConsoleTest::SetUp();
    window = core->create_unit_window("Input Window", true);
  }
  // Queues `typing` to run inside the read's nested loop.
  void while_waiting(std::function<void()> typing) { QTimer::singleShot(0, std::move(typing)); }
  void type(const std::string& text) {
    for (const char c : text) core->type_character(window, static_cast<unsigned char>(c));
  }
  std::string read(std::size_t n) {
    std::string buffer(n, '\0');
    const long count = core->read_line(window, buffer.data(), n);
    if (count < 0) return "<refused>";
    buffer.resize(static_cast<std::size_t>(count));
    return buffer;
  }
  int window = 0;
};

TEST_F(LineInputTest, CarriedOverTextIsReadWithoutWaiting) {
  while_waiting([this] { type("yes\r"); });
  EXPECT_EQ(read(1), "y");
  core->take_status_view();  // re-arms the status notification
  const int notifications = presentation.status_notifications();
  EXPECT_EQ(read(2), "es");  // nothing typed: no wait
  EXPECT_EQ(presentation.status_notifications(), notifications);
  EXPECT_EQ(core->status_view().message, "");
}

TEST_F(LineInputTest, StatusShowsTheWaitAndItsOwner) {
  core->set_status_message("before");
  std::string seen;
  int owner = 0;
  while_waiting([&] {
    const auto view = core->status_view();
    seen = view.message;
    owner = view.input_window;
    type("1\r");
  });
  EXPECT_EQ(read(1024), "1");
  EXPECT_EQ(seen, "Input pending in Input Window");
  EXPECT_EQ(owner, window);
  EXPECT_EQ(core->status_view().message, "before");
  EXPECT_EQ(core->status_view().input_window, 0);
}

TEST_F(LineInputTest, LimitOf128BytesBeeps) {
  while_waiting([this] {
    type(std::string(130, 'k'));
    type("\r");
  });
  EXPECT_EQ(read(1024), std::string(128, 'k'));
  EXPECT_EQ(presentation.beeps(), 2);
  EXPECT_EQ(presentation.written(window), std::string(128, 'k'));  // the extra bytes are not echoed
}

TEST_F(LineInputTest, BackspaceErasesTheLastCell) {
  while_waiting([this] { type("ab\bc\r"); });
  EXPECT_EQ(read(1024), "ac");
  EXPECT_EQ(row_text(window, 1), "ac");
  EXPECT_EQ(presentation.written(window), "ab\bc");
  EXPECT_EQ(presentation.beeps(), 0);
}

TEST_F(LineInputTest, BackspaceAtTheFirstCellBeepsAndKeepsTheLine) {
  while_waiting([this] {
    type("a");
    with_record(window, [](console::ChildWindowRecord& r) {
      r.text_row = 1;
      r.text_column = 1;
    });
    type("\b\r");
  });
  EXPECT_EQ(read(1024), "a");
  EXPECT_EQ(presentation.beeps(), 1);
}

TEST_F(LineInputTest, BackspaceFromColumnOneGoesToTheRowAbove) {
  core->write_text(window, std::string(127, '.'));
  while_waiting([this] { type("xy\b\b\r"); });  // x fills column 128, y wraps to row 2
  EXPECT_EQ(read(1024), "");
  EXPECT_EQ(row_text(window, 1), std::string(127, '.'));
  EXPECT_EQ(row_text(window, 2), "");
  EXPECT_EQ(text_position(window), std::make_pair(1, 128));
}

TEST_F(LineInputTest, TabNearTheLimit) {
  while_waiting([this] {
    type(std::string(120, 't'));
    type("\t\r");
  });
  EXPECT_EQ(read(1024), std::string(120, 't') + std::string(6, ' '));
  EXPECT_EQ(presentation.beeps(), 1);
}

TEST_F(LineInputTest, TypingIntoAWindowThatDoesNotWaitBeeps) {
  const int other = core->create_window("Other");
  core->type_character(window, 'x');  // no read at all
  EXPECT_EQ(presentation.beeps(), 1);
  while_waiting([&] {
    core->type_character(other, 'z');
    type("ok\r");
  });
  EXPECT_EQ(read(1024), "ok");
  EXPECT_EQ(presentation.beeps(), 2);
}

TEST_F(LineInputTest, SecondReadOnTheGuiThreadIsRefused) {
  std::string inner;
  while_waiting([&] {
    inner = read(10);
    type("outer\r");
  });
  EXPECT_EQ(read(1024), "outer");
  EXPECT_EQ(inner, "<refused>");
}

TEST_F(LineInputTest, PastingTwoLinesWhileWaiting) {
  while_waiting([this] { core->paste(window, "first\nsecond\n"); });
  EXPECT_EQ(read(1024), "first");
  EXPECT_EQ(core->status_view().message, "Paste input pending");
  EXPECT_TRUE(core->take_status_view().paste_pending);
  const int notifications = presentation.status_notifications();
  EXPECT_EQ(read(1024), "second");  // without waiting
  EXPECT_EQ(core->status_view().message, "");
  EXPECT_FALSE(core->status_view().paste_pending);
  EXPECT_GT(presentation.status_notifications(), notifications);
  EXPECT_EQ(presentation.written(window), "firstsecond");
}

TEST_F(LineInputTest, PastingWithoutFinalLineFeedLeavesTheLineOpen) {
  bool still_waiting = false;
  while_waiting([&] {
    core->paste(window, "12");
    QTimer::singleShot(0, [&] {
      still_waiting = core->status_view().input_window == window;
      type("3\r");
    });
  });
  EXPECT_EQ(read(1024), "123");
  EXPECT_TRUE(still_waiting);
}

TEST_F(LineInputTest, APasteThatLeavesTheLineOpenKeepsTheWaitInTheStatus) {
  // The status as the paste returns, and once the read has taken the pasted text and waits
  // for the rest of the line.
  std::vector<console::StatusView> seen;
  while_waiting([&] {
    core->paste(window, "12");
    seen.push_back(core->status_view());
    QTimer::singleShot(0, [&] {
      seen.push_back(core->status_view());
      type("3\r");
    });
  });
  EXPECT_EQ(read(1024), "123");
  ASSERT_EQ(seen.size(), 2u);
  for (const console::StatusView& view : seen) {
    EXPECT_EQ(view.message, "Input pending in Input Window");
    EXPECT_EQ(view.input_window, window);
  }
  EXPECT_FALSE(seen.back().paste_pending);
  EXPECT_EQ(core->status_view().message, "");
  EXPECT_EQ(core->status_view().input_window, 0);
}

TEST_F(LineInputTest, PasteBeforeTheReadIsTakenAtOnce) {
  core->paste(window, "a\tb\rX\n");
  EXPECT_EQ(read(1024), "X        b");
  EXPECT_EQ(row_text(window, 1), "X        b");
}

TEST_F(LineInputTest, OverLongPasteIsSplitNeverOverrunningTheLine) {
  const std::string pasted = std::string(200, 'p') + "\n";
  while_waiting([&] {
    type("abc");
    core->paste(window, pasted);
  });
  const std::string first = read(1024);
  EXPECT_EQ(first, "abc" + std::string(123, 'p'));  // 126 bytes
  EXPECT_EQ(read(1024), std::string(77, 'p'));      // the rest, not lost
}

TEST_F(LineInputTest, PastedTabsBeyondTheLineAreCarriedToTheNextLine) {
  while_waiting([&] {
    type(std::string(110, 'q'));
    core->paste(window, "\t\t\tx\n");  // 3 tabs = 24 spaces; 18 fit
  });
  EXPECT_EQ(read(1024), std::string(110, 'q') + std::string(16, ' '));
  EXPECT_EQ(read(1024), std::string(8, ' ') + "x");
}

TEST_F(LineInputTest, ClearPasteDiscardsPendingText) {
  core->paste(window, "discard\n");
  EXPECT_EQ(core->status_view().message, "Paste input pending");
  core->clear_paste();
  EXPECT_EQ(core->status_view().message, "");
  while_waiting([this] { type("typed\r"); });
  EXPECT_EQ(read(1024), "typed");
}

TEST_F(LineInputTest, EmptyPasteChangesNothing) {
  core->paste(window, "");
  EXPECT_FALSE(core->status_view().paste_pending);
  EXPECT_EQ(presentation.status_notifications(), 0);
}

TEST_F(LineInputTest, ControlKeysRunCommands) {
  core->type_character(window, 19);  // Ctrl+S
  EXPECT_EQ(core->run_state(), console::RunState::Paused);
  core->type_character(window, 'x');  // dropped while paused
  EXPECT_EQ(presentation.beeps(), 1);
  core->type_character(window, 17);  // Ctrl+Q
  EXPECT_EQ(core->run_state(), console::RunState::Running);
  core->type_character(window, 19);
  while_waiting([this] {
    core->type_character(window, 27);  // Esc resumes and is an ordinary byte
    type("\r");
  });
  EXPECT_EQ(read(1024), "\x1b");
  EXPECT_EQ(core->run_state(), console::RunState::Running);
  core->type_character(window, 3);  // Ctrl+C: Exit
  EXPECT_EQ(presentation.close_frame_calls(), 1);
}

TEST_F(LineInputTest, NestedReadAcceptsTypingWhilePaused) {
  core->pause();
  while_waiting([this] { type("p\r"); });
  EXPECT_EQ(read(1024), "p");
  core->resume(window);
}

TEST_F(LineInputTest, ReadRefusesUnknownWindows) {
  char buffer[4];
  EXPECT_EQ(core->read_line(1063, buffer, 4), -1);
  EXPECT_EQ(core->read_line(12, buffer, 4), -1);
}

TEST_F(LineInputTest, ReadOfNothingWithAnEmptyBufferDoesNotCrash) {
  core->paste(window, "abc\n");
  EXPECT_EQ(core->read_line(window, nullptr, 0), 0);
  EXPECT_EQ(read(1024), "abc");
}

}  // namespace
}  // namespace console_test
