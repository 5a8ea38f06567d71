#include "gui/picture_dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace gui {

namespace {

// A document name as a file name: characters that a file name cannot hold become '_'.
QString file_name_for(const QString& document) {
  QString name = document.trimmed();
  for (QChar& c : name) {
    if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() < 0x20) c = QLatin1Char('_');
  }
  if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")) name = QStringLiteral("picture");
  return name + QStringLiteral(".pdf");
}

}  // namespace

QStringList save_dialog_filters() {
  return {QStringLiteral("Bitmap Files(*.bmp)"), QStringLiteral("PNG Files(*.png)"), QStringLiteral("All Files(*.*)")};
}

bool is_png_file_name(const QString& name) { return name.endsWith(QLatin1String(".png"), Qt::CaseInsensitive); }

std::optional<QString> QtPictureDialogs::choose_save_file(QWidget* owner) {
  QFileDialog dialog(owner);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  // The same dialog on every desktop (and one that tests can drive).
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  dialog.setNameFilters(save_dialog_filters());
  dialog.selectNameFilter(save_dialog_filters().front());
  dialog.setDefaultSuffix(QStringLiteral("bmp"));
  dialog.setWindowModality(Qt::ApplicationModal);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty() || files.front().isEmpty()) return std::nullopt;
  return files.front();
}

PrintDialogOutcome QtPictureDialogs::set_up_printer(QWidget* owner, QPrinter& printer, const QString& document) {
  const bool has_printer = !QPrinterInfo::availablePrinterNames().isEmpty();
  if (!has_printer) {
    // No printer on this machine: the page goes to a PDF file.
    printer.setOutputFormat(QPrinter::PdfFormat);
    if (printer.outputFileName().isEmpty()) printer.setOutputFileName(QDir::home().filePath(file_name_for(document)));
  }
  QPrintDialog dialog(&printer, owner);
  dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
  dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
  dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
  dialog.setOption(QAbstractPrintDialog::PrintToFile, !has_printer);
  dialog.setWindowModality(Qt::ApplicationModal);
  if (dialog.exec() != QDialog::Accepted) return PrintDialogOutcome::Cancelled;
  if (!printer.isValid()) return PrintDialogOutcome::DriverNotLoaded;
  return PrintDialogOutcome::Accepted;
}

}  // namespace gui
