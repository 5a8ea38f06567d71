#pragma once
// The frame's Analysis menu: a seventh popup, after Help, with "Bifurcation Diagram..." and
// "Lyapunov Exponents...", so that the six popups and their items keep their numbers. Each
// item asks for its settings in an AnalysisDialog that starts from the program's starting
// settings and hands them to the program, which computes on a thread of its own and shows
// the result in a window of its own. While an analysis runs, choosing an item is refused with
// a message box (nothing is queued).

#include <QPointer>

#include "gui/analysis_dialog.h"
#include "gui/analysis_hooks.h"

class QWidget;

namespace gui {

class FrameMenus;

class AnalysisCommands {
 public:
  explicit AnalysisCommands(AnalysisHooks hooks);

  // Appends the Analysis popup to the frame's full menu bar.
  void install(FrameMenus& menus);
  // Carries out one of the menu's commands over `parent` (the frame); false for any other
  // command.
  bool run_command(int command, QWidget* parent);
  // The frame is closing: an open dialog goes, and the program stops what runs.
  void shut_down();

  // The settings dialog open now, or null.
  AnalysisDialog* dialog() const { return dialog_.data(); }

 private:
  AnalysisHooks hooks_;
  QPointer<AnalysisDialog> dialog_;
  bool shut_down_ = false;
};

}  // namespace gui
