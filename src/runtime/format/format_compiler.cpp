// Compiles a format text into the entries of a CompiledFormat.
//
// The format text it accepts (EBNF; letters in either case; blanks outside literals are
// ignored everywhere, also between the digits of a number; `n`, `w`, `d`, `m`, `e` are
// unsigned numbers):
//
//   format         = "(" item-list ")" { any character } ;        text after ")" is ignored
//   item-list      = { item | separator } ;
//   item           = [ n ] data-descriptor                         n > 0: a repeat count
//                  | [ n ] "(" item-list ")"                       a group, at most 8 levels deep
//                  | [ n ] "X"                                     move right n columns (default 1)
//                  | [ sign ] n "P"                                scale factor
//                  | position-descriptor | mode-descriptor
//                  | n "H" { any character }                       exactly n characters
//                  | quoted-literal ;
//   separator      = "," | [ n ] "/" | ":" | "$" | "\" ;          n > 0 slashes (default 1)
//   data-descriptor = ( "I" | "O" | "Z" | "B" ) [ w [ "." m ] ]
//                  | ( "F" | "D" ) [ w "." d ]
//                  | ( "E" | "EN" | "ES" | "G" ) [ w "." d [ "E" e ] ]
//                  | ( "L" | "A" ) [ w ]
//                  | "Q" ;
//   position-descriptor = ( "T" | "TL" | "TR" ) n ;               T0 does not exist
//   mode-descriptor = "BN" | "BZ" | "S" | "SP" | "SS" ;
//   quoted-literal = "'" { character | "''" } "'" | '"' { character | '""' } '"' ;
//
// The text is scanned once, left to right, one member function per production. A number
// written before a letter, `(` or `/` waits in pending_ until the token that gives it its
// meaning. A descriptor written with letters stays open until a separator (`,`, `/`, `:`,
// `$`, `\`, a literal or `)`) closes it; only after kP may a real descriptor (or its repeat
// count, or a group) follow without one, as in 1PE12.4.

#include "runtime/format/format_compiler.h"
#include "runtime/support/error_numbers.h"

#include <algorithm>
#include <cstring>

#include "runtime/support/error_numbers.h"

namespace runtime {

using format_layout::Entry;
using format_layout::EntryKind;
using format_layout::GroupSummary;
using format_layout::kEntrySize;
using format_layout::kSummarySize;

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

char to_upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

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
  if (status == kSyntaxErrorInFormat) syntax_error_offset = compiler.error_offset();
  return status;
}

int FormatCompiler::run() {
  out_.entries_.clear();
  const int status = compile_format_text();
  if (status != 0) out_.entries_.clear();
  return status;
}

// ---- The format and its item list ------------------------------------------------------------

// format = "(" item-list ")" { any character }
int FormatCompiler::compile_format_text() {
  if (!grow_to(std::min(kCompiledFormatStep, byte_limit_))) return kInsufficientVirtualMemory;
  skip_blanks();
  if (at_end()) return syntax_error(0);
  if (text_[pos_] != '(') return syntax_error(pos_);
  ++pos_;
  if (int status = begin_format(); status != 0) return status;
  return item_list();
}

// The Begin entry opens the outer level; its link is set to the reversion point at the end.
int FormatCompiler::begin_format() {
  Entry begin;
  begin.kind = EntryKind::Begin;
  std::uint32_t begin_offset = 0;
  if (!append(begin, nullptr, 0, begin_offset)) return kInsufficientVirtualMemory;
  depth_ = 1;
  groups_[0] = OpenGroup{begin_offset, GroupSummary{}};
  reversion_point_ = static_cast<std::uint32_t>(begin_offset + kEntrySize);
  return 0;
}

// item-list, up to and including the ")" that closes the format.
int FormatCompiler::item_list() {
  for (;;) {
    skip_blanks();
    if (at_end()) return syntax_error_at_end();
    bool finished = false;
    if (int status = token(finished); status != 0) return status;
    if (finished) {
      finish_format();
      return 0;  // anything after the closing parenthesis is ignored
    }
  }
}

// One token of an item list, chosen by its first character.
int FormatCompiler::token(bool& finished) {
  const char c = peek_upper();
  if (is_digit(c)) return unsigned_number();
  switch (c) {
    case '+':
    case '-': return signed_number(c == '-');
    case '(': return open_group();
    case ')': return close_group(finished);
    case ',': return comma();
    case '/': return slash();
    case ':':
    case '$':
    case '\\': return control_edit(c == ':' ? EntryKind::Colon : EntryKind::NoAdvance);
    case '\'':
    case '"':
      if (pending_.present) return syntax_error(pos_);
      return quoted_literal();
    default:
      if (c >= 'A' && c <= 'Z') return letter_descriptor();
      return syntax_error(pos_);
  }
}

void FormatCompiler::finish_format() {
  const std::uint32_t begin_offset = groups_[0].start;
  Entry patched = format_layout::read_entry(out_.entries_.data(), begin_offset);
  patched.link = reversion_point_;
  std::memcpy(out_.entries_.data() + begin_offset, &patched, kEntrySize);
}

// ---- Numbers and separators ------------------------------------------------------------------

