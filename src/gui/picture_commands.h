#pragma once
// The frame's commands on a window's text and picture (its WindowCommands handler):
// - Select Text, Select Graphics and Select All pause the program and, once the pause has
//   been carried out, start the selection in the window's view; the program stays paused
//   until the selection ends with Copy, Resume or Esc (a pause asked for meanwhile is kept).
//   One selection at a time: starting one in another window moves the selection there.
// - Copy puts selected text on the clipboard as plain text (rows ended by CR LF) and selected
//   graphics as an image in the window's depth with its palette, then ends the selection.
// - Save writes the window's whole picture to the file chosen in the save dialog: a PNG file
//   for a name ending in ".png", else the bitmap file. A failure shows the console's error
//   box 5; a cancelled dialog does nothing.
// - Print sets up the printer (settings kept for the process) and prints the picture on one
//   page (PrintJob); the printing texts report failures, at most one per job.
// Everything runs on the GUI thread. The dialogs come from a PictureDialogs (Qt's unless
// another is given).

#include <QObject>
#include <QPointer>

#include <cstdint>
#include <memory>

#include "gui/window_commands.h"

class QPrinter;

namespace console {
class CoreAccess;
}

namespace gui {

class FrameWindow;
class PictureDialogs;
class PrintJob;
struct PrintJobResult;

class PictureCommands final : public QObject, public WindowCommands {
 public:
  // `dialogs` (not owned, outliving this) null: Qt's dialogs.
  explicit PictureCommands(PictureDialogs* dialogs = nullptr);
  ~PictureCommands() override;

  // The frame whose windows the commands act on, and its console (null: none).
  void attach(FrameWindow* frame, console::CoreAccess* core);

  bool run_window_command(int command, int window) override;

  // The window whose selection is in progress or being started (0: none).
  int selection_window() const { return selection_window_; }
  // A selection waits for the program to stop before it starts.
  bool selection_starting() const { return starting_; }

  // Save (1020): true when a file was written.
  bool save(int window);
  // Print (1019).
  void print(int window);
  // The print job running (null when none): its progress dialog and abort routine.
  PrintJob* print_job() const { return job_; }
  // The printer settings kept between jobs (null before the first Print).
  QPrinter* printer() const { return printer_.get(); }

  // How often a starting selection looks whether the pause has been carried out.
  static constexpr int kPausePollMs = 5;

 private:
  bool start_selection(int command, int window);
  void continue_start(std::uint64_t generation);
  // Ends the selection in progress (or being started); `resume` resumes the program.
  bool end_selection(bool resume);
  bool copy(int window);
  void show_printing_text(int text);
  PictureDialogs& dialogs();

  PictureDialogs* dialogs_;
  std::unique_ptr<PictureDialogs> own_dialogs_;
  QPointer<FrameWindow> frame_;
  console::CoreAccess* core_ = nullptr;
  int selection_window_ = 0;
  int starting_command_ = 0;
  bool starting_ = false;
  std::uint64_t generation_ = 0;
  std::unique_ptr<QPrinter> printer_;
  PrintJob* job_ = nullptr;
};

}  // namespace gui
