// Selecting and copying through the frame's commands: the copied text and pictures as the
// clipboard holds them, the title prefixes of a selection, and the pause that a selection
// holds until Copy, Esc or Resume ends it.

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMdiArea>
#include <QTest>

#include <chrono>

#include "console/palette.h"
#include "frame_fixture.h"
#include "gui/child_sub_window.h"
#include "gui/command_ids.h"
#include "gui/picture_commands.h"
#include "gui/status_bar.h"

namespace gui_test {
namespace {

constexpr int kCell = 8;  // the default text cell: 8 x 16 pixels
constexpr int kRow = 16;

QRgb palette_colour(int index) {
  const console::PaletteEntry entry = console::default_palette_entry(index);
  return qRgb(entry.red, entry.green, entry.blue);
}

// A colour as an image of `bits` per pixel holds it: 5 bits per component at 16.
QRgb kept(QRgb colour, int bits) {
  const QRgb mask = bits == 16 ? 0xF8F8F8 : 0xFFFFFF;
  return colour & mask;
}

// A point in the middle of the row, on the boundary left of `column`.
QPoint at_column(int column, int row) { return QPoint(column * kCell, row * kRow + kRow / 2); }

// The frame with the selection and copy commands, and a program that keeps running after it
// has written into its window, counting its passes through the pause gate.
class SelectionCopyTest : public FrameTest {
 public:
  void SetUp() override {
    frame_options_.window_commands = &commands_;
    FrameTest::SetUp();
    commands_.attach(frame_.get(), core_.get());
    QGuiApplication::clipboard()->clear();
  }
  void TearDown() override {
    stop_.store(true);
    FrameTest::TearDown();
    commands_.attach(nullptr, nullptr);
  }

  // Opens a text window and writes `text` into it.
  void start_text_program(const std::string& text) {
    start_program("Input Window", 10, [this, text](int window) { core_->write_text(window, text); });
  }
  // Opens a 200 x 100 graphics window with the test picture.
  void start_graphics_program() {
    start_program("Graphics", 11, [this](int window) { draw_picture(window); });
    ASSERT_TRUE(wait_until([this] { return shown()->viewport()->size() == QSize(200, 100); }));
  }
  // On the program thread: makes `window` 200 x 100 pixels and draws a pixel in colour 12 at
  // (3, 2) and a filled rectangle in colour 10 from (20, 30) to (59, 69), on black.
  void draw_picture(int window) {
    auto record = core_->find_window(window);
    console::WindowConfig config;
    config.pixels_x = 200;
    config.pixels_y = 100;
    while (core_->apply_config(*record, config) == console::ConsoleCore::ApplyOutcome::Changed) {
    }
    core_->set_color(12);
    core_->set_pixel(3, 2);
    core_->set_color(10);
    core_->draw_rectangle(console::kFilledInterior, 20, 30, 59, 69);
  }

