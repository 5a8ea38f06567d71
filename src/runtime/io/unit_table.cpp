#include "runtime/io/unit_table.h"
#include "runtime/support/error_numbers.h"

#include <new>
#include <thread>

namespace runtime {

namespace {

std::atomic<const void*> g_exit_thread{nullptr};

}  // namespace

UnitTable& UnitTable::instance() {
  static UnitTable* table = new UnitTable;
  return *table;
}

UnitSlot* UnitTable::hashed_slot(std::int32_t unit) {
  if (unit < kFirstFixedUnit) return nullptr;
  std::lock_guard<std::mutex> hold(hash_lock_);
  try {
    std::unique_ptr<UnitSlot>& entry = hashed_[unit];
    if (!entry) entry = std::make_unique<UnitSlot>();
    return entry.get();
  } catch (const std::bad_alloc&) {
    hashed_.erase(unit);
    return nullptr;
  }
}

UnitSlot* UnitTable::find_slot(std::int32_t unit) {
  if (unit >= kFirstFixedUnit && unit <= kLastFixedUnit) return &fixed_[unit - kFirstFixedUnit];
  std::lock_guard<std::mutex> hold(hash_lock_);
  auto found = hashed_.find(unit);
  return found == hashed_.end() ? nullptr : found->second.get();
}

std::vector<std::pair<std::int32_t, UnitSlot*>> UnitTable::all_slots() {
  std::vector<std::pair<std::int32_t, UnitSlot*>> slots;
  try {
    slots.reserve(fixed_.size() + 16);
    for (std::int32_t unit = kFirstFixedUnit; unit <= kLastFixedUnit; ++unit) {
      slots.emplace_back(unit, &fixed_[unit - kFirstFixedUnit]);
    }
    std::lock_guard<std::mutex> hold(hash_lock_);
    for (auto& [unit, slot] : hashed_) slots.emplace_back(unit, slot.get());
  } catch (const std::bad_alloc&) {
    // Whatever was collected is closed; the rest stays as it is.
  }
  return slots;
}

const void* this_thread_token() {
  thread_local char token;
  return &token;
}

ClaimResult claim_slot(UnitSlot& slot, std::optional<std::chrono::steady_clock::time_point> deadline) {
  const void* self = this_thread_token();
  const void* expected = nullptr;
  if (slot.owner.compare_exchange_strong(expected, self)) return ClaimResult::Claimed;
  if (expected == self) return ClaimResult::Recursive;
  slot.waiters.fetch_add(1);
  ClaimResult result = ClaimResult::TimedOut;
  {
    std::unique_lock<std::mutex> hold(slot.wait_lock);
    for (;;) {
      expected = nullptr;
      if (slot.owner.compare_exchange_strong(expected, self)) {
        result = ClaimResult::Claimed;
        break;
      }
      auto now = std::chrono::steady_clock::now();
      if (deadline && now >= *deadline) break;
      // Timed waits: a release between the failed claim and the wait is seen at the latest
      // after one period.
      auto until = now + std::chrono::milliseconds(20);
      if (deadline && *deadline < until) until = *deadline;
      slot.released.wait_until(hold, until);
    }
  }
  slot.waiters.fetch_sub(1);
  return result;
}

void release_slot(UnitSlot& slot) {
  slot.owner.store(nullptr, std::memory_order_release);
  // A waiter that misses this notification sees the release at its next timed wake-up.
  if (slot.waiters.load(std::memory_order_relaxed) > 0) {
    std::lock_guard<std::mutex> hold(slot.wait_lock);
    slot.released.notify_all();
  }
}

bool begin_exit_gate() {
  const void* expected = nullptr;
  return g_exit_thread.compare_exchange_strong(expected, this_thread_token());
}

bool exit_begun_elsewhere() {
  const void* exit_thread = g_exit_thread.load();
  return exit_thread != nullptr && exit_thread != this_thread_token();
}

void wait_for_process_exit() {
  for (;;) std::this_thread::sleep_for(std::chrono::seconds(1));
}

int StatementClaim::acquire(std::int32_t unit) {
  release();
  UnitSlot* slot = UnitTable::instance().slot(unit);
  if (slot == nullptr) return kInsufficientVirtualMemory;
  ClaimResult result = claim_slot(*slot);
  if (result == ClaimResult::Recursive) return kRecursiveIoOperation;
  slot_ = slot;
  // Checked after the claim: the exit handler marks the gate before it claims any slot, so
  // either it sees this claim and waits for it, or this check sees the gate.
  if (exit_begun_elsewhere()) {
    release();
    wait_for_process_exit();
  }
  return 0;
}

void StatementClaim::release() {
  if (slot_ != nullptr) {
    release_slot(*slot_);
    slot_ = nullptr;
  }
}

void StatementClaim::set_block(std::unique_ptr<UnitBlock> block) {
  std::unique_ptr<UnitBlock> old;
  {
    std::lock_guard<std::mutex> hold(slot_->guard);
    old = std::exchange(slot_->block, std::move(block));
  }
}

std::unique_ptr<UnitBlock> StatementClaim::take_block() {
  std::lock_guard<std::mutex> hold(slot_->guard);
  return std::move(slot_->block);
}

}  // namespace runtime
