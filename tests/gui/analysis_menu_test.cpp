// The frame's Analysis menu with hooks of the test's own: the popup comes after the six (whose
// titles and numbers stay), each item opens its settings dialog filled from the starting
// settings, OK hands the settings to the start hook (a refusal keeps the dialog open with
// the reason), a request while an analysis runs is refused with a message box and opens no
// dialog, and closing the frame shuts the analyses down.

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSpinBox>

#include <optional>
#include <string>
#include <vector>

#include "frame_fixture.h"
#include "gui/analysis_commands.h"
#include "gui/command_ids.h"
#include "gui/frame_menus.h"

namespace gui_test {
namespace {

gui::AnalysisMap map(std::string heading, std::vector<std::string> names, int variables,
                     gui::AnalysisMapExample example) {
  gui::AnalysisMap entry;
  entry.heading = std::move(heading);
  entry.parameter_names = std::move(names);
  entry.variables = variables;
  entry.example = std::move(example);
  return entry;
}

class AnalysisMenuTest : public FrameTest {
 protected:
  void SetUp() override {
    gui::AnalysisHooks hooks;
    hooks.maps = {map("Quadratic map", {"lambda"}, 1, {{1.9}, {0.1}, 0, 0.0, 2.0}),
                  map("Henon map", {"a", "b"}, 2, {{1.4, 0.3}, {0.1, 0.1}, 0, 0.0, 1.4})};
    hooks.starting_settings = [this] { return start_from; };
    hooks.refusal = [this] { return refusal; };
    hooks.start_bifurcation = [this](const gui::AnalysisSettings& settings) {
      started_diagrams.push_back(settings);
      return start_answer;
    };
    hooks.start_lyapunov = [this](const gui::AnalysisSettings& settings) {
      started_spectra.push_back(settings);
      return start_answer;
    };
    hooks.shut_down = [this] { ++shut_downs; };
    commands_.emplace(std::move(hooks));
    frame_options_.analysis = &*commands_;
    start_from.map = 1;
    start_from.parameters = {1.2, 0.25};
    start_from.initial = {0.5, -0.5};
    start_from.transient = 300;
    start_from.varied = 1;
    start_from.from = 0.1;
    start_from.to = 0.35;
    start_from.steps = 400;
    FrameTest::SetUp();
  }
  void TearDown() override {
    FrameTest::TearDown();
    commands_.reset();
  }

  gui::AnalysisDialog* choose(int command) {
    frame_->run_command(command);
    return commands_->dialog();
  }

  std::optional<gui::AnalysisCommands> commands_;
  gui::AnalysisSettings start_from;
  std::string refusal;
  std::string start_answer;
  std::vector<gui::AnalysisSettings> started_diagrams;
  std::vector<gui::AnalysisSettings> started_spectra;
  int shut_downs = 0;
};

TEST_F(AnalysisMenuTest, TheAnalysisPopupComesAfterTheSix) {
  frame_->menus().install(frame_->menuBar(), true);
  EXPECT_EQ(frame_->menus().installed_titles(frame_->menuBar()),
            (QList<QString>{"&File", "&Edit", "&View", "&State", "&Window", "&Help", "&Analysis"}));
  ASSERT_NE(frame_->menus().action(gui::kBifurcationDiagram), nullptr);
  EXPECT_EQ(frame_->menus().action(gui::kBifurcationDiagram)->text(), "&Bifurcation Diagram...");
  EXPECT_EQ(frame_->menus().action(gui::kLyapunovExponents)->text(), "&Lyapunov Exponents...");
  // The program's menu numbers keep their meaning: popup 6 is still Help, 7 is the new one.
  EXPECT_EQ(frame_->menus().popups()[5]->title(), "&Help");
  EXPECT_EQ(frame_->menus().popups()[6]->title(), "&Analysis");
  // The fallback bar stays as it is.
  frame_->menus().install(frame_->menuBar(), false);
  EXPECT_EQ(frame_->menus().installed_titles(frame_->menuBar()), QList<QString>{"&File"});
}

TEST_F(AnalysisMenuTest, TheDiagramDialogStartsFromTheStartingSettings) {
  gui::AnalysisDialog* dialog = choose(gui::kBifurcationDiagram);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->kind(), gui::AnalysisDialog::Kind::Bifurcation);
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(dialog->map_field()->currentText(), "Henon map");
  EXPECT_EQ(dialog->parameter_field(0)->text(), "1.2");
  EXPECT_EQ(dialog->initial_field(1)->text(), "-0.5");
  EXPECT_EQ(dialog->varied_field()->currentText(), "b");
  // The varied parameter takes its values from the range.
  EXPECT_FALSE(dialog->parameter_field(1)->isEnabled());
  EXPECT_TRUE(dialog->parameter_field(0)->isEnabled());
  EXPECT_EQ(dialog->from_field()->text(), "0.1");
  EXPECT_EQ(dialog->to_field()->text(), "0.35");
  EXPECT_EQ(dialog->steps_field()->value(), 400);

