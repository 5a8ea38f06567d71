#include "gui/menu_states.h"

namespace gui {

MenuStates compute_menu_states(const MenuContext& context) {
  MenuStates states;

  // Pasted input pending: Paste waits until it is used up, Clear Paste can drop it.
  if (context.paste_pending) {
    states.paste_enabled = false;
    states.clear_paste_enabled = true;
  } else {
    states.paste_enabled = context.clipboard_has_text;
    states.clear_paste_enabled = false;
  }

  if (context.selection_in_progress) {
    states.select_enabled = false;
    states.paste_enabled = false;
    states.size_to_fit_enabled = false;
    states.full_screen_enabled = false;
    states.copy_enabled = context.selection_has_area;
  } else {
    // A scaled view has no cells or pixels to point at: no selecting, no pasting.
    const bool scaled = context.fit_to_window || context.full_screen;
    states.select_enabled = !scaled;
    if (scaled) states.paste_enabled = false;
    states.copy_enabled = false;
  }
  states.size_to_fit_checked = context.fit_to_window;
  states.full_screen_checked = context.full_screen;

  switch (context.run_state) {
    case console::RunState::Paused: states.state_reads_resume = true; break;
    case console::RunState::Running: states.state_reads_resume = false; break;
    case console::RunState::Finished: states.state_reads_resume = context.state_item_reads_resume; break;
  }

  states.input_enabled = context.input_waiting;
  states.status_bar_checked = context.status_bar_shown;
  return states;
}

}  // namespace gui
