// Fuzz target: formatted output of any double or integer under any format text. The input
// chooses up to three items (doubles with any bit pattern, NaNs and subnormals included, and
// integers of 1, 2, 4 and 8 bytes), where the statement writes, and the width of the buffer;
// the rest of the input is the format text.
//
// Layout: one byte of options (bit 0: to the window unit, bits 1-2: items less one, at most
// three); per item one byte of kind (modulo 6: integers of 1, 2, 4, 8 bytes, reals of 4 and
// 8) and 8 bytes of value (little-endian); one byte, the buffer's width; then the format.
//
// The statement is an internal write into a buffer (one record), or a WRITE to a unit on a
// text window of the fake console (any number of records, with carriage control). The buffer
// lies in a larger block whose bytes around it must stay untouched.
//
// Each item is also written with all its digits (ES25.16E3 for a double, I21 for an integer)
// and read back with the input conversion: the value must come back exactly.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "input_bytes.h"
#include "io_test_support.h"
#include "runtime/conversion/conversion.h"
#include "runtime/fio.h"

namespace {

using runtime::ItemType;

struct ValueSlot {
  alignas(8) unsigned char bytes[8] = {};
  runtime::IoItem item{};
};

constexpr std::int32_t kWindowUnit = 30;
// A format's repeat counts can ask for millions of records: writing them takes seconds under
// the sanitizers, and is no fault. The window takes this many bytes of one statement and
// refuses more, which ends the statement with its write error instead.
constexpr std::size_t kWindowOutputLimit = 64 * 1024;
constexpr std::size_t kGuard = 16;
constexpr char kGuardByte = '\x5a';

void fill_slot(fuzz::InputBytes& input, ValueSlot& slot) {
  const int kind = input.byte() % 6;
  const std::string_view raw = input.bytes(8);
  std::memcpy(slot.bytes, raw.data(), raw.size());
  switch (kind) {
    case 0: slot.item = {ItemType::Integer, 1, slot.bytes, 0}; break;
    case 1: slot.item = {ItemType::Integer, 2, slot.bytes, 0}; break;
    case 2: slot.item = {ItemType::Integer, 4, slot.bytes, 0}; break;
    case 3: slot.item = {ItemType::Integer, 8, slot.bytes, 0}; break;
    case 4: slot.item = {ItemType::Real, 4, slot.bytes, 0}; break;
    default: slot.item = {ItemType::Real, 8, slot.bytes, 0}; break;
  }
}

std::int64_t integer_value(const ValueSlot& slot) {
  switch (slot.item.size) {
    case 1: return static_cast<std::int8_t>(slot.bytes[0]);
    case 2: {
      std::int16_t value;
      std::memcpy(&value, slot.bytes, sizeof value);
      return value;
    }
    case 4: {
      std::int32_t value;
      std::memcpy(&value, slot.bytes, sizeof value);
      return value;
    }
    default: {
      std::int64_t value;
      std::memcpy(&value, slot.bytes, sizeof value);
      return value;
    }
  }
}

// Writes the item with all its digits and reads the text back.
void check_round_trip(const ValueSlot& slot) {
  static const runtime::FixedFormat kAllDigitsReal("(ES25.16E3)");
  static const runtime::FixedFormat kAllDigitsInteger("(I21)");
  char text[25];
  if (slot.item.type == ItemType::Real && slot.item.size == 8) {
    double value;
    std::memcpy(&value, slot.bytes, sizeof value);
    if (!std::isfinite(value)) return;
    const int status = runtime::write_internal(text, runtime::kErrorBranch, {slot.item}, kAllDigitsReal);
    fuzz::fuzz_check(status == 0, "a finite double is written under ES25.16E3");
    double back = 0.0;
    const int read =
        runtime::text_to_real(std::string_view(text, sizeof text), runtime::BlankMode::Null, 0, 0, 8, back);
    fuzz::fuzz_check(read == runtime::kConverted, "ES25.16E3 output reads back");
    fuzz::fuzz_check(std::memcmp(&back, &value, sizeof value) == 0 || (value == 0.0 && back == 0.0),
                     "a double written with 17 significant digits reads back exactly");
  } else if (slot.item.type == ItemType::Integer) {
    const int status =
        runtime::write_internal(std::span<char>(text, 21), runtime::kErrorBranch, {slot.item}, kAllDigitsInteger);
    fuzz::fuzz_check(status == 0, "an integer is written under I21");
    std::int64_t back = 0;
    const int read = runtime::text_to_integer(std::string_view(text, 21), 10, 0, 8, back);
    fuzz::fuzz_check(read == runtime::kConverted, "I21 output reads back");
    fuzz::fuzz_check(back == integer_value(slot), "an integer written under I21 reads back exactly");
  }
}

// The fake console's windows, with the output limit.
class BoundedWindows final : public io_test::FakeWindows {
 public:
  long write_window(int index, std::string_view bytes) override {
    if (index >= 1024 && index < 1024 + static_cast<int>(windows.size()) &&
        window(index).output.size() + bytes.size() > kWindowOutputLimit) {
      refused = true;
      return -1;
    }
    return FakeWindows::write_window(index, bytes);
  }
  bool refused = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::InputBytes input(data, size);
  const std::uint8_t options = input.byte();
  const bool to_window = (options & 1) != 0;
  ValueSlot slots[3];
  const int count = std::min((options >> 1) & 3, 2) + 1;
  std::vector<runtime::IoItem> items;
  for (int i = 0; i < count; ++i) {
    fill_slot(input, slots[i]);
    items.push_back(slots[i].item);
  }
  for (int i = 0; i < count; ++i) check_round_trip(slots[i]);
  const std::size_t width = input.byte();
  const std::string_view format = input.rest();

  if (!to_window) {
    std::vector<char> block(width + 2 * kGuard, kGuardByte);
    const std::span<char> buffer(block.data() + kGuard, width);
    runtime::write_internal(buffer, runtime::kErrorBranch | runtime::kFormatInCharacterData, items, format);
    const bool guards_kept =
        std::all_of(block.begin(), block.begin() + kGuard, [](char c) { return c == kGuardByte; }) &&
        std::all_of(block.end() - kGuard, block.end(), [](char c) { return c == kGuardByte; });
    fuzz::fuzz_check(guards_kept, "an internal write stays inside its buffer");
    return 0;
  }

  BoundedWindows windows;
  const io_test::RegisteredWindows registered(windows);
  const int opened = runtime::open_unit(kWindowUnit, runtime::kErrorBranch,
                                        {runtime::keyword_text(runtime::Keyword::File, "user"),
                                         runtime::keyword_text(runtime::Keyword::Title, "Output")});
  fuzz::fuzz_check(opened == 0, "the window unit opens");
  runtime::write_formatted(kWindowUnit, runtime::kErrorBranch | runtime::kFormatInCharacterData, items, format);
  // A record left pending by a refused write meets the refusal again at the close.
  const int closed = runtime::close_unit(kWindowUnit, runtime::kErrorBranch);
  fuzz::fuzz_check(closed == 0 || windows.refused, "the window unit closes");
  return 0;
}
