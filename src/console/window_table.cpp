#include "console/window_table.h"

#include <new>
#include <string>

namespace console {

std::shared_ptr<ChildWindowRecord> WindowTable::create_locked(std::string_view title) {
  for (int slot = 0; slot < kWindowTableSize; ++slot) {
    if (slots_[static_cast<std::size_t>(slot)]) continue;
    try {
      std::string name = title.empty() ? "Graphic" + std::to_string(slot + 1) : std::string(title);
      auto record = std::make_shared<ChildWindowRecord>(kFirstWindowIndex + slot, std::move(name));
      slots_[static_cast<std::size_t>(slot)] = record;
      return record;
    } catch (const std::bad_alloc&) {
      return nullptr;
    }
  }
  return nullptr;
}

std::shared_ptr<ChildWindowRecord> WindowTable::create(std::string_view title) {
  std::lock_guard lock(mutex_);
  return create_locked(title);
}

std::shared_ptr<ChildWindowRecord> WindowTable::find(int index) const {
  if (!in_range(index)) return nullptr;
  std::lock_guard lock(mutex_);
  return slots_[static_cast<std::size_t>(index - kFirstWindowIndex)];
}

bool WindowTable::remove(int index) {
  if (!in_range(index)) return false;
  std::shared_ptr<ChildWindowRecord> removed;  // freed after the lock is released
  std::lock_guard lock(mutex_);
  removed = std::move(slots_[static_cast<std::size_t>(index - kFirstWindowIndex)]);
  if (removed) generation_.fetch_add(1, std::memory_order_acq_rel);
  if (default_window_ == index) default_window_ = 0;
  if (current_io_window_ == index) current_io_window_ = 0;
  return removed != nullptr;
}

std::vector<std::shared_ptr<ChildWindowRecord>> WindowTable::windows() const {
  std::lock_guard lock(mutex_);
  std::vector<std::shared_ptr<ChildWindowRecord>> list;
  for (const auto& slot : slots_) {
    if (slot) list.push_back(slot);
  }
  return list;
}

int WindowTable::default_window(bool& created) {
  created = false;
  std::lock_guard lock(mutex_);
  if (in_range(default_window_)) {
    const auto& record = slots_[static_cast<std::size_t>(default_window_ - kFirstWindowIndex)];
    if (record && !record->unit_closed.load()) return default_window_;
  }
  auto record = create_locked({});
  if (!record) return 0;
  created = true;
  default_window_ = record->index;
  return default_window_;
}

int WindowTable::current_default_window() const {
  std::lock_guard lock(mutex_);
  return default_window_;
}

int WindowTable::current_io_window() const {
  std::lock_guard lock(mutex_);
  return current_io_window_;
}

void WindowTable::set_current_io_window(int index) {
  std::lock_guard lock(mutex_);
  current_io_window_ = index;
}

void WindowTable::clear_current_io_window(int index) {
  std::lock_guard lock(mutex_);
  if (current_io_window_ == index) current_io_window_ = 0;
}

}  // namespace console
