#pragma once
// A manual-reset event on a condition variable: the program thread waits on it while a line
// is typed, the GUI thread (or the terminal's input) sets it. It stays set until reset.

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace console {

class InputEvent {
 public:
  void set() {
    {
      std::lock_guard lock(mutex_);
      signalled_ = true;
    }
    condition_.notify_all();
  }
  void reset() {
    std::lock_guard lock(mutex_);
    signalled_ = false;
  }
  bool is_set() const {
    std::lock_guard lock(mutex_);
    return signalled_;
  }
  void wait() {
    std::unique_lock lock(mutex_);
    condition_.wait(lock, [this] { return signalled_; });
  }
  // True when the event was set within `timeout`.
  template <class Rep, class Period>
  bool wait_for(std::chrono::duration<Rep, Period> timeout) {
    std::unique_lock lock(mutex_);
    return condition_.wait_for(lock, timeout, [this] { return signalled_; });
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable condition_;
  bool signalled_ = false;
};

}  // namespace console
