// The frame: construction, start-up, the console's window events and status, its boxes and
// the closing of the frame.

#include "gui/frame_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QIcon>
#include <QMdiArea>
#include <QMenuBar>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

#include "gui/analysis_commands.h"
#include "gui/child_sub_window.h"
#include "gui/child_view.h"
#include "gui/command_ids.h"
#include "gui/dialogs.h"
#include "gui/frame_menus.h"
#include "gui/full_screen_window.h"
#include "gui/profile_settings.h"
#include "gui/status_bar.h"
#include "gui/view_geometry.h"
#include "gui/window_commands.h"

namespace gui {

namespace {

QString latin1(const std::string& text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// The space a child frame adds around its view (caption and borders).
QSize child_decoration(const ChildSubWindow* sub) {
  const QMargins margins = sub->contentsMargins();
  QSize decoration(margins.left() + margins.right(), margins.top() + margins.bottom());
  if (decoration.height() == 0) {
    // Not laid out yet: the style's caption and border.
    const int border = sub->style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, sub);
    const int caption = sub->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, sub);
    decoration = QSize(2 * border, caption + 2 * border);
  }
  return decoration;
}

}  // namespace

FrameWindow::FrameWindow(console::CoreAccess& core, FrameOptions options) : core_(&core), options_(std::move(options)) {
  setWindowTitle(QString::fromLocal8Bit(core.program_title().c_str()));
  setWindowIcon(QIcon(QStringLiteral(":/gui/frame_icon.xpm")));

  auto* client = new QWidget(this);
  auto* layout = new QVBoxLayout(client);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  mdi_ = new QMdiArea(client);
  mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  status_bar_ = new StatusBar(client);
  layout->addWidget(mdi_, 1);
  layout->addWidget(status_bar_);
  setCentralWidget(client);

  MenuHooks hooks;
  hooks.run_command = [this](int command) { run_command(command); };
  hooks.about_to_open = [this] {
    menus_->apply(current_menu_states());
    refresh_child_list();
  };
  hooks.help_requested = [this](int command) { show_help(command); };
  hooks.child_chosen = [this](int position) {
    const QList<ChildSubWindow*> list = shown_children();
    if (position >= 0 && position < list.size()) activate_child(list[position]);
  };
  menus_ = std::make_unique<FrameMenus>(this, std::move(hooks));
  if (options_.analysis != nullptr) options_.analysis->install(*menus_);
  // The fallback bar until a child window is active.
  menus_->install(menuBar(), false);
  QObject::connect(mdi_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
    if (auto* child = dynamic_cast<ChildSubWindow*>(sub)) last_active_ = child;
    activation_changed();
  });

  status_ = core.status_view();
  status_bar_->set_state_text(latin1(status_.run_state_text));
  status_bar_->set_message(latin1(status_.message));
}

FrameWindow::~FrameWindow() {
  // The MDI client outlives this destructor's body (it goes with the widget): it must not
  // report activations to a frame that is half gone.
  QObject::disconnect(mdi_, nullptr, this, nullptr);
  closed_ = true;
  for (auto& [index, sub] : children_) {
    if (!sub.isNull()) sub->view()->detach();
  }
  full_screen_.reset();
}

void FrameWindow::start() {
  core_->set_frame_exists(true);
  const int key = read_profile_key(windowTitle(), options_.settings_file);
  if (key != 0) {
    console::FrameRequest maximised;
    maximised.state = 2;
    apply_frame_request(maximised, true);
  } else {
    apply_frame_request(core_->frame_request(), true);
  }
}

void FrameWindow::apply_frame_request(const console::FrameRequest& request, bool first_show) {
  if (!first_show && (isMinimized() || isMaximized())) showNormal();
  switch (request.state) {
    case 1: showMinimized(); break;
    case 2:
      // Without a window manager nothing would maximise the frame: give it the screen's
      // work area first.
      if (const QScreen* display = screen()) setGeometry(display->availableGeometry());
      showMaximized();
      break;
    case 3: showNormal(); break;
    case 4: {
      showNormal();
      move(request.x, request.y);
      // The client area without the status bar gets the size asked for.
      const int extra = menuBar()->sizeHint().height() + (status_bar_->isVisible() ? status_bar_->height() : 0);
      resize(std::max(1, request.width), std::max(1, request.height) + extra);
      mdi_->cascadeSubWindows();
      break;
    }
    default: show(); break;
  }
  // The frame takes the keyboard (where a window manager lets it), so that typing goes to
  // the active child window from the start.
  if (first_show && request.state != 1) activateWindow();
}

