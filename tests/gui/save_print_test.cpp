// File > Save and File > Print on the active child window: the bitmap file as the console
// captures the window, PNG files, cancelled and failing saves; print jobs to a PDF file, their
// Cancel, the print set-up dialog's outcomes, and where the picture goes on the page.

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPrinter>
#include <QPushButton>
#include <QTimer>

#include "console/graphics_status.h"
#include "console/palette.h"
#include "frame_fixture.h"
#include "gui/command_ids.h"
#include "gui/picture_commands.h"
#include "gui/picture_dialogs.h"
#include "gui/print_job.h"
#include "gui/print_progress_dialog.h"

namespace gui_test {
namespace {

using gui::PrintDialogOutcome;

constexpr int kWidth = 200;
constexpr int kHeight = 100;

QRgb palette_colour(int index) {
  const console::PaletteEntry entry = console::default_palette_entry(index);
  return qRgb(entry.red, entry.green, entry.blue);
}

std::uint32_t byte_at(const QByteArray& b, int at) { return static_cast<std::uint8_t>(b[at]); }
std::uint32_t u32(const QByteArray& b, int at) {
  return byte_at(b, at) | (byte_at(b, at + 1) << 8) | (byte_at(b, at + 2) << 16) | (byte_at(b, at + 3) << 24);
}
int u16(const QByteArray& b, int at) { return static_cast<int>(byte_at(b, at) | (byte_at(b, at + 1) << 8)); }

QByteArray read_all(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The colour (without alpha) of surface pixel (x, y) in a bitmap file of 8, 16 or 32 bits
// per pixel, read from the file's own layout: rows bottom first, the colour table for 8 bits.
QRgb bitmap_pixel(const QByteArray& file, int x, int y) {
  const int bits = u16(file, 28);
  const int height = static_cast<int>(u32(file, 22));
  const int stride = ((kWidth * bits + 31) / 32) * 4;
  const int row = static_cast<int>(u32(file, 10)) + (height - 1 - y) * stride;
  auto byte = [&](int at) { return static_cast<int>(byte_at(file, at)); };
  auto rgb = [](int red, int green, int blue) { return qRgb(red, green, blue) & 0xFFFFFF; };
  switch (bits) {
    case 32: return rgb(byte(row + 4 * x + 2), byte(row + 4 * x + 1), byte(row + 4 * x));
    case 16: {
      const int value = byte(row + 2 * x) | (byte(row + 2 * x + 1) << 8);
      return rgb(((value >> 10) & 31) << 3, ((value >> 5) & 31) << 3, (value & 31) << 3);
    }
    case 8: {
      const int entry = 54 + 4 * byte(row + x);
      return rgb(byte(entry + 2), byte(entry + 1), byte(entry));
    }
    default: return 0xFFFFFFFFu;  // no colour of the file
  }
}

// A colour as a display of `bits` per pixel keeps it (5 bits per component at 16).
QRgb kept(QRgb colour, int bits) {
  if (bits != 16) return colour & 0xFFFFFF;
  return qRgb(qRed(colour) & 0xF8, qGreen(colour) & 0xF8, qBlue(colour) & 0xF8) & 0xFFFFFF;
}

// Answers the picture dialogs as the test says, counting them.
class FakeDialogs final : public gui::PictureDialogs {
 public:
  std::optional<QString> choose_save_file(QWidget* owner) override {
    ++save_dialogs;
    if (use_qt_save_dialog) return qt_.choose_save_file(owner);
    return save_answer;
  }
  PrintDialogOutcome set_up_printer(QWidget* owner, QPrinter& printer, const QString& document) override {
    documents.push_back(document);
    printers.push_back(&printer);
    if (use_qt_print_dialog) return qt_.set_up_printer(owner, printer, document);
    if (print_answer == PrintDialogOutcome::Accepted) {
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(pdf_file);
    }
    return print_answer;
  }

  std::optional<QString> save_answer;
  bool use_qt_save_dialog = false;
  bool use_qt_print_dialog = false;
  PrintDialogOutcome print_answer = PrintDialogOutcome::Accepted;
  QString pdf_file;
  int save_dialogs = 0;
  QStringList documents;  // one per print set-up dialog shown
  std::vector<const QPrinter*> printers;

 private:
  gui::QtPictureDialogs qt_;
};

// Records every message box that opens and answers it with OK.
class BoxWatcher {
 public:
  BoxWatcher() {
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr || !box->isVisible()) return;
      seen.push_back(box->windowTitle() + "|" + box->text());
      if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
        ok->click();
      } else {
        box->reject();
      }
    });
    timer_.start();
  }
  QStringList seen;

 private:
  QTimer timer_;
};

