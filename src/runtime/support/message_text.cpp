// Fixed-buffer text building and the catalogue insert interpreter.

#include "runtime/support/message_text.h"

#include <algorithm>
#include <cstring>

namespace runtime {

void TextBuffer::append(std::string_view text) {
  const std::size_t room = capacity_ - length_;
  const std::size_t count = std::min(room, text.size());
  if (count > 0) std::memcpy(storage_ + length_, text.data(), count);
  length_ += count;
  if (count < text.size()) truncated_ = true;
}

void TextBuffer::append_char(char c) { append(std::string_view(&c, 1)); }

void TextBuffer::append_repeated(char c, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    if (length_ == capacity_) {
      truncated_ = true;
      return;
    }
    storage_[length_++] = c;
  }
}

void TextBuffer::append_field(std::string_view text, std::size_t width, std::size_t precision, bool left_align) {
  const std::string_view shown = text.substr(0, std::min(text.size(), precision));
  const std::size_t padding = width > shown.size() ? width - shown.size() : 0;
  if (!left_align) append_repeated(' ', padding);
  append(shown);
  if (left_align) append_repeated(' ', padding);
}

void TextBuffer::append_decimal(std::int64_t value) {
  char digits[24];
  std::size_t count = 0;
  // Work on the unsigned magnitude so that the most negative value is printed correctly.
  std::uint64_t magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  do {
    digits[count++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) append_char('-');
  while (count > 0) append_char(digits[--count]);
}

void TextBuffer::append_hex(std::uint64_t value, std::size_t min_digits, bool upper_case) {
  const char* alphabet = upper_case ? "0123456789ABCDEF" : "0123456789abcdef";
  char digits[16];
  std::size_t count = 0;
  do {
    digits[count++] = alphabet[value & 0xF];
    value >>= 4;
  } while (value != 0);
  if (min_digits > count) append_repeated('0', min_digits - count);
  while (count > 0) append_char(digits[--count]);
}

namespace {

constexpr std::string_view kUnitTail = "unit %d, file %s";

// Directive interpreter over the catalogue text; numbers are taken in order.
class InsertFiller {
 public:
  InsertFiller(const ErrorInserts& inserts, TextBuffer& out) : inserts_(inserts), out_(out) {}

  void fill(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
      if (text[i] != '%') {
        out_.append_char(text[i++]);
        continue;
      }
      const std::string_view rest = text.substr(i);
      if (starts(rest, "%%")) {
        out_.append_char('%');
        i += 2;
      } else if (starts(rest, "%d") || starts(rest, "%i")) {
        out_.append_decimal(next_number());
        i += 2;
      } else if (starts(rest, "%ld")) {
        out_.append_decimal(next_number());
        i += 3;
      } else if (starts(rest, "%lx")) {
        out_.append_hex(static_cast<std::uint64_t>(next_number()), 1, false);
        i += 3;
      } else if (starts(rest, "%s")) {
        out_.append(inserts_.text);
        i += 2;
      } else if (starts(rest, "%.*s")) {
        const std::int64_t precision = next_number();
        // A negative precision means "no limit", as in C.
        const std::size_t limit = precision < 0 ? inserts_.text.size() : static_cast<std::size_t>(precision);
        out_.append(inserts_.text.substr(0, std::min(limit, inserts_.text.size())));
        i += 4;
      } else if (starts(rest, "%c")) {
        const std::int64_t value = next_number();
        if (value != 0) out_.append_char(static_cast<char>(value));
        i += 2;
      } else {
        out_.append_char('%');
        i += 1;
      }
    }
  }

 private:
  static bool starts(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }
  // Directives beyond the supplied numbers read as 0.
  std::int64_t next_number() {
    constexpr std::size_t kCount = sizeof(inserts_.numbers) / sizeof(inserts_.numbers[0]);
    return next_ < kCount ? inserts_.numbers[next_++] : 0;
  }

  const ErrorInserts& inserts_;
  TextBuffer& out_;
  std::size_t next_ = 0;
};

}  // namespace

void fill_catalogue_text(std::string_view catalogue_text, const ErrorInserts& inserts, TextBuffer& out) {
  InsertFiller filler(inserts, out);
  const bool unit_tail = inserts.has_unit && catalogue_text.size() >= kUnitTail.size() &&
                         catalogue_text.substr(catalogue_text.size() - kUnitTail.size()) == kUnitTail;
  if (!unit_tail) {
    filler.fill(catalogue_text);
    return;
  }
  filler.fill(catalogue_text.substr(0, catalogue_text.size() - kUnitTail.size()));
  out.append("unit ");
  out.append_decimal(inserts.unit);
  out.append(", file ");
  out.append(inserts.file_name.empty() ? std::string_view("unknown") : inserts.file_name);
}

void compose_runtime_message(int number, const ErrorInserts& inserts, TextBuffer& out) {
  out.append(severity_prefix(catalogue_severity(number)));
  out.append(" (");
  out.append_decimal(number);
  out.append("): ");
  fill_catalogue_text(catalogue_text(number), inserts, out);
}

}  // namespace runtime
