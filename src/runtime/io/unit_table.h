#pragma once
// The unit table: fixed slots for units -5 to 99 (index = unit + 5) and a hash table for the
// units above, each slot holding the UnitBlock of a connected unit and a busy mark.
//
// A statement claims its unit's slot for its whole length (StatementClaim). A second claim
// by the same thread (a statement started from inside another on the same unit) is refused
// with error 40; a claim by another thread waits until the first statement ends, which is
// what the per-slot lock of a multi-threaded program does. No lock is held while a statement
// runs, so a statement that waits for input never blocks a thread that only looks units up.
//
// The exit gate: once the exit handler has begun on one thread, a statement started on any
// other thread waits until the process exits, so that nothing is connected anew (no stray
// fort.N files) while the units are being closed.

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

#include "runtime/io/unit_block.h"

namespace runtime {

struct UnitSlot {
  // Guards `block` for threads that do not hold the slot (lookups, the exit handler). The
  // thread holding the slot takes it only to change `block`.
  std::mutex guard;
  std::unique_ptr<UnitBlock> block;

  // The thread whose statement holds the slot (null when free).
  std::atomic<const void*> owner{nullptr};
  std::atomic<int> waiters{0};
  std::mutex wait_lock;
  std::condition_variable released;
};

inline constexpr std::int32_t kFirstFixedUnit = -5;
inline constexpr std::int32_t kLastFixedUnit = 99;
inline constexpr std::int32_t kInternalUnit = -5;
inline constexpr std::int32_t kLargestUnit = 2147483646;

class UnitTable {
 public:
  // The process's table; never destroyed, so the exit handler can run at any point of exit.
  static UnitTable& instance();

  // The slot of `unit`, created on first use for hashed units (null when memory runs out).
  UnitSlot* slot(std::int32_t unit) {
    if (unit >= kFirstFixedUnit && unit <= kLastFixedUnit) return &fixed_[unit - kFirstFixedUnit];
    return hashed_slot(unit);
  }
  // The slot of `unit` if it exists.
  UnitSlot* find_slot(std::int32_t unit);
  // Every slot that may hold a connected unit, with its unit number.
  std::vector<std::pair<std::int32_t, UnitSlot*>> all_slots();

 private:
  UnitSlot* hashed_slot(std::int32_t unit);

  std::array<UnitSlot, kLastFixedUnit - kFirstFixedUnit + 1> fixed_;
  std::mutex hash_lock_;
  std::unordered_map<std::int32_t, std::unique_ptr<UnitSlot>> hashed_;
};

// A token naming the calling thread.
const void* this_thread_token();

enum class ClaimResult { Claimed, Recursive, TimedOut };

// Claims `slot` for the calling thread, waiting for another thread's statement to end (until
// `deadline` when given).
ClaimResult claim_slot(UnitSlot& slot, std::optional<std::chrono::steady_clock::time_point> deadline = std::nullopt);
void release_slot(UnitSlot& slot);

// The exit gate.
// Marks the exit handler as begun on the calling thread; false when it had begun already.
bool begin_exit_gate();
// True when the exit handler has begun on another thread than the caller.
bool exit_begun_elsewhere();
// Waits until the process exits (a statement that arrived after the exit handler began).
[[noreturn]] void wait_for_process_exit();

// Holds one unit's slot for the length of a statement.
class StatementClaim {
 public:
  StatementClaim() = default;
  ~StatementClaim() { release(); }
  StatementClaim(const StatementClaim&) = delete;
  StatementClaim& operator=(const StatementClaim&) = delete;

  // Claims `unit`. Returns 0, 40 (a statement of this thread already holds the unit) or 41.
  [[nodiscard]] int acquire(std::int32_t unit);
  void release();

  UnitSlot* slot() const { return slot_; }
  UnitBlock* block() const { return slot_ != nullptr ? slot_->block.get() : nullptr; }
  // Installs or removes the connected block (under the slot guard).
  void set_block(std::unique_ptr<UnitBlock> block);
  std::unique_ptr<UnitBlock> take_block();

 private:
  UnitSlot* slot_ = nullptr;
};

}  // namespace runtime
