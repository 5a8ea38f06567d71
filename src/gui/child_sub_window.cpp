#include "gui/child_sub_window.h"

#include <QCloseEvent>
#include <QIcon>
#include <QKeySequence>
#include <QMenu>

#include "gui/child_view.h"

namespace gui {

namespace {

// The title bar draws its close button together with the system menu, so a window whose
// unit is open has neither (its minimise and maximise buttons stay). Without the customize
// hint the MDI child would add both back.
constexpr Qt::WindowFlags kOpenUnitFlags =
    Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinMaxButtonsHint;
constexpr Qt::WindowFlags kClosableFlags = kOpenUnitFlags | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;

// Removes the Close command and the separator above it from a system menu.
void remove_close_command(QMenu* menu) {
  if (menu == nullptr) return;
  const QList<QAction*> actions = menu->actions();
  for (qsizetype i = 0; i < actions.size(); ++i) {
    QAction* action = actions[i];
    const bool is_close = action->shortcut() == QKeySequence(QKeySequence::Close) ||
                          action->text().remove('&').startsWith(QStringLiteral("Close"));
    if (!is_close) continue;
    menu->removeAction(action);
    if (i > 0 && actions[i - 1]->isSeparator()) menu->removeAction(actions[i - 1]);
    return;
  }
}

}  // namespace

ChildSubWindow::ChildSubWindow(ChildView* view, std::function<void(int)> user_closed)
    : view_(view), user_closed_(std::move(user_closed)) {
  setWidget(view);
  apply_flags();
  setWindowIcon(QIcon(QStringLiteral(":/gui/child_icon.xpm")));
  remove_close_command(systemMenu());
}

void ChildSubWindow::apply_flags() {
  const bool was_visible = isVisible();
  setWindowFlags(closable_ ? kClosableFlags : kOpenUnitFlags);
  if (was_visible) show();
}

void ChildSubWindow::allow_close() {
  if (closable_) return;
  closable_ = true;
  apply_flags();
  if (QMenu* menu = systemMenu()) {
    menu->addSeparator();
    QAction* close_action = menu->addAction(QStringLiteral("&Close\tCtrl+F4"));
    QObject::connect(close_action, &QAction::triggered, this, [this] { close(); });
  }
}

void ChildSubWindow::closeEvent(QCloseEvent* event) {
  if (!closable_) {
    event->ignore();
    return;
  }
  QMdiSubWindow::closeEvent(event);
  if (event->isAccepted() && user_closed_) user_closed_(view_->index());
}

}  // namespace gui
