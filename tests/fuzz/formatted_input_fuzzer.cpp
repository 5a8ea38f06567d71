// Fuzz target: formatted input. The input chooses a format from a fixed set of the edit
// descriptors a READ accepts, the items it reads into, the unit's BLANK= and PAD=, and whether
// the READ advances; the rest of the input is the text of the file that the unit reads, any
// bytes (so records, line ends, control-Z and binary bytes alike).
//
// Layout: one byte, the number of descriptors (1 to 4, modulo 4); per descriptor two bytes,
// its index in kDescriptors (modulo its size) and the item variant (0 mod 8: any item kind,
// chosen by the upper bits); one byte of options (bit 0: the format is a group repeated
// twice, bits 1-2: extra items, bit 3: BLANK='ZERO', bit 4: PAD='NO', bit 5: non-advancing);
// then the file's text.
//
// A non-advancing READ that succeeds is followed by a second READ of the same record. Every
// statement carries the error, end and end-of-record branches, so every failure comes back as
// a number. Logical items read under L alone must hold 0 or all bits set afterwards.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "input_bytes.h"
#include "io_test_support.h"
#include "runtime/fio.h"

namespace {

using runtime::ItemType;
using runtime::Keyword;

enum class ItemKind : std::uint8_t {
  Integer1,
  Integer2,
  Integer4,
  Integer8,
  Logical4,
  Real4,
  Real8,
  Complex4,
  Complex8,
  Character1,
  Character16,
};
constexpr int kItemKinds = 11;

struct DescriptorChoice {
  const char* text;
  ItemKind item;  // the item it reads into, unless the input asks for another kind
  bool takes_item;
  bool is_l;
};

// Data descriptors with the items they suit, then descriptors that take no item.
constexpr std::array kDescriptors = {
    DescriptorChoice{"I5", ItemKind::Integer4, true, false},
    DescriptorChoice{"I1", ItemKind::Integer4, true, false},
    DescriptorChoice{"I6", ItemKind::Integer4, true, false},
    DescriptorChoice{"I12", ItemKind::Integer8, true, false},
    DescriptorChoice{"I4", ItemKind::Integer1, true, false},
    DescriptorChoice{"I7", ItemKind::Integer2, true, false},
    DescriptorChoice{"I", ItemKind::Integer4, true, false},
    DescriptorChoice{"F20.10", ItemKind::Real8, true, false},
    DescriptorChoice{"F8.3", ItemKind::Real4, true, false},
    DescriptorChoice{"F5.0", ItemKind::Real8, true, false},
    DescriptorChoice{"F", ItemKind::Real8, true, false},
    DescriptorChoice{"E12.4", ItemKind::Real8, true, false},
    DescriptorChoice{"E15.7E3", ItemKind::Real4, true, false},
    DescriptorChoice{"D25.16", ItemKind::Real8, true, false},
    DescriptorChoice{"G15.7", ItemKind::Real8, true, false},
    DescriptorChoice{"G10.3", ItemKind::Integer4, true, false},
    DescriptorChoice{"EN12.3", ItemKind::Real8, true, false},
    DescriptorChoice{"ES12.3", ItemKind::Real4, true, false},
    DescriptorChoice{"F10.2", ItemKind::Complex8, true, false},
    DescriptorChoice{"E9.2", ItemKind::Complex4, true, false},
    DescriptorChoice{"L2", ItemKind::Logical4, true, true},
    DescriptorChoice{"L7", ItemKind::Logical4, true, true},
    DescriptorChoice{"A", ItemKind::Character16, true, false},
    DescriptorChoice{"A1", ItemKind::Character1, true, false},
    DescriptorChoice{"A20", ItemKind::Character16, true, false},
    DescriptorChoice{"A3", ItemKind::Integer4, true, false},
    DescriptorChoice{"O6", ItemKind::Integer4, true, false},
    DescriptorChoice{"Z8", ItemKind::Integer8, true, false},
    DescriptorChoice{"B16", ItemKind::Integer2, true, false},
    DescriptorChoice{"Z", ItemKind::Real8, true, false},
    DescriptorChoice{"Q", ItemKind::Integer4, true, false},
    DescriptorChoice{"1X", ItemKind::Integer4, false, false},
    DescriptorChoice{"T5", ItemKind::Integer4, false, false},
    DescriptorChoice{"TL3", ItemKind::Integer4, false, false},
    DescriptorChoice{"TR2", ItemKind::Integer4, false, false},
    DescriptorChoice{"BN", ItemKind::Integer4, false, false},
    DescriptorChoice{"BZ", ItemKind::Integer4, false, false},
    DescriptorChoice{"2P", ItemKind::Integer4, false, false},
    DescriptorChoice{"-1P", ItemKind::Integer4, false, false},
    DescriptorChoice{"/", ItemKind::Integer4, false, false},
    DescriptorChoice{":", ItemKind::Integer4, false, false},
    DescriptorChoice{"'xy'", ItemKind::Integer4, false, false},
    DescriptorChoice{"3Habc", ItemKind::Integer4, false, false},
};

// Storage for one item of any kind.
struct ItemSlot {
  ItemKind kind = ItemKind::Integer4;
  alignas(16) unsigned char bytes[32] = {};

