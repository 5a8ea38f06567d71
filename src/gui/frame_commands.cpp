// The frame's menu commands: Exit, Paste and Clear Paste, Size To Fit and Full Screen, Pause
// and Resume, the arrangement of the child windows, Input, the status bar, help and About.
// Select, Copy, Save and Print go to the WindowCommands handler, the Analysis popup's commands
// to the AnalysisCommands handler.

#include <QClipboard>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QTimer>
#include <QUrl>

#include "gui/analysis_commands.h"
#include "gui/child_sub_window.h"
#include "gui/child_view.h"
#include "gui/command_ids.h"
#include "gui/dialogs.h"
#include "gui/frame_menus.h"
#include "gui/frame_window.h"
#include "gui/full_screen_window.h"
#include "gui/help_file.h"
#include "gui/status_bar.h"
#include "gui/view_geometry.h"
#include "gui/window_commands.h"

namespace gui {

namespace {

constexpr std::string_view kHelpNotAvailable = "Help not available for menu item";
constexpr std::string_view kAboutBanner =
    "VozazAze windowed console\r\n"
    "Version 1.0\r\n"
    "Text and graphics windows for numbered units";
constexpr std::string_view kUsingHelpText =
    "Help > Contents opens the help file.\r\n"
    "Press F1 while a menu item is highlighted to open the help topic of that item.";

bool open_with_desktop(const QString& file, std::optional<int>) {
  // The desktop's viewer shows the whole file; it has no notion of topic numbers.
  return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()));
}

}  // namespace

MenuStates FrameWindow::current_menu_states() {
  MenuContext context;
  if (core_ != nullptr) {
    const console::StatusView view = core_->status_view();
    context.paste_pending = view.paste_pending;
    context.run_state = view.run_state;
    context.input_waiting = view.input_window != 0;
  }
  if (const QMimeData* data = QGuiApplication::clipboard()->mimeData()) {
    context.clipboard_has_text = data->hasText() && !data->text().isEmpty();
  }
  if (const ChildView* active = view(active_window())) {
    context.selection_in_progress = active->selection_in_progress();
    context.selection_has_area = active->selection_has_area();
    context.fit_to_window = active->fit_to_window();
  }
  context.full_screen = full_screen_ != nullptr;
  context.state_item_reads_resume = menus_->state_action()->data().toInt() == kResume;
  context.status_bar_shown = !status_bar_->isHidden();
  return compute_menu_states(context);
}

bool FrameWindow::command_allowed(int command) {
  const MenuStates states = current_menu_states();
  switch (command) {
    case kFullScreen: return states.full_screen_enabled && !states.full_screen_checked;
    case kCopy: return states.copy_enabled;
    case kPaste: return states.paste_enabled;
    default: return true;
  }
}

void FrameWindow::run_command(int command) {
  if (closed_ || core_ == nullptr) return;
  const int window = active_window();
  switch (command) {
    case kFallbackExit:
    case kExit:
      // No question: the frame closes once the menu (or key) has finished with it.
      menus_->install(menuBar(), false);
      QTimer::singleShot(0, this, [this] { close(); });
      return;
    case kSelectText:
    case kSelectGraphics:
    case kSelectAll:
    case kCopy:
      if (options_.window_commands != nullptr && window != 0) {
        options_.window_commands->run_window_command(command, window);
      }
      return;
    case kPrint:
    case kSave:
      if (options_.window_commands != nullptr && window != 0) {
        options_.window_commands->run_window_command(command, window);
        // Their dialogs (and the print progress dialog) are windows of their own.
        take_back_keyboard();
      }
      return;
    case kPaste: paste_clipboard(); return;
    case kClearPaste: core_->clear_paste(); return;
    case kSizeToFit: toggle_size_to_fit(); return;
    case kFullScreen: enter_full_screen(); return;
    case kPause: core_->pause(); return;
    case kResume:
      // Resume first ends a selection in progress, which resumes the program itself.
      if (options_.window_commands != nullptr && options_.window_commands->run_window_command(kResume, window)) {
        return;
      }
      core_->resume(window);
      return;
    case kCascade: mdi_->cascadeSubWindows(); return;
    case kTile: mdi_->tileSubWindows(); return;
    case kArrangeIcons: arrange_icons(); return;
    case kInput: activate_input_window(); return;
    case kStatusBar: toggle_status_bar(); return;
    case kContents: open_help_file(std::nullopt); return;
    case kUsingHelp: {
      console::MessageBoxRequest request;
      request.caption = core_->program_title();
      request.text = kUsingHelpText;
      message_box(request);
      return;
    }
    case kAbout: show_about(); return;
    default:
      // The Analysis popup's commands, when the frame has them; any other is none of its own.
      if (options_.analysis != nullptr) options_.analysis->run_command(command, this);
      return;
  }
}

