// What a child window shows: the surface painted at the scroll offsets, only the changed
// area copied from the core, the caret inverting its cell while the window has the focus,
// the size set_window_size asks for, the fitting of small virtual screens, and the profile
// key and initial settings that decide how the frame is first shown.

#include <QMdiArea>
#include <QScrollBar>
#include <QSettings>
#include <QTest>

#include "console/palette.h"
#include "frame_fixture.h"
#include "gui/child_sub_window.h"
#include "gui/status_bar.h"

namespace gui_test {
namespace {

class PaintingTest : public FrameTest {
 protected:
  // Opens a black-on-white text window the way the dialogue does and writes `text`.
  int open_white_window(const std::string& text) {
    std::atomic<int> window{0};
    auto program = run_program([&] {
      window.store(open_window("Input Window", 10));
      core_->set_bk_color(15);
      core_->clear_screen(0);
      core_->set_text_color(0);
      core_->display_cursor(1);
      core_->write_text(window.load(), text);
    });
    EXPECT_TRUE(join_program());
    EXPECT_TRUE(wait_until([&] { return view(window.load()) != nullptr && view(window.load())->isVisible(); }));
    settle(40);
    return window.load();
  }
  QImage grab_viewport(gui::ChildView* shown) {
    return shown->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  }
};

TEST_F(PaintingTest, TheViewShowsTheSurfaceAndTheCaretInvertsItsCell) {
  const int window = open_white_window("Ab");
  gui::ChildView* shown = view(window);
  ASSERT_NE(shown, nullptr);
  shown->setFocus();
  ASSERT_TRUE(wait_until([&] { return shown->caret_shown(); }));
  settle(40);
  const QImage picture = grab_viewport(shown);
  const QImage& mirror = shown->mirror().image();
  // The caret stands after "Ab": its cell is the inverse of the surface there.
  const QRect caret = shown->caret_cell();
  EXPECT_EQ(caret, QRect(2 * 8, 0, 8, 16));
  for (const QPoint p : {QPoint(0, 0), QPoint(3, 5), QPoint(10, 12), QPoint(40, 40)}) {
    EXPECT_EQ(picture.pixel(p), mirror.pixel(p)) << p.x() << "," << p.y();
  }
  EXPECT_EQ(qRgb(255, 255, 255), mirror.pixel(caret.center()));
  EXPECT_EQ(picture.pixel(caret.center()) & 0xFFFFFF, 0u);
  // The surface has the text in black: some pixels of the first cell are black.
  bool any_black = false;
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 8; ++x) any_black |= (picture.pixel(x, y) & 0xFFFFFF) == 0;
  }
  EXPECT_TRUE(any_black);
  // Without the focus the caret is gone.
  shown->clearFocus();
  settle(40);
  EXPECT_FALSE(shown->caret_shown());
  EXPECT_EQ(grab_viewport(shown).pixel(caret.center()), mirror.pixel(caret.center()));
}

TEST_F(PaintingTest, OnlyTheDirtyAreaIsCopiedFromTheSurface) {
  const int window = open_white_window("x");
  gui::ChildView* shown = view(window);
  ASSERT_NE(shown, nullptr);
  // Paint the core's surface behind its back (no dirty mark): the view must not take it.
  auto record = core_->find_window(window);
  {
    std::lock_guard lock(record->draw_lock);
    record->surface().setPixel(500, 500, qRgb(1, 2, 3));
  }
  auto writer = run_program([&] { core_->write_text(window, "y"); });
  ASSERT_TRUE(join_program());
  settle(60);
  EXPECT_EQ(shown->mirror().image().pixel(500, 500), qRgb(255, 255, 255));
  // The written cell did arrive.
  bool any_black = false;
  for (int y = 0; y < 16; ++y) {
    for (int x = 8; x < 16; ++x) any_black |= (shown->mirror().image().pixel(x, y) & 0xFFFFFF) == 0;
  }
  EXPECT_TRUE(any_black);
}

TEST_F(PaintingTest, SetWindowSizeGivesTheTextAreaAskedFor) {
  const int window = open_white_window("");
  auto sizer = run_program([&] { core_->set_window_size(10, console::WindowPosition{4, 1, 2, 31, 47}); });
  ASSERT_TRUE(join_program());
  gui::ChildView* shown = view(window);
  gui::ChildSubWindow* sub = frame_->sub_window(window);
  ASSERT_TRUE(wait_until([&] { return shown->viewport()->size() == QSize(47 * 8, 31 * 16); }))
      << shown->viewport()->width() << "x" << shown->viewport()->height();
  EXPECT_EQ(sub->pos(), QPoint(8, 32));
}