// ---- window events ----

ChildSubWindow* FrameWindow::sub_window(int index) const {
  const auto found = children_.find(index);
  return found == children_.end() ? nullptr : found->second.data();
}

ChildView* FrameWindow::view(int index) const {
  ChildSubWindow* sub = sub_window(index);
  return sub == nullptr ? nullptr : sub->view();
}

ChildSubWindow* FrameWindow::active_child() const {
  auto* current = dynamic_cast<ChildSubWindow*>(mdi_->currentSubWindow());
  if (current == nullptr) current = last_active_.data();
  if (current == nullptr || !(current->isVisible() || current->isMinimized())) return nullptr;
  return current;
}

int FrameWindow::active_window() const {
  const ChildSubWindow* sub = active_child();
  return sub == nullptr ? 0 : sub->view()->index();
}

void FrameWindow::window_event(int index, console::WindowEvent event) {
  if (closed_ || core_ == nullptr) return;
  using console::WindowEvent;
  if (index == 0) {
    if (event == WindowEvent::GeometryRequested) apply_frame_request(core_->frame_request(), false);
    return;
  }
  if (event == WindowEvent::Created) {
    create_child(index);
    return;
  }
  ChildSubWindow* sub = sub_window(index);
  if (sub == nullptr) return;
  switch (event) {
    case WindowEvent::Created: break;
    case WindowEvent::Shown: show_child(index); break;
    case WindowEvent::Configured:
      sub->view()->pull_now();
      fit_child_to_surface(sub);
      break;
    case WindowEvent::Changed: sub->view()->request_pull(); break;
    case WindowEvent::TitleChanged: update_child_title(index); break;
    case WindowEvent::GeometryRequested:
      if (const auto info = core_->window_info(index)) apply_child_geometry(sub, info->geometry);
      break;
    case WindowEvent::Closed:
      if (full_screen_ && full_screen_->view() == sub->view()) leave_full_screen();
      sub->allow_close();
      break;
    case WindowEvent::Removed: remove_child(index); break;
  }
}

void FrameWindow::create_child(int index) {
  if (sub_window(index) != nullptr) return;
  ChildViewHooks hooks;
  hooks.run_command = [this](int command) { run_command(command); };
  hooks.command_allowed = [this](int command) { return command_allowed(command); };
  hooks.surface_changed = [this, index](const QRect& area) {
    if (full_screen_ && full_screen_->view() != nullptr && full_screen_->view()->index() == index) {
      full_screen_->surface_changed(area);
    }
  };
  hooks.selection_changed = [this, index] { update_child_title(index); };
  hooks.child_window_key = [this](KeyKind kind) { child_window_key(kind); };
  auto* view = new ChildView(*core_, index, std::move(hooks));
  auto* sub = new ChildSubWindow(view, [this](int closed) { child_closed_by_user(closed); });
  if (const auto info = core_->window_info(index)) sub->setWindowTitle(latin1(info->title));
  mdi_->addSubWindow(sub);
  sub->apply_flags();
  sub->hide();
  // A window is not shown (nor active) until its configuration is applied.
  if (mdi_->currentSubWindow() == sub) mdi_->setActiveSubWindow(nullptr);
  children_[index] = sub;
}

void FrameWindow::place_new_child(QMdiSubWindow* sub) {
  // The system's default place and size for a new child: cascaded, three quarters of the
  // client area.
  const QSize area = mdi_->viewport()->size();
  const int step = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
  const int n = placed_children_++ % 8;
  sub->resize(std::max(160, area.width() * 3 / 4), std::max(120, area.height() * 3 / 4));
  sub->move(n * step, n * step);
}

