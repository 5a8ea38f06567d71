// Compiles a format text into the entries of a CompiledFormat.
//
// The text is scanned once, left to right. Blanks outside literals are ignored everywhere
// (also between the digits of a number); letters are taken in either case. A number written
// before a letter, `(` or `/` waits in pending_ until the token that gives it its meaning.
// A descriptor written with letters stays open until a separator (`,`, `/`, `:`, `$`, `\`, a
// literal or `)`) closes it; only after kP may a real descriptor (or its repeat count, or a
// group) follow without one, as in 1PE12.4. Text after the `)` that closes the format is
// ignored.

#include "runtime/format/format_compiler.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace runtime {

using format_layout::Entry;
using format_layout::EntryKind;
using format_layout::GroupSummary;
using format_layout::kEntrySize;
using format_layout::kSummarySize;

namespace {

constexpr int kSyntaxError = 62;
constexpr int kNoMemory = 41;

bool is_digit(char c) { return c >= '0' && c <= '9'; }

char to_upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::size_t round_up(std::size_t value, std::size_t step) { return (value + step - 1) / step * step; }

// Bit n set: the descriptor accepts n numbers after its letter (w, w.d, w.dEe).
unsigned accepted_number_counts(DescriptorKind kind) {
  switch (kind) {
    case DescriptorKind::I:
    case DescriptorKind::O:
    case DescriptorKind::Z:
    case DescriptorKind::B: return 0b0111;  // -, w, w.m
    case DescriptorKind::F:
    case DescriptorKind::D: return 0b0101;  // -, w.d
    case DescriptorKind::E:
    case DescriptorKind::G:
    case DescriptorKind::EN:
    case DescriptorKind::ES: return 0b1101;  // -, w.d, w.dEe
    case DescriptorKind::L:
    case DescriptorKind::A: return 0b0011;  // -, w
    default: return 0b0001;                 // Q takes no numbers
  }
}

bool takes_minimum_digits(DescriptorKind kind) {
  return kind == DescriptorKind::I || kind == DescriptorKind::O || kind == DescriptorKind::Z ||
         kind == DescriptorKind::B;
}

}  // namespace

int compile_format(std::string_view text, CompiledFormat& out, std::size_t& syntax_error_offset) {
  return compile_format_within(text, out, syntax_error_offset, kCompiledFormatMaxBytes);
}

int compile_format_within(std::string_view text, CompiledFormat& out, std::size_t& syntax_error_offset,
                          std::size_t byte_limit) {
  FormatCompiler compiler(text, out, std::min(byte_limit, kCompiledFormatMaxBytes));
  int status = compiler.run();
  if (status == kSyntaxError) syntax_error_offset = compiler.error_offset();
  return status;
}

int FormatCompiler::run() {
  out_.entries_.clear();
  int status = [this] {
    if (!grow_to(std::min(kCompiledFormatStep, byte_limit_))) return kNoMemory;
    skip_blanks();
    if (at_end()) return syntax_error(0);
    if (text_[pos_] != '(') return syntax_error(pos_);
    ++pos_;

    Entry begin;
    begin.kind = EntryKind::Begin;
    std::uint32_t begin_offset = 0;
    if (!append(begin, nullptr, 0, begin_offset)) return kNoMemory;
    depth_ = 1;
    groups_[0] = OpenGroup{begin_offset, GroupSummary{}};
    reversion_point_ = static_cast<std::uint32_t>(begin_offset + kEntrySize);

    for (;;) {
      skip_blanks();
      if (at_end()) return syntax_error_at_end();
      const std::size_t here = pos_;
      const char c = peek_upper();
      int token_status = 0;
      if (is_digit(c)) {
        if (need_separator_ && !after_scale_) return syntax_error(here);
        pending_ = PendingNumber{true, false, 0, here};
        if (!read_number(pending_.value)) return syntax_error(here);
        continue;
      }
      switch (c) {
        case '+':
        case '-': {
          if (pending_.present || need_separator_) return syntax_error(here);
          ++pos_;
          skip_blanks();
          if (at_end()) return syntax_error_at_end();
          if (!is_digit(text_[pos_])) return syntax_error(pos_);
          std::int32_t magnitude = 0;
          if (!read_number(magnitude)) return syntax_error(here);
          pending_ = PendingNumber{true, true, c == '-' ? -magnitude : magnitude, here};
          continue;
        }
        case '(': token_status = open_group(); break;
        case ')': {
          bool finished = false;
          token_status = close_group(finished);
          if (token_status == 0 && finished) {
            Entry patched = format_layout::read_entry(out_.entries_.data(), begin_offset);
            patched.link = reversion_point_;
            std::memcpy(out_.entries_.data() + begin_offset, &patched, kEntrySize);
            return 0;  // anything after the closing parenthesis is ignored
          }
          break;
        }
        case ',':
          // A number followed by a comma belongs to no descriptor.
          if (pending_.present) return syntax_error(here);
          ++pos_;
          need_separator_ = false;
          after_scale_ = false;
          continue;
        case '/': {
          if (pending_.present && (pending_.is_signed || pending_.value == 0)) return syntax_error(here);
          const std::int32_t repeat = pending_.present ? pending_.value : 1;
          ++pos_;
          token_status = simple_entry(EntryKind::Slash, repeat);
          need_separator_ = false;
          break;
        }
        case ':':
        case '$':
        case '\\':
          if (pending_.present) return syntax_error(here);
          ++pos_;
          token_status = simple_entry(c == ':' ? EntryKind::Colon : EntryKind::NoAdvance);
          need_separator_ = false;
          break;
        case '\'':
        case '"':
          if (pending_.present) return syntax_error(here);
          token_status = quoted_literal();
          break;
        default:
          if (c >= 'A' && c <= 'Z') {
            token_status = letter_descriptor();
          } else {
            return syntax_error(here);
          }
      }
      if (token_status != 0) return token_status;
    }
  }();
  if (status != 0) out_.entries_.clear();
  return status;
}

