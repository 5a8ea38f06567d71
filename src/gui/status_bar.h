#pragma once
// The frame's status bar: a light-grey strip as high as a window caption along the bottom of
// the frame, with two recessed panes in the system font: the run state ("Running", "Paused",
// "Finished"), nine average characters wide (wider when the font needs it), and the current
// message ("Input pending in " and the window title, "Paste input pending") across the rest.
// A grey line over a white line runs along its top edge.

#include <QString>
#include <QWidget>

namespace gui {

class StatusBar final : public QWidget {
 public:
  explicit StatusBar(QWidget* parent = nullptr);

  void set_state_text(const QString& text);
  void set_message(const QString& text);
  const QString& state_text() const { return state_text_; }
  const QString& message() const { return message_; }

  // The two panes in widget coordinates.
  QRect state_pane() const;
  QRect message_pane() const;

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int caption_height() const;
  int state_pane_width() const;

  QString state_text_;
  QString message_;
};

}  // namespace gui
