#pragma once
// The fixture of the frame's tests: a console core on a 1024 x 768 display with the frame's
// presentation and a frame (its profile in a temporary INI file, its beeps counted, its
// closing recorded instead of ending the application), and a program thread that runs a
// routine against the core as the explorer's program thread would. Helpers wait for
// conditions while the GUI thread's events run, answer modal dialogs, and look into windows.

#include <gtest/gtest.h>

#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QTemporaryDir>
#include <QTimer>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "console/console_core.h"
#include "gui/child_view.h"
#include "gui/frame_window.h"
#include "gui/gui_presentation.h"

namespace gui_test {

// What a modal message box showed, and the button that the test pressed.
struct SeenBox {
  QString caption;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QList<QMessageBox::StandardButton> buttons;
  QMessageBox::StandardButton default_button = QMessageBox::NoButton;
  // The font of the box's text as shown, the width of the text and of its longest line.
  QString text_font_family;
  bool text_fixed_pitch = false;
  int text_width = 0;
  int longest_text_line = 0;
};

class FrameTest;

// Ends the program thread when it goes out of scope. Declared after the test's locals that
// the program routine uses, it goes first, so the routine never outlives them (an ASSERT that
// leaves the test early included).
class [[nodiscard]] ProgramGuard {
 public:
  explicit ProgramGuard(FrameTest* test) : test_(test) {}
  ProgramGuard(ProgramGuard&& other) noexcept : test_(std::exchange(other.test_, nullptr)) {}
  ProgramGuard(const ProgramGuard&) = delete;
  ProgramGuard& operator=(const ProgramGuard&) = delete;
  ProgramGuard& operator=(ProgramGuard&&) = delete;
  ~ProgramGuard();
  // For a routine that uses only the fixture's members: it runs until the test ends.
  void release() { test_ = nullptr; }

 private:
  FrameTest* test_;
};

class FrameTest : public ::testing::Test {
 public:
  void SetUp() override;
  void TearDown() override;

  // Makes the core and the frame and starts the frame (after SetUp's options are final).
  // SetUp calls it; a test that changes the options calls restart().
  void restart();

  // Runs `routine` on a program thread (one at a time) until the guard goes.
  ProgramGuard run_program(std::function<void()> routine);
  bool program_done() const { return program_done_.load(); }
  // Ends the program thread (closing the frame, typing Enter into a waiting read) and joins it.
  void stop_program();
  // Waits until the program routine has returned and joins its thread; false on time-out.
  bool join_program(int milliseconds = 5000);

  // Runs the GUI thread's events until `condition` holds; false after `milliseconds`.
  bool wait_until(const std::function<bool()>& condition, int milliseconds = 5000);
  // Runs the GUI thread's events for a while.
  void settle(int milliseconds = 50);

  // On the program thread: makes a text window for a unit, as a window unit's OPEN does.
  int open_window(const std::string& title, std::int32_t unit, bool take_focus = true);
  // A read waits on `window` and the frame shows that window.
  // `window` is filled in by the program thread when it opens the window.
  bool wait_for_read(const std::atomic<int>& window, int milliseconds = 5000);
  // On the program thread: one line read from the window (nothing when the read refused).
  std::optional<std::string> read_line(int window, std::size_t capacity = 128);

  // The view of a window, once the frame has made it.
  gui::ChildView* view(int window);
  // Types into the window's view as the keyboard would.
  void type(int window, const QString& text);
  void key(int window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
  // A key press with the text a keyboard layout gives it (for characters beyond ASCII).
  void key_with_text(int window, int key, const QString& text);

  // Answers the next modal message box with `answer`, recording what it showed in `seen`,
  // then runs `then` (which may wait for the next dialog). Register answers before the
  // dialog can open: while it is open the test's own waiting does not run.
  void answer_next_box(QMessageBox::StandardButton answer, std::shared_ptr<SeenBox> seen,
                       std::function<void()> then = nullptr);
  // Cancels the next file dialog, or accepts it with `name`; then runs `then`.
  void answer_next_file_dialog(std::optional<QString> name, std::shared_ptr<QString> title_seen,
                               std::function<void()> then = nullptr);

  // Text of a row of a window's text store.
  std::string row_text(int window, int row);

  QTemporaryDir temporary_;
  QString settings_file_;
  console::ConsoleOptions options_;
  std::function<void(console::ConsoleCore&)> before_start_;
  std::unique_ptr<gui::GuiPresentation> presentation_;
  std::unique_ptr<console::ConsoleCore> core_;
  std::unique_ptr<gui::FrameWindow> frame_;
  gui::FrameOptions frame_options_;

  std::atomic<int> beeps_{0};
  std::optional<int> closed_code_;
  std::vector<std::pair<QString, std::optional<int>>> help_opened_;
  bool help_opens_ = true;

  // Units mapped to windows for set_window_size and set_active_window.
  std::atomic<int> unit_windows_[16] = {};

 private:
  // Polls for the next modal widget of type T and acts on it once.
  template <class T>
  void on_next_modal(std::function<void(T*)> act);
  void drop_answerers();

  std::vector<QPointer<QTimer>> answerers_;
  std::thread program_;
  std::atomic<bool> program_done_{true};
};

}  // namespace gui_test