  // The program opens its window, runs `prepare` on it and then keeps running; the window
  // is shown and active in the frame.
  void start_program(const std::string& title, std::int32_t unit, std::function<void(int)> prepare) {
    run_program([this, title, unit, prepare] {
      const int window = open_window(title, unit);
      prepare(window);
      window_.store(window);
      while (!stop_.load()) {
        core_->pass_pause_gate();
        ticks_.fetch_add(1);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
    }).release();
    ASSERT_TRUE(wait_until([this] {
      const int window = window_.load();
      return window != 0 && frame_->view(window) != nullptr && frame_->view(window)->isVisible();
    }));
    activate(window_.load());
    settle(20);
  }
  void activate(int window) {
    frame_->mdi_area()->setActiveSubWindow(frame_->sub_window(window));
    ASSERT_TRUE(wait_until([this, window] { return frame_->active_window() == window; }));
  }

  // Ends the program and starts the frame again on a display of `display_bits`.
  void fresh(int display_bits = 32) {
    stop_.store(true);
    stop_program();
    stop_.store(false);
    window_.store(0);
    options_.display = console::DisplayInfo{1024, 768, display_bits, 1};
    restart();
    commands_.attach(frame_.get(), core_.get());
    QGuiApplication::clipboard()->clear();
  }

  gui::ChildView* shown() { return view(window_.load()); }
  QString title() { return title_of(window_.load()); }
  QString title_of(int window) { return frame_->sub_window(window)->windowTitle(); }

  // Runs a selection command and waits until the program has stopped and the selection is on.
  void begin(int command) {
    frame_->run_command(command);
    ASSERT_TRUE(wait_until(
        [this] { return shown()->selection_in_progress() && core_->run_state() == console::RunState::Paused; }));
  }
  void press(QPoint at) { QTest::mousePress(shown()->viewport(), Qt::LeftButton, Qt::NoModifier, at); }
  void release(QPoint at) { QTest::mouseRelease(shown()->viewport(), Qt::LeftButton, Qt::NoModifier, at); }
  void drag(QPoint from, QPoint to) {
    press(from);
    release(to);
  }
  void keys(Qt::Key k, int times, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    for (int i = 0; i < times; ++i) key(window_.load(), k, modifiers);
  }

  // The program makes progress (it is not paused).
  bool program_moves() {
    const long before = ticks_.load();
    return wait_until([&] { return ticks_.load() > before + 2; }, 2000);
  }
  // The program makes no progress for a while.
  bool program_stands_still() {
    settle(15);
    const long before = ticks_.load();
    settle(60);
    return ticks_.load() == before;
  }

  QImage surface_copy() {
    auto record = core_->find_window(window_.load());
    std::lock_guard lock(record->draw_lock);
    return record->surface().copy();
  }

  gui::PictureCommands commands_;
  std::atomic<int> window_{0};
  std::atomic<bool> stop_{false};
  std::atomic<long> ticks_{0};
};

// ---- copied text ----

using Action = std::function<void(SelectionCopyTest&)>;

struct TextCopyCase {
  const char* name;
  std::string written;
  int command;
  Action select;
  std::string expected;
  Action before = nullptr;  // runs before the selection starts
};

void PrintTo(const TextCopyCase& c, std::ostream* os) { *os << c.name; }

class TextCopyTest : public SelectionCopyTest, public ::testing::WithParamInterface<TextCopyCase> {};

TEST_P(TextCopyTest, CopyPutsTheSelectedTextOnTheClipboard) {
  const TextCopyCase& c = GetParam();
  start_text_program(c.written);
  if (c.before) c.before(*this);
  begin(c.command);
  c.select(*this);
  ASSERT_TRUE(shown()->selection_has_area());
  // Ctrl+Insert, as from the keyboard.
  key(window_.load(), Qt::Key_Insert, Qt::ControlModifier);
  EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), c.expected);
  EXPECT_FALSE(shown()->selection_in_progress());
}

const std::string kTwoRows = "alpha beta\r\ngamma delta\r\n";
const std::string kFourRows = "r1\r\nr2\r\nrow three\r\nrow four\r\n";

INSTANTIATE_TEST_SUITE_P(
    Selections, TextCopyTest,
    ::testing::Values(TextCopyCase{"keys_middle_of_a_row_to_the_middle_of_the_next", kTwoRows, gui::kSelectText,
                                   [](SelectionCopyTest& t) {
                                     t.keys(Qt::Key_Right, 6);
                                     t.keys(Qt::Key_Down, 1, Qt::ShiftModifier);
                                     t.keys(Qt::Key_Left, 1, Qt::ShiftModifier);
                                   },
                                   "beta\r\ngamma"},
                      TextCopyCase{"mouse_dragged_backwards", kTwoRows, gui::kSelectText,
                                   [](SelectionCopyTest& t) { t.drag(at_column(5, 1), at_column(6, 0)); },
                                   "beta\r\ngamma"},
                      TextCopyCase{"blank_rows_between_add_nothing", "alpha\r\n\r\n   \r\nomega\r\n", gui::kSelectText,
                                   [](SelectionCopyTest& t) { t.drag(at_column(3, 0), at_column(2, 3)); }, "ha\r\nom"},
                      TextCopyCase{"one_row_to_its_end_keeps_its_line_end", kTwoRows, gui::kSelectText,
                                   [](SelectionCopyTest& t) {
                                     t.keys(Qt::Key_Down, 1);
                                     t.keys(Qt::Key_End, 1, Qt::ShiftModifier);
                                   },
                                   "gamma delta\r\n"},
                      TextCopyCase{"within_one_row", kTwoRows, gui::kSelectText,
                                   [](SelectionCopyTest& t) { t.drag(at_column(2, 0), at_column(8, 0)); }, "pha be"},
                      TextCopyCase{"keys_in_a_scrolled_view_start_at_its_top_left_cell", kFourRows, gui::kSelectText,
                                   [](SelectionCopyTest& t) { t.keys(Qt::Key_End, 1, Qt::ShiftModifier); },
                                   "row three\r\n", [](SelectionCopyTest& t) { t.keys(Qt::Key_Down, 2); }},
                      TextCopyCase{"mouse_in_a_view_scrolled_during_the_selection", kFourRows, gui::kSelectText,
                                   [](SelectionCopyTest& t) {
                                     t.shown()->scroll_to(0, 2 * kRow);
                                     t.drag(at_column(4, 0), at_column(3, 1));
                                   },
                                   "three\r\nrow"},
                      TextCopyCase{"select_all_of_a_text_window", "alpha beta\r\n\r\n  indented\r\n", gui::kSelectAll,
                                   [](SelectionCopyTest&) {}, "alpha beta\r\n  indented\r\n"}),
    [](const ::testing::TestParamInfo<TextCopyCase>& info) { return std::string(info.param.name); });

// ---- title prefixes and the pause ----

enum class Ender { CopyCommand, CtrlInsert, Esc, ResumeCommand, CtrlQ };

struct PrefixCase {
  const char* name;
  bool graphics;
  int command;
  bool mouse;  // a press and release in the view after the start
  QString marking_title;
  QString selecting_title;  // after the mouse (or at once for Select All)
  Ender ender;
};

TEST_F(SelectionCopyTest, SelectionShowsItsTitlePrefixAndHoldsTheProgramUntilItEnds) {
  const std::vector<PrefixCase> cases = {
      {"text marked, ended by Esc", false, gui::kSelectText, false, "Mark Text - Input Window", "", Ender::Esc},
      {"text by mouse, ended by Copy", false, gui::kSelectText, true, "Mark Text - Input Window",
       "Select Text - Input Window", Ender::CopyCommand},
      {"text Select All, ended by Resume", false, gui::kSelectAll, false, "", "Select Text - Input Window",
       Ender::ResumeCommand},
      {"graphics marked, ended by Ctrl+Q", true, gui::kSelectGraphics, false, "Mark Graphics - Graphics", "",
       Ender::CtrlQ},
      {"graphics by mouse, ended by Ctrl+Insert", true, gui::kSelectGraphics, true, "Mark Graphics - Graphics",
       "Select Graphics in Graphics", Ender::CtrlInsert},
      {"graphics Select All, ended by Esc", true, gui::kSelectAll, false, "", "Select Graphics in Graphics",
       Ender::Esc},
  };
  for (const PrefixCase& test : cases) {
    SCOPED_TRACE(test.name);
    fresh();
    if (test.graphics) {
      start_graphics_program();
    } else {
      start_text_program("alpha beta\r\n");
    }
    const QString own_title = test.graphics ? "Graphics" : "Input Window";
    ASSERT_EQ(title(), own_title);
    ASSERT_TRUE(program_moves());

    begin(test.command);
    EXPECT_TRUE(wait_until([this] { return frame_->status_bar()->state_text() == "Paused"; }));
    if (!test.marking_title.isEmpty()) {
      EXPECT_EQ(title(), test.marking_title);
    }
    if (test.mouse) {
      drag(QPoint(10, 5), QPoint(50, 40));
    } else if (test.command != gui::kSelectAll) {
      // Only the mark is placed: there is nothing to copy and the selection stays.
      key(window_.load(), Qt::Key_Insert, Qt::ControlModifier);
      EXPECT_TRUE(shown()->selection_in_progress());
      EXPECT_TRUE(QGuiApplication::clipboard()->text().isEmpty());
    }
    if (!test.selecting_title.isEmpty()) {
      EXPECT_EQ(title(), test.selecting_title);
    }
    EXPECT_TRUE(program_stands_still());
    EXPECT_EQ(core_->run_state(), console::RunState::Paused);
    // Pasting is not offered while a selection is on.
    QGuiApplication::clipboard()->setText(QStringLiteral("pasted\n"));
    key(window_.load(), Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_FALSE(core_->status_view().paste_pending);
    QGuiApplication::clipboard()->clear();

    const bool copies = test.ender == Ender::CopyCommand || test.ender == Ender::CtrlInsert;
    switch (test.ender) {
      case Ender::CopyCommand: frame_->run_command(gui::kCopy); break;
      case Ender::CtrlInsert: key(window_.load(), Qt::Key_Insert, Qt::ControlModifier); break;
      case Ender::Esc: key(window_.load(), Qt::Key_Escape); break;
      case Ender::ResumeCommand: frame_->run_command(gui::kResume); break;
      case Ender::CtrlQ: key(window_.load(), Qt::Key_Q, Qt::ControlModifier); break;
    }
    EXPECT_FALSE(shown()->selection_in_progress());
    EXPECT_EQ(title(), own_title);
    EXPECT_TRUE(program_moves());
    EXPECT_EQ(core_->run_state(), console::RunState::Running);
    EXPECT_TRUE(wait_until([this] { return frame_->status_bar()->state_text() == "Running"; }));
    const QClipboard* clipboard = QGuiApplication::clipboard();
    if (copies) {
      EXPECT_TRUE(test.graphics ? !clipboard->image().isNull() : !clipboard->text().isEmpty());
    } else {
      EXPECT_TRUE(clipboard->text().isEmpty());
      EXPECT_TRUE(clipboard->image().isNull());
    }
    // Esc and Ctrl+Q ended the selection; neither reached the window as a typed byte.
    EXPECT_EQ(beeps_.load(), 0);
  }
}

TEST_F(SelectionCopyTest, StartingASelectionInAnotherWindowMovesItThereAndKeepsThePause) {
  std::atomic<int> graphics{0};
  start_program("Input Window", 10, [this, &graphics](int window) {
    core_->write_text(window, "alpha\r\n");
    const int other = open_window("Graphics", 11);
    draw_picture(other);
    graphics.store(other);
  });
  const int text = window_.load();
  ASSERT_TRUE(wait_until([&] { return view(graphics.load())->isVisible(); }));
  // The graphics window takes the focus when it first shows, which may come after the
  // fixture activated the text window.
  activate(text);
  begin(gui::kSelectText);
  EXPECT_EQ(title_of(text), "Mark Text - Input Window");

  activate(graphics.load());
  frame_->run_command(gui::kSelectGraphics);
  ASSERT_TRUE(wait_until([&] { return view(graphics.load())->selection_in_progress(); }));
  EXPECT_FALSE(view(text)->selection_in_progress());
  EXPECT_EQ(title_of(text), "Input Window");
  EXPECT_EQ(title_of(graphics.load()), "Mark Graphics - Graphics");
  EXPECT_EQ(commands_.selection_window(), graphics.load());
  // The pause went over with the selection: the program still stands.
  EXPECT_TRUE(program_stands_still());
  EXPECT_EQ(core_->run_state(), console::RunState::Paused);

  key(graphics.load(), Qt::Key_Escape);
  EXPECT_EQ(title_of(graphics.load()), "Graphics");
  EXPECT_EQ(commands_.selection_window(), 0);
  EXPECT_TRUE(program_moves());
  EXPECT_EQ(core_->run_state(), console::RunState::Running);
}

TEST_F(SelectionCopyTest, APauseOfTheUserOutlastsASelection) {
  start_text_program("alpha\r\n");
  frame_->run_command(gui::kPause);
  ASSERT_TRUE(wait_until([this] { return core_->run_state() == console::RunState::Paused; }));
  begin(gui::kSelectText);
  key(window_.load(), Qt::Key_Escape);
  EXPECT_FALSE(shown()->selection_in_progress());
  EXPECT_EQ(title(), "Input Window");
  // The selection gave back only its own pause.
  EXPECT_TRUE(program_stands_still());
  EXPECT_EQ(core_->run_state(), console::RunState::Paused);
  frame_->run_command(gui::kResume);
  EXPECT_TRUE(program_moves());
  EXPECT_EQ(core_->run_state(), console::RunState::Running);
}

// ---- copied pictures ----

struct PictureCase {
  const char* name;
  int command;
  Action select;
  QRect expected;  // surface pixels
  int display_bits = 32;
};

TEST_F(SelectionCopyTest, CopiedPicturesHoldThePixelsDrawn) {
  const std::vector<PictureCase> cases = {
      {"Select All takes the whole picture", gui::kSelectAll, [](SelectionCopyTest&) {}, QRect(0, 0, 200, 100)},
      {"Select All on a display of 16 bits", gui::kSelectAll, [](SelectionCopyTest&) {}, QRect(0, 0, 200, 100), 16},
      {"Select All on a display of 8 bits", gui::kSelectAll, [](SelectionCopyTest&) {}, QRect(0, 0, 200, 100), 8},
      {"a rectangle dragged with the mouse", gui::kSelectGraphics,
       [](SelectionCopyTest& t) { t.drag(QPoint(10, 20), QPoint(70, 50)); }, QRect(QPoint(10, 20), QPoint(70, 50))},
      {"a rectangle dragged from its bottom-right corner", gui::kSelectGraphics,
       [](SelectionCopyTest& t) { t.drag(QPoint(40, 60), QPoint(2, 1)); }, QRect(QPoint(2, 1), QPoint(40, 60))},
      {"a rectangle stretched with Shift and the arrows", gui::kSelectGraphics,
       [](SelectionCopyTest& t) {
         t.keys(Qt::Key_Right, 3, Qt::ShiftModifier);
         t.keys(Qt::Key_Down, 2, Qt::ShiftModifier);
       },
       QRect(0, 0, 4, 3)},
  };
  for (const PictureCase& test : cases) {
    SCOPED_TRACE(test.name);
    fresh(test.display_bits);
    start_graphics_program();
    begin(test.command);
    test.select(*this);
    frame_->run_command(gui::kCopy);
    const QImage copied = QGuiApplication::clipboard()->image();
    ASSERT_FALSE(copied.isNull());
    ASSERT_EQ(copied.size(), test.expected.size());
    const QImage surface = surface_copy();
    int mismatches = 0;
    for (int y = 0; y < copied.height(); ++y) {
      for (int x = 0; x < copied.width(); ++x) {
        const QPoint on_surface = test.expected.topLeft() + QPoint(x, y);
        if (kept(copied.pixel(x, y), test.display_bits) != kept(surface.pixel(on_surface), test.display_bits)) {
          ++mismatches;
        }
      }
    }
    EXPECT_EQ(mismatches, 0);
    // What was drawn is there in its colours, and black elsewhere.
    auto copied_at = [&](QPoint p) { return kept(copied.pixel(p - test.expected.topLeft()), test.display_bits); };
    if (test.expected.contains(QPoint(3, 2))) {
      EXPECT_EQ(copied_at(QPoint(3, 2)), kept(palette_colour(12), test.display_bits));
    }
    if (test.expected.contains(QPoint(25, 35))) {
      EXPECT_EQ(copied_at(QPoint(25, 35)), kept(palette_colour(10), test.display_bits));
    }
    if (test.expected.contains(QPoint(1, 1))) {
      EXPECT_EQ(copied_at(QPoint(1, 1)), 0u);
    }
  }
}

}  // namespace
}  // namespace gui_test