  dialog->accept();
  EXPECT_TRUE(wait_until([this] { return commands_->dialog() == nullptr; }));
  ASSERT_EQ(started_diagrams.size(), 1u);
  const gui::AnalysisSettings& started = started_diagrams.front();
  EXPECT_EQ(started.map, 1);
  EXPECT_EQ(started.parameters[0], 1.2);
  EXPECT_EQ(started.initial, (std::vector<double>{0.5, -0.5}));
  EXPECT_EQ(started.transient, 300);
  EXPECT_EQ(started.varied, 1);
  EXPECT_EQ(started.from, 0.1);
  EXPECT_EQ(started.to, 0.35);
  EXPECT_EQ(started.steps, 400);
  EXPECT_TRUE(started_spectra.empty());
}

TEST_F(AnalysisMenuTest, AnotherMapBringsItsExampleAndItsFields) {
  gui::AnalysisDialog* dialog = choose(gui::kLyapunovExponents);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->kind(), gui::AnalysisDialog::Kind::Lyapunov);
  EXPECT_EQ(dialog->varied_field(), nullptr);
  dialog->map_field()->setCurrentIndex(0);
  emit dialog->map_field()->activated(0);
  EXPECT_EQ(dialog->parameter_field(0)->text(), "1.9");
  EXPECT_EQ(dialog->initial_field(0)->text(), "0.1");
  gui::AnalysisSettings settings;
  QString problem;
  ASSERT_TRUE(dialog->read_settings(settings, problem)) << problem.toStdString();
  EXPECT_EQ(settings.map, 0);
  EXPECT_EQ(settings.parameters, std::vector<double>{1.9});
  EXPECT_EQ(settings.initial, std::vector<double>{0.1});  // one variable: y0 is not read
  EXPECT_EQ(settings.transient, 300);                     // the counts stay as they were
}

TEST_F(AnalysisMenuTest, ProblemsKeepTheDialogOpen) {
  gui::AnalysisDialog* dialog = choose(gui::kBifurcationDiagram);
  ASSERT_NE(dialog, nullptr);
  struct Case {
    QLineEdit* field;
    QString text;
    const char* problem;
  };
  const std::vector<Case> cases = {
      {dialog->parameter_field(0), "one", "a must be a number"},
      {dialog->initial_field(0), "", "x0 must be a number"},
      {dialog->to_field(), "1,4", "From and To must be numbers"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.problem);
    const QString before = c.field->text();
    c.field->setText(c.text);
    dialog->accept();
    EXPECT_EQ(dialog->problem_shown(), c.problem);
    EXPECT_TRUE(dialog->isVisible());
    c.field->setText(before);
  }
  EXPECT_TRUE(started_diagrams.empty());

  // The program refuses the settings: its reason is shown and the dialog stays.
  start_answer = "From and To must be finite numbers.";
  dialog->accept();
  EXPECT_EQ(dialog->problem_shown(), "From and To must be finite numbers.");
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(started_diagrams.size(), 1u);
  start_answer.clear();
  dialog->accept();
  EXPECT_TRUE(wait_until([this] { return commands_->dialog() == nullptr; }));
  EXPECT_EQ(started_diagrams.size(), 2u);
}

TEST_F(AnalysisMenuTest, ARequestWhileOneRunsIsRefusedWithAMessage) {
  refusal = "An analysis is running (a bifurcation diagram).";
  for (const int command : {gui::kBifurcationDiagram, gui::kLyapunovExponents}) {
    auto seen = std::make_shared<SeenBox>();
    answer_next_box(QMessageBox::Ok, seen);
    frame_->run_command(command);
    EXPECT_EQ(seen->text, QString::fromStdString(refusal));
    EXPECT_EQ(commands_->dialog(), nullptr);
  }
  EXPECT_TRUE(started_diagrams.empty());
  EXPECT_TRUE(started_spectra.empty());
}

TEST_F(AnalysisMenuTest, ClosingTheFrameShutsTheAnalysesDown) {
  ASSERT_NE(choose(gui::kLyapunovExponents), nullptr);
  // What the frame's closing does in the program (gui_entry.cpp).
  commands_->shut_down();
  commands_->shut_down();
  EXPECT_EQ(shut_downs, 1);
  EXPECT_TRUE(wait_until([this] { return commands_->dialog() == nullptr; }));
  // Nothing opens any more.
  EXPECT_EQ(choose(gui::kBifurcationDiagram), nullptr);
  EXPECT_TRUE(started_spectra.empty());
}

}  // namespace
}  // namespace gui_test
