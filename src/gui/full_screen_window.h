#pragma once
// The Full Screen window: a borderless window over the whole display that shows one child
// window's virtual screen scaled to the display, with its caret. It takes the keyboard focus
// and passes typed characters and function keys to that window's input as the child does.
// Alt+Enter, closing it, or a mouse press ends it (the `ended` hook then restores the frame).

#include <QPointer>
#include <QWidget>

#include <functional>

namespace gui {

class ChildView;

class FullScreenWindow final : public QWidget {
 public:
  FullScreenWindow(ChildView* view, std::function<void()> ended);
  ~FullScreenWindow() override;

  ChildView* view() const { return view_; }
  // The child's picture changed in `area` (surface pixels).
  void surface_changed(const QRect& area);
  // Ends Full Screen (once).
  void end();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool event(QEvent* event) override;

 private:
  QPointer<ChildView> view_;
  std::function<void()> ended_;
  bool ending_ = false;
};

}  // namespace gui
