// The Analysis menu in the frame with the program's own hooks and runner: each command opens
// its result in a window of its own while the program thread waits in a read (which still
// gets its line afterwards), the diagram as a finished graphics window of the picture's size
// that Save writes, the exponents as text; a second request while one runs is refused with a
// message; closing the frame stops a long run at once and shows nothing.

#include <QComboBox>
#include <QElapsedTimer>
#include <QImage>
#include <QLineEdit>
#include <QSpinBox>

#include <atomic>
#include <cmath>
#include <optional>
#include <string>

#include "app/analysis_menu.h"
#include "app/analysis_runner.h"
#include "app/analysis_windows.h"
#include "frame_fixture.h"
#include "gui/analysis_commands.h"
#include "gui/child_sub_window.h"
#include "gui/command_ids.h"

namespace gui_test {
namespace {

class AnalysisFrameTest : public FrameTest {
 protected:
  void SetUp() override {
    commands_.emplace(app::analysis_hooks(runner_));
    frame_options_.analysis = &*commands_;
    FrameTest::SetUp();
  }
  void TearDown() override {
    commands_->shut_down();
    FrameTest::TearDown();
    commands_.reset();
  }

  gui::AnalysisDialog* choose(int command) {
    frame_->run_command(command);
    return commands_->dialog();
  }

  // The window titled `title`, once the frame shows it (0 until then).
  int shown_window(std::string_view title) {
    for (const int index : core_->window_indices()) {
      const auto info = core_->window_info(index);
      if (info && info->title == title && frame_->sub_window(index) != nullptr &&
          frame_->sub_window(index)->isVisible()) {
        return index;
      }
    }
    return 0;
  }

  // A program thread that waits for a line in its "Input Window" until the test types one.
  void start_reading_program() {
    run_program([this] {
      input_window_.store(open_window("Input Window", 10));
      line_ = read_line(input_window_.load());
    }).release();
    ASSERT_TRUE(wait_for_read(input_window_));
  }

  app::AnalysisRunner runner_;
  std::optional<gui::AnalysisCommands> commands_;
  std::atomic<int> input_window_{0};
  std::optional<std::string> line_;
};

TEST_F(AnalysisFrameTest, TheDiagramOpensInAWindowOfItsOwnWhileTheProgramReads) {
  start_reading_program();
  gui::AnalysisDialog* dialog = choose(gui::kBifurcationDiagram);
  ASSERT_NE(dialog, nullptr);
  dialog->steps_field()->setValue(200);
  dialog->accept();
  EXPECT_TRUE(runner_.running());
  int window = 0;
  ASSERT_TRUE(wait_until([&] { return (window = shown_window(app::kDiagramWindowTitle)) != 0; }, 20000));
  EXPECT_TRUE(wait_until([this] { return !runner_.running(); }));
  const auto info = core_->window_info(window);
  ASSERT_TRUE(info);
  EXPECT_EQ(info->pixels_x, 800);
  EXPECT_EQ(info->pixels_y, 600);
  EXPECT_TRUE(info->unit_closed);  // finished: it takes no more output and may be closed
  EXPECT_EQ(frame_->active_window(), window);

  // File > Save writes its picture as it does for any window.
  const std::string path = temporary_.filePath(QStringLiteral("diagram.png")).toStdString();
  EXPECT_EQ(core_->save_window_picture(window, path, console::PictureFormat::Png), 0);
  const QImage picture(QString::fromStdString(path));
  EXPECT_EQ(picture.size(), QSize(800, 600));

  // The program's read was not held up and still gets its line.
  type(input_window_.load(), QStringLiteral("y\r"));
  ASSERT_TRUE(join_program());
  EXPECT_EQ(line_, "y");

  EXPECT_TRUE(core_->user_close_window(window));
}

TEST_F(AnalysisFrameTest, TheExponentsOpenAsText) {
  gui::AnalysisDialog* dialog = choose(gui::kLyapunovExponents);
  ASSERT_NE(dialog, nullptr);
  dialog->map_field()->setCurrentIndex(1);
  emit dialog->map_field()->activated(1);  // Henon: a = 1.4, b = 0.3 from 0.1, 0.1
  dialog->length_field()->setValue(100000);
  dialog->accept();
  int window = 0;
  ASSERT_TRUE(wait_until([&] { return (window = shown_window(app::kSpectrumWindowTitle)) != 0; }, 20000));
  EXPECT_EQ(row_text(window, 1), "Henon map: a = 1.4, b = 0.3");
  EXPECT_EQ(row_text(window, 2), "x0 = 0.1, y0 = 0.1; Ntrans = 1000, N = 100000");
  EXPECT_EQ(row_text(window, 3), "Lyapunov exponents (nats per iteration), largest first:");
  const double largest = std::stod(row_text(window, 4));
  const double smallest = std::stod(row_text(window, 5));
  EXPECT_NEAR(largest, 0.4192, 2e-3);
  EXPECT_NEAR(largest + smallest, std::log(0.3), 1e-9);
}

TEST_F(AnalysisFrameTest, ASecondRequestWhileOneRunsIsRefusedAndClosingStopsIt) {
  gui::AnalysisDialog* dialog = choose(gui::kBifurcationDiagram);
  ASSERT_NE(dialog, nullptr);
  // Far more than the test waits for: it runs until it is stopped.
  dialog->steps_field()->setValue(999999);
  dialog->accept();
  ASSERT_TRUE(runner_.running());
  ASSERT_TRUE(wait_until([this] { return commands_->dialog() == nullptr; }));
  for (const int command : {gui::kLyapunovExponents, gui::kBifurcationDiagram}) {
    auto seen = std::make_shared<SeenBox>();
    answer_next_box(QMessageBox::Ok, seen);
    frame_->run_command(command);
    EXPECT_TRUE(seen->text.startsWith(QStringLiteral("An analysis is running (a bifurcation diagram)")))
        << seen->text.toStdString();
    EXPECT_EQ(commands_->dialog(), nullptr);
  }
  // What the frame's closing does: the run stops at its next parameter value.
  QElapsedTimer clock;
  clock.start();
  commands_->shut_down();
  EXPECT_LT(clock.elapsed(), 5000);
  EXPECT_FALSE(runner_.running());
  settle(100);
  EXPECT_EQ(shown_window(app::kDiagramWindowTitle), 0);
  EXPECT_FALSE(runner_.refusal().empty());  // nothing starts any more
}

}  // namespace
}  // namespace gui_test
