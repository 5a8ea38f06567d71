#pragma once
// One job of File > Print, after the print set-up dialog: the window's whole picture on one
// page, scaled to the printable width with its proportions kept (a tall picture runs off the
// bottom of the page), drawn from the captured image without scaling it in memory and
// without lossy compression. While the job runs a progress dialog offers Cancel and blocks
// the rest of the program's windows; between the steps of the job the abort routine
// (keep_printing) runs the GUI thread's waiting events, so the windows keep painting.
//
// A job reports at most one of the printing texts; the caller shows it once the job has
// ended (and the frame takes input again). A cancelled or failed job leaves no document: no
// page is sent, and a PDF file begun for it is removed.

#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>

#include "gui/print_progress_dialog.h"

class QPainter;
class QPrinter;
class QWidget;

namespace console {
class CoreAccess;
}

namespace gui {

enum class PrintDialogOutcome;

// The printing texts: 0 "Error! Printing Aborted", 1 "Error! Loading printer driver", 2 "No
// Default Printer", 3 "No Printer Driver", 4 "Print: Printing Error", 5 "Cancel", 6
// "Printing In Progress...", 7 "Printing ", 9 "Print: Internal Error"; empty for others.
QString printing_text(int number);
// The text a failed print set-up dialog reports (-1: none, for Accepted and Cancelled).
int print_dialog_failure_text(PrintDialogOutcome outcome);

// Where the picture goes on the page, in the printer's pixels from the printable area's
// top-left: the printable width across, and the height that keeps the picture's proportions
// on paper (pixels per inch may differ across and down). Empty when nothing can be drawn.
QRect print_target_rect(QSize image, int printable_width, int dpi_x, int dpi_y);

struct PrintJobSetup {
  console::CoreAccess* core = nullptr;
  QPrinter* printer = nullptr;  // set up by the dialog; keeps its settings between jobs
  int window = 0;
  QString document;  // the job's name: the window's title
};

enum class PrintOutcome { Printed, Cancelled, Failed };

struct PrintJobResult {
  PrintOutcome outcome = PrintOutcome::Failed;
  int text = -1;               // the printing text to report (-1: none)
  bool out_of_memory = false;  // the picture could not be captured for lack of memory
};

class PrintJob {
 public:
  explicit PrintJob(PrintJobSetup setup);
  ~PrintJob();
  PrintJob(const PrintJob&) = delete;
  PrintJob& operator=(const PrintJob&) = delete;

  PrintJobResult run();

  // The abort routine: runs the waiting events without waiting for more; false once the
  // job is cancelled.
  bool keep_printing();
  // The progress dialog while the job runs (null before and after).
  PrintProgressDialog* progress() const { return progress_.data(); }

 private:
  bool print_picture(QPainter& painter);
  // The progress dialog's Cancel: the frame takes input again and the dialog goes.
  void cancel();
  void remove_progress();
  // Drops what was begun for the document: the page is not sent, a PDF file is removed.
  void abandon_document(QPainter& painter);
  void report(int text);

  PrintJobSetup setup_;
  QPointer<PrintProgressDialog> progress_;
  bool cancelled_ = false;
  PrintJobResult result_;
};

}  // namespace gui