class SavePrintTest : public FrameTest {
 public:
  void SetUp() override {
    frame_options_.window_commands = &commands_;
    FrameTest::SetUp();
    commands_.attach(frame_.get(), core_.get());
    ASSERT_TRUE(output_.isValid());
    dialogs_.pdf_file = output_.filePath("page.pdf");
  }
  void TearDown() override {
    FrameTest::TearDown();
    commands_.attach(nullptr, nullptr);
  }

  // A 200 x 100 graphics window on black, active in the frame: a pixel in colour 12 at
  // (3, 2) and a filled rectangle in colour 10 from (20, 30) to (59, 69).
  int draw_picture(int display_bits = 32) {
    options_.display = console::DisplayInfo{1024, 768, display_bits, 1};
    restart();
    commands_.attach(frame_.get(), core_.get());
    std::atomic<int> window{0};
    auto program = run_program([&] {
      window.store(open_window("Graphics", 11));
      auto record = core_->find_window(window.load());
      console::WindowConfig config;
      config.pixels_x = kWidth;
      config.pixels_y = kHeight;
      while (core_->apply_config(*record, config) == console::ConsoleCore::ApplyOutcome::Changed) {
      }
      core_->set_color(12);
      core_->set_pixel(3, 2);
      core_->set_color(10);
      core_->draw_rectangle(console::kFilledInterior, 20, 30, 59, 69);
    });
    EXPECT_TRUE(join_program());
    EXPECT_TRUE(wait_until([&] { return frame_->active_window() == window.load(); }));
    return window.load();
  }

  QByteArray captured(int window) {
    std::vector<std::uint8_t> image;
    EXPECT_EQ(core_->capture_window_picture(window, image), console::kStatusOk);
    return QByteArray(reinterpret_cast<const char*>(image.data()), static_cast<qsizetype>(image.size()));
  }
  QStringList output_files() { return QDir(output_.path()).entryList(QDir::Files); }

  // Runs `act` on the print job at its `steps`-th look at the waiting events (the job looks
  // once after it has shown its progress dialog and once more after drawing the page).
  void during_job(int steps, std::function<void(gui::PrintJob&)> act) {
    QTimer::singleShot(0, &commands_, [this, steps, act] {
      if (steps > 1) {
        during_job(steps - 1, act);
        return;
      }
      if (commands_.print_job() == nullptr) {
        ADD_FAILURE() << "no print job runs";
        return;
      }
      act(*commands_.print_job());
    });
  }

  QTemporaryDir output_;
  FakeDialogs dialogs_;
  gui::PictureCommands commands_{&dialogs_};
};

// ---- saving ----

struct DepthCase {
  int display_bits;
  int file_bits;
  int colour_entries;
};

