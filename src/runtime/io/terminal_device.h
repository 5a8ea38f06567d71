#pragma once
// Output devices as carriage control sees them. A terminal device (the console's output, the
// console's error output, or one text window) is shared by every unit connected to it: it
// holds the line end that first-character carriage control keeps back after each record,
// and the one mark naming the unit whose non-advancing record is pending on it. Reading from
// the console input counts as reading from the console's output device, so a pending prompt
// on standard output is written before the program waits for standard input.
//
// Files, printers and the null device are private devices: each unit has its own, written
// through the unit's channel.

#include <atomic>
#include <cstdint>
#include <string_view>

namespace runtime {

class ByteChannel;

inline constexpr std::int64_t kNoPendingUnit = INT64_MIN;

class TerminalDevice {
 public:
  enum class Target : unsigned char { Descriptor, Window, UnitChannel };

  TerminalDevice(Target target, int id, std::string_view line_end) : target_(target), id_(id), line_end_(line_end) {}

  bool shared() const { return target_ != Target::UnitChannel; }
  bool is_window() const { return target_ == Target::Window; }
  int window() const { return id_; }
  std::string_view line_end() const { return line_end_; }
  // Private devices of files take the line end of the file's record type.
  void set_line_end(std::string_view line_end) { line_end_ = line_end; }

  // The line end kept back after a record written with first-character carriage control.
  void owe_line_end() { line_end_owed_.store(true); }
  // The plain load first keeps the locked exchange off the path of devices that owe nothing
  // (every list-controlled file record).
  bool take_owed_line_end() { return line_end_owed_.load(std::memory_order_relaxed) && line_end_owed_.exchange(false); }
  bool line_end_owed() const { return line_end_owed_.load(); }

  // Writes `bytes` to the device; `own` is the writing unit's channel (used by private
  // devices). Returns 0 or an errno value.
  [[nodiscard]] int write(std::string_view bytes, ByteChannel* own) const;
  // Writes the owed line end, if any. Returns 0 or an errno value.
  [[nodiscard]] int write_owed_line_end(ByteChannel* own);

  // The unit whose non-advancing record is pending here, or kNoPendingUnit.
  std::int64_t pending_record_unit() const { return pending_record_unit_.load(); }
  void mark_pending_record(std::int32_t unit) { pending_record_unit_.store(unit); }
  void clear_pending_record(std::int32_t unit) {
    std::int64_t expected = unit;
    if (pending_record_unit_.load(std::memory_order_relaxed) != expected) return;
    pending_record_unit_.compare_exchange_strong(expected, kNoPendingUnit);
  }

  // Forgets everything (a window unit closed; its window index may be reused).
  void reset() {
    line_end_owed_.store(false);
    pending_record_unit_.store(kNoPendingUnit);
  }

 private:
  Target target_;
  int id_;
  std::string_view line_end_;
  std::atomic<bool> line_end_owed_{false};
  std::atomic<std::int64_t> pending_record_unit_{kNoPendingUnit};
};

// The shared devices. They live as long as the process.
TerminalDevice& console_output_device();
TerminalDevice& console_error_device();
TerminalDevice& window_device(int window);
// The window's device if one was ever made, else null.
TerminalDevice* find_window_device(int window);

}  // namespace runtime
