#include "gui/gui_thread_queue.h"

#include <QMetaObject>

namespace gui {

GuiThreadQueue::~GuiThreadQueue() = default;

void GuiThreadQueue::post(std::function<void()> work) {
  bool wake = false;
  {
    std::lock_guard lock(mutex_);
    if (closed_) return;
    work_.push_back(std::move(work));
    // One wake-up covers everything queued until drain() takes the queue.
    wake = !wake_pending_;
    wake_pending_ = true;
  }
  if (wake) QMetaObject::invokeMethod(this, "drain", Qt::QueuedConnection);
}

void GuiThreadQueue::close() {
  std::deque<std::function<void()>> dropped;
  {
    std::lock_guard lock(mutex_);
    closed_ = true;
    dropped.swap(work_);
  }
}

bool GuiThreadQueue::closed() const {
  std::lock_guard lock(mutex_);
  return closed_;
}

void GuiThreadQueue::drain() {
  {
    std::lock_guard lock(mutex_);
    wake_pending_ = false;
  }
  // One item at a time from the shared queue: an item may open a dialog (a nested event
  // loop) in which drain() runs again, and the items still run in the order queued.
  while (true) {
    std::function<void()> work;
    {
      std::lock_guard lock(mutex_);
      if (closed_ || work_.empty()) return;
      work = std::move(work_.front());
      work_.pop_front();
    }
    work();
  }
}

}  // namespace gui
