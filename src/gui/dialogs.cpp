#include "gui/dialogs.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

#include <algorithm>
#include <memory>

namespace gui {

namespace {

// The face used where the desktop names no fixed-pitch font of its own.
const QString kFallbackFixedFace = QStringLiteral("Liberation Mono");
// The family the platform gives when nothing chose a fixed-pitch font.
const QString kGenericFixedFamily = QStringLiteral("monospace");

// The widest a message box makes itself: the display's width on displays up to 1024 pixels
// wide, else the display less 480 pixels, at most 1000. Beyond it the box breaks lines
// anywhere, so its text must not ask for more.
int widest_message_box(int display_width) {
  if (display_width <= 1024) return display_width;
  return std::min(display_width - 480, 1000);
}

// The run-time error box: its text in the fixed-pitch font, so that the columns of a
// traceback line up, and wide enough for its longest line (as far as a message box grows),
// so that its lines are not broken.
class RuntimeErrorBox final : public QMessageBox {
 public:
  using QMessageBox::QMessageBox;

 protected:
  void showEvent(QShowEvent* event) override {
    QLabel* label = text_label();
    if (label != nullptr) label->setFont(fixed_pitch_font());
    // Sizes the box; it breaks lines wider than it likes.
    QMessageBox::showEvent(event);
    const QScreen* display = screen();
    if (label == nullptr || !label->wordWrap() || display == nullptr) return;
    const QRect area = display->availableGeometry();
    const int around_text = width() - label->width();
    int longest = 0;
    const QFontMetrics metrics(label->font());
    for (const QString& line : text().split(QLatin1Char('\n'))) {
      longest = std::max(longest, metrics.horizontalAdvance(line));
    }
    label->setMinimumWidth(std::max(0, std::min(longest, widest_message_box(area.width()) - around_text)));
    // The box sizes itself again for the wider text; it stays centred where it was.
    const int centre = geometry().center().x();
    QCoreApplication::sendPostedEvents(this, QEvent::LayoutRequest);
    move(std::clamp(centre - width() / 2, area.left(), std::max(area.left(), area.right() + 1 - width())), y());
  }

 private:
  QLabel* text_label() const {
    for (QLabel* label : findChildren<QLabel*>()) {
      if (!label->text().isEmpty() && label->text() == text()) return label;
    }
    return nullptr;
  }
};

}  // namespace

QFont fixed_pitch_font() {
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  if (font.family() == kGenericFixedFamily || !QFontInfo(font).fixedPitch()) font.setFamily(kFallbackFixedFace);
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  return font;
}

QString box_text(std::string_view text) {
  QString out;
  out.reserve(static_cast<qsizetype>(text.size()));
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r') {
      out.append(QLatin1Char('\n'));
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out.append(QLatin1Char(c));
    }
  }
  return out;
}

console::MessageBoxAnswer show_message_box(QWidget* parent, const console::MessageBoxRequest& request) {
  using console::MessageBoxAnswer;
  std::unique_ptr<QMessageBox> shown = request.purpose == console::MessageBoxPurpose::RuntimeError
                                           ? std::make_unique<RuntimeErrorBox>(parent)
                                           : std::make_unique<QMessageBox>(parent);
  QMessageBox& box = *shown;
  box.setWindowTitle(box_text(request.caption));
  box.setText(box_text(request.text));
  box.setTextFormat(Qt::PlainText);
  switch (request.icon) {
    case console::MessageBoxIcon::Information: box.setIcon(QMessageBox::Information); break;
    case console::MessageBoxIcon::Warning: box.setIcon(QMessageBox::Warning); break;
    case console::MessageBoxIcon::Error: box.setIcon(QMessageBox::Critical); break;
    case console::MessageBoxIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
  }
  // Task-modal: no other window of the program takes input while the box is up.
  box.setWindowModality(Qt::ApplicationModal);
  if (request.buttons == console::MessageBoxButtons::YesNo) {
    QPushButton* yes = box.addButton(QMessageBox::Yes);
    QPushButton* no = box.addButton(QMessageBox::No);
    box.setDefaultButton(request.default_answer == MessageBoxAnswer::Yes ? yes : no);
    box.setEscapeButton(no);
  } else {
    QPushButton* ok = box.addButton(QMessageBox::Ok);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
  }
  box.exec();
  QAbstractButton* clicked = box.clickedButton();
  if (clicked == nullptr) return request.default_answer;
  switch (box.standardButton(clicked)) {
    case QMessageBox::Yes: return MessageBoxAnswer::Yes;
    case QMessageBox::No: return MessageBoxAnswer::No;
    case QMessageBox::Ok: return MessageBoxAnswer::Ok;
    default: return request.default_answer;
  }
}

bool show_file_dialog(QWidget* parent, const console::FileDialogRequest& request, std::string& name) {
  QFileDialog dialog(parent, box_text(request.title));
  // Any name may be given: the unit's OPEN creates the file when it does not exist.
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  dialog.setNameFilter(QStringLiteral("All Files (*)"));
  dialog.setWindowModality(Qt::ApplicationModal);
  if (dialog.exec() != QDialog::Accepted) return false;
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty() || files.front().isEmpty()) return false;
  name = files.front().toLocal8Bit().toStdString();
  return true;
}

}  // namespace gui
