#pragma once
// The dialogs of File > Save and File > Print, behind a small interface so that tests can
// answer them without a modal dialog: the save-file dialog ("Bitmap Files(*.bmp)", "PNG
// Files(*.png)", "All Files(*.*)"; default extension bmp; confirmation before overwriting)
// and the print set-up dialog (no page ranges, no selection; where the machine has no
// printer, the output goes to a PDF file).

#include <QString>
#include <QStringList>

#include <optional>

class QPrinter;
class QWidget;

namespace gui {

// How the print set-up dialog ended.
enum class PrintDialogOutcome {
  Accepted,
  Cancelled,        // the user cancelled: nothing is reported
  DriverNotLoaded,  // the chosen printer cannot be used
  NoDefaultPrinter,
  NoPrinter,
  Failed,  // any other failure
};

// The name filters of the save dialog, in the order offered (the first is chosen).
QStringList save_dialog_filters();

// True when the file name asks for a PNG file (it ends in ".png", in any case).
bool is_png_file_name(const QString& name);

class PictureDialogs {
 public:
  virtual ~PictureDialogs() = default;
  // The save-file dialog owned by `owner`: the chosen file name (a name typed without an
  // extension gets ".bmp"), or nothing when cancelled.
  virtual std::optional<QString> choose_save_file(QWidget* owner) = 0;
  // The print set-up dialog owned by `owner` on `printer`, which keeps the settings chosen
  // last time. `document` names the job (for the PDF file offered where no printer exists).
  virtual PrintDialogOutcome set_up_printer(QWidget* owner, QPrinter& printer, const QString& document) = 0;
};

// The dialogs of Qt.
class QtPictureDialogs final : public PictureDialogs {
 public:
  std::optional<QString> choose_save_file(QWidget* owner) override;
  PrintDialogOutcome set_up_printer(QWidget* owner, QPrinter& printer, const QString& document) override;
};

}  // namespace gui
