#pragma once
// The frame's menu bars: the full bar of six popups (File, Edit, View, State, Window, Help)
// whose items carry the command identifiers 1000-1023, and the fallback bar ("&File" with
// "E&xit", identifier 10) shown while no child window is active. Each popup updates its items
// as it opens (through the `about_to_open` hook); F1 on a highlighted item asks for its help
// topic instead of running it. The Window popup ends with the list of child windows.

#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <map>
#include <utility>
#include <vector>

#include "gui/menu_states.h"

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

namespace gui {

struct MenuHooks {
  std::function<void(int command)> run_command;
  // A popup is about to open: the frame applies the current MenuStates.
  std::function<void()> about_to_open;
  // F1 on a highlighted item: its command (0 for an item without one).
  std::function<void(int command)> help_requested;
  // A child window chosen from the Window popup's list (its position in the list).
  std::function<void(int position)> child_chosen;
};

struct ChildListEntry {
  QString title;
  bool current = false;
};

class FrameMenus final : public QObject {
 public:
  FrameMenus(QWidget* owner, MenuHooks hooks);
  ~FrameMenus() override;

  // Appends a popup of `items` (text, command) to the full bar, after the six: the numbers
  // of those popups and their items stay as they are.
  QMenu* append_popup(const QString& title, const std::vector<std::pair<QString, int>>& items);
  // Shows the full bar or the fallback bar on `bar`.
  void install(QMenuBar* bar, bool full);
  bool full_installed() const { return full_installed_; }

  void apply(const MenuStates& states);
  void set_child_list(const std::vector<ChildListEntry>& entries);

  // The item that runs `command` (the State item for both 1008 and 1009; the fallback
  // bar's Exit for 10), or null.
  QAction* action(int command) const;
  QAction* state_action() const { return state_action_; }
  const QList<QMenu*>& popups() const { return popups_; }
  QMenu* window_popup() const { return window_popup_; }
  // Deletes popup `menu` (from 1, among the popups shown) of the bar now installed, or its
  // item `item` (from 1, among the items shown; 0: the whole popup). A deleted popup or item
  // is hidden, so it stays gone when the bar is installed again. False when there is no such
  // popup or item, or the item runs no command (a separator, the list of child windows).
  bool delete_menu(int menu, int item);
  // The titles of the popups of the bar now installed, in order.
  QList<QString> installed_titles(const QMenuBar* bar) const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QMenu* add_popup(const QString& title, QWidget* owner);
  QAction* add_item(QMenu* popup, const QString& text, int command);

  MenuHooks hooks_;
  QList<QMenu*> popups_;  // the full bar's popups: the six, then any appended
  QMenu* fallback_popup_ = nullptr;
  QMenu* window_popup_ = nullptr;
  QAction* state_action_ = nullptr;
  QAction* child_list_separator_ = nullptr;
  std::vector<QAction*> child_list_;
  std::map<int, QAction*> actions_;
  bool full_installed_ = false;
};

}  // namespace gui