void FrameWindow::show_child(int index) {
  ChildSubWindow* sub = sub_window(index);
  if (sub == nullptr) return;
  sub->view()->pull_now();
  const bool first = !sub->shown_once();
  sub->mark_shown();
  if (first) place_new_child(sub);
  fit_child_to_surface(sub);
  sub->show();
  const auto info = core_->window_info(index);
  if (first && ((info && info->take_focus) || active_child() == nullptr)) activate_child(sub);
  refresh_child_list();
}

void FrameWindow::fit_child_to_surface(ChildSubWindow* sub) {
  ChildView* view = sub->view();
  const QSize surface = view->surface_size();
  if (surface.isEmpty()) return;
  const QSize decoration = child_decoration(sub);
  const QSize client = sub->size() - decoration;
  if (!surface_smaller_than_client(surface, client)) return;
  if (sub->isMaximized()) {
    sub->showNormal();
    return;
  }
  sub->resize(surface + decoration);
}

void FrameWindow::apply_child_geometry(ChildSubWindow* sub, const console::WindowGeometryRequest& request) {
  const QVariant applied = sub->property("geometry_serial");
  if (applied.isValid() && applied.toULongLong() >= request.serial) return;
  sub->setProperty("geometry_serial", QVariant::fromValue<qulonglong>(request.serial));
  switch (request.state) {
    case 1: sub->showMinimized(); break;
    case 2: sub->showMaximized(); break;
    case 3: sub->showNormal(); break;
    case 4: {
      if (sub->isMinimized() || sub->isMaximized()) sub->showNormal();
      sub->move(request.x, request.y);
      // The text area asked for, with room for both scroll bars and the frame around it.
      const QSize view =
          sub->view()->view_size_for_client(QSize(std::max(0, request.width), std::max(0, request.height)));
      sub->resize(view + child_decoration(sub));
      break;
    }
    default: break;
  }
}

void FrameWindow::update_child_title(int index) {
  ChildSubWindow* sub = sub_window(index);
  if (sub == nullptr || core_ == nullptr) return;
  // A selection in progress shows its prefix in front of the window's own title.
  if (const auto info = core_->window_info(index))
    sub->setWindowTitle(sub->view()->title_prefix() + latin1(info->title));
}

void FrameWindow::remove_child(int index) {
  ChildSubWindow* sub = sub_window(index);
  if (sub != nullptr && sub->view()->selection_in_progress() && options_.window_commands != nullptr) {
    // The selection goes with its window, and so does the pause it holds.
    options_.window_commands->run_window_command(kResume, index);
  }
  children_.erase(index);
  if (sub == nullptr) return;
  if (full_screen_ && full_screen_->view() == sub->view()) leave_full_screen();
  sub->view()->detach();
  // The child closed by the user is hidden by now: the one last activated tells.
  const bool was_active = last_active_ == sub || mdi_->currentSubWindow() == sub;
  if (last_active_ == sub) last_active_ = nullptr;
  mdi_->removeSubWindow(sub);
  delete sub;
  refresh_child_list();
  // As in an MDI client, the child on top of those left becomes active when the active one
  // goes, so that the keyboard and the full menu bar stay with the frame.
  if (was_active) {
    const QList<ChildSubWindow*> left = shown_children();
    const QList<QMdiSubWindow*> stacking = mdi_->subWindowList(QMdiArea::StackingOrder);
    for (auto it = stacking.rbegin(); it != stacking.rend(); ++it) {
      auto* child = dynamic_cast<ChildSubWindow*>(*it);
      if (child != nullptr && left.contains(child)) {
        activate_child(child);
        break;
      }
    }
  }
  activation_changed();
}

void FrameWindow::child_closed_by_user(int index) {
  // The slot of a window whose unit is closed is freed with the window.
  if (core_ != nullptr) core_->close_unit_window(index, false);
}

void FrameWindow::activation_changed() {
  if (closed_) return;
  // The current child stays the active one while another top-level window (a box, a
  // dialog) has the focus; the fallback bar comes only when no child is left active.
  const bool child_active = active_child() != nullptr;
  if (child_active != menus_->full_installed()) menus_->install(menuBar(), child_active);
  if (child_active) menus_->apply(current_menu_states());
}

QList<ChildSubWindow*> FrameWindow::shown_children() const {
  QList<ChildSubWindow*> shown;
  for (QMdiSubWindow* sub : mdi_->subWindowList()) {
    auto* child = dynamic_cast<ChildSubWindow*>(sub);
    if (child != nullptr && (child->isVisible() || child->isMinimized())) shown.push_back(child);
  }
  return shown;
}

