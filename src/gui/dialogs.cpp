#include "gui/dialogs.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace gui {

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
  QMessageBox box(parent);
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
