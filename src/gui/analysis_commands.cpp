#include "gui/analysis_commands.h"

#include <QDialog>
#include <QWidget>

#include <utility>

#include "gui/command_ids.h"
#include "gui/dialogs.h"
#include "gui/frame_menus.h"

namespace gui {

namespace {

// A window manager gives the keyboard back to the frame when a dialog or box closes; without
// one (a bare X server, a kiosk) the frame asks for it itself.
void take_back_keyboard(QWidget* parent) {
  QWidget* frame = parent != nullptr ? parent->window() : nullptr;
  if (frame != nullptr && frame->isVisible() && !frame->isMinimized()) frame->activateWindow();
}

}  // namespace

AnalysisCommands::AnalysisCommands(AnalysisHooks hooks) : hooks_(std::move(hooks)) {}

void AnalysisCommands::install(FrameMenus& menus) {
  menus.append_popup(QStringLiteral("&Analysis"), {{QStringLiteral("&Bifurcation Diagram..."), kBifurcationDiagram},
                                                   {QStringLiteral("&Lyapunov Exponents..."), kLyapunovExponents}});
}

bool AnalysisCommands::run_command(int command, QWidget* parent) {
  if (command != kBifurcationDiagram && command != kLyapunovExponents) return false;
  if (shut_down_ || hooks_.maps.empty()) return true;
  const std::string refusal = hooks_.refusal ? hooks_.refusal() : std::string();
  if (!refusal.empty()) {
    console::MessageBoxRequest request;
    request.caption = parent != nullptr ? parent->window()->windowTitle().toStdString() : std::string();
    request.text = refusal;
    request.icon = console::MessageBoxIcon::Information;
    show_message_box(parent, request);
    take_back_keyboard(parent);
    return true;
  }
  if (dialog_) dialog_->close();
  const bool diagram = command == kBifurcationDiagram;
  const AnalysisSettings start_from = hooks_.starting_settings ? hooks_.starting_settings() : AnalysisSettings{};
  AnalysisDialog::Start start = diagram ? hooks_.start_bifurcation : hooks_.start_lyapunov;
  dialog_ = new AnalysisDialog(parent, diagram ? AnalysisDialog::Kind::Bifurcation : AnalysisDialog::Kind::Lyapunov,
                               hooks_.maps, hooks_.limits, start_from, std::move(start));
  dialog_->setAttribute(Qt::WA_DeleteOnClose);
  QObject::connect(dialog_, &QDialog::finished, dialog_, [parent] { take_back_keyboard(parent); });
  // Window-modal without a nested event loop: the frame goes on painting and the program
  // on running while the dialog is open.
  dialog_->open();
  return true;
}

void AnalysisCommands::shut_down() {
  if (shut_down_) return;
  shut_down_ = true;
  if (dialog_) dialog_->close();
  if (hooks_.shut_down) hooks_.shut_down();
}

}  // namespace gui