TEST_F(SavePrintTest, SaveWritesTheWindowsBitmapFile) {
  for (const DepthCase& test : {DepthCase{32, 32, 0}, DepthCase{16, 16, 0}, DepthCase{8, 8, 256}}) {
    SCOPED_TRACE(test.display_bits);
    const int window = draw_picture(test.display_bits);
    const QString path = output_.filePath(QStringLiteral("picture%1.bmp").arg(test.display_bits));
    dialogs_.save_answer = path;
    BoxWatcher boxes;
    frame_->run_command(gui::kSave);
    settle(20);
    EXPECT_TRUE(boxes.seen.isEmpty()) << boxes.seen.join("; ").toStdString();
    const QByteArray file = read_all(path);
    // Byte for byte what the console captures of the window.
    ASSERT_EQ(file, captured(window));

    const int stride = ((kWidth * test.file_bits + 31) / 32) * 4;
    const int offset = 54 + 4 * test.colour_entries;
    EXPECT_EQ(file.left(2), QByteArray("BM"));
    EXPECT_EQ(u32(file, 2), static_cast<std::uint32_t>(file.size()));
    EXPECT_EQ(file.size(), offset + stride * kHeight);
    EXPECT_EQ(u32(file, 6), 0u);  // both reserved words
    EXPECT_EQ(u32(file, 10), static_cast<std::uint32_t>(offset));
    EXPECT_EQ(u32(file, 14), 40u);
    EXPECT_EQ(u32(file, 18), static_cast<std::uint32_t>(kWidth));
    EXPECT_EQ(u32(file, 22), static_cast<std::uint32_t>(kHeight));  // positive: bottom row first
    EXPECT_EQ(u16(file, 26), 1);
    EXPECT_EQ(u16(file, 28), test.file_bits);
    EXPECT_EQ(u32(file, 30), 0u);
    EXPECT_EQ(u32(file, 34), static_cast<std::uint32_t>(stride * kHeight));
    for (const int field : {38, 42, 46, 50}) EXPECT_EQ(u32(file, field), 0u) << field;
    // The pixels, read bottom row first, are where they were drawn.
    EXPECT_EQ(bitmap_pixel(file, 3, 2), kept(palette_colour(12), test.file_bits));
    EXPECT_EQ(bitmap_pixel(file, 3, kHeight - 1 - 2), 0u);
    EXPECT_EQ(bitmap_pixel(file, 20, 30), kept(palette_colour(10), test.file_bits));
    EXPECT_EQ(bitmap_pixel(file, 59, 69), kept(palette_colour(10), test.file_bits));
    EXPECT_EQ(bitmap_pixel(file, 60, 69), 0u);
    EXPECT_EQ(bitmap_pixel(file, kWidth - 1, kHeight - 1), 0u);
  }
}

TEST_F(SavePrintTest, APngNameWritesAPngFileOfTheSamePicture) {
  for (const int bits : {32, 16, 8}) {
    SCOPED_TRACE(bits);
    const int window = draw_picture(bits);
    const QString path = output_.filePath(QStringLiteral("picture%1.PNG").arg(bits));
    dialogs_.save_answer = path;
    frame_->run_command(gui::kSave);
    const QByteArray file = read_all(path);
    ASSERT_TRUE(file.startsWith("\x89PNG\r\n\x1a\n"));
    const QImage saved(path, "PNG");
    ASSERT_EQ(saved.size(), QSize(kWidth, kHeight));
    const QByteArray bitmap = captured(window);
    int mismatches = 0;
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) mismatches += kept(saved.pixel(x, y), bits) != bitmap_pixel(bitmap, x, y);
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(kept(saved.pixel(3, 2), bits), kept(palette_colour(12), bits));
  }
}

TEST_F(SavePrintTest, ANameWithoutExtensionInTheSaveDialogGetsBmp) {
  const int window = draw_picture();
  dialogs_.use_qt_save_dialog = true;
  answer_next_file_dialog(output_.filePath("picture"), nullptr);
  frame_->run_command(gui::kSave);
  EXPECT_EQ(output_files(), QStringList{"picture.bmp"});
  EXPECT_EQ(read_all(output_.filePath("picture.bmp")), captured(window));
}

