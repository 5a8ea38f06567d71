#pragma once
// The format compiler behind compile_format: scans a format text left to right and builds the
// entries of a CompiledFormat (see format_layout.h).
//
// compile_format_within is compile_format with a ceiling on the size of the compiled buffer;
// compile_format uses the largest size an entry offset can address. The ceiling lets callers
// (and tests) see error 41 without exhausting the machine's memory.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "runtime/format/format.h"
#include "runtime/format/format_layout.h"

namespace runtime {

inline constexpr std::size_t kCompiledFormatStep = 512;
inline constexpr std::size_t kCompiledFormatMaxBytes = UINT32_MAX;

[[nodiscard]] int compile_format_within(std::string_view text, CompiledFormat& out, std::size_t& syntax_error_offset,
                                        std::size_t byte_limit);

class FormatCompiler {
 public:
  FormatCompiler(std::string_view text, CompiledFormat& out, std::size_t byte_limit)
      : text_(text), out_(out), byte_limit_(byte_limit) {}

  // Returns 0, 62 (error_offset() names the offending character) or 41.
  [[nodiscard]] int run();
  std::size_t error_offset() const { return error_offset_; }

 private:
  static constexpr int kMaxDepth = 8;  // the outer parentheses are level 1

  // A number written before a descriptor: a repeat count, scale factor, length or distance.
  struct PendingNumber {
    bool present = false;
    bool is_signed = false;  // written with + or - (only a scale factor may be)
    std::int32_t value = 0;
    std::size_t offset = 0;
  };

  // What the compiler knows about a group while it is open.
  struct OpenGroup {
    std::uint32_t start = 0;  // offset of the GroupStart entry (Begin for the outer level)
    format_layout::GroupSummary summary{};
  };

  // Scanning.
  void skip_blanks();
  bool at_end() const { return pos_ >= text_.size(); }
  char peek_upper() const;
  bool read_number(std::int32_t& value);
  [[nodiscard]] int syntax_error(std::size_t offset);
  [[nodiscard]] int syntax_error_at_end();

  // Building.
  bool append(const format_layout::Entry& entry, const void* payload, std::size_t payload_size, std::uint32_t& offset);
  bool grow_to(std::size_t needed);
  void note_entry(const format_layout::Entry& entry);

  // The format and its item list.
  [[nodiscard]] int compile_format_text();
  [[nodiscard]] int begin_format();
  [[nodiscard]] int item_list();
  [[nodiscard]] int token(bool& finished);
  void finish_format();

  // Numbers and separators.
  [[nodiscard]] int unsigned_number();
  [[nodiscard]] int signed_number(bool negative);
  [[nodiscard]] int comma();
  [[nodiscard]] int slash();
  [[nodiscard]] int control_edit(format_layout::EntryKind kind);

  // Groups, descriptors and literals.
  [[nodiscard]] int open_group();
  [[nodiscard]] int close_group(bool& finished);
  [[nodiscard]] int letter_descriptor();
  bool second_letter(char wanted);
  [[nodiscard]] int mode_descriptor(format_layout::EntryKind kind, std::size_t letter_offset);
  [[nodiscard]] int move_right(std::size_t letter_offset);
  [[nodiscard]] int scale_factor(std::size_t letter_offset);
  [[nodiscard]] int data_descriptor(DescriptorKind kind, std::size_t letter_offset);
  [[nodiscard]] int position_descriptor(format_layout::EntryKind kind, std::size_t letter_offset);
  [[nodiscard]] int quoted_literal();
  [[nodiscard]] int hollerith_literal(std::size_t letter_offset);
  [[nodiscard]] int simple_entry(format_layout::EntryKind kind, std::int32_t value = 0);

  std::string_view text_;
  CompiledFormat& out_;
  std::size_t byte_limit_;
  std::size_t pos_ = 0;
  std::size_t error_offset_ = 0;
  int status_ = 0;  // 41 once the buffer could not grow

  PendingNumber pending_;
  bool need_separator_ = false;  // a descriptor was just closed: only a separator may follow
  bool after_scale_ = false;     // kP just closed: a real descriptor, its repeat or a group may follow
  std::uint32_t reversion_point_ = 0;
  int depth_ = 0;
  OpenGroup groups_[kMaxDepth];
};

}  // namespace runtime
