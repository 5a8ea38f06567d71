#include "console/run_control.h"

namespace console {

std::string_view run_state_text(RunState state) {
  switch (state) {
    case RunState::Running: return "Running";
    case RunState::Paused: return "Paused";
    case RunState::Finished: return "Finished";
  }
  return "Running";
}

RunControl::RunControl(std::function<void()> changed) : changed_(std::move(changed)) {}

void RunControl::enter() {
  inside_.fetch_add(1);
  if (!gate_closed_.load()) return;
  // The gate is closed: count out again (which may complete the pause) and wait at the gate.
  leave();
  std::unique_lock lock(mutex_);
  condition_.wait(lock, [this] { return !gate_closed_.load(); });
  // Under the lock a pause cannot close the gate between the check and the count.
  inside_.fetch_add(1);
}

void RunControl::leave() {
  // A leave without its enter must not leave the count below 0.
  if (inside_.fetch_sub(1) <= 0) inside_.fetch_add(1);
  if (!pausing_.load()) return;
  bool changed = false;
  {
    std::lock_guard lock(mutex_);
    changed = complete_pause_locked();
  }
  if (changed) {
    condition_.notify_all();
    if (changed_) changed_();
  }
}

void RunControl::pass() {
  if (!gate_closed_.load()) return;
  std::unique_lock lock(mutex_);
  condition_.wait(lock, [this] { return !gate_closed_.load(); });
}

bool RunControl::complete_pause_locked() {
  if (!pausing_.load() || inside_.load() != 0) return false;
  pausing_ = false;
  state_ = RunState::Paused;
  return true;
}

void RunControl::pause() {
  bool changed = false;
  {
    std::lock_guard lock(mutex_);
    if (state_ == RunState::Paused) {
      pause_asked_ = true;
      return;
    }
    if (state_ == RunState::Finished || pausing_) return;
    gate_closed_ = true;
    pausing_ = true;
    changed = complete_pause_locked();
  }
  if (changed) {
    condition_.notify_all();
    if (changed_) changed_();
  }
}

void RunControl::resume() {
  {
    std::lock_guard lock(mutex_);
    if (pausing_ || state_ != RunState::Paused) return;
    if (pause_asked_) {
      pause_asked_ = false;
      return;
    }
    state_ = RunState::Running;
    gate_closed_ = false;
  }
  condition_.notify_all();
  if (changed_) changed_();
}

void RunControl::finish() {
  {
    std::lock_guard lock(mutex_);
    if (state_ == RunState::Finished) return;
    // The program reached its end inside the gate region, so a pause still waiting for it
    // is dropped: a finished program cannot be paused.
    state_ = RunState::Finished;
    pausing_ = false;
    pause_asked_ = false;
    gate_closed_ = false;
  }
  condition_.notify_all();
  if (changed_) changed_();
}

RunState RunControl::state() const {
  std::lock_guard lock(mutex_);
  return state_;
}

bool RunControl::pause_in_progress() const {
  std::lock_guard lock(mutex_);
  return pausing_;
}

bool RunControl::wait_until_paused() {
  std::unique_lock lock(mutex_);
  condition_.wait(lock, [this] { return !pausing_; });
  return state_ == RunState::Paused;
}

int RunControl::threads_inside() const { return inside_.load(); }

}  // namespace console
