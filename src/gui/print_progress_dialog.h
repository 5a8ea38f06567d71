#pragma once
// The progress dialog of a print job: a small modeless window titled "Printing " with the
// centred text "Printing In Progress..." and a "Cancel" button, owned by no window (so that
// it stays usable while the frame is disabled), placed at a fifth of the screen's free space
// and given the focus when it opens. Cancel (or closing it) calls `cancelled` once; the job
// then removes the dialog.

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;

namespace gui {

class PrintProgressDialog final : public QDialog {
 public:
  explicit PrintProgressDialog(std::function<void()> cancelled);

  QPushButton* cancel_button() const { return cancel_; }
  QLabel* text() const { return text_; }

  void reject() override;

 private:
  std::function<void()> cancelled_;
  QPushButton* cancel_ = nullptr;
  QLabel* text_ = nullptr;
  bool cancel_reported_ = false;
};

}  // namespace gui
