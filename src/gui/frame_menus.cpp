#include "gui/frame_menus.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include <algorithm>

#include "gui/command_ids.h"

namespace gui {

namespace {

const QString kPauseText = QStringLiteral("&Pause\tCtrl+S");
const QString kResumeText = QStringLiteral("&Resume\tCtrl+Q");

int command_of(const QAction* action) {
  if (action == nullptr) return 0;
  bool ok = false;
  const int command = action->data().toInt(&ok);
  return ok ? command : 0;
}

}  // namespace

FrameMenus::FrameMenus(QWidget* owner, MenuHooks hooks) : hooks_(std::move(hooks)) {
  QMenu* file = add_popup(QStringLiteral("&File"), owner);
  add_item(file, QStringLiteral("&Print..."), kPrint);
  add_item(file, QStringLiteral("&Save..."), kSave);
  add_item(file, QStringLiteral("E&xit\tCtrl+C"), kExit);

  QMenu* edit = add_popup(QStringLiteral("&Edit"), owner);
  add_item(edit, QStringLiteral("Select &Text"), kSelectText);
  add_item(edit, QStringLiteral("Select &Graphics"), kSelectGraphics);
  add_item(edit, QStringLiteral("Select &All"), kSelectAll);
  add_item(edit, QStringLiteral("&Copy\tCtrl+Ins"), kCopy);
  add_item(edit, QStringLiteral("&Paste"), kPaste);

  QMenu* view = add_popup(QStringLiteral("&View"), owner);
  add_item(view, QStringLiteral("&Size To Fit"), kSizeToFit)->setCheckable(true);
  add_item(view, QStringLiteral("&Full Screen\tAlt+Enter"), kFullScreen)->setCheckable(true);

  QMenu* state = add_popup(QStringLiteral("&State"), owner);
  state_action_ = add_item(state, kPauseText, kPause);

  window_popup_ = add_popup(QStringLiteral("&Window"), owner);
  add_item(window_popup_, QStringLiteral("&Cascade"), kCascade);
  add_item(window_popup_, QStringLiteral("&Tile"), kTile);
  add_item(window_popup_, QStringLiteral("&Arrange Icons"), kArrangeIcons);
  add_item(window_popup_, QStringLiteral("&Input"), kInput)->setEnabled(false);
  add_item(window_popup_, QStringLiteral("C&lear Paste"), kClearPaste);
  QAction* status_bar = add_item(window_popup_, QStringLiteral("&Status Bar"), kStatusBar);
  status_bar->setCheckable(true);
  status_bar->setChecked(true);

  QMenu* help = add_popup(QStringLiteral("&Help"), owner);
  add_item(help, QStringLiteral("&Contents"), kContents);
  add_item(help, QStringLiteral("Using &Help"), kUsingHelp);
  add_item(help, QStringLiteral("&About"), kAbout);

  // The fallback bar: one popup with Exit (10), which closes the frame like Exit.
  fallback_popup_ = new QMenu(QStringLiteral("&File"), owner);
  fallback_popup_->installEventFilter(this);
  QAction* exit = fallback_popup_->addAction(QStringLiteral("E&xit"));
  exit->setData(kFallbackExit);
  actions_[kFallbackExit] = exit;
  QObject::connect(fallback_popup_, &QMenu::triggered, this, [this](QAction* action) {
    if (hooks_.run_command && command_of(action) != 0) hooks_.run_command(command_of(action));
  });
}

FrameMenus::~FrameMenus() = default;

QMenu* FrameMenus::add_popup(const QString& title, QWidget* owner) {
  auto* popup = new QMenu(title, owner);
  popup->installEventFilter(this);
  popups_.push_back(popup);
  QObject::connect(popup, &QMenu::aboutToShow, this, [this] {
    if (hooks_.about_to_open) hooks_.about_to_open();
  });
  QObject::connect(popup, &QMenu::triggered, this, [this](QAction* action) {
    const auto listed = std::find(child_list_.begin(), child_list_.end(), action);
    if (listed != child_list_.end()) {
      if (hooks_.child_chosen) hooks_.child_chosen(static_cast<int>(listed - child_list_.begin()));
      return;
    }
    const int command = command_of(action);
    if (command != 0 && hooks_.run_command) hooks_.run_command(command);
  });
  return popup;
}

QAction* FrameMenus::add_item(QMenu* popup, const QString& text, int command) {
  QAction* action = popup->addAction(text);
  action->setData(command);
  actions_[command] = action;
  return action;
}

QMenu* FrameMenus::append_popup(const QString& title, const std::vector<std::pair<QString, int>>& items) {
  QMenu* popup = add_popup(title, fallback_popup_->parentWidget());
  for (const auto& [text, command] : items) add_item(popup, text, command);
  return popup;
}

void FrameMenus::install(QMenuBar* bar, bool full) {
  if (bar == nullptr) return;
  for (QAction* action : bar->actions()) bar->removeAction(action);
  if (full) {
    for (QMenu* popup : popups_) bar->addAction(popup->menuAction());
  } else {
    bar->addAction(fallback_popup_->menuAction());
  }
  full_installed_ = full;
}

QList<QString> FrameMenus::installed_titles(const QMenuBar* bar) const {
  QList<QString> titles;
  if (bar == nullptr) return titles;
  for (const QAction* action : bar->actions()) {
    if (action->isVisible()) titles.push_back(action->text());
  }
  return titles;
}

bool FrameMenus::delete_menu(int menu, int item) {
  QList<QMenu*> shown;
  for (QMenu* popup : full_installed_ ? popups_ : QList<QMenu*>{fallback_popup_}) {
    if (popup->menuAction()->isVisible()) shown.push_back(popup);
  }
  if (menu < 1 || menu > shown.size() || item < 0) return false;
  QMenu* popup = shown[menu - 1];
  if (item == 0) {
    popup->menuAction()->setVisible(false);
    return true;
  }
  QList<QAction*> items;
  for (QAction* action : popup->actions()) {
    if (action->isVisible()) items.push_back(action);
  }
  if (item > items.size()) return false;
  QAction* chosen = items[item - 1];
  if (command_of(chosen) == 0) return false;
  chosen->setVisible(false);
  return true;
}

QAction* FrameMenus::action(int command) const {
  if (command == kPause || command == kResume) return state_action_;
  const auto found = actions_.find(command);
  return found == actions_.end() ? nullptr : found->second;
}

void FrameMenus::apply(const MenuStates& states) {
  for (const int command : {kSelectText, kSelectGraphics, kSelectAll}) {
    action(command)->setEnabled(states.select_enabled);
  }
  action(kCopy)->setEnabled(states.copy_enabled);
  action(kPaste)->setEnabled(states.paste_enabled);
  action(kClearPaste)->setEnabled(states.clear_paste_enabled);
  action(kSizeToFit)->setEnabled(states.size_to_fit_enabled);
  action(kSizeToFit)->setChecked(states.size_to_fit_checked);
  action(kFullScreen)->setEnabled(states.full_screen_enabled);
  action(kFullScreen)->setChecked(states.full_screen_checked);
  action(kInput)->setEnabled(states.input_enabled);
  action(kStatusBar)->setChecked(states.status_bar_checked);
  // The State item is relabelled and renumbered; its enabled state stays as it is.
  state_action_->setText(states.state_reads_resume ? kResumeText : kPauseText);
  state_action_->setData(states.state_reads_resume ? kResume : kPause);
}

void FrameMenus::set_child_list(const std::vector<ChildListEntry>& entries) {
  for (QAction* action : child_list_) {
    window_popup_->removeAction(action);
    delete action;
  }
  child_list_.clear();
  if (child_list_separator_ != nullptr) {
    window_popup_->removeAction(child_list_separator_);
    delete child_list_separator_;
    child_list_separator_ = nullptr;
  }
  if (entries.empty()) return;
  child_list_separator_ = window_popup_->addSeparator();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    QString title = entries[i].title;
    title.replace('&', QStringLiteral("&&"));
    QAction* action = window_popup_->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(title));
    action->setCheckable(true);
    action->setChecked(entries[i].current);
    child_list_.push_back(action);
  }
}

bool FrameMenus::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  if (key->key() != Qt::Key_F1) return false;
  auto* menu = qobject_cast<QMenu*>(watched);
  if (menu == nullptr) return false;
  const int command = command_of(menu->activeAction());
  // The menu closes first; the help (or its message box) comes once it is gone.
  for (QMenu* popup : popups_) popup->hide();
  fallback_popup_->hide();
  QTimer::singleShot(0, this, [this, command] {
    if (hooks_.help_requested) hooks_.help_requested(command);
  });
  return true;
}

}  // namespace gui
