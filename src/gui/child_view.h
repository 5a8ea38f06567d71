#pragma once
// The view of one child window: its virtual screen painted from the GUI thread's copy of the
// surface, at the scroll offsets or, in Size To Fit, stretched over the client area; the
// caret (the text position's cell inverted while the window has the focus and its cursor
// flag is on); the scroll bars and keyboard scrolling; and the window's keyboard input,
// which goes to the console core's line editor.
//
// The core says that the surface changed (a Changed event); the view then takes the dirty
// area from the core at most once per repaint interval and repaints only that area and the
// caret's old and new cells.
//
// The view keeps the caret's cell in view: when output or echo moves the text position out
// of the visible part, and when a read starts waiting, it scrolls the least distance that
// shows the cell; after the window was cleared it starts again from the top. As the view
// looks at the window only once per repaint interval, it first brings the start of the new
// output into view (where the text position went on its way, such as the first column of
// a new line) and then the caret. It does not scroll while a selection is in progress or the
// user holds a scroll bar; while everything is shown (Size To Fit, Full Screen) or the view
// is hidden, it catches up afterwards.
//
// A selection in progress (child_view_selection.cpp) belongs to the view: the movement keys
// and the left mouse button change it instead of scrolling, and it is drawn inverted over
// the picture (the picture itself is not touched), with the mark while only a mark is
// placed. The view records it in the window (CoreAccess::set_selection); starting and
// ending it, with the pause of the program, is the frame's WindowCommands handler's.

#include <QAbstractScrollArea>
#include <QElapsedTimer>
#include <QImage>
#include <QPoint>
#include <QTimer>

#include <cstdint>
#include <functional>

#include "console/core_access.h"
#include "gui/key_input.h"
#include "gui/surface_mirror.h"

class QPainter;

namespace gui {

struct ChildViewHooks {
  // Runs a menu command for this window (Alt+Enter, Ctrl+Insert, Shift+Insert).
  std::function<void(int command)> run_command;
  // Whether a command's menu item is enabled now (and, for Full Screen, not checked).
  std::function<bool(int command)> command_allowed;
  // The mirror changed in `area` (surface pixels); the Full Screen window repaints.
  std::function<void(const QRect& area)> surface_changed;
  // The selection started, changed or ended (the title prefix may have changed).
  std::function<void()> selection_changed;
  // Ctrl+F4, Ctrl+F6 or Ctrl+Shift+F6 (KeyKind::CloseWindow, NextWindow, PreviousWindow):
  // the frame closes or switches its child windows.
  std::function<void(KeyKind kind)> child_window_key;
};

class ChildView final : public QAbstractScrollArea {
 public:
  ChildView(console::CoreAccess& core, int index, ChildViewHooks hooks, QWidget* parent = nullptr);
  ~ChildView() override;

  int index() const { return index_; }
  // The console is going away: the view makes no further calls into it.
  void detach();

  // A Changed event: takes the dirty area now or after the repaint interval.
  void request_pull();
  // Takes the dirty area and the caret from the core and repaints what changed.
  void pull_now();

  bool fit_to_window() const { return fit_to_window_; }
  void set_fit_to_window(bool fit);

  const SurfaceMirror& mirror() const { return mirror_; }
  QSize surface_size() const { return mirror_.size(); }
  QSize cell_size() const { return cell_; }
  QRect caret_cell() const { return caret_; }
  // The cursor flag is on and the caret's cell is known (shown while the window has focus).
  bool cursor_on() const;
  bool caret_shown() const;
  bool selection_in_progress() const { return selection_.active(); }
  // A selection in progress covers something (not only the mark).
  bool selection_has_area() const { return selection_.has_area(); }
  QPoint scroll_position() const;
  void scroll_to(int x, int y);
  // A read starts waiting here: scrolls the least distance that shows the caret's cell.
  void bring_caret_into_view();
  // The Full Screen window shows this window (the view does not follow the caret meanwhile).
  void set_shown_full_screen(bool shown);

  // The keyboard input of this window (also used by the Full Screen window, which passes
  // `in_full_screen` true: the keys that scroll or switch child windows do nothing there).
  void handle_key(const KeyAction& action, bool in_full_screen = false);

  // The client size that shows `pixels` with both scroll bars in place.
  QSize view_size_for_client(const QSize& client) const;

  static constexpr int kRepaintIntervalMs = 15;

  // ---- selection (child_view_selection.cpp) ----
  // Starts marking text or graphics at the top-left of the view. The program must already be
  // paused. False when the window has no picture yet or the view is scaled.
  bool begin_selection(console::SelectionMode mode);
  // Select All: the whole picture of a window with graphics, else its whole text.
  bool select_whole_window();
  // Drops the selection from the screen and from the window's record.
  void end_selection();
  const console::Selection& selection() const { return selection_; }
  const console::SelectionLimits& selection_limits() const { return selection_limits_; }
  // "Mark Text - ", "Mark Graphics - ", "Select Text - ", "Select Graphics in " or empty.
  QString title_prefix() const;
  // How often the view scrolls while the mouse drags a selection beyond the client area.
  static constexpr int kDragScrollIntervalMs = 40;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  bool event(QEvent* event) override;

 private:
  void update_scroll_ranges();
  void tell_core_view();
  // The caret moved after output or echo in `output` (surface pixels; `cleared`: the window
  // was cleared): scrolls to show it, or remembers to once the view can scroll.
  void follow_caret(bool cleared, const QRect& output = QRect());
  // Follows a move of the caret that came while the view could not scroll.
  void catch_up_with_caret();
  // A surface rectangle as viewport pixels.
  QRect to_viewport(const QRect& surface_area) const;

  // Selection (child_view_selection.cpp).
  void set_selection(const console::Selection& selection);
  // A movement key (or Shift) while a selection mode is on; false for other keys.
  bool selection_key(const QKeyEvent* event);
  void paint_selection(QPainter& painter) const;
  // The point under a viewport position, clamped to the client area.
  console::SelectionPoint point_under(QPoint viewport_position) const;
  // Scrolls so that the current point is in view.
  void scroll_to_current_point();
  // One step of scrolling while the mouse drags beyond the client area.
  void drag_scroll_step();

  console::CoreAccess* core_;
  const int index_;
  ChildViewHooks hooks_;
  SurfaceMirror mirror_;
  QSize cell_{8, 16};
  QRect caret_;
  bool cursor_visible_ = false;
  bool fit_to_window_ = false;
  bool shown_full_screen_ = false;
  std::uint64_t clears_seen_ = 0;  // the window's clears when the view last looked
  // The caret moved while the view could not scroll (and the window was cleared meanwhile).
  bool follow_deferred_ = false;
  bool deferred_from_top_ = false;
  QTimer pull_timer_;
  QElapsedTimer since_pull_;
  console::Selection selection_;
  console::SelectionLimits selection_limits_;
  QTimer drag_timer_;
  QPoint drag_pointer_;  // the pointer while dragging, viewport pixels
};

}  // namespace gui
