#pragma once
// The run state (Running, Paused, Finished) and the pause gate that stops the program.
//
// Every console entry made by a program thread is bracketed by enter() and leave(); the
// runtime's statements call pass() before they touch a unit. Pause closes the gate: new
// entries wait at it, and the pause is carried out (the run state becomes Paused) as soon as
// no program thread is inside a console entry. The program thread is therefore stopped only
// at an entry, never inside text output or drawing, and never while it holds a window lock.
// A program thread that waits for input leaves the gate region for the wait, so a pause
// during a read is carried out at once. Resume opens the gate.
//
// A pause asked for while already paused (by the user, or by a selection in progress) is
// remembered: the next resume only forgets it and the program stays paused.
//
// Entries and the gate check take no lock while the gate is open (the plot passes the gate
// once per pixel): an entry counts itself in and then looks at the gate, while a pause
// closes the gate and then counts the threads inside, so one of the two always sees the
// other (sequentially consistent atomics). Everything else happens under the lock.

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string_view>

#include "console/core_access.h"

namespace console {

std::string_view run_state_text(RunState state);  // "Running", "Paused", "Finished"

class RunControl {
 public:
  // `changed` runs (outside the lock, on the thread that made the change) whenever the run
  // state changes.
  explicit RunControl(std::function<void()> changed);

  // Program side.
  void enter();
  void leave();
  void pass();
  // True while a pause keeps new entries out (a lock-free look, as the entries take).
  bool gate_closed() const { return gate_closed_.load(); }

  // Commands (the GUI thread's Pause and Resume, the program's end).
  void pause();
  void resume();
  void finish();

  RunState state() const;
  // True between a pause command and the moment the program has stopped.
  bool pause_in_progress() const;
  // Waits until no pause is in progress; true when the state is then Paused.
  bool wait_until_paused();
  int threads_inside() const;

 private:
  // Completes a pause when nobody is inside; returns true when the state changed.
  bool complete_pause_locked();

  mutable std::mutex mutex_;
  std::condition_variable condition_;
  std::function<void()> changed_;
  RunState state_ = RunState::Running;
  // Written under the lock; read without it by the entries' fast path.
  std::atomic<bool> gate_closed_{false};
  std::atomic<bool> pausing_{false};
  bool pause_asked_ = false;
  std::atomic<int> inside_{0};
};

}  // namespace console
