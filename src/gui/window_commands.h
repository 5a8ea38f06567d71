#pragma once
// The commands of the frame that act on a window's picture or text and are carried out by
// the selection, clipboard, saving and printing module: Select Text (1001), Select Graphics
// (1002), Select All (1003), Copy (1004), Print (1019) and Save (1020). The frame passes
// each such command with the active child window's index; a frame without a handler leaves
// them without effect.
//
// The frame also passes Resume (1009) first, and the window of a selection that goes away:
// the handler ends a selection in progress and resumes the program (true), or returns false
// when no selection was in progress (the frame then resumes the program itself).

namespace gui {

class WindowCommands {
 public:
  virtual ~WindowCommands() = default;
  // True when the command was carried out (or started, for a selection).
  virtual bool run_window_command(int command, int window) = 0;
};

}  // namespace gui
