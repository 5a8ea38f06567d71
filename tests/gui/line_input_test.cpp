// Typing a line into a child window while the program waits for it: editing keys, the
// 128-byte limit, function keys, control codes, pasted text, the status texts, and typing
// where no read waits.

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QTest>

#include <chrono>

#include "frame_fixture.h"
#include "gui/child_sub_window.h"
#include "gui/command_ids.h"
#include "gui/frame_menus.h"
#include "gui/full_screen_window.h"
#include "gui/status_bar.h"

namespace gui_test {
namespace {

using Keys = std::function<void(FrameTest&, int window)>;

struct TypingCase {
  const char* name;
  Keys keys;
  std::string expected_line;
  int expected_beeps;
};

class LineInputTest : public FrameTest {
 public:
  void key_in(int window, Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) { key(window, k, m); }

  // A program that opens the "Input Window" of unit 10 and reads one line into `line`;
  // returns once the read waits there.
  [[nodiscard]] ProgramGuard read_one_line(std::atomic<int>& window, std::optional<std::string>& line) {
    ProgramGuard program = run_program([&] {
      window.store(open_window("Input Window", 10));
      line = read_line(window.load());
    });
    EXPECT_TRUE(wait_for_read(window));
    return program;
  }
};

TEST_F(LineInputTest, TypedLinesReachTheProgramAsEdited) {
  const std::string x128(128, 'x');
  const std::vector<TypingCase> cases = {
      {"plain digits and Enter", [](FrameTest& t, int w) { t.type(w, "12"); }, "12", 0},
      {"Backspace drops the last byte",
       [](FrameTest& t, int w) {
         t.type(w, "13");
         t.key(w, Qt::Key_Backspace);
         t.type(w, "2");
       },
       "12", 0},
      {"Backspace with nothing typed does nothing",
       [](FrameTest& t, int w) {
         t.key(w, Qt::Key_Backspace);
         t.type(w, "7");
       },
       "7", 0},
      {"Tab becomes eight spaces",
       [](FrameTest& t, int w) {
         t.type(w, "a");
         t.key(w, Qt::Key_Tab);
         t.type(w, "b");
       },
       "a        b", 0},
      {"bytes beyond 128 beep and are dropped", [](FrameTest& t, int w) { t.type(w, QString(130, 'x')); }, x128, 2},
      {"Ctrl+Z is stored as byte 26",
       [](FrameTest& t, int w) {
         t.type(w, "a");
         t.key(w, Qt::Key_Z, Qt::ControlModifier);
       },
       std::string("a\x1a"), 0},
      {"Esc without a selection is an ordinary byte", [](FrameTest& t, int w) { t.key(w, Qt::Key_Escape); },
       std::string("\x1b"), 0},
      {"Latin-1 letters are typed as their byte",
       [](FrameTest& t, int w) { t.key_with_text(w, Qt::Key_Eacute, QString(QChar(0xE9))); }, std::string("\xe9"), 0},
  };
  for (const TypingCase& test : cases) {
    SCOPED_TRACE(test.name);
    restart();
    std::atomic<int> window{0};
    std::optional<std::string> line;
    auto program = run_program([&] {
      window.store(open_window("Input Window", 10));
      core_->write_text(window.load(), " ? ");
      line = read_line(window.load());
    });
    ASSERT_TRUE(wait_for_read(window));
    ASSERT_TRUE(wait_until([&] { return frame_->status_bar()->message() == "Input pending in Input Window"; }));
    test.keys(*this, window.load());
    key(window.load(), Qt::Key_Return);
    ASSERT_TRUE(join_program());
    ASSERT_TRUE(line.has_value());
    EXPECT_EQ(*line, test.expected_line);
    settle(20);
    EXPECT_EQ(beeps_.load(), test.expected_beeps);
    // The echo is on the prompt's row of the window.
    EXPECT_EQ(row_text(window.load(), 1).substr(0, 3), " ? ");
    EXPECT_TRUE(wait_until([&] { return frame_->status_bar()->message().isEmpty(); }));
  }
}

TEST_F(LineInputTest, FunctionKeysEndTheWaitLikeEnterWithoutBeingStored) {
  for (const Qt::Key function_key : {Qt::Key_F1, Qt::Key_F5, Qt::Key_F12}) {
    restart();
    std::atomic<int> window{0};
    std::optional<std::string> line;
    auto program = read_one_line(window, line);
    type(window.load(), "12");
    key(window.load(), function_key);
    ASSERT_TRUE(join_program());
    ASSERT_TRUE(line.has_value());
    EXPECT_EQ(*line, "12");
  }
}

TEST_F(LineInputTest, CtrlF4AndCtrlF6ActOnTheChildWindowsAndLeaveTheLineAsTyped) {
  std::atomic<int> first{0};
  std::atomic<int> second{0};
  std::atomic<int> input{0};
  std::optional<std::string> line;
  auto program = run_program([&] {
    first.store(open_window("First", 11));
    core_->write_text(first.load(), "1");
    second.store(open_window("Second", 12));
    core_->write_text(second.load(), "2");
    input.store(open_window("Input Window", 10));
    line = read_line(input.load());
  });
  ASSERT_TRUE(wait_for_read(input));
  ASSERT_TRUE(wait_until([&] { return frame_->active_window() == input.load(); }));
  type(input.load(), "q");
  // The window of an open unit stays; the read goes on waiting.
  key(input.load(), Qt::Key_F4, Qt::ControlModifier);
  settle(30);
  EXPECT_TRUE(frame_->sub_window(input.load())->isVisible());
  EXPECT_EQ(frame_->active_window(), input.load());
  // Ctrl+F6 goes forward through the windows in the Window popup's order, Ctrl+Shift+F6 back.
  struct Step {
    int from;
    Qt::KeyboardModifiers modifiers;
    int to;
  };
  const Qt::KeyboardModifiers back = Qt::ControlModifier | Qt::ShiftModifier;
  for (const Step& step :
       {Step{input.load(), Qt::ControlModifier, first.load()}, Step{first.load(), back, input.load()},
        Step{input.load(), back, second.load()}, Step{second.load(), Qt::ControlModifier, input.load()}}) {
    key(step.from, Qt::Key_F6, step.modifiers);
    EXPECT_TRUE(wait_until([&] { return frame_->active_window() == step.to; }))
        << "from " << step.from << " to " << step.to << ", active " << frame_->active_window();
    EXPECT_TRUE(view(step.to)->hasFocus());
  }
  EXPECT_EQ(core_->status_view().input_window, input.load());
  EXPECT_FALSE(program_done());
  type(input.load(), "r");
  key(input.load(), Qt::Key_Return);
  ASSERT_TRUE(join_program());
  EXPECT_EQ(line.value_or("<none>"), "qr");
  EXPECT_EQ(beeps_.load(), 0);
}

TEST_F(LineInputTest, CtrlF4AndCtrlF6DoNothingInFullScreen) {
  std::atomic<int> window{0};
  std::optional<std::string> line;
  auto program = read_one_line(window, line);
  key(window.load(), Qt::Key_Return, Qt::AltModifier);
  gui::FullScreenWindow* full = frame_->full_screen_window();
  ASSERT_NE(full, nullptr);
  QTest::keyClicks(full, "4");
  QTest::keyClick(full, Qt::Key_F4, Qt::ControlModifier);
  QTest::keyClick(full, Qt::Key_F6, Qt::ControlModifier);
  QTest::keyClicks(full, "2");
  settle(20);
  EXPECT_EQ(frame_->full_screen_window(), full);
  EXPECT_FALSE(program_done());
  QTest::keyClick(full, Qt::Key_Return);
  ASSERT_TRUE(join_program());
  EXPECT_EQ(line.value_or("<none>"), "42");
}

TEST_F(LineInputTest, TypingWhereNoReadWaitsBeepsAndStoresNothing) {
  std::atomic<int> input{0};
  std::atomic<int> other{0};
  std::optional<std::string> line;
  auto program = run_program([&] {
    other.store(open_window("Graphics", 11));
    input.store(open_window("Input Window", 10));
    line = read_line(input.load());
  });
  ASSERT_TRUE(wait_for_read(input));
  // Typed into the window that does not wait: each byte beeps.
  type(other.load(), "ab");
  settle(20);
  EXPECT_EQ(beeps_.load(), 2);
  type(input.load(), "c");
  key(input.load(), Qt::Key_Return);
  ASSERT_TRUE(join_program());
  EXPECT_EQ(line.value_or("?"), "c");
  EXPECT_EQ(row_text(other.load(), 1), "");
}

TEST_F(LineInputTest, PastedLinesFeedSuccessiveReads) {
  std::atomic<int> window{0};
  std::vector<std::string> lines;
  std::atomic<int> reads{0};
  auto program = run_program([&] {
    window.store(open_window("Input Window", 10));
    for (int i = 0; i < 3; ++i) {
      lines.push_back(read_line(window.load()).value_or("<refused>"));
      reads.fetch_add(1);
    }
  });
  ASSERT_TRUE(wait_for_read(window));
  QGuiApplication::clipboard()->setText(QStringLiteral("first\nsecond\nthi"));
  frame_->run_command(gui::kPaste);
  // Two whole lines go in at once; the third waits for Enter with "thi" already in it.
  ASSERT_TRUE(wait_until([&] { return reads.load() == 2 && core_->status_view().input_window == window.load(); }));
  EXPECT_TRUE(wait_until([&] { return frame_->status_bar()->message() == "Input pending in Input Window"; }));
  type(window.load(), "rd");
  key(window.load(), Qt::Key_Return);
  ASSERT_TRUE(join_program());
  EXPECT_EQ(lines, (std::vector<std::string>{"first", "second", "third"}));
  EXPECT_TRUE(wait_until([&] { return frame_->status_bar()->message().isEmpty(); }));
  EXPECT_FALSE(core_->status_view().paste_pending);
}

TEST_F(LineInputTest, WhileTheReadWaitsThroughAPasteTheStatusAndInputItemShowTheWait) {
  std::atomic<int> window{0};
  std::optional<std::string> line;
  auto program = read_one_line(window, line);
  QGuiApplication::clipboard()->setText(QStringLiteral("1.9"));
  frame_->run_command(gui::kPaste);
  // The read never stops waiting: the pasted text opens the line.
  EXPECT_EQ(core_->status_view().input_window, window.load());
  EXPECT_EQ(core_->status_view().message, "Input pending in Input Window");
  ASSERT_TRUE(wait_until([&] { return !core_->status_view().paste_pending; }));
  settle(30);
  EXPECT_EQ(frame_->status_bar()->message(), "Input pending in Input Window");
  frame_->menus().apply(frame_->current_menu_states());
  EXPECT_TRUE(frame_->menus().action(gui::kInput)->isEnabled());
  key(window.load(), Qt::Key_Return);
  ASSERT_TRUE(join_program());
  EXPECT_EQ(line.value_or("<none>"), "1.9");
  EXPECT_TRUE(wait_until([&] { return frame_->status_bar()->message().isEmpty(); }));
}

TEST_F(LineInputTest, CtrlCWhileAReadWaitsClosesTheFrameBeforeTheProgramSeesTheLine) {
  std::atomic<int> window{0};
  std::optional<std::string> line;
  auto program = read_one_line(window, line);
  type(window.load(), "12");
  key(window.load(), Qt::Key_C, Qt::ControlModifier);
  ASSERT_TRUE(wait_until([&] { return closed_code_.has_value(); }));
  EXPECT_TRUE(frame_->is_closed());
  EXPECT_EQ(*closed_code_, 0);
  EXPECT_FALSE(line.has_value());
}

enum class PasteBy { EditPaste, ShiftInsert };

struct PasteCase {
  const char* name;
  QString clipboard;
  PasteBy by;
  std::vector<std::string> lines;  // what successive reads return
};

// What the reads ask for: more than one line holds.
constexpr std::size_t kReadCapacity = 1024;

TEST_F(LineInputTest, PastedTextIsCutIntoLinesThatNeverOverrunTheLine) {
  const std::vector<PasteCase> cases = {
      {"rows ended by CR LF feed a read each",
       "first row\r\nsecond row\r\n",
       PasteBy::ShiftInsert,
       {"first row", "second row"}},
      {"tabs become eight spaces", "a\tb\n", PasteBy::EditPaste, {"a        b"}},
      {"a carriage return writes over the start of the line", "abcdef\rXY\n", PasteBy::ShiftInsert, {"XYcdef"}},
      {"an over-long line is cut at 126 bytes and the rest goes to the next read",
       QString(200, QLatin1Char('p')) + "\n",
       PasteBy::EditPaste,
       {std::string(126, 'p'), std::string(74, 'p')}},
      {"tabs that outgrow the line go on in the next read",
       QString(20, QLatin1Char('\t')) + "x\n",
       PasteBy::ShiftInsert,
       {std::string(128, ' '), std::string(32, ' ') + "x"}},
  };
  for (const PasteCase& test : cases) {
    SCOPED_TRACE(test.name);
    restart();
    std::atomic<int> window{0};
    std::vector<std::string> lines;
    auto program = run_program([&] {
      window.store(open_window("Input Window", 10));
      for (std::size_t i = 0; i < test.lines.size(); ++i) {
        lines.push_back(read_line(window.load(), kReadCapacity).value_or("<refused>"));
      }
    });
    ASSERT_TRUE(wait_for_read(window));
    QGuiApplication::clipboard()->setText(test.clipboard);
    if (test.by == PasteBy::ShiftInsert) {
      key(window.load(), Qt::Key_Insert, Qt::ShiftModifier);
    } else {
      frame_->run_command(gui::kPaste);
    }
    ASSERT_TRUE(join_program());
    EXPECT_EQ(lines, test.lines);
    // The reads ask for up to 1024 bytes; a line filled while its read waited holds 128 at most.
    for (const std::string& line : lines) EXPECT_LE(line.size(), 128u);
    EXPECT_FALSE(core_->status_view().paste_pending);
    EXPECT_TRUE(wait_until([&] { return frame_->status_bar()->message().isEmpty(); }));
    // The window shows the line as it was taken.
    if (test.lines.size() == 1) {
      EXPECT_EQ(row_text(window.load(), 1), test.lines.front());
    }
  }
}

TEST_F(LineInputTest, ClearPasteDropsThePastedLinesNoReadHasTaken) {
  std::atomic<int> window{0};
  std::atomic<bool> first_taken{false};
  std::atomic<bool> go_on{false};
  std::vector<std::string> lines;
  auto program = run_program([&] {
    window.store(open_window("Input Window", 10));
    lines.push_back(read_line(window.load()).value_or("<refused>"));
    first_taken.store(true);
    while (!go_on.load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    lines.push_back(read_line(window.load()).value_or("<refused>"));
  });
  ASSERT_TRUE(wait_for_read(window));
  QGuiApplication::clipboard()->setText(QStringLiteral("first\nsecond\nthird\n"));
  key(window.load(), Qt::Key_Insert, Qt::ShiftModifier);
  ASSERT_TRUE(wait_until([&] { return first_taken.load(); }));
  EXPECT_TRUE(core_->status_view().paste_pending);
  EXPECT_TRUE(wait_until([&] { return frame_->status_bar()->message() == "Paste input pending"; }));

  frame_->run_command(gui::kClearPaste);
  EXPECT_FALSE(core_->status_view().paste_pending);
  EXPECT_TRUE(wait_until([&] { return frame_->status_bar()->message().isEmpty(); }));
  go_on.store(true);
  // The next read waits for the keyboard instead of taking "second".
  ASSERT_TRUE(wait_for_read(window));
  type(window.load(), "typed");
  key(window.load(), Qt::Key_Return);
  ASSERT_TRUE(join_program());
  EXPECT_EQ(lines, (std::vector<std::string>{"first", "typed"}));
}

}  // namespace
}  // namespace gui_test