// n: a repeat count, length or distance for the token that follows.
int FormatCompiler::unsigned_number() {
  const std::size_t here = pos_;
  if (need_separator_ && !after_scale_) return syntax_error(here);
  pending_ = PendingNumber{true, false, 0, here};
  if (!read_number(pending_.value)) return syntax_error(here);
  return 0;
}

// sign n: only a scale factor may be signed, which kP checks.
int FormatCompiler::signed_number(bool negative) {
  const std::size_t here = pos_;
  if (pending_.present || need_separator_) return syntax_error(here);
  ++pos_;
  skip_blanks();
  if (at_end()) return syntax_error_at_end();
  if (!is_digit(text_[pos_])) return syntax_error(pos_);
  std::int32_t magnitude = 0;
  if (!read_number(magnitude)) return syntax_error(here);
  pending_ = PendingNumber{true, true, negative ? -magnitude : magnitude, here};
  return 0;
}

int FormatCompiler::comma() {
  // A number followed by a comma belongs to no descriptor.
  if (pending_.present) return syntax_error(pos_);
  ++pos_;
  need_separator_ = false;
  after_scale_ = false;
  return 0;
}

// [ n ] "/": n record ends.
int FormatCompiler::slash() {
  if (pending_.present && (pending_.is_signed || pending_.value == 0)) return syntax_error(pos_);
  const std::int32_t repeat = pending_.present ? pending_.value : 1;
  ++pos_;
  const int status = simple_entry(EntryKind::Slash, repeat);
  need_separator_ = false;
  return status;
}

// ":", "$" and "\", which take no number.
int FormatCompiler::control_edit(EntryKind kind) {
  if (pending_.present) return syntax_error(pos_);
  ++pos_;
  const int status = simple_entry(kind);
  need_separator_ = false;
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
  return kSyntaxErrorInFormat;
}

// The text ended inside the format: point at its last non-blank character.
int FormatCompiler::syntax_error_at_end() {
  std::size_t last = text_.find_last_not_of(' ');
  return syntax_error(last == std::string_view::npos ? 0 : last);
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
  if (!append(start, &placeholder, kSummarySize, offset)) return kInsufficientVirtualMemory;
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
    if (!append(end, nullptr, 0, end_offset)) return kInsufficientVirtualMemory;
    depth_ = 0;
    finished = true;
    return 0;
  }

  OpenGroup group = groups_[depth_ - 1];
  Entry end;
  end.kind = EntryKind::GroupEnd;
  end.link = group.start;
  if (!append(end, nullptr, 0, end_offset)) return kInsufficientVirtualMemory;

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
      if (second_letter('N')) return mode_descriptor(EntryKind::BlankNull, letter_at);
      if (second_letter('Z')) return mode_descriptor(EntryKind::BlankZero, letter_at);
      return data_descriptor(DescriptorKind::B, letter_at);
    case 'S':
      if (second_letter('P')) return mode_descriptor(EntryKind::SignPlus, letter_at);
      if (second_letter('S')) return mode_descriptor(EntryKind::SignSuppress, letter_at);
      return mode_descriptor(EntryKind::SignProcessor, letter_at);
    case 'T':
      if (second_letter('L')) return position_descriptor(EntryKind::TabLeft, letter_at);
      if (second_letter('R')) return position_descriptor(EntryKind::MoveRight, letter_at);
      return position_descriptor(EntryKind::TabTo, letter_at);
    case 'X': return move_right(letter_at);
    case 'P': return scale_factor(letter_at);
    case 'H': return hollerith_literal(letter_at);
    default: return syntax_error(letter_at);
  }
}

// The second letter of a two-letter name, which may follow after blanks; consumed when it
// is `wanted`.
bool FormatCompiler::second_letter(char wanted) {
  skip_blanks();
  if (peek_upper() != wanted) return false;
  ++pos_;
  return true;
}

// mode-descriptor: takes neither a number before nor after it.
int FormatCompiler::mode_descriptor(EntryKind kind, std::size_t letter_at) {
  if (pending_.present) return syntax_error(letter_at);
  const int status = simple_entry(kind);
  need_separator_ = true;
  return status;
}

// [ n ] "X"
int FormatCompiler::move_right(std::size_t letter_at) {
  if (pending_.present && pending_.is_signed) return syntax_error(letter_at);
  const std::int32_t distance = pending_.present ? pending_.value : 1;
  const int status = simple_entry(EntryKind::MoveRight, distance);
  need_separator_ = true;
  return status;
}

// [ sign ] n "P": the scale factor is required.
int FormatCompiler::scale_factor(std::size_t letter_at) {
  if (!pending_.present) return syntax_error(letter_at);
  const std::int32_t scale = pending_.value;
  const int status = simple_entry(EntryKind::Scale, scale);
  need_separator_ = true;
  after_scale_ = true;
  return status;
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
  return append(entry, nullptr, 0, offset) ? 0 : kInsufficientVirtualMemory;
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
  if (!append(entry, nullptr, length, offset)) return kInsufficientVirtualMemory;
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
  if (!append(entry, text_.data() + pos_, length, offset)) return kInsufficientVirtualMemory;
  pos_ += length;
  pending_ = PendingNumber{};
  need_separator_ = false;
  after_scale_ = false;
  return 0;
}

}  // namespace runtime