void FrameWindow::activate_child(ChildSubWindow* sub) {
  if (sub == nullptr) return;
  if (sub->isMinimized()) sub->showNormal();
  last_active_ = sub;
  mdi_->setActiveSubWindow(sub);
  sub->view()->setFocus();
  activation_changed();
}

void FrameWindow::child_window_key(KeyKind kind) {
  ChildSubWindow* current = active_child();
  if (current == nullptr) return;
  if (kind == KeyKind::CloseWindow) {
    // The child refuses while its unit is open.
    current->close();
    return;
  }
  const QList<ChildSubWindow*> list = shown_children();
  const qsizetype at = list.indexOf(current);
  if (list.size() < 2 || at < 0) return;
  const qsizetype step = kind == KeyKind::PreviousWindow ? list.size() - 1 : 1;
  activate_child(list[(at + step) % list.size()]);
}

void FrameWindow::refresh_child_list() {
  std::vector<ChildListEntry> entries;
  const ChildSubWindow* current = active_child();
  for (ChildSubWindow* sub : shown_children()) entries.push_back({sub->windowTitle(), sub == current});
  menus_->set_child_list(entries);
}

// ---- status, beeps and boxes ----

void FrameWindow::status_changed() {
  if (closed_ || core_ == nullptr) return;
  const int previous_input_window = status_.input_window;
  status_ = core_->take_status_view();
  // A read that starts waiting brings its window to the front with the keyboard focus, so
  // that the answer typed next goes where the question is, even after another window (a new
  // graphics window, say) took the focus.
  if (status_.input_window != 0 && status_.input_window != previous_input_window) {
    if (active_window() != status_.input_window) activate_input_window();
    // The question being answered is in view.
    if (ChildView* waiting = view(status_.input_window)) {
      waiting->pull_now();
      waiting->bring_caret_into_view();
    }
  }
  status_bar_->set_state_text(latin1(status_.run_state_text));
  status_bar_->set_message(latin1(status_.message));
  // The menu items follow when a popup opens (asking the clipboard on every status change
  // would cost a round trip to its owner each time).
}

void FrameWindow::beep() {
  if (options_.beep) {
    options_.beep();
  } else {
    QApplication::beep();
  }
}

console::MessageBoxAnswer FrameWindow::message_box(const console::MessageBoxRequest& request) {
  QWidget* owner = nullptr;
  if (!closed_ && isVisible()) {
    owner = request.purpose == console::MessageBoxPurpose::ProgramEnd ? static_cast<QWidget*>(mdi_) : this;
  }
  const console::MessageBoxAnswer answer = show_message_box(owner, request);
  take_back_keyboard();
  return answer;
}

bool FrameWindow::choose_file(const console::FileDialogRequest& request, std::string& name) {
  const bool chosen = show_file_dialog(!closed_ && isVisible() ? this : nullptr, request, name);
  take_back_keyboard();
  return chosen;
}

void FrameWindow::take_back_keyboard() {
  // A window manager gives the keyboard back to the frame when a dialog closes; without one
  // (a bare X server, a kiosk) the frame asks for it itself.
  if (!closed_ && isVisible() && !isMinimized()) activateWindow();
}

// ---- closing ----

void FrameWindow::closeEvent(QCloseEvent* event) {
  event->accept();
  shut_down();
}

void FrameWindow::shut_down() {
  if (closed_) return;
  closed_ = true;
  if (options_.closing) options_.closing();
  if (full_screen_) {
    full_screen_->hide();
    full_screen_.reset();
  }
  hide();
  menus_->install(menuBar(), false);
  std::map<int, QPointer<ChildSubWindow>> children;
  children.swap(children_);
  for (auto& [index, sub] : children) {
    if (sub.isNull()) continue;
    sub->view()->detach();
    delete sub.data();
  }
  console::CoreAccess* core = std::exchange(core_, nullptr);
  // The exit list runs here: every unit is flushed and closed before the event loop ends.
  const int code = core->frame_closed(0);
  if (options_.closed) options_.closed(code);
}

}  // namespace gui
