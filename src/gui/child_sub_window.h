#pragma once
// The MDI child frame around a ChildView. While the window's unit is open the user cannot
// close it: there is no close button and no Close in its system menu, and a close request
// (Ctrl+F4 included) is ignored. Once the unit is closed with the keep disposition, the
// window gains "&Close\tCtrl+F4" in its system menu and a close button, and closing it
// removes it.

#include <QMdiSubWindow>

#include <functional>

namespace gui {

class ChildView;

class ChildSubWindow final : public QMdiSubWindow {
 public:
  // `user_closed` runs when the user closed a window whose unit was closed.
  ChildSubWindow(ChildView* view, std::function<void(int index)> user_closed);

  ChildView* view() const { return view_; }
  void allow_close();
  // Sets the title bar's buttons for the window's state (again after it joined the MDI client).
  void apply_flags();
  bool closable() const { return closable_; }
  // Whether the window was shown once (it is placed and given the focus only the first time).
  bool shown_once() const { return shown_once_; }
  void mark_shown() { shown_once_ = true; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  ChildView* view_;
  std::function<void(int)> user_closed_;
  bool closable_ = false;
  bool shown_once_ = false;
};

}  // namespace gui