TEST_F(SavePrintTest, CancelledSaveWritesNothingAndSaysNothing) {
  draw_picture();
  dialogs_.save_answer.reset();
  BoxWatcher boxes;
  frame_->run_command(gui::kSave);
  settle(30);
  EXPECT_EQ(dialogs_.save_dialogs, 1);
  EXPECT_TRUE(output_files().isEmpty());
  EXPECT_TRUE(boxes.seen.isEmpty());
}

TEST_F(SavePrintTest, ASaveThatCannotWriteReportsItAndWritesNothing) {
  for (const char* name : {"missing/picture.bmp", "missing/picture.png"}) {
    SCOPED_TRACE(name);
    draw_picture();
    dialogs_.save_answer = output_.filePath(name);
    BoxWatcher boxes;
    frame_->run_command(gui::kSave);
    settle(20);
    ASSERT_EQ(boxes.seen.size(), 1);
    EXPECT_EQ(boxes.seen.front(), "VozazAze Error|Internal Error - unexpected error\nfile \"qwgsave\", line 171");
    EXPECT_TRUE(QDir(output_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
    EXPECT_EQ(console::graphics_status(), console::kStatusOk);
  }
}

// ---- the keyboard after the dialogs ----

// Cancels the next modal dialog that opens (the print set-up dialog).
void cancel_next_dialog() {
  auto* timer = new QTimer(QCoreApplication::instance());
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, timer, [timer] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr || !dialog->isVisible()) return;
    timer->deleteLater();
    timer->stop();
    dialog->reject();
  });
  timer->start();
}

struct KeyboardCase {
  const char* name;
  int command;
  std::function<void(SavePrintTest&)> answer;  // answers the dialog that the command opens
};

TEST_F(SavePrintTest, TheKeyboardGoesBackToTheWindowThatHadItWhenTheDialogsClose) {
  const std::vector<KeyboardCase> cases = {
      {"Save, a file chosen", gui::kSave,
       [](SavePrintTest& t) {
         t.dialogs_.use_qt_save_dialog = true;
         t.answer_next_file_dialog(t.output_.filePath("picture.bmp"), nullptr);
       }},
      {"Save, cancelled", gui::kSave,
       [](SavePrintTest& t) {
         t.dialogs_.use_qt_save_dialog = true;
         t.answer_next_file_dialog(std::nullopt, nullptr);
       }},
      {"Print, cancelled", gui::kPrint,
       [](SavePrintTest& t) {
         t.dialogs_.use_qt_print_dialog = true;
         cancel_next_dialog();
       }},
      {"Print, printed", gui::kPrint, [](SavePrintTest&) {}},
  };
  for (const KeyboardCase& test : cases) {
    SCOPED_TRACE(test.name);
    dialogs_.use_qt_save_dialog = false;
    dialogs_.use_qt_print_dialog = false;
    const int window = draw_picture();
    gui::ChildView* shown = view(window);
    ASSERT_NE(shown, nullptr);
    shown->setFocus();
    ASSERT_TRUE(wait_until([&] { return QApplication::focusWidget() == shown; }));
    test.answer(*this);
    frame_->run_command(test.command);
    // Alt and Ctrl keys work again at once: the frame is the active window and the window
    // that had the keyboard has it again.
    EXPECT_TRUE(wait_until(
        [&] { return QApplication::activeWindow() == frame_.get() && QApplication::focusWidget() == shown; }, 2000))
        << "active window " << QApplication::activeWindow() << ", focus " << QApplication::focusWidget();
  }
}

// ---- printing ----

bool is_pdf(const QByteArray& file) { return file.startsWith("%PDF-") && file.contains("%%EOF"); }

// The page objects of a PDF file ("/Type /Page", not the "/Type /Pages" tree).
int pdf_pages(const QByteArray& file) {
  const QByteArray page("/Type /Page");
  int pages = 0;
  for (qsizetype at = file.indexOf(page); at >= 0; at = file.indexOf(page, at + 1)) {
    const qsizetype after = at + page.size();
    if (after >= file.size() || file[after] != 's') ++pages;
  }
  return pages;
}

