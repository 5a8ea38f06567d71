#include "gui/print_progress_dialog.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace gui {

namespace {

constexpr const char* kTitle = "Printing ";
constexpr const char* kText = "Printing In Progress...";
constexpr const char* kCancel = "Cancel";

// The dialog is laid out in dialog units: a quarter of the font's average character width
// across and an eighth of its height down.
struct DialogUnits {
  int base_x;
  int base_y;
  int x(int units) const { return units * base_x / 4; }
  int y(int units) const { return units * base_y / 8; }
};

}  // namespace

PrintProgressDialog::PrintProgressDialog(std::function<void()> cancelled)
    : QDialog(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      cancelled_(std::move(cancelled)) {
  setWindowTitle(QString::fromLatin1(kTitle));
  setModal(false);
  const QFontMetrics metrics(font());
  const DialogUnits units{std::max(1, metrics.averageCharWidth()), std::max(1, metrics.height())};
  setFixedSize(units.x(100), units.y(60));

  text_ = new QLabel(QString::fromLatin1(kText), this);
  text_->setAlignment(Qt::AlignCenter);
  text_->setGeometry(0, units.y(15), units.x(100), units.y(20));

  cancel_ = new QPushButton(QString::fromLatin1(kCancel), this);
  cancel_->setGeometry(units.x(30), units.y(40), units.x(40), units.y(14));
  cancel_->setDefault(true);
  QObject::connect(cancel_, &QPushButton::clicked, this, [this] { reject(); });

  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->geometry();
    move(area.x() + (area.width() - width()) / 5, area.y() + (area.height() - height()) / 5);
  }
}

void PrintProgressDialog::reject() {
  // Cancel, Esc and closing the window all cancel the job, once.
  if (!cancel_reported_) {
    cancel_reported_ = true;
    if (cancelled_) cancelled_();
  }
  QDialog::reject();
}

}  // namespace gui
