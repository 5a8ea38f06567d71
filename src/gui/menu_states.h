#pragma once
// Which menu items are enabled, checked or relabelled, worked out from the state of the
// program and of the active child window each time a popup of the menu bar opens (and when
// a keyboard equivalent asks whether its item is enabled).

#include "console/core_access.h"

namespace gui {

struct MenuContext {
  bool paste_pending = false;  // pasted input is still being fed into reads
  bool clipboard_has_text = false;
  bool selection_in_progress = false;  // a text or graphics selection in the active window
  bool selection_has_area = false;     // the selection covers something (Copy)
  bool fit_to_window = false;          // Size To Fit in the active window
  bool full_screen = false;            // the Full Screen window is shown
  console::RunState run_state = console::RunState::Running;
  bool state_item_reads_resume = false;  // the State item's current label
  bool input_waiting = false;            // a read waits for a line
  bool status_bar_shown = true;
};

struct MenuStates {
  bool select_enabled = true;  // Select Text, Select Graphics, Select All
  bool copy_enabled = false;
  bool paste_enabled = false;
  bool clear_paste_enabled = false;
  bool size_to_fit_enabled = true;
  bool size_to_fit_checked = false;
  bool full_screen_enabled = true;
  bool full_screen_checked = false;
  bool state_reads_resume = false;  // "&Resume\tCtrl+Q" (1009) instead of "&Pause\tCtrl+S" (1008)
  bool input_enabled = false;
  bool status_bar_checked = true;
};

MenuStates compute_menu_states(const MenuContext& context);

}  // namespace gui