// No progress dialog is left open (the job removes it once it has ended).
bool progress_dialog_gone() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (dynamic_cast<gui::PrintProgressDialog*>(widget) != nullptr && widget->isVisible()) return false;
  }
  return true;
}

TEST_F(SavePrintTest, PrintWritesOnePageToThePdfFileAndKeepsTheSettings) {
  draw_picture();
  BoxWatcher boxes;
  QString progress_title;
  QString progress_text;
  bool progress_modal = false;
  during_job(1, [&](gui::PrintJob& job) {
    ASSERT_NE(job.progress(), nullptr);
    progress_title = job.progress()->windowTitle();
    progress_text = job.progress()->text()->text();
    progress_modal = job.progress()->isModal() || job.progress()->windowModality() != Qt::NonModal;
    EXPECT_EQ(job.progress()->cancel_button()->text(), "Cancel");
  });
  frame_->run_command(gui::kPrint);
  EXPECT_EQ(progress_title, "Printing ");
  EXPECT_EQ(progress_text, "Printing In Progress...");
  EXPECT_TRUE(progress_modal);
  const QByteArray pdf = read_all(dialogs_.pdf_file);
  EXPECT_TRUE(is_pdf(pdf));
  EXPECT_EQ(pdf_pages(pdf), 1);
  // The whole picture is on the page as one image of the window's size.
  EXPECT_TRUE(pdf.contains("/Width 200")) << pdf.left(2000).toStdString();
  EXPECT_TRUE(pdf.contains("/Height 100"));
  EXPECT_EQ(dialogs_.documents, QStringList{"Graphics"});
  EXPECT_EQ(commands_.print_job(), nullptr);
  settle(20);
  EXPECT_TRUE(progress_dialog_gone());
  EXPECT_TRUE(boxes.seen.isEmpty());

  // The next Print offers the settings chosen before.
  dialogs_.pdf_file = output_.filePath("again.pdf");
  frame_->run_command(gui::kPrint);
  EXPECT_TRUE(is_pdf(read_all(dialogs_.pdf_file)));
  ASSERT_EQ(dialogs_.printers.size(), 2u);
  EXPECT_EQ(dialogs_.printers[0], dialogs_.printers[1]);
  EXPECT_EQ(dialogs_.printers[0], commands_.printer());
}

struct CancelCase {
  const char* name;
  int steps;            // rounds of the job's event loop before the cancel
  bool close_dialog;    // close the progress dialog instead of pressing its Cancel
  bool document_begun;  // the PDF file exists when the job is cancelled
};

TEST_F(SavePrintTest, CancelledJobLeavesNoFileAndSaysNothing) {
  const std::vector<CancelCase> cases = {
      {"Cancel as the job starts", 1, false, false},
      {"Cancel after the page is drawn", 2, false, true},
      {"the progress dialog closed", 2, true, true},
  };
  for (const CancelCase& test : cases) {
    SCOPED_TRACE(test.name);
    draw_picture();
    dialogs_.pdf_file = output_.filePath("cancelled.pdf");
    BoxWatcher boxes;
    bool cancelled = false;
    bool begun = false;
    during_job(test.steps, [&](gui::PrintJob& job) {
      ASSERT_NE(job.progress(), nullptr);
      begun = QFile::exists(dialogs_.pdf_file);
      if (test.close_dialog) {
        job.progress()->close();
      } else {
        job.progress()->cancel_button()->click();
      }
      // The abort routine tells the job to stop from now on.
      cancelled = !job.keep_printing();
    });
    frame_->run_command(gui::kPrint);
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(begun, test.document_begun);
    EXPECT_EQ(commands_.print_job(), nullptr);
    settle(30);
    EXPECT_FALSE(QFile::exists(dialogs_.pdf_file));
    EXPECT_TRUE(boxes.seen.isEmpty()) << boxes.seen.join("; ").toStdString();
    EXPECT_TRUE(progress_dialog_gone());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    // The next Print works again.
    dialogs_.pdf_file = output_.filePath("after.pdf");
    frame_->run_command(gui::kPrint);
    EXPECT_TRUE(is_pdf(read_all(dialogs_.pdf_file)));
    QFile::remove(dialogs_.pdf_file);
  }
}

