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

#include <algorithm>
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
#include "runtime/fio.h"

namespace {

using runtime::ItemType;

struct ValueSlot {
  alignas(8) unsigned char bytes[8] = {};
  runtime::IoItem item{};
};

constexpr std::int32_t kWindowUnit = 30;
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

  io_test::FakeWindows windows;
  const io_test::RegisteredWindows registered(windows);
  const int opened = runtime::open_unit(kWindowUnit, runtime::kErrorBranch,
                                        {runtime::keyword_text(runtime::Keyword::File, "user"),
                                         runtime::keyword_text(runtime::Keyword::Title, "Output")});
  fuzz::fuzz_check(opened == 0, "the window unit opens");
  runtime::write_formatted(kWindowUnit, runtime::kErrorBranch | runtime::kFormatInCharacterData, items, format);
  fuzz::fuzz_check(runtime::close_unit(kWindowUnit, runtime::kErrorBranch) == 0, "the window unit closes");
  return 0;
}
