#include "numerics/message_template.h"

#include <algorithm>

namespace numerics {

void InsertionValues::set_integer(int slot, std::int64_t value) {
  if (slot < 1 || slot > kInsertionSlots) return;
  integers[static_cast<std::size_t>(slot - 1)] = value;
}

void InsertionValues::set_text(int slot, std::string_view text) {
  // A negative slot names the same text slot as its absolute value; the comparison is done
  // on the negated value so that the most negative integer cannot overflow.
  if (slot == 0 || slot > kInsertionSlots || slot < -kInsertionSlots) return;
  const int index = (slot < 0 ? -slot : slot) - 1;
  texts[static_cast<std::size_t>(index)] = std::string(text.substr(0, kMaxInsertionTextLength));
}

void InsertionValues::clear() {
  integers.fill(0);
  for (auto& text : texts) text.clear();
}

namespace {

constexpr std::string_view kInsertionKinds = "ACDIKLRSZ";

// Every insertion group is five characters long: "%(", kind, slot digit, ")".
constexpr std::size_t kGroupLength = 5;

bool is_insertion_group(std::string_view text, std::size_t at) {
  if (text.size() - at < kGroupLength) return false;
  if (text[at] != '%' || text[at + 1] != '(' || text[at + 4] != ')') return false;
  if (kInsertionKinds.find(text[at + 2]) == std::string_view::npos) return false;
  return text[at + 3] >= '1' && text[at + 3] <= '9';
}

std::string insertion_text(char kind, int slot, const InsertionValues& values) {
  const auto index = static_cast<std::size_t>(slot - 1);
  if (kind == 'I') return std::to_string(values.integers[index]);
  if (kind == 'L') return values.texts[index];
  return {};
}

}  // namespace

std::string expand_message_template(std::string_view message_template, const InsertionValues& values) {
  std::string out;
  out.reserve(std::min(message_template.size(), kMaxMessageLength));
  std::size_t at = 0;
  while (at < message_template.size() && out.size() < kMaxMessageLength) {
    if (is_insertion_group(message_template, at)) {
      const std::string text = insertion_text(message_template[at + 2], message_template[at + 3] - '0', values);
      out.append(text, 0, std::min(text.size(), kMaxMessageLength - out.size()));
      at += kGroupLength;
    } else {
      out.push_back(message_template[at]);
      ++at;
    }
  }
  return out;
}

}  // namespace numerics
