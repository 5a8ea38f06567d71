// The menu bars: the fallback bar until a child window is active, the full bar after, the
// items enabled or checked as each popup opens, Window > Input, Status Bar, Size To Fit,
// Full Screen, help on F1 and the About box.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QTest>

#include "frame_fixture.h"
#include "gui/child_sub_window.h"
#include "gui/command_ids.h"
#include "gui/frame_menus.h"
#include "gui/full_screen_window.h"
#include "gui/status_bar.h"

namespace gui_test {
namespace {

class MenusTest : public FrameTest {
 protected:
  // Opens the popup of `title` as the user would and applies its states.
  QMenu* open_popup(const QString& title) {
    for (QMenu* popup : frame_->menus().popups()) {
      if (popup->title() == title) {
        emit popup->aboutToShow();
        return popup;
      }
    }
    return nullptr;
  }
  bool enabled(int command) { return frame_->menus().action(command)->isEnabled(); }
  bool checked(int command) { return frame_->menus().action(command)->isChecked(); }

  // A program with one text window that waits for a line (until `reading` is cleared).
  void start_reader() {
    run_program([this] {
      window_.store(open_window("Input Window", 10));
      core_->write_text(window_.load(), "Some text\r\n");
      while (!stop_.load()) read_line(window_.load());
    }).release();
    ASSERT_TRUE(wait_for_read(window_));
  }
  void TearDown() override {
    stop_.store(true);
    FrameTest::TearDown();
  }