  runtime::IoItem io_item() {
    switch (kind) {
      case ItemKind::Integer1: return {ItemType::Integer, 1, bytes, 0};
      case ItemKind::Integer2: return {ItemType::Integer, 2, bytes, 0};
      case ItemKind::Integer4: return {ItemType::Integer, 4, bytes, 0};
      case ItemKind::Integer8: return {ItemType::Integer, 8, bytes, 0};
      case ItemKind::Logical4: return {ItemType::Logical, 4, bytes, 0};
      case ItemKind::Real4: return {ItemType::Real, 4, bytes, 0};
      case ItemKind::Real8: return {ItemType::Real, 8, bytes, 0};
      case ItemKind::Complex4: return {ItemType::Complex, 4, bytes, 0};
      case ItemKind::Complex8: return {ItemType::Complex, 8, bytes, 0};
      case ItemKind::Character1: return {ItemType::Character, 0, bytes, 1};
      case ItemKind::Character16: return {ItemType::Character, 0, bytes, 16};
    }
    return {ItemType::Integer, 4, bytes, 0};
  }
};

constexpr std::int32_t kUnit = 20;
constexpr runtime::StatementFlags kBranches =
    runtime::kErrorBranch | runtime::kEndBranch | runtime::kEndOfRecordBranch | runtime::kFormatInCharacterData;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static io_test::ScratchDirectory directory;
  static const std::string path = directory.file("records.txt");

  fuzz::InputBytes input(data, size);
  const int descriptor_count = input.byte() % 4 + 1;
  std::string format = "(";
  std::vector<ItemSlot> slots;
  bool only_l = true;
  for (int i = 0; i < descriptor_count; ++i) {
    const DescriptorChoice& choice = kDescriptors[input.byte() % kDescriptors.size()];
    // One time in eight the item is of any kind, so that mismatches are read too.
    const std::uint8_t variant = input.byte();
    if (i > 0) format += ',';
    format += choice.text;
    if (!choice.takes_item) continue;
    only_l = only_l && choice.is_l;
    ItemSlot slot;
    slot.kind = (variant & 7) == 0 ? static_cast<ItemKind>((variant >> 3) % kItemKinds) : choice.item;
    slots.push_back(slot);
  }
  format += ')';
  const std::uint8_t options = input.byte();
  if ((options & 1) != 0) format = "(2" + format + ")";
  // Extra items make the format revert to a new record.
  const int extra_items = (options >> 1) & 3;
  for (int i = 0; i < extra_items && !slots.empty(); ++i) slots.push_back(slots.front());
  const bool blank_zero = (options & 8) != 0;
  const bool pad = (options & 16) == 0;
  const bool advancing = (options & 32) == 0;
  io_test::write_file(path, input.rest());

  const int opened =
      runtime::open_unit(kUnit, runtime::kErrorBranch,
                         {runtime::keyword_text(Keyword::File, path), runtime::keyword_text(Keyword::Status, "OLD"),
                          runtime::keyword_text(Keyword::Blank, blank_zero ? "ZERO" : "NULL"),
                          runtime::keyword_text(Keyword::Pad, pad ? "YES" : "NO")});
  fuzz::fuzz_check(opened == 0, "the unit opens on the record file");

  std::vector<runtime::IoItem> items;
  for (ItemSlot& slot : slots) items.push_back(slot.io_item());
  const runtime::StatementFlags flags = kBranches | (advancing ? 0 : runtime::kAdvanceSpecifier);
  const std::string_view advance = advancing ? std::string_view() : std::string_view("NO");
  const std::string_view format_text(format);
  int status = runtime::read_formatted(kUnit, flags, items, format_text, advance);
  if (status == 0 && !advancing) status = runtime::read_formatted(kUnit, kBranches, items, format_text);

  if (status == 0 && only_l) {
    for (const ItemSlot& slot : slots) {
      if (slot.kind != ItemKind::Logical4) continue;
      std::int32_t value = 0;
      std::memcpy(&value, slot.bytes, sizeof value);
      fuzz::fuzz_check(value == 0 || value == -1, "a logical read under L is 0 or all bits set");
    }
  }
  fuzz::fuzz_check(runtime::close_unit(kUnit, runtime::kErrorBranch) == 0, "the unit closes");
  return 0;
}