// ---- Scanning --------------------------------------------------------------------------------

void FormatCompiler::skip_blanks() {
  while (pos_ < text_.size() && text_[pos_] == ' ') ++pos_;
}

char FormatCompiler::peek_upper() const { return at_end() ? '\0' : to_upper(text_[pos_]); }

// Reads a number whose digits may be separated by blanks. Returns false when it does not fit
// 32 bits; the digits are consumed either way.
bool FormatCompiler::read_number(std::int32_t& value) {
  std::int64_t number = 0;
  bool fits = true;
  while (!at_end()) {
    if (is_digit(text_[pos_])) {
      number = number * 10 + (text_[pos_] - '0');
      if (number > INT32_MAX) {
        fits = false;
        number = INT32_MAX;  // keep scanning the digits without overflowing
      }
      ++pos_;
    } else if (text_[pos_] == ' ') {
      skip_blanks();
    } else {
      break;
    }
  }
  value = static_cast<std::int32_t>(number);
  return fits;
}

int FormatCompiler::syntax_error(std::size_t offset) {
  error_offset_ = offset;
  return kSyntaxError;
}

// The text ended inside the format: point at its last non-blank character.
int FormatCompiler::syntax_error_at_end() {
  std::size_t last = text_.find_last_not_of(' ');
  return syntax_error(last == std::string_view::npos ? 0 : last);
}

// ---- Building --------------------------------------------------------------------------------

