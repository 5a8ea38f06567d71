#pragma once
// The window table: 40 slots of child windows (window indices 1024..1063) under one global
// lock, with the default window and the current I/O window of the frame. A slot is taken by
// the first empty entry in ascending order and emptied when its window is destroyed.
//
// Records are shared: a window removed from the table stays alive for a thread that still
// holds it (a paint in progress, a read returning) and is freed with the last holder.

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

#include "console/child_window_record.h"

namespace console {

class WindowTable {
 public:
  static bool in_range(int index) { return index >= kFirstWindowIndex && index < kFirstWindowIndex + kWindowTableSize; }

  // Creates a window in the first empty slot, titled `title` or, when it is empty, "Graphic"
  // followed by slot + 1. Null when every slot is taken or memory runs out.
  std::shared_ptr<ChildWindowRecord> create(std::string_view title);
  // The live window of `index`, or null.
  std::shared_ptr<ChildWindowRecord> find(int index) const;
  // Empties the slot of `index`; false when it held no window.
  bool remove(int index);
  std::vector<std::shared_ptr<ChildWindowRecord>> windows() const;

  // The default window (-1 names it): the current one when it exists and its unit is not
  // closed, else a new window titled "Graphic" + slot + 1 that becomes the default. 0 when
  // none can be made. `created` tells whether a window was made.
  int default_window(bool& created);
  int current_default_window() const;

  // The frame's current I/O window (0 for none).
  int current_io_window() const;
  void set_current_io_window(int index);
  // Sets it to none when it is `index`.
  void clear_current_io_window(int index);

  // Grows whenever a window is removed: a window found earlier under an index is still the
  // window of that index while the generation has not changed.
  std::uint64_t generation() const { return generation_.load(std::memory_order_acquire); }

 private:
  std::shared_ptr<ChildWindowRecord> create_locked(std::string_view title);

  mutable std::mutex mutex_;
  std::array<std::shared_ptr<ChildWindowRecord>, kWindowTableSize> slots_{};
  int default_window_ = 0;
  int current_io_window_ = 0;
  std::atomic<std::uint64_t> generation_{0};
};

}  // namespace console
