#include "terminal/main_thread_queue.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace terminal {

MainThreadQueue::MainThreadQueue() {
  wake_fd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wake_fd_ >= 0) {
    notifier_ = std::make_unique<QSocketNotifier>(wake_fd_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { drain(); });
  }
}

MainThreadQueue::~MainThreadQueue() {
  notifier_.reset();
  if (wake_fd_ >= 0) ::close(wake_fd_);
}

void MainThreadQueue::post(std::function<void()> work) {
  {
    std::lock_guard lock(mutex_);
    work_.push_back(std::move(work));
  }
  const std::uint64_t one = 1;
  while (wake_fd_ >= 0 && ::write(wake_fd_, &one, sizeof one) < 0 && errno == EINTR) {
  }
}

void MainThreadQueue::drain() {
  std::uint64_t count = 0;
  while (wake_fd_ >= 0 && ::read(wake_fd_, &count, sizeof count) < 0 && errno == EINTR) {
  }
  while (true) {
    std::function<void()> work;
    {
      std::lock_guard lock(mutex_);
      if (work_.empty()) return;
      work = std::move(work_.front());
      work_.pop_front();
    }
    work();
  }
}

}  // namespace terminal
