// Windows of the program's own: child windows without a unit that show a result beside the
// program's units, made with a configuration of their own and finished when the result is
// complete.

#include "console/console_core.h"
#include "console/palette.h"

namespace console {

int ConsoleCore::create_own_window(WindowConfig config) {
  GateScope gate(*this);
  const int index = create_window(config.title_text(), true);
  if (index < 0) return -1;
  auto record = table_.find(index);
  // A configuration is resolved once more when the font's real cell differs from the one
  // asked for (the changed values are written back into `config`); the third try is a
  // safety net, as for the default configuration.
  ApplyOutcome outcome = ApplyOutcome::Failed;
  for (int attempt = 0; record && attempt < 3; ++attempt) {
    outcome = apply_config(*record, config);
    if (outcome != ApplyOutcome::Changed) break;
  }
  if (outcome == ApplyOutcome::Applied) return index;
  if (record) record->unit_closed.store(true);
  if (table_.remove(index)) notify_window(index, WindowEvent::Removed);
  set_graphics_status(kStatusFailure);
  return -1;
}

int ConsoleCore::exchange_active_window(int index) {
  GateScope gate(*this);
  ThreadWindowState& state = thread_state();
  const int previous = state.active_window;
  state.active_window = index;
  return previous;
}

void ConsoleCore::finish_own_window(int index) {
  GateScope gate(*this);
  auto record = table_.find(index);
  if (!record || record->unit_closed.exchange(true)) return;
  notify_window(index, WindowEvent::Closed);
}

}  // namespace console
