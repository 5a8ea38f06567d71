#include "gui/picture_commands.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QImage>
#include <QPrinter>
#include <QTimer>

#include <string>

#include "console/core_access.h"
#include "gui/child_view.h"
#include "gui/command_ids.h"
#include "gui/dialogs.h"
#include "gui/frame_window.h"
#include "gui/picture_dialogs.h"
#include "gui/print_job.h"

namespace gui {

namespace {

// Where the console's error boxes of these commands say they come from.
constexpr const char* kSaveSource = "qwgsave";
constexpr int kSaveLine = 171;
constexpr const char* kPrintSource = "qwgprint";
constexpr int kPrintMemoryLine = 521;
constexpr const char* kCopySource = "qwgwnd";
constexpr int kCopyLine = 1436;

console::SelectionMode mode_of(int command) {
  return command == kSelectGraphics ? console::SelectionMode::Graphics : console::SelectionMode::Text;
}

}  // namespace

PictureCommands::PictureCommands(PictureDialogs* dialogs) : dialogs_(dialogs) {}

PictureCommands::~PictureCommands() = default;

void PictureCommands::attach(FrameWindow* frame, console::CoreAccess* core) {
  frame_ = frame;
  core_ = core;
}

PictureDialogs& PictureCommands::dialogs() {
  if (dialogs_ != nullptr) return *dialogs_;
  if (!own_dialogs_) own_dialogs_ = std::make_unique<QtPictureDialogs>();
  return *own_dialogs_;
}

bool PictureCommands::run_window_command(int command, int window) {
  switch (command) {
    case kSelectText:
    case kSelectGraphics:
    case kSelectAll: return start_selection(command, window);
    case kCopy: return copy(window);
    case kResume: return end_selection(true);
    case kSave: return save(window);
    case kPrint: print(window); return true;
    default: return false;
  }
}

// ---- selection ----

bool PictureCommands::start_selection(int command, int window) {
  if (frame_.isNull() || core_ == nullptr || job_ != nullptr) return false;
  ChildView* view = frame_->view(window);
  if (view == nullptr || view->selection_in_progress() || view->fit_to_window()) return false;
  if (selection_window_ == window) return false;  // already being started here
  if (selection_window_ != 0) {
    // One selection at a time: the other window's selection ends and hands its pause over.
    end_selection(false);
  } else {
    core_->pause();
  }
  selection_window_ = window;
  starting_command_ = command;
  starting_ = true;
  continue_start(++generation_);
  return true;
}

void PictureCommands::continue_start(std::uint64_t generation) {
  if (generation != generation_ || !starting_ || frame_.isNull() || core_ == nullptr) return;
  // The selection reads the window while the program stands still: wait, without blocking
  // the GUI thread, until the program has stopped at its next call into the console.
  if (core_->pause_in_progress()) {
    QTimer::singleShot(kPausePollMs, this, [this, generation] { continue_start(generation); });
    return;
  }
  starting_ = false;
  ChildView* view = frame_->view(selection_window_);
  bool started = false;
  if (view != nullptr) {
    started = starting_command_ == kSelectAll ? view->select_whole_window()
                                              : view->begin_selection(mode_of(starting_command_));
  }
  if (!started) end_selection(true);
}

bool PictureCommands::end_selection(bool resume) {
  if (selection_window_ == 0) return false;
  const int window = selection_window_;
  selection_window_ = 0;
  starting_ = false;
  ++generation_;
  if (!frame_.isNull()) {
    if (ChildView* view = frame_->view(window)) view->end_selection();
  }
  if (resume && core_ != nullptr) core_->resume(window);
  return true;
}

bool PictureCommands::copy(int window) {
  if (frame_.isNull() || core_ == nullptr || window != selection_window_) return false;
  ChildView* view = frame_->view(window);
  if (view == nullptr || !view->selection_has_area()) return false;
  const console::Selection selection = view->selection();
  if (selection.mode == console::SelectionMode::Text) {
    const std::string text = core_->copy_text(window, selection);
    QApplication::clipboard()->setText(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
  } else {
    const QImage image = core_->copy_graphics(window, selection);
    if (image.isNull()) {
      core_->show_error_box(console::ErrorBoxKind::Error, console::kErrorBoxInternalError, kCopySource, kCopyLine);
    } else {
      QApplication::clipboard()->setImage(image);
    }
  }
  end_selection(true);
  return true;
}

// ---- saving ----

bool PictureCommands::save(int window) {
  if (frame_.isNull() || core_ == nullptr || frame_->view(window) == nullptr) return false;
  const std::optional<QString> name = dialogs().choose_save_file(frame_.data());
  if (!name || name->isEmpty() || frame_.isNull() || frame_->is_closed()) return false;
  const console::PictureFormat format =
      is_png_file_name(*name) ? console::PictureFormat::Png : console::PictureFormat::Bitmap;
  const int status = core_->save_window_picture(window, QFile::encodeName(*name).toStdString(), format);
  if (status != console::kStatusOk) {
    console::set_graphics_status(console::kStatusOk);
    core_->show_error_box(console::ErrorBoxKind::Error, console::kErrorBoxInternalError, kSaveSource, kSaveLine);
    return false;
  }
  return true;
}

// ---- printing ----

void PictureCommands::print(int window) {
  if (frame_.isNull() || core_ == nullptr || job_ != nullptr || frame_->view(window) == nullptr) return;
  const auto info = core_->window_info(window);
  if (!info) return;
  const QString document = QString::fromLatin1(info->title.data(), static_cast<qsizetype>(info->title.size()));
  // The settings are made on the first Print and offered again every time after.
  if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  const PrintDialogOutcome outcome = dialogs().set_up_printer(frame_.data(), *printer_, document);
  if (outcome != PrintDialogOutcome::Accepted) {
    show_printing_text(print_dialog_failure_text(outcome));
    return;
  }
  if (frame_.isNull() || frame_->is_closed() || frame_->view(window) == nullptr) return;

  PrintJobSetup setup;
  setup.core = core_;
  setup.printer = printer_.get();
  setup.window = window;
  setup.document = document;
  PrintJob job(setup);
  job_ = &job;
  const PrintJobResult result = job.run();
  job_ = nullptr;
  if (frame_.isNull() || frame_->is_closed()) return;
  if (result.out_of_memory) {
    core_->show_error_box(console::ErrorBoxKind::Error, console::kErrorBoxOutOfMemory, kPrintSource, kPrintMemoryLine);
  } else {
    show_printing_text(result.text);
  }
}

void PictureCommands::show_printing_text(int text) {
  const QString message = printing_text(text);
  if (message.isEmpty() || core_ == nullptr || frame_.isNull()) return;
  console::MessageBoxRequest request;
  request.caption = core_->program_title();
  request.text = message.toLatin1().toStdString();
  request.icon = console::MessageBoxIcon::Information;
  // Owned by the window that has the focus.
  QWidget* owner = QApplication::activeWindow();
  if (owner == nullptr) owner = frame_.data();
  show_message_box(owner, request);
}

}  // namespace gui