void FrameWindow::paste_clipboard() {
  const int window = active_window();
  if (window == 0) return;
  const QString text = QGuiApplication::clipboard()->text();
  if (text.isEmpty()) return;
  const QByteArray bytes = text.toLatin1();
  core_->paste(window, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

void FrameWindow::toggle_size_to_fit() {
  ChildView* active = view(active_window());
  if (active == nullptr) return;
  active->set_fit_to_window(!active->fit_to_window());
  menus_->apply(current_menu_states());
}

void FrameWindow::enter_full_screen() {
  ChildView* active = view(active_window());
  if (active == nullptr || full_screen_) return;
  frame_maximised_before_full_screen_ = isMaximized();
  // Ending runs from inside the Full Screen window's own event handling: the window is
  // destroyed afterwards, from the event loop.
  full_screen_ = std::make_unique<FullScreenWindow>(
      active, [this] { QTimer::singleShot(0, this, [this] { leave_full_screen(); }); });
  if (const QScreen* display = screen()) full_screen_->setGeometry(display->geometry());
  active->set_shown_full_screen(true);
  full_screen_->showFullScreen();
  full_screen_->activateWindow();
  full_screen_->setFocus();
  menus_->apply(current_menu_states());
}

void FrameWindow::leave_full_screen() {
  if (!full_screen_) return;
  ChildView* shown = full_screen_->view();
  full_screen_->hide();
  full_screen_.reset();
  if (closed_) return;
  // Back to the frame: maximised when the picture would not fit on the display with the
  // frame around it, else normal.
  QSize display(1024, 768);
  if (const QScreen* screen_now = screen()) display = screen_now->availableGeometry().size();
  const QSize decoration = size() - mdi_->viewport()->size();
  const QSize picture = shown != nullptr ? shown->surface_size() : QSize();
  if (restore_frame_maximised(picture, display, decoration)) {
    if (const QScreen* screen_now = screen()) setGeometry(screen_now->availableGeometry());
    showMaximized();
  } else {
    showNormal();
  }
  activateWindow();
  if (shown != nullptr) {
    shown->set_shown_full_screen(false);
    shown->setFocus();
  }
  menus_->apply(current_menu_states());
}

void FrameWindow::toggle_status_bar() {
  status_bar_->setVisible(status_bar_->isHidden());
  menus_->apply(current_menu_states());
}

void FrameWindow::arrange_icons() {
  // The minimised children in a row along the bottom of the client area.
  int x = 0;
  const int bottom = mdi_->viewport()->height();
  for (QMdiSubWindow* sub : mdi_->subWindowList()) {
    if (!sub->isMinimized()) continue;
    sub->move(x, bottom - sub->height());
    x += sub->width();
  }
}

void FrameWindow::activate_input_window() {
  const int waiting = core_->status_view().input_window;
  activate_child(sub_window(waiting));
}

void FrameWindow::show_help(int command) {
  if (closed_ || core_ == nullptr) return;
  const std::optional<int> context = help_context(command);
  if (!context) {
    console::MessageBoxRequest request;
    request.caption = core_->program_title();
    request.text = kHelpNotAvailable;
    ChildSubWindow* owner = sub_window(active_window());
    show_message_box(owner != nullptr ? static_cast<QWidget*>(owner) : this, request);
    take_back_keyboard();
    return;
  }
  open_help_file(context);
}

void FrameWindow::open_help_file(std::optional<int> context) {
  const QString file = QString::fromLocal8Bit(find_help_file(current_help_environment()).c_str());
  const auto& opener = options_.open_help ? options_.open_help : open_with_desktop;
  if (opener(file, context)) return;
  console::MessageBoxRequest request;
  request.caption = core_->program_title();
  request.text = "The help file " + file.toLocal8Bit().toStdString() + " cannot be opened.";
  request.icon = console::MessageBoxIcon::Exclamation;
  message_box(request);
}

void FrameWindow::show_about() {
  console::MessageBoxRequest request;
  request.caption = core_->program_title();
  request.text = kAboutBanner;
  request.icon = console::MessageBoxIcon::Information;
  message_box(request);
}

}  // namespace gui