TEST_F(PaintingTest, ScrollKeysMoveTheViewWithinTheVirtualScreen) {
  const int window = open_white_window("text");
  gui::ChildView* shown = view(window);
  gui::ChildSubWindow* sub = frame_->sub_window(window);
  sub->resize(400, 300);
  settle(30);
  const QSize client = shown->viewport()->size();
  const int max_x = 1024 - client.width();
  const int max_y = 768 - client.height();
  struct Case {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    QPoint expected;
  };
  const std::vector<Case> cases = {
      {Qt::Key_Down, Qt::NoModifier, {0, 16}},
      {Qt::Key_Right, Qt::NoModifier, {8, 16}},
      {Qt::Key_PageDown, Qt::NoModifier, {8, 16 + client.height()}},
      {Qt::Key_PageDown, Qt::ControlModifier, {8 + client.width(), 16 + client.height()}},
      {Qt::Key_End, Qt::NoModifier, {max_x, 16 + client.height()}},
      {Qt::Key_End, Qt::ControlModifier, {max_x, max_y}},
      {Qt::Key_Down, Qt::NoModifier, {max_x, max_y}},
      {Qt::Key_Home, Qt::NoModifier, {0, max_y}},
      {Qt::Key_Up, Qt::NoModifier, {0, max_y - 16}},
      {Qt::Key_Home, Qt::ControlModifier, {0, 0}},
      {Qt::Key_Left, Qt::NoModifier, {0, 0}},
  };
  for (const Case& test : cases) {
    key(window, test.key, test.modifiers);
    EXPECT_EQ(shown->scroll_position(), test.expected) << "key " << test.key;
    const auto record = core_->find_window(window);
    std::lock_guard lock(record->draw_lock);
    EXPECT_EQ(QPoint(record->scroll_x, record->scroll_y), test.expected);
  }
  // The picture follows the scroll: the viewport's top-left shows the surface at the offset.
  key(window, Qt::Key_Home, Qt::ControlModifier);
  EXPECT_EQ(shown->horizontalScrollBar()->maximum(), max_x);
  EXPECT_EQ(shown->verticalScrollBar()->maximum(), max_y);
}

TEST_F(PaintingTest, ASmallVirtualScreenShrinksTheWindowToIt) {
  std::atomic<int> window{0};
  auto program = run_program([&] {
    window.store(open_window("Small", 12));
    auto record = core_->find_window(window.load());
    console::WindowConfig config;
    config.pixels_x = 200;
    config.pixels_y = 100;
    while (core_->apply_config(*record, config) == console::ConsoleCore::ApplyOutcome::Changed) {
    }
  });
  ASSERT_TRUE(join_program());
  gui::ChildView* shown = view(window.load());
  ASSERT_TRUE(wait_until([&] { return shown->isVisible() && shown->viewport()->size() == QSize(200, 100); }))
      << shown->viewport()->width() << "x" << shown->viewport()->height();
  EXPECT_EQ(shown->horizontalScrollBar()->maximum(), 0);
}

struct StartCase {
  const char* name;
  std::optional<int> profile_key;
  int hook_state;  // 0: the hook asks for nothing
  bool maximised;
  bool minimised;
};

TEST_F(PaintingTest, TheFrameIsFirstShownAsTheProfileKeyAndTheHookAsk) {
  const std::vector<StartCase> cases = {
      {"nothing asked", std::nullopt, 0, false, false},     {"hook maximises", std::nullopt, 2, true, false},
      {"hook minimises", std::nullopt, 1, false, true},     {"key 1 overrides a normal request", 1, 3, true, false},
      {"key 0 leaves the hook's state", 0, 1, false, true},
  };
  for (const StartCase& test : cases) {
    SCOPED_TRACE(test.name);
    {
      QSettings settings(settings_file_, QSettings::IniFormat);
      settings.clear();
      if (test.profile_key) settings.setValue(QStringLiteral("mapexplorer/ZODAVeveziviz"), *test.profile_key);
      settings.sync();
    }
    before_start_ = [state = test.hook_state](console::ConsoleCore& core) {
      if (state == 0) return;
      console::WindowPosition position;
      position.state = static_cast<std::int16_t>(state);
      // Before the frame exists the request is only recorded.
      EXPECT_EQ(core.set_window_size(console::kFrameUnit, position), -1);
    };
    restart();
    EXPECT_EQ(frame_->isMaximized(), test.maximised);
    EXPECT_EQ(frame_->isMinimized(), test.minimised);
    EXPECT_EQ(frame_->windowTitle(), "mapexplorer");
    EXPECT_EQ(frame_->status_bar()->state_text(), "Running");
  }
  before_start_ = nullptr;
}

TEST_F(PaintingTest, SetWindowSizeOnTheFrameAfterStartUpResizesItsClientArea) {
  auto program = run_program([&] {
    core_->set_window_size(console::kFrameUnit, console::WindowPosition{4, 10, 20, 300, 500});
  });
  ASSERT_TRUE(join_program());
  ASSERT_TRUE(wait_until([&] { return frame_->mdi_area()->size() == QSize(500, 300); }))
      << frame_->mdi_area()->width() << "x" << frame_->mdi_area()->height();
}

}  // namespace
}  // namespace gui_test
