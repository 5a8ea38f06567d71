#pragma once
// The frame: the program's main window with its MDI client (one ChildSubWindow per child
// window of the console), the two-pane status bar and the menu bars. It carries out on the
// GUI thread what the console core asks of the screen (window events, status changes, the
// boxes and the file dialog, closing the frame) and runs the menu commands.
//
// Start-up: the frame is made after the initial-settings hook has run; start() shows it
// maximised when the profile key "ZODAVeveziviz" is non-zero, otherwise in the state that the
// hook asked for through set_window_size (or normal).
//
// Closing the frame (Exit, Ctrl+C, the close box, the end box's Yes) is never refused: the
// frame disappears, every child window goes, the console's frame_closed runs the exit list
// (every unit flushed and closed) and `closed` receives the exit code. From then on the
// frame makes no further calls into the console.

#include <QMainWindow>
#include <QPointer>
#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "console/core_access.h"
#include "console/presentation.h"
#include "gui/key_input.h"
#include "gui/menu_states.h"

class QMdiArea;
class QMdiSubWindow;

namespace gui {

class AnalysisCommands;
class ChildSubWindow;
class ChildView;
class FrameMenus;
class FullScreenWindow;
class StatusBar;
class WindowCommands;

struct FrameOptions {
  // The INI file of the profile key; empty: the user's file for the program title.
  QString settings_file;
  // The frame is about to close (before the console's frame_closed runs).
  std::function<void()> closing;
  // The frame closed; the event loop is to end with `exit_code`.
  std::function<void(int exit_code)> closed;
  // Opens the help file at a topic (nothing: its contents); false when it cannot be opened.
  // Unset: the desktop's viewer for the file.
  std::function<bool(const QString& file, std::optional<int> context)> open_help;
  // Select, Copy, Save and Print (not owned); null: those commands do nothing.
  WindowCommands* window_commands = nullptr;
  // The Analysis popup after Help and its commands (not owned); null: the bar has no such
  // popup.
  AnalysisCommands* analysis = nullptr;
  // Beeps go here instead of the display's bell (tests count them).
  std::function<void()> beep;
};

class FrameWindow final : public QMainWindow {
 public:
  FrameWindow(console::CoreAccess& core, FrameOptions options);
  ~FrameWindow() override;

  // Shows the frame as the profile key and the initial-settings hook ask.
  void start();

  // ---- what the console asks (GUI thread) ----
  void window_event(int index, console::WindowEvent event);
  void status_changed();
  void beep();
  console::MessageBoxAnswer message_box(const console::MessageBoxRequest& request);
  bool choose_file(const console::FileDialogRequest& request, std::string& name);

  // ---- commands ----
  void run_command(int command);
  // Whether the item of `command` is enabled now (for keyboard equivalents); Full Screen
  // also needs it unchecked.
  bool command_allowed(int command);
  MenuStates current_menu_states();

  // ---- queries ----
  bool is_closed() const { return closed_; }
  QMdiArea* mdi_area() const { return mdi_; }
  StatusBar* status_bar() const { return status_bar_; }
  FrameMenus& menus() const { return *menus_; }
  ChildSubWindow* sub_window(int index) const;
  ChildView* view(int index) const;
  // The active child window's index (0 when none).
  int active_window() const;
  ChildSubWindow* active_child() const;
  FullScreenWindow* full_screen_window() const { return full_screen_.get(); }
  const console::StatusView& status() const { return status_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // Window events.
  void create_child(int index);
  void show_child(int index);
  void fit_child_to_surface(ChildSubWindow* sub);
  void apply_child_geometry(ChildSubWindow* sub, const console::WindowGeometryRequest& request);
  void apply_frame_request(const console::FrameRequest& request, bool first_show);
  void remove_child(int index);
  // The child's title bar: the selection's prefix, if any, and the window's title.
  void update_child_title(int index);
  void child_closed_by_user(int index);
  void activation_changed();
  void refresh_child_list();
  // The children shown (or minimised), in the MDI client's order: the Window popup's list.
  QList<ChildSubWindow*> shown_children() const;
  void activate_child(ChildSubWindow* sub);
  // Ctrl+F4 closes the active child (ignored while its unit is open); Ctrl+F6 and
  // Ctrl+Shift+F6 activate the next and the previous child of the Window popup's list.
  void child_window_key(KeyKind kind);
  void place_new_child(QMdiSubWindow* sub);
  void take_back_keyboard();

  // Commands (frame_commands.cpp).
  void toggle_size_to_fit();
  void enter_full_screen();
  void leave_full_screen();
  void toggle_status_bar();
  void arrange_icons();
  void activate_input_window();
  void paste_clipboard();
  void show_help(int command);
  void open_help_file(std::optional<int> context);
  void show_about();
  void shut_down();

  console::CoreAccess* core_;
  FrameOptions options_;
  QMdiArea* mdi_ = nullptr;
  StatusBar* status_bar_ = nullptr;
  std::unique_ptr<FrameMenus> menus_;
  std::map<int, QPointer<ChildSubWindow>> children_;
  // The child last activated: it stays the active child while another top-level window (a
  // box, a dialog, another program) has the focus.
  QPointer<ChildSubWindow> last_active_;
  std::unique_ptr<FullScreenWindow> full_screen_;
  console::StatusView status_;
  int placed_children_ = 0;
  bool closed_ = false;
  bool frame_maximised_before_full_screen_ = false;
};

}  // namespace gui
