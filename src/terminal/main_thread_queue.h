#pragma once
// Work for the main (GUI) thread, queued from any thread without waiting. The work items
// are kept under a std::mutex; the main thread is woken through an eventfd that a
// QSocketNotifier watches, so nothing built by the posting thread reaches the main thread
// except through that mutex (a hand-over that thread checkers can follow).

#include <QSocketNotifier>

#include <deque>
#include <functional>
#include <memory>
#include <mutex>

namespace terminal {

class MainThreadQueue {
 public:
  // Made on the main thread, whose event loop runs the work.
  MainThreadQueue();
  ~MainThreadQueue();
  MainThreadQueue(const MainThreadQueue&) = delete;
  MainThreadQueue& operator=(const MainThreadQueue&) = delete;

  // Queues `work`; returns at once.
  void post(std::function<void()> work);
  // Runs every queued item, in order (main thread).
  void drain();

 private:
  int wake_fd_ = -1;
  std::unique_ptr<QSocketNotifier> notifier_;
  std::mutex mutex_;
  std::deque<std::function<void()>> work_;
};

}  // namespace terminal
