// The end of the program and the closing of windows: the end box and its two answers, child
// windows that cannot be closed while their unit is open, "-Closed" windows, closing the
// frame at any time, and the boxes and the file dialog that the runtime asks for (the
// "File Open Error" loop, a severe run-time error).

#include <QCloseEvent>
#include <QCoreApplication>
#include <QMdiArea>
#include <QMenu>

#include <string>

#include "console/console_window_services.h"
#include "frame_fixture.h"
#include "gui/child_sub_window.h"
#include "gui/command_ids.h"
#include "gui/frame_menus.h"
#include "gui/status_bar.h"
#include "runtime/io/blank_name.h"

namespace gui_test {
namespace {

using ClosingTest = FrameTest;

TEST_F(ClosingTest, TheEndBoxReportsTheExitCodeAndItsAnswerDecidesTheFrame) {
  struct Case {
    int exit_code;
    QMessageBox::StandardButton answer;
    bool frame_closes;
  };
  for (const Case& test :
       {Case{0, QMessageBox::No, false}, Case{3, QMessageBox::No, false}, Case{3, QMessageBox::Yes, true}}) {
    SCOPED_TRACE(test.exit_code);
    restart();
    auto seen = std::make_shared<SeenBox>();
    answer_next_box(test.answer, seen);
    std::atomic<int> window{0};
    auto program = run_program([&] {
      window.store(open_window("Input Window", 10));
      core_->write_text(window.load(), "done\r\n");
      core_->end_program(test.exit_code);
    });
    ASSERT_TRUE(wait_until([&] { return !seen->text.isEmpty(); }));
    EXPECT_EQ(seen->text, QStringLiteral("Program Terminated with exit code %1\nExit Window?").arg(test.exit_code));
    EXPECT_EQ(seen->caption, "mapexplorer");
    EXPECT_EQ(seen->icon, QMessageBox::Warning);
    EXPECT_EQ(seen->buttons, (QList<QMessageBox::StandardButton>{QMessageBox::Yes, QMessageBox::No}));
    EXPECT_EQ(seen->default_button, QMessageBox::No);
    if (test.frame_closes) {
      ASSERT_TRUE(wait_until([this] { return closed_code_.has_value(); }));
      EXPECT_EQ(*closed_code_, test.exit_code);
      EXPECT_TRUE(join_program());
      continue;
    }
    // No: the frame and its windows stay, readable, with the status "Finished"; the program
    // thread waits until the user closes the frame.
    ASSERT_TRUE(wait_until([this] { return frame_->status_bar()->state_text() == "Finished"; }));
    settle(50);
    EXPECT_FALSE(frame_->is_closed());
    EXPECT_FALSE(program_done());
    ASSERT_NE(frame_->sub_window(window.load()), nullptr);
    EXPECT_EQ(frame_->sub_window(window.load())->windowTitle(), "Input Window");
    EXPECT_FALSE(frame_->sub_window(window.load())->closable());
    EXPECT_EQ(row_text(window.load(), 1), "done");
    // Pause does nothing any more.
    frame_->run_command(gui::kPause);
    settle(20);
    EXPECT_EQ(frame_->status_bar()->state_text(), "Finished");
    frame_->close();
    ASSERT_TRUE(closed_code_.has_value());
    EXPECT_EQ(*closed_code_, test.exit_code);
    EXPECT_TRUE(join_program());
  }
}

TEST_F(ClosingTest, AChildWindowOfAnOpenUnitCannotBeClosed) {
  std::atomic<int> window{0};
  auto program = run_program([&] {
    window.store(open_window("Input Window", 10));
    core_->write_text(window.load(), "text");
  });
  ASSERT_TRUE(join_program());
  ASSERT_TRUE(wait_until(
      [&] { return frame_->sub_window(window.load()) != nullptr && frame_->sub_window(window.load())->isVisible(); }));
  gui::ChildSubWindow* sub = frame_->sub_window(window.load());
  // No close button (the title bar draws it with the system menu).
  EXPECT_FALSE(sub->windowFlags().testFlag(Qt::WindowCloseButtonHint));
  EXPECT_FALSE(sub->windowFlags().testFlag(Qt::WindowSystemMenuHint));
  EXPECT_FALSE(sub->close());
  key(window.load(), Qt::Key_F4, Qt::ControlModifier);
  settle(20);
  EXPECT_TRUE(sub->isVisible());
  EXPECT_NE(core_->find_window(window.load()), nullptr);
}

TEST_F(ClosingTest, AKeptWindowGainsClosedInItsTitleAndThenClosesForGood) {
  // Closed by its close command, or by Ctrl+F4 as the active child.
  for (const bool by_key : {false, true}) {
    SCOPED_TRACE(by_key ? "Ctrl+F4" : "close command");
    restart();
    std::atomic<int> window{0};
    auto program = run_program([&] {
      window.store(open_window("Input Window", 10));
      core_->write_text(window.load(), "text");
      core_->close_unit_window(window.load(), true);
    });
    ASSERT_TRUE(join_program());
    ASSERT_TRUE(wait_until([&] {
      gui::ChildSubWindow* sub = frame_->sub_window(window.load());
      return sub != nullptr && sub->closable();
    }));
    gui::ChildSubWindow* sub = frame_->sub_window(window.load());
    EXPECT_EQ(sub->windowTitle(), "Input Window-Closed");
    EXPECT_TRUE(sub->windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_TRUE(sub->windowFlags().testFlag(Qt::WindowSystemMenuHint));
    bool has_close_item = false;
    for (const QAction* action : sub->systemMenu()->actions()) has_close_item |= action->text() == "&Close\tCtrl+F4";
    EXPECT_TRUE(has_close_item);
    if (by_key) {
      ASSERT_EQ(frame_->active_window(), window.load());
      key(window.load(), Qt::Key_F4, Qt::ControlModifier);
    } else {
      EXPECT_TRUE(sub->close());
    }
    ASSERT_TRUE(wait_until([&] { return frame_->sub_window(window.load()) == nullptr; }));
    EXPECT_EQ(core_->find_window(window.load()), nullptr);
  }
}

TEST_F(ClosingTest, ClosingTheActiveChildActivatesTheOneOnTop) {
  std::atomic<int> input{0};
  std::atomic<int> result{0};
  auto program = run_program([&] {
    input.store(open_window("Input Window", 10));
    core_->write_text(input.load(), "question");
    result.store(open_window("Result", 11));
    core_->write_text(result.load(), "text");
    core_->close_unit_window(result.load(), true);
  });
  ASSERT_TRUE(join_program());
  ASSERT_TRUE(wait_until([&] {
    gui::ChildSubWindow* sub = frame_->sub_window(result.load());
    return sub != nullptr && sub->closable() && frame_->active_window() == result.load();
  }));
  key(result.load(), Qt::Key_F4, Qt::ControlModifier);
  ASSERT_TRUE(wait_until([&] { return frame_->sub_window(result.load()) == nullptr; }));
  EXPECT_EQ(frame_->active_window(), input.load());
  EXPECT_TRUE(frame_->menus().full_installed());
}

TEST_F(ClosingTest, AWindowClosedWithoutKeepIsRemoved) {
  std::atomic<int> window{0};
  auto program = run_program([&] {
    window.store(open_window("Graphics", 11));
    core_->write_text(window.load(), "text");
  });
  ASSERT_TRUE(join_program());
  ASSERT_TRUE(wait_until([&] { return frame_->sub_window(window.load()) != nullptr; }));
  auto closing_program = run_program([&] { core_->close_unit_window(window.load(), false); });
  ASSERT_TRUE(join_program());
  EXPECT_TRUE(wait_until([&] { return frame_->sub_window(window.load()) == nullptr; }));
}

TEST_F(ClosingTest, ClosingTheFrameWhileTheProgramWaitsEndsWithoutAQuestion) {
  std::atomic<int> exit_routines{0};
  core_->register_exit_routine([&] { exit_routines.fetch_add(1); });
  std::atomic<int> window{0};
  auto program = run_program([&] {
    window.store(open_window("Input Window", 10));
    read_line(window.load());
  });
  ASSERT_TRUE(wait_for_read(window));
  QCloseEvent close_box;
  QCoreApplication::sendEvent(frame_.get(), &close_box);
  EXPECT_TRUE(close_box.isAccepted());
  ASSERT_TRUE(closed_code_.has_value());
  EXPECT_EQ(*closed_code_, 0);
  EXPECT_EQ(exit_routines.load(), 1);
  EXPECT_FALSE(frame_->isVisible());
  EXPECT_EQ(frame_->sub_window(window.load()), nullptr);
  EXPECT_EQ(frame_->menus().installed_titles(frame_->menuBar()), QList<QString>{"&File"});
}

TEST_F(ClosingTest, ExitFromEitherBarClosesTheFrame) {
  for (const int command : {gui::kExit, gui::kFallbackExit}) {
    restart();
    frame_->run_command(command);
    EXPECT_TRUE(wait_until([this] { return closed_code_.has_value(); })) << command;
  }
}

TEST_F(ClosingTest, TheFileOpenErrorLoopAsksAgainUntilAFileIsChosen) {
  console::ConsoleWindowServices services(*core_);
  runtime::register_window_services(&services);
  const QString chosen = temporary_.filePath(QStringLiteral("series.txt"));
  auto first_title = std::make_shared<QString>();
  auto second_title = std::make_shared<QString>();
  auto seen = std::make_shared<SeenBox>();
  std::string name;
  std::atomic<int> result{-1};
  // Cancelled first; No in the box shows the dialog again; the second time a file is chosen.
  answer_next_file_dialog(std::nullopt, first_title, [&] {
    answer_next_box(QMessageBox::No, seen, [&] { answer_next_file_dialog(chosen, second_title); });
  });
  auto program = run_program([&] { result.store(runtime::ask_for_file_name(1, name)); });
  ASSERT_TRUE(join_program());
  runtime::register_window_services(nullptr);

  EXPECT_EQ(*first_title, "Open: Select File for Unit 1");
  EXPECT_EQ(*second_title, "Open: Select File for Unit 1");
  EXPECT_EQ(seen->caption, "File Open Error");
  EXPECT_EQ(seen->text, "A File Must be Selected\n\nTerminate Program?");
  EXPECT_EQ(seen->icon, QMessageBox::Warning);
  EXPECT_EQ(seen->default_button, QMessageBox::No);
  EXPECT_EQ(result.load(), 0);
  EXPECT_EQ(name, chosen.toStdString());
}

TEST_F(ClosingTest, ASevereRunTimeErrorIsShownInTheErrorBox) {
  console::ConsoleWindowServices services(*core_);
  auto seen = std::make_shared<SeenBox>();
  answer_next_box(QMessageBox::Ok, seen);
  auto program = run_program([&] {
    services.show_runtime_error("Quillon run-time error ",
                                "duzevi: severe (64): input conversion error, unit 10, file user\r\n");
  });
  ASSERT_TRUE(join_program());
  EXPECT_EQ(seen->caption, "Quillon run-time error ");
  EXPECT_EQ(seen->icon, QMessageBox::Critical);
  EXPECT_EQ(seen->text, "duzevi: severe (64): input conversion error, unit 10, file user\n");
  EXPECT_EQ(seen->buttons, QList<QMessageBox::StandardButton>{QMessageBox::Ok});
}

TEST_F(ClosingTest, TheRunTimeErrorBoxShowsItsTracebackInFixedPitchWithWholeLines) {
  const std::string traceback =
      "duzevi: severe (43): file name specification error, unit 1, file /tmp\r\n"
      "Traceback symbolic or hex stack dump follows:\r\n"
      "\r\n"
      "Image              PC        Routine            Line        Source             \r\n"
      "mapexplorer        558EC8FE1B90  runtime::emit_run              \r\n"
      "libstdc++.so.6     7FD5CD2D44A3  Unknown                        \r\n";
  console::ConsoleWindowServices services(*core_);
  auto seen = std::make_shared<SeenBox>();
  answer_next_box(QMessageBox::Ok, seen);
  auto program = run_program([&] { services.show_runtime_error("Quillon run-time error ", traceback); });
  ASSERT_TRUE(join_program());
  EXPECT_TRUE(seen->text_fixed_pitch) << seen->text_font_family.toStdString();
  // Where the desktop names no fixed-pitch font.
  EXPECT_EQ(seen->text_font_family.toStdString(), "Liberation Mono");
  // No line is broken: the text is as wide as its longest line.
  EXPECT_GT(seen->longest_text_line, 0);
  EXPECT_GE(seen->text_width, seen->longest_text_line);

  // The console's own boxes keep the ordinary font.
  auto own = std::make_shared<SeenBox>();
  answer_next_box(QMessageBox::Ok, own);
  auto next = run_program([&] { core_->show_error_box(console::ErrorBoxKind::Error, 4, "qwgsvid", 593); });
  ASSERT_TRUE(join_program());
  EXPECT_FALSE(own->text_fixed_pitch) << own->text_font_family.toStdString();
}

TEST_F(ClosingTest, TheConsolesOwnErrorBoxesCarryTheirCaptionsAndSource) {
  struct Case {
    console::ErrorBoxKind kind;
    const char* caption;
    QMessageBox::Icon icon;
  };
  for (const Case& test : {Case{console::ErrorBoxKind::Warning, "VozazAze Warning", QMessageBox::Warning},
                           Case{console::ErrorBoxKind::Error, "VozazAze Error", QMessageBox::Critical}}) {
    auto seen = std::make_shared<SeenBox>();
    answer_next_box(QMessageBox::Ok, seen);
    auto program = run_program([&] { core_->show_error_box(test.kind, 4, "qwgsvid", 593); });
    ASSERT_TRUE(join_program());
    EXPECT_EQ(seen->caption, test.caption);
    EXPECT_EQ(seen->icon, test.icon);
    EXPECT_EQ(seen->text, "Out of Memory\nfile \"qwgsvid\", line 593");
  }
}

}  // namespace
}  // namespace gui_test
