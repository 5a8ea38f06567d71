#include "gui/print_job.h"

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>

#include <climits>
#include <cmath>
#include <cstdint>
#include <vector>

#include "console/core_access.h"
#include "gui/picture_dialogs.h"
#include "gui/print_progress_dialog.h"

namespace gui {

namespace {

constexpr int kPrintingErrorText = 4;
constexpr int kInternalErrorText = 9;

}  // namespace

QString printing_text(int number) {
  switch (number) {
    case 0: return QStringLiteral("Error! Printing Aborted");
    case 1: return QStringLiteral("Error! Loading printer driver");
    case 2: return QStringLiteral("No Default Printer");
    case 3: return QStringLiteral("No Printer Driver");
    case 4: return QStringLiteral("Print: Printing Error");
    case 5: return QStringLiteral("Cancel");
    case 6: return QStringLiteral("Printing In Progress...");
    case 7: return QStringLiteral("Printing ");
    case 9: return QStringLiteral("Print: Internal Error");
    default: return {};
  }
}

int print_dialog_failure_text(PrintDialogOutcome outcome) {
  switch (outcome) {
    case PrintDialogOutcome::Accepted:
    case PrintDialogOutcome::Cancelled: return -1;
    case PrintDialogOutcome::DriverNotLoaded: return 1;
    case PrintDialogOutcome::NoDefaultPrinter: return 2;
    case PrintDialogOutcome::NoPrinter: return 3;
    case PrintDialogOutcome::Failed: return 0;
  }
  return 0;
}

QRect print_target_rect(QSize image, int printable_width, int dpi_x, int dpi_y) {
  if (image.isEmpty() || printable_width <= 0 || dpi_x <= 0 || dpi_y <= 0) return {};
  const double height =
      (static_cast<double>(dpi_y) / dpi_x) * (static_cast<double>(image.height()) / image.width()) * printable_width;
  const double bottom = std::trunc(height) - 1.0;
  if (!(bottom >= 0.0)) return {};
  const int last_row = bottom >= static_cast<double>(INT_MAX - 1) ? INT_MAX - 1 : static_cast<int>(bottom);
  return QRect(QPoint(0, 0), QPoint(printable_width - 1, last_row));
}

PrintJob::PrintJob(PrintJobSetup setup) : setup_(std::move(setup)) {}

PrintJob::~PrintJob() { remove_progress(); }

void PrintJob::report(int text) {
  // At most one text per job: the first failure is the one the user hears of.
  if (result_.text < 0) result_.text = text;
}

bool PrintJob::keep_printing() {
  if (!cancelled_) QCoreApplication::processEvents(QEventLoop::AllEvents);
  return !cancelled_;
}

void PrintJob::cancel() {
  if (cancelled_) return;
  cancelled_ = true;
  remove_progress();
}

void PrintJob::remove_progress() {
  if (progress_.isNull()) return;
  PrintProgressDialog* dialog = progress_.data();
  progress_.clear();
  dialog->hide();
  // Cancel runs inside the dialog's own signal: the dialog goes once that has returned.
  dialog->deleteLater();
}

void PrintJob::abandon_document(QPainter& painter) {
  setup_.printer->abort();
  painter.end();
  if (setup_.printer->outputFormat() == QPrinter::PdfFormat && !setup_.printer->outputFileName().isEmpty()) {
    QFile::remove(setup_.printer->outputFileName());
  }
}

bool PrintJob::print_picture(QPainter& painter) {
  std::vector<std::uint8_t> bytes;
  const int status = setup_.core->capture_window_picture(setup_.window, bytes);
  if (status == console::kStatusNoImageMemory) {
    result_.out_of_memory = true;
    return false;
  }
  if (status != console::kStatusOk || bytes.size() > static_cast<std::size_t>(INT_MAX)) return false;
  const QImage picture = QImage::fromData(bytes.data(), static_cast<int>(bytes.size()), "BMP");
  bytes = std::vector<std::uint8_t>();
  if (picture.isNull()) return false;

  QPrinter& printer = *setup_.printer;
  const QRect printable = printer.pageLayout().paintRectPixels(printer.resolution());
  const QRect target =
      print_target_rect(picture.size(), printable.width(), printer.logicalDpiX(), printer.logicalDpiY());
  if (target.isEmpty()) return false;
  // The device scales the picture: every pixel a block of whole printer pixels, nothing
  // smoothed, nothing compressed with loss.
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  painter.setRenderHint(QPainter::LosslessImageRendering, true);
  painter.drawImage(target, picture, picture.rect());
  return painter.isActive();
}

PrintJobResult PrintJob::run() {
  result_ = PrintJobResult{};
  cancelled_ = false;
  if (setup_.core == nullptr || setup_.printer == nullptr) {
    report(kInternalErrorText);
    return result_;
  }
  QPrinter& printer = *setup_.printer;
  printer.setDocName(setup_.document);
  printer.setCopyCount(1);

  // The progress dialog blocks input to the program's other windows (as a disabled frame
  // would) while any box that the program asks for meanwhile stays answerable.
  progress_ = new PrintProgressDialog([this] { cancel(); });
  progress_->setWindowModality(Qt::ApplicationModal);
  progress_->show();
  progress_->activateWindow();
  progress_->cancel_button()->setFocus();

  if (keep_printing()) {
    QPainter painter;
    if (!painter.begin(&printer)) {
      report(kInternalErrorText);
    } else if (!print_picture(painter)) {
      if (!result_.out_of_memory) report(kPrintingErrorText);
      abandon_document(painter);
    } else if (!keep_printing()) {
      abandon_document(painter);
    } else if (!painter.end()) {
      report(kPrintingErrorText);
    } else {
      result_.outcome = PrintOutcome::Printed;
    }
    if (painter.isActive()) painter.end();
  }
  if (cancelled_) {
    result_.outcome = PrintOutcome::Cancelled;
    result_.text = -1;
  }
  remove_progress();
  return result_;
}

}  // namespace gui