// Makes room for `needed` bytes. The buffer starts at 512 bytes and grows in multiples of 512:
// by 512 while it is small, and by half its size once that is more, so that a very long
// format costs linear rather than quadratic copying.
bool FormatCompiler::grow_to(std::size_t needed) {
  auto& buffer = out_.entries_;
  if (needed > byte_limit_) return false;
  if (needed <= buffer.capacity()) return true;
  const std::size_t capacity = buffer.capacity();
  const std::size_t step = std::max(kCompiledFormatStep, round_up(capacity / 2, kCompiledFormatStep));
  std::size_t target = std::max(round_up(needed, kCompiledFormatStep), capacity + step);
  target = std::max(needed, std::min(target, byte_limit_));
  try {
    buffer.reserve(target);
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

bool FormatCompiler::append(const Entry& entry, const void* payload, std::size_t payload_size, std::uint32_t& offset) {
  auto& buffer = out_.entries_;
  const std::size_t old_size = buffer.size();
  const std::size_t needed = old_size + kEntrySize + payload_size;
  if (!grow_to(needed)) {
    status_ = kNoMemory;
    return false;
  }
  buffer.resize(needed);  // within the capacity reserved above: cannot throw
  std::memcpy(buffer.data() + old_size, &entry, kEntrySize);
  if (payload != nullptr && payload_size > 0) {
    std::memcpy(buffer.data() + old_size + kEntrySize, payload, payload_size);
  }
  offset = static_cast<std::uint32_t>(old_size);
  note_entry(entry);
  return true;
}

// Records in the innermost open group what the new entry does, so that a group that only
// moves the position or changes modes can later be applied in one step.
void FormatCompiler::note_entry(const Entry& entry) {
  using format_layout::PositionMap;
  GroupSummary& summary = groups_[std::max(depth_ - 1, 0)].summary;
  switch (entry.kind) {
    case EntryKind::Data:
    case EntryKind::Literal:
    case EntryKind::Slash:
    case EntryKind::NoAdvance: summary.silent = 0; break;
    case EntryKind::Colon: summary.has_colon = 1; break;
    case EntryKind::BlankNull: summary.blank = 1 + static_cast<std::uint8_t>(BlankMode::Null); break;
    case EntryKind::BlankZero: summary.blank = 1 + static_cast<std::uint8_t>(BlankMode::Zero); break;
    case EntryKind::SignProcessor: summary.sign = 1 + static_cast<std::uint8_t>(SignMode::Processor); break;
    case EntryKind::SignPlus: summary.sign = 1 + static_cast<std::uint8_t>(SignMode::Plus); break;
    case EntryKind::SignSuppress: summary.sign = 1 + static_cast<std::uint8_t>(SignMode::Suppress); break;
    case EntryKind::Scale:
      summary.scale_set = 1;
      summary.scale = entry.w;
      break;
    case EntryKind::MoveRight: summary.movement = then(summary.movement, format_layout::move_right(entry.w)); break;
    case EntryKind::TabTo: summary.movement = then(summary.movement, format_layout::tab_to(entry.w)); break;
    case EntryKind::TabLeft: summary.movement = then(summary.movement, format_layout::tab_left(entry.w)); break;
    case EntryKind::Begin:
    case EntryKind::End:
    case EntryKind::GroupStart:
    case EntryKind::GroupEnd: break;  // groups are folded into their parent when they close
  }
}

int FormatCompiler::simple_entry(EntryKind kind, std::int32_t value) {
  Entry entry;
  entry.kind = kind;
  if (kind == EntryKind::Slash) {
    entry.repeat = value;
  } else {
    entry.w = value;
  }
  std::uint32_t offset = 0;
  pending_ = PendingNumber{};
  after_scale_ = false;
  return append(entry, nullptr, 0, offset) ? 0 : kNoMemory;
}

// ---- Groups ----------------------------------------------------------------------------------

int FormatCompiler::open_group() {
  const std::size_t here = pos_;
  if (need_separator_ && !after_scale_) return syntax_error(here);
  if (pending_.present && pending_.is_signed) return syntax_error(here);
  if (depth_ >= kMaxDepth) return syntax_error(here);
  ++pos_;
  Entry start;
  start.kind = EntryKind::GroupStart;
  start.repeat = pending_.present ? std::max(pending_.value, 1) : 1;  // 0 also means once
  const GroupSummary placeholder{};
  std::uint32_t offset = 0;
  if (!append(start, &placeholder, kSummarySize, offset)) return kNoMemory;
  if (depth_ == 1) reversion_point_ = offset;  // reversion goes to the last group at the outer level
  GroupSummary fresh{};
  fresh.silent = 1;
  groups_[depth_] = OpenGroup{offset, fresh};
  ++depth_;
  pending_ = PendingNumber{};
  need_separator_ = false;
  after_scale_ = false;
  return 0;
}

int FormatCompiler::close_group(bool& finished) {
  if (pending_.present) return syntax_error(pos_);
  ++pos_;
  need_separator_ = false;
  after_scale_ = false;
  finished = false;
  std::uint32_t end_offset = 0;
  if (depth_ == 1) {
    Entry end;
    end.kind = EntryKind::End;
    if (!append(end, nullptr, 0, end_offset)) return kNoMemory;
    depth_ = 0;
    finished = true;
    return 0;
  }

  OpenGroup group = groups_[depth_ - 1];
  Entry end;
  end.kind = EntryKind::GroupEnd;
  end.link = group.start;
  if (!append(end, nullptr, 0, end_offset)) return kNoMemory;

  unsigned char* buffer = out_.entries_.data();
  Entry start = format_layout::read_entry(buffer, group.start);
  start.link = end_offset;
  // The movement so far is that of one pass; the group stores that of all its passes.
  group.summary.movement = repeated(group.summary.movement, start.repeat);
  std::memcpy(buffer + group.start, &start, kEntrySize);
  std::memcpy(buffer + group.start + kEntrySize, &group.summary, kSummarySize);

  --depth_;
  GroupSummary& parent = groups_[depth_ - 1].summary;
  if (group.summary.silent) {
    parent.movement = then(parent.movement, group.summary.movement);
    if (group.summary.blank) parent.blank = group.summary.blank;
    if (group.summary.sign) parent.sign = group.summary.sign;
    if (group.summary.scale_set) {
      parent.scale_set = 1;
      parent.scale = group.summary.scale;
    }
  } else {
    parent.silent = 0;
  }
  if (group.summary.has_colon) parent.has_colon = 1;
  return 0;
}

// ---- Descriptors written with letters --------------------------------------------------------

int FormatCompiler::letter_descriptor() {
  const std::size_t letter_at = pos_;
  const char c = peek_upper();
  if (need_separator_) {
    const bool real_after_scale = after_scale_ && (c == 'F' || c == 'E' || c == 'D' || c == 'G');
    if (!real_after_scale) return syntax_error(letter_at);
  }
  if (pending_.present && pending_.is_signed && c != 'P') return syntax_error(letter_at);
  ++pos_;

  // The second letter of a two-letter name may follow after blanks.
  const auto second_letter = [this](char wanted) {
    skip_blanks();
    if (peek_upper() != wanted) return false;
    ++pos_;
    return true;
  };
  // Descriptors that take neither a number before nor after them.
  const auto mode = [this, letter_at](EntryKind kind) {
    if (pending_.present) return syntax_error(letter_at);
    int status = simple_entry(kind);
    need_separator_ = true;
    return status;
  };

  switch (c) {
    case 'I': return data_descriptor(DescriptorKind::I, letter_at);
    case 'F': return data_descriptor(DescriptorKind::F, letter_at);
    case 'D': return data_descriptor(DescriptorKind::D, letter_at);
    case 'G': return data_descriptor(DescriptorKind::G, letter_at);
    case 'L': return data_descriptor(DescriptorKind::L, letter_at);
    case 'A': return data_descriptor(DescriptorKind::A, letter_at);
    case 'O': return data_descriptor(DescriptorKind::O, letter_at);
    case 'Z': return data_descriptor(DescriptorKind::Z, letter_at);
    case 'Q': return data_descriptor(DescriptorKind::Q, letter_at);
    case 'E':
      if (second_letter('N')) return data_descriptor(DescriptorKind::EN, letter_at);
      if (second_letter('S')) return data_descriptor(DescriptorKind::ES, letter_at);
      return data_descriptor(DescriptorKind::E, letter_at);
    case 'B':
      if (second_letter('N')) return mode(EntryKind::BlankNull);
      if (second_letter('Z')) return mode(EntryKind::BlankZero);
      return data_descriptor(DescriptorKind::B, letter_at);
    case 'S':
      if (second_letter('P')) return mode(EntryKind::SignPlus);
      if (second_letter('S')) return mode(EntryKind::SignSuppress);
      return mode(EntryKind::SignProcessor);
    case 'T':
      if (second_letter('L')) return position_descriptor(EntryKind::TabLeft, letter_at);
      if (second_letter('R')) return position_descriptor(EntryKind::MoveRight, letter_at);
      return position_descriptor(EntryKind::TabTo, letter_at);
    case 'X': {
      if (pending_.present && pending_.is_signed) return syntax_error(letter_at);
      const std::int32_t distance = pending_.present ? pending_.value : 1;
      int status = simple_entry(EntryKind::MoveRight, distance);
      need_separator_ = true;
      return status;
    }
    case 'P': {
      if (!pending_.present) return syntax_error(letter_at);  // the scale factor is required
      const std::int32_t scale = pending_.value;
      int status = simple_entry(EntryKind::Scale, scale);
      need_separator_ = true;
      after_scale_ = true;
      return status;
    }
    case 'H': return hollerith_literal(letter_at);
    default: return syntax_error(letter_at);
  }
}

int FormatCompiler::data_descriptor(DescriptorKind kind, std::size_t letter_at) {
  std::int32_t repeat = 1;
  if (pending_.present) {
    if (pending_.value == 0) return syntax_error(letter_at);  // a data descriptor used no times
    repeat = pending_.value;
  }

  std::int32_t numbers[3] = {0, 0, 0};
  int count = 0;
  skip_blanks();
  if (!at_end() && is_digit(text_[pos_])) {
    const std::size_t w_at = pos_;
    if (!read_number(numbers[0])) return syntax_error(w_at);
    count = 1;
    skip_blanks();
    if (peek_upper() == '.') {
      ++pos_;
      skip_blanks();
      if (at_end()) return syntax_error_at_end();
      if (!is_digit(text_[pos_])) return syntax_error(pos_);
      const std::size_t d_at = pos_;
      if (!read_number(numbers[1])) return syntax_error(d_at);
      count = 2;
      skip_blanks();
      if (peek_upper() == 'E') {
        // An E after w.d starts the exponent width only when digits follow it; otherwise it
        // is the next descriptor (which then lacks its separator).
        const std::size_t e_letter_at = pos_;
        ++pos_;
        skip_blanks();
        if (!at_end() && is_digit(text_[pos_])) {
          const std::size_t e_at = pos_;
          if (!read_number(numbers[2])) return syntax_error(e_at);
          count = 3;
        } else {
          pos_ = e_letter_at;
        }
      }
    }
  }
  if ((accepted_number_counts(kind) & (1u << count)) == 0) return syntax_error(letter_at);

  Entry entry;
  entry.kind = EntryKind::Data;
  entry.data_kind = kind;
  entry.repeat = repeat;
  entry.given =
      static_cast<std::uint8_t>((count >= 1 ? format_layout::kGivenW : 0) | (count >= 2 ? format_layout::kGivenD : 0) |
                                (count >= 3 ? format_layout::kGivenE : 0));
  entry.w = numbers[0];
  entry.d = numbers[1];
  entry.e = numbers[2];
  if (takes_minimum_digits(kind) && count < 2) entry.d = 1;  // m defaults to 1

  std::uint32_t offset = 0;
  pending_ = PendingNumber{};
  after_scale_ = false;
  need_separator_ = true;
  return append(entry, nullptr, 0, offset) ? 0 : kNoMemory;
}

// Tn, TLn and TRn: n is required; column 0 does not exist.
int FormatCompiler::position_descriptor(EntryKind kind, std::size_t letter_at) {
  if (pending_.present) return syntax_error(letter_at);
  skip_blanks();
  if (at_end() || !is_digit(text_[pos_])) return syntax_error(letter_at);
  const std::size_t n_at = pos_;
  std::int32_t n = 0;
  if (!read_number(n)) return syntax_error(n_at);
  if (kind == EntryKind::TabTo && n == 0) return syntax_error(letter_at);
  int status = simple_entry(kind, n);
  need_separator_ = true;
  return status;
}

// ---- Literals --------------------------------------------------------------------------------

// 'text' or "text"; the delimiter written twice stands for one.
int FormatCompiler::quoted_literal() {
  const std::size_t open_at = pos_;
  const char delimiter = text_[pos_];
  const std::size_t first = pos_ + 1;

  std::size_t length = 0;
  std::size_t i = first;
  for (;;) {
    if (i >= text_.size()) return syntax_error(open_at);  // no closing delimiter
    if (text_[i] == delimiter) {
      if (i + 1 < text_.size() && text_[i + 1] == delimiter) {
        ++length;
        i += 2;
        continue;
      }
      break;
    }
    ++length;
    ++i;
  }
  if (length > static_cast<std::size_t>(INT32_MAX)) return syntax_error(open_at);
  const std::size_t closing = i;

  Entry entry;
  entry.kind = EntryKind::Literal;
  entry.w = static_cast<std::int32_t>(length);
  std::uint32_t offset = 0;
  if (!append(entry, nullptr, length, offset)) return kNoMemory;
  unsigned char* target = out_.entries_.data() + offset + kEntrySize;
  for (std::size_t j = first; j < closing; ++j) {
    *target++ = static_cast<unsigned char>(text_[j]);
    if (text_[j] == delimiter) ++j;  // the second of a doubled delimiter
  }
  pos_ = closing + 1;
  pending_ = PendingNumber{};
  need_separator_ = false;
  after_scale_ = false;
  return 0;
}

// nHtext: exactly the n characters after H, blanks and case kept.
int FormatCompiler::hollerith_literal(std::size_t letter_at) {
  if (!pending_.present || pending_.is_signed || pending_.value < 1) return syntax_error(letter_at);
  const auto length = static_cast<std::size_t>(pending_.value);
  if (text_.size() - pos_ < length) return syntax_error(letter_at);

  Entry entry;
  entry.kind = EntryKind::Literal;
  entry.w = pending_.value;
  std::uint32_t offset = 0;
  if (!append(entry, text_.data() + pos_, length, offset)) return kNoMemory;
  pos_ += length;
  pending_ = PendingNumber{};
  need_separator_ = false;
  after_scale_ = false;
  return 0;
}

}  // namespace runtime
