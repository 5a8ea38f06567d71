// Which items are enabled, checked and relabelled as a popup opens.

#include <gtest/gtest.h>

#include "gui/menu_states.h"

namespace gui {
namespace {

using console::RunState;

struct StateCase {
  const char* name;
  MenuContext context;
  MenuStates expected;
};

MenuContext context_with(const std::function<void(MenuContext&)>& change) {
  MenuContext context;
  change(context);
  return context;
}

MenuStates states_with(const std::function<void(MenuStates&)>& change) {
  MenuStates states;
  change(states);
  return states;
}

void expect_same(const MenuStates& actual, const MenuStates& expected) {
  EXPECT_EQ(actual.select_enabled, expected.select_enabled);
  EXPECT_EQ(actual.copy_enabled, expected.copy_enabled);
  EXPECT_EQ(actual.paste_enabled, expected.paste_enabled);
  EXPECT_EQ(actual.clear_paste_enabled, expected.clear_paste_enabled);
  EXPECT_EQ(actual.size_to_fit_enabled, expected.size_to_fit_enabled);
  EXPECT_EQ(actual.size_to_fit_checked, expected.size_to_fit_checked);
  EXPECT_EQ(actual.full_screen_enabled, expected.full_screen_enabled);
  EXPECT_EQ(actual.full_screen_checked, expected.full_screen_checked);
  EXPECT_EQ(actual.state_reads_resume, expected.state_reads_resume);
  EXPECT_EQ(actual.input_enabled, expected.input_enabled);
  EXPECT_EQ(actual.status_bar_checked, expected.status_bar_checked);
}

TEST(MenuStates, FollowTheProgramAndTheActiveWindow) {
  const std::vector<StateCase> cases = {
      {"a fresh window", {}, {}},
      {"text on the clipboard enables Paste", context_with([](MenuContext& c) { c.clipboard_has_text = true; }),
       states_with([](MenuStates& s) { s.paste_enabled = true; })},
      {"pending paste grays Paste and enables Clear Paste", context_with([](MenuContext& c) {
         c.clipboard_has_text = true;
         c.paste_pending = true;
       }),
       states_with([](MenuStates& s) { s.clear_paste_enabled = true; })},
      {"a selection grays selecting, pasting and the view modes", context_with([](MenuContext& c) {
         c.selection_in_progress = true;
         c.clipboard_has_text = true;
       }),
       states_with([](MenuStates& s) {
         s.select_enabled = false;
         s.size_to_fit_enabled = false;
         s.full_screen_enabled = false;
       })},
      {"a selection with an area enables Copy", context_with([](MenuContext& c) {
         c.selection_in_progress = true;
         c.selection_has_area = true;
       }),
       states_with([](MenuStates& s) {
         s.select_enabled = false;
         s.copy_enabled = true;
         s.size_to_fit_enabled = false;
         s.full_screen_enabled = false;
       })},
      {"Copy is grayed without a selection", context_with([](MenuContext& c) { c.selection_has_area = true; }), {}},
      {"Size To Fit grays selecting and pasting and is checked", context_with([](MenuContext& c) {
         c.fit_to_window = true;
         c.clipboard_has_text = true;
       }),
       states_with([](MenuStates& s) {
         s.select_enabled = false;
         s.size_to_fit_checked = true;
       })},
      {"Full Screen shown is checked and grays selecting", context_with([](MenuContext& c) { c.full_screen = true; }),
       states_with([](MenuStates& s) {
         s.select_enabled = false;
         s.full_screen_checked = true;
       })},
      {"paused: the State item reads Resume", context_with([](MenuContext& c) { c.run_state = RunState::Paused; }),
       states_with([](MenuStates& s) { s.state_reads_resume = true; })},
      {"running again: it reads Pause", context_with([](MenuContext& c) { c.state_item_reads_resume = true; }), {}},
      {"finished: it stays as it reads (Resume)", context_with([](MenuContext& c) {
         c.run_state = RunState::Finished;
         c.state_item_reads_resume = true;
       }),
       states_with([](MenuStates& s) { s.state_reads_resume = true; })},
      {"finished: it stays as it reads (Pause)",
       context_with([](MenuContext& c) { c.run_state = RunState::Finished; }),
       {}},
      {"a waiting read enables Input", context_with([](MenuContext& c) { c.input_waiting = true; }),
       states_with([](MenuStates& s) { s.input_enabled = true; })},
      {"a hidden status bar is unchecked", context_with([](MenuContext& c) { c.status_bar_shown = false; }),
       states_with([](MenuStates& s) { s.status_bar_checked = false; })},
  };
  for (const StateCase& test : cases) {
    SCOPED_TRACE(test.name);
    expect_same(compute_menu_states(test.context), test.expected);
  }
}

}  // namespace
}  // namespace gui