  std::atomic<int> window_{0};
  std::atomic<bool> stop_{false};
};

TEST_F(MenusTest, OnlyTheFallbackBarIsShownUntilAChildWindowIsActive) {
  EXPECT_EQ(frame_->menus().installed_titles(frame_->menuBar()), QList<QString>{"&File"});
  EXPECT_FALSE(frame_->menus().full_installed());
  ASSERT_EQ(frame_->menus().action(gui::kFallbackExit)->text(), "E&xit");
  start_reader();
  EXPECT_TRUE(wait_until([this] { return frame_->menus().full_installed(); }));
  EXPECT_EQ(frame_->menus().installed_titles(frame_->menuBar()),
            (QList<QString>{"&File", "&Edit", "&View", "&State", "&Window", "&Help"}));
}

TEST_F(MenusTest, TheFullBarHoldsEveryCommandWithItsText) {
  const std::vector<std::pair<int, QString>> items = {
      {gui::kPrint, "&Print..."},
      {gui::kSave, "&Save..."},
      {gui::kExit, "E&xit\tCtrl+C"},
      {gui::kSelectText, "Select &Text"},
      {gui::kSelectGraphics, "Select &Graphics"},
      {gui::kSelectAll, "Select &All"},
      {gui::kCopy, "&Copy\tCtrl+Ins"},
      {gui::kPaste, "&Paste"},
      {gui::kSizeToFit, "&Size To Fit"},
      {gui::kFullScreen, "&Full Screen\tAlt+Enter"},
      {gui::kPause, "&Pause\tCtrl+S"},
      {gui::kCascade, "&Cascade"},
      {gui::kTile, "&Tile"},
      {gui::kArrangeIcons, "&Arrange Icons"},
      {gui::kInput, "&Input"},
      {gui::kClearPaste, "C&lear Paste"},
      {gui::kStatusBar, "&Status Bar"},
      {gui::kContents, "&Contents"},
      {gui::kUsingHelp, "Using &Help"},
      {gui::kAbout, "&About"},
  };
  for (const auto& [command, text] : items) {
    SCOPED_TRACE(command);
    QAction* action = frame_->menus().action(command);
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(action->text(), text);
    EXPECT_EQ(action->data().toInt(), command);
  }
}

TEST_F(MenusTest, InputIsEnabledExactlyWhileAReadWaitsAndBringsItsWindowForward) {
  std::atomic<int> other{0};
  auto program = run_program([this, &other] {
    window_.store(open_window("Input Window", 10));
    core_->write_text(window_.load(), "question? ");
    // The plot window is shown after it and takes the focus when it appears.
    other.store(open_window("Graphics", 11));
    core_->write_text(other.load(), "picture");
    read_line(window_.load());
  });
  ASSERT_TRUE(wait_for_read(window_));
  // The read that starts waiting brings its window forward, over the window that took the
  // focus when it was shown.
  ASSERT_TRUE(wait_until([&] { return frame_->active_window() == window_.load(); }));
  // The user clicks the other window once it is on screen (it is shown when its first
  // output is painted, which may come after the read started); Window > Input brings the
  // waiting one back.
  ASSERT_TRUE(wait_until([&] {
    const QMdiSubWindow* shown = frame_->sub_window(other.load());
    return shown != nullptr && shown->isVisible();
  }));
  frame_->mdi_area()->setActiveSubWindow(frame_->sub_window(other.load()));
  ASSERT_TRUE(wait_until([&] { return frame_->active_window() == other.load(); }));
  open_popup("&Window");
  EXPECT_TRUE(enabled(gui::kInput));
  frame_->run_command(gui::kInput);
  EXPECT_EQ(frame_->active_window(), window_.load());
  type(window_.load(), "1");
  key(window_.load(), Qt::Key_Return);
  ASSERT_TRUE(join_program());
  settle(20);
  open_popup("&Window");
  EXPECT_FALSE(enabled(gui::kInput));
}

struct PasteCase {
  const char* name;
  QString clipboard;
  bool paste_first;  // paste before opening the menu
  bool paste_enabled;
  bool clear_paste_enabled;
};

TEST_F(MenusTest, PasteAndClearPasteFollowTheClipboardAndPendingPaste) {
  // A window without a read: pasted text stays pending until a read takes it.
  auto program = run_program([this] {
    window_.store(open_window("Input Window", 10));
    core_->write_text(window_.load(), "text");
  });
  ASSERT_TRUE(join_program());
  ASSERT_TRUE(wait_until([this] { return frame_->active_window() == window_.load(); }));
  const std::vector<PasteCase> cases = {
      {"empty clipboard", "", false, false, false},
      {"text on the clipboard", "12", false, true, false},
      {"pasted text pending", "34\n", true, false, true},
  };
  for (const PasteCase& test : cases) {
    SCOPED_TRACE(test.name);
    QGuiApplication::clipboard()->setText(test.clipboard);
    if (test.paste_first) {
      frame_->run_command(gui::kPaste);
      ASSERT_TRUE(core_->status_view().paste_pending);
      EXPECT_TRUE(wait_until([this] { return frame_->status_bar()->message() == "Paste input pending"; }));
    }
    open_popup("&Edit");
    EXPECT_EQ(enabled(gui::kPaste), test.paste_enabled);
    open_popup("&Window");
    EXPECT_EQ(enabled(gui::kClearPaste), test.clear_paste_enabled);
  }
  frame_->run_command(gui::kClearPaste);
  EXPECT_FALSE(core_->status_view().paste_pending);
  EXPECT_TRUE(wait_until([this] { return frame_->status_bar()->message().isEmpty(); }));
  open_popup("&Window");
  EXPECT_FALSE(enabled(gui::kClearPaste));
}

TEST_F(MenusTest, StatusBarHidesAndShowsWithItsCheckMark) {
  start_reader();
  open_popup("&Window");
  EXPECT_TRUE(checked(gui::kStatusBar));
  const int area_height = frame_->mdi_area()->height();
  frame_->run_command(gui::kStatusBar);
  settle(20);
  EXPECT_TRUE(frame_->status_bar()->isHidden());
  EXPECT_FALSE(checked(gui::kStatusBar));
  // The MDI client takes the freed height.
  EXPECT_GT(frame_->mdi_area()->height(), area_height);
  frame_->run_command(gui::kStatusBar);
  settle(20);
  EXPECT_FALSE(frame_->status_bar()->isHidden());
  EXPECT_TRUE(checked(gui::kStatusBar));
}

TEST_F(MenusTest, SizeToFitScalesTheViewAndGraysSelectingAndPasting) {
  start_reader();
  QGuiApplication::clipboard()->setText(QStringLiteral("text"));
  gui::ChildView* shown = view(window_.load());
  ASSERT_NE(shown, nullptr);
  open_popup("&Edit");
  EXPECT_TRUE(enabled(gui::kSelectText));
  EXPECT_TRUE(enabled(gui::kPaste));

  frame_->run_command(gui::kSizeToFit);
  settle(20);
  EXPECT_TRUE(shown->fit_to_window());
  EXPECT_EQ(shown->horizontalScrollBar()->maximum(), 0);
  EXPECT_EQ(shown->verticalScrollBar()->maximum(), 0);
  open_popup("&View");
  EXPECT_TRUE(checked(gui::kSizeToFit));
  open_popup("&Edit");
  for (const int command : {gui::kSelectText, gui::kSelectGraphics, gui::kSelectAll, gui::kPaste}) {
    EXPECT_FALSE(enabled(command)) << command;
  }
  frame_->run_command(gui::kSizeToFit);
  settle(20);
  EXPECT_FALSE(shown->fit_to_window());
  open_popup("&View");
  EXPECT_FALSE(checked(gui::kSizeToFit));
}

TEST_F(MenusTest, AltEnterShowsFullScreenAndEndsIt) {
  start_reader();
  key(window_.load(), Qt::Key_Return, Qt::AltModifier);
  ASSERT_NE(frame_->full_screen_window(), nullptr);
  gui::FullScreenWindow* full = frame_->full_screen_window();
  EXPECT_EQ(full->view()->index(), window_.load());
  open_popup("&View");
  EXPECT_TRUE(checked(gui::kFullScreen));
  // Keys typed there go to the window's line.
  QTest::keyClicks(full, "42");
  QTest::keyClick(full, Qt::Key_Return, Qt::AltModifier);
  ASSERT_TRUE(wait_until([this] { return frame_->full_screen_window() == nullptr; }));
  EXPECT_EQ(row_text(window_.load(), 2), "42");
  open_popup("&View");
  EXPECT_FALSE(checked(gui::kFullScreen));
}

TEST_F(MenusTest, F1OnAMenuItemOpensItsHelpTopicOrSaysThereIsNone) {
  start_reader();
  struct Case {
    int command;
    std::optional<int> context;  // nothing: "Help not available for menu item"
  };
  const std::vector<Case> cases = {
      {gui::kPause, 1012},
      {gui::kExit, 1000},
      {gui::kSave, 1018},
      {gui::kSelectAll, std::nullopt},
      {gui::kContents, std::nullopt},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.command);
    help_opened_.clear();
    QAction* item = frame_->menus().action(test.command);
    QMenu* popup = nullptr;
    for (QMenu* candidate : frame_->menus().popups()) {
      if (candidate->actions().contains(item)) popup = candidate;
    }
    ASSERT_NE(popup, nullptr);
    popup->popup(QPoint(0, 0));
    popup->setActiveAction(item);
    auto seen = std::make_shared<SeenBox>();
    if (!test.context) answer_next_box(QMessageBox::Ok, seen);
    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QCoreApplication::sendEvent(popup, &f1);
    if (test.context) {
      ASSERT_TRUE(wait_until([this] { return !help_opened_.empty(); }));
      EXPECT_EQ(help_opened_.front().second, test.context);
      EXPECT_TRUE(help_opened_.front().first.endsWith("ZUROR.HLP"));
    } else {
      ASSERT_TRUE(wait_until([&] { return !seen->text.isEmpty(); }));
      EXPECT_EQ(seen->text, "Help not available for menu item");
      EXPECT_EQ(seen->caption, "mapexplorer");
      EXPECT_TRUE(help_opened_.empty());
      // Once the box is gone the frame has the keyboard again.
      EXPECT_TRUE(wait_until([this] { return QApplication::activeWindow() == frame_.get(); }));
    }
    EXPECT_FALSE(popup->isVisible());
  }
}

TEST_F(MenusTest, HelpThatCannotBeOpenedIsReported) {
  help_opens_ = false;
  restart();
  start_reader();
  auto seen = std::make_shared<SeenBox>();
  answer_next_box(QMessageBox::Ok, seen);
  frame_->run_command(gui::kContents);
  ASSERT_EQ(help_opened_.size(), 1u);
  EXPECT_FALSE(help_opened_.front().second.has_value());
  EXPECT_TRUE(seen->text.contains("ZUROR.HLP"));
}

TEST_F(MenusTest, AboutShowsTheBannerCaptionedWithTheProgramTitle) {
  start_reader();
  auto seen = std::make_shared<SeenBox>();
  answer_next_box(QMessageBox::Ok, seen);
  frame_->run_command(gui::kAbout);
  EXPECT_EQ(seen->caption, "mapexplorer");
  EXPECT_EQ(seen->icon, QMessageBox::Information);
  EXPECT_EQ(seen->text.count('\n'), 2);  // a three-line banner
}

TEST_F(MenusTest, CascadeTileAndArrangeIconsPlaceTheChildren) {
  std::atomic<int> second{0};
  auto program = run_program([this, &second] {
    window_.store(open_window("Input Window", 10));
    second.store(open_window("Graphics", 11));
    core_->write_text(window_.load(), "a");
    core_->write_text(second.load(), "b");
  });
  ASSERT_TRUE(join_program());
  ASSERT_TRUE(wait_until([&] {
    return frame_->sub_window(window_.load()) != nullptr && frame_->sub_window(second.load()) != nullptr &&
           frame_->sub_window(second.load())->isVisible();
  }));
  frame_->resize(800, 600);
  settle(20);
  QMdiSubWindow* first_sub = frame_->sub_window(window_.load());
  QMdiSubWindow* second_sub = frame_->sub_window(second.load());

  frame_->run_command(gui::kTile);
  settle(20);
  EXPECT_FALSE(first_sub->geometry().intersects(second_sub->geometry()));

  frame_->run_command(gui::kCascade);
  settle(20);
  EXPECT_NE(first_sub->pos(), second_sub->pos());
  EXPECT_TRUE(first_sub->geometry().intersects(second_sub->geometry()));

  first_sub->showMinimized();
  second_sub->showMinimized();
  frame_->run_command(gui::kArrangeIcons);
  settle(20);
  const int bottom = frame_->mdi_area()->viewport()->height();
  EXPECT_EQ(first_sub->geometry().bottom() + 1, bottom);
  EXPECT_EQ(second_sub->geometry().bottom() + 1, bottom);
  EXPECT_FALSE(first_sub->geometry().intersects(second_sub->geometry()));
}

TEST_F(MenusTest, TheProgramDeletesPopupsAndItemsOfTheBarShown) {
  struct Deletion {
    int menu;
    int item;
    bool deleted;
  };
  // In order, on the full bar (File, Edit, View, State, Window, Help; the Window popup holds
  // six commands, then a separator and the list of windows).
  const std::vector<Deletion> deletions = {
      {2, 1, true},   // Edit > Select Text
      {5, 7, false},  // the separator before the list of windows
      {5, 8, false},  // the list of windows
      {3, 0, true},   // the whole View popup: File, Edit, State, Window, Help remain
      {6, 0, false},  // only five popups now
      {0, 1, false}, {console::kLastMenuNumber + 1, 0, false}, {1, -1, false}, {1, 99, false},
  };
  std::vector<int> outcomes(deletions.size(), -1);
  std::atomic<bool> done{false};
  auto program = run_program([&] {
    window_.store(open_window("Input Window", 10));
    // The first line goes once the frame shows the full bar (its window waits, so is active).
    read_line(window_.load());
    for (std::size_t i = 0; i < deletions.size(); ++i) {
      outcomes[i] = core_->delete_menu(deletions[i].menu, deletions[i].item) ? 1 : 0;
    }
    done.store(true);
    while (!stop_.load()) read_line(window_.load());
  });
  ASSERT_TRUE(wait_for_read(window_));
  ASSERT_TRUE(wait_until([&] { return frame_->menus().full_installed(); }));
  key(window_.load(), Qt::Key_Return);
  ASSERT_TRUE(wait_until([&] { return done.load(); }));
  program.release();  // from here on the routine uses only the fixture's members
  for (std::size_t i = 0; i < deletions.size(); ++i) {
    EXPECT_EQ(outcomes[i], deletions[i].deleted ? 1 : 0)
        << "menu " << deletions[i].menu << " item " << deletions[i].item;
  }
  const QList<QString> remaining{"&File", "&Edit", "&State", "&Window", "&Help"};
  EXPECT_EQ(frame_->menus().installed_titles(frame_->menuBar()), remaining);
  EXPECT_FALSE(frame_->menus().action(gui::kSelectText)->isVisible());
  EXPECT_TRUE(frame_->menus().action(gui::kSelectGraphics)->isVisible());
  // A popup opening still applies the states of every item; the deleted ones stay gone
  // when the bar is installed again.
  ASSERT_NE(open_popup("&Edit"), nullptr);
  frame_->menus().install(frame_->menuBar(), true);
  EXPECT_EQ(frame_->menus().installed_titles(frame_->menuBar()), remaining);
  EXPECT_FALSE(frame_->menus().action(gui::kSelectText)->isVisible());
}

}  // namespace
}  // namespace gui_test
