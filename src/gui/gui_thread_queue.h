#pragma once
// A queue of work for the GUI thread that any thread may fill without waiting. The work
// items are kept under a std::mutex and run in the order queued by the thread that owns the
// queue object (the GUI thread); the wake-up is a queued call of drain() by name, so nothing
// built by the posting thread crosses to the GUI thread outside the mutex.

#include <QObject>

#include <deque>
#include <functional>
#include <mutex>

namespace gui {

class GuiThreadQueue final : public QObject {
  Q_OBJECT

 public:
  GuiThreadQueue() = default;
  ~GuiThreadQueue() override;

  // Queues `work`; returns at once. Work queued after close() is dropped.
  void post(std::function<void()> work);
  // Drops the queued work and refuses more (the frame is gone).
  void close();
  bool closed() const;

 public slots:
  // Runs every queued item (GUI thread).
  void drain();

 private:
  mutable std::mutex mutex_;
  std::deque<std::function<void()>> work_;
  bool wake_pending_ = false;
  bool closed_ = false;
};

}  // namespace gui