TEST_F(SavePrintTest, AJobThatCannotWriteItsDocumentReportsOnce) {
  draw_picture();
  dialogs_.pdf_file = output_.filePath("missing/page.pdf");
  BoxWatcher boxes;
  frame_->run_command(gui::kPrint);
  settle(30);
  EXPECT_EQ(boxes.seen, QStringList{"mapexplorer|Print: Internal Error"});
  EXPECT_TRUE(QDir(output_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
  EXPECT_TRUE(progress_dialog_gone());
}

struct SetUpCase {
  PrintDialogOutcome outcome;
  QString message;  // empty: none
};

TEST_F(SavePrintTest, APrintSetUpThatDoesNotEndWithOkPrintsNothing) {
  draw_picture();
  const std::vector<SetUpCase> cases = {
      {PrintDialogOutcome::Cancelled, ""},
      {PrintDialogOutcome::DriverNotLoaded, "Error! Loading printer driver"},
      {PrintDialogOutcome::NoDefaultPrinter, "No Default Printer"},
      {PrintDialogOutcome::NoPrinter, "No Printer Driver"},
      {PrintDialogOutcome::Failed, "Error! Printing Aborted"},
  };
  for (const SetUpCase& test : cases) {
    SCOPED_TRACE(test.message.toStdString());
    dialogs_.print_answer = test.outcome;
    BoxWatcher boxes;
    const qsizetype dialogs_before = dialogs_.documents.size();
    frame_->run_command(gui::kPrint);
    settle(20);
    EXPECT_EQ(dialogs_.documents.size(), dialogs_before + 1);
    EXPECT_EQ(commands_.print_job(), nullptr);
    const QStringList expected = test.message.isEmpty() ? QStringList{} : QStringList{"mapexplorer|" + test.message};
    EXPECT_EQ(boxes.seen, expected);
    EXPECT_TRUE(output_files().isEmpty());
    EXPECT_TRUE(progress_dialog_gone());
  }
}

// ---- the page ----

struct TargetCase {
  const char* name;
  QSize image;
  int printable_width;
  int dpi_x;
  int dpi_y;
  QRect expected;
};

TEST(PrintTargetRect, FillsThePrintableWidthAndKeepsTheProportionsOnPaper) {
  const std::vector<TargetCase> cases = {
      {"wide picture", {200, 100}, 1000, 300, 300, QRect(0, 0, 1000, 500)},
      {"twice as high as wide runs on below", {100, 200}, 4800, 600, 600, QRect(0, 0, 4800, 9600)},
      {"fewer dots down than across", {200, 100}, 1000, 600, 300, QRect(0, 0, 1000, 250)},
      {"more dots down than across", {200, 100}, 1000, 300, 600, QRect(0, 0, 1000, 1000)},
      {"fractional height is cut", {3, 1}, 100, 300, 300, QRect(0, 0, 100, 33)},
      {"one row of the page", {1000, 1}, 1000, 300, 300, QRect(0, 0, 1000, 1)},
      {"less than a row", {1000, 1}, 999, 300, 300, QRect()},
      {"no picture", {0, 0}, 1000, 300, 300, QRect()},
      {"no printable width", {200, 100}, 0, 300, 300, QRect()},
      {"no resolution", {200, 100}, 1000, 0, 300, QRect()},
  };
  for (const TargetCase& test : cases) {
    const QRect target = gui::print_target_rect(test.image, test.printable_width, test.dpi_x, test.dpi_y);
    if (test.expected.isNull()) {
      EXPECT_TRUE(target.isEmpty()) << test.name;
    } else {
      EXPECT_EQ(target, test.expected) << test.name;
    }
  }
}

}  // namespace
}  // namespace gui_test
