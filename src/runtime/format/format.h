#pragma once
// Format compilation and interpretation.
//
// compile_format turns a format text such as "(1X,I5,3(1X,F8.3))" into a CompiledFormat.
// A FormatCursor walks a compiled format during one statement: next_edit_descriptor applies
// groups, repeat counts, position descriptors (X, T, TL, TR) and mode descriptors (BN, BZ,
// S, SP, SS, kP) by itself and returns one use of a data descriptor per call, or a literal,
// `/`, `:`, `$`/`\` or the end of the statement. Format reversion returns Slash.
//
// FixedFormat holds a format that the program fixes in its own text: it is compiled once, on
// first use, and reused by every statement. Formats held in character data are compiled at
// the start of every statement that uses them (FormatRef built from text).

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

#include "runtime/edit_descriptor.h"

namespace runtime {

// The compiled form of one format text. Its layout is private to the format module.
class CompiledFormat {
 public:
  CompiledFormat();
  ~CompiledFormat();
  CompiledFormat(const CompiledFormat&) = delete;
  CompiledFormat& operator=(const CompiledFormat&) = delete;

  // Implementation-defined members follow (entry buffer, grown in steps of 512 bytes).
 private:
  friend class FormatCompiler;
  friend class FormatCursor;
  std::vector<unsigned char> entries_;
};

// Compiles `text` into `out`. Returns 0; 62 on a syntax error, with `syntax_error_offset` set to
// the offset in `text` of the offending character (the statement emits message 58 with the
// text from there on); or 41 when the compiled buffer cannot grow.
[[nodiscard]] int compile_format(std::string_view text, CompiledFormat& out, std::size_t& syntax_error_offset);

// Column state of the current record that position descriptors move. Columns are offsets from
// the start of the record (column 1 is offset 0).
struct RecordPosition {
  std::size_t position = 0;
  std::size_t left_tab_limit = 0;  // start of the record, or where a non-advancing record continued
};

class FormatCursor {
 public:
  // Starts a statement at the beginning of `format` with the statement's initial modes.
  FormatCursor(CompiledFormat& format, const EditModes& initial_modes);

  EditModes& modes() { return modes_; }
  const EditModes& modes() const { return modes_; }

  // Implementation-defined members follow (current entry, reversion point, group stack of up
  // to 8 levels, remaining repeat count of the current data descriptor, data-used flag).
 private:
  friend int next_edit_descriptor(FormatCursor&, RecordPosition&, bool, EditDescriptor&);
  [[nodiscard]] int step(RecordPosition& record, bool items_remain, EditDescriptor& out);

  // One open group: the passes still to make, the offset of its first inner entry, and the
  // state its current pass began in. A pass that hands out no data descriptor and no record
  // end and ends in the state it began in would do exactly the same again: the group's
  // remaining passes are then skipped.
  struct OpenGroup {
    std::int32_t passes_left;
    std::uint32_t first_entry;
    std::size_t pass_start_position;
    EditModes pass_start_modes;
    std::uint64_t pass_start_changes;
  };
  static constexpr int kMaxOpenGroups = 8;

  void begin_pass(OpenGroup& group, const RecordPosition& record) const;
  bool pass_repeats_itself(const OpenGroup& group, const RecordPosition& record) const;
  // Counts a literal, `/` or `$` handed out; false once too many came without a data descriptor.
  bool count_handout_without_data();

  CompiledFormat* format_;
  EditModes modes_;
  std::uint32_t current_ = 0;          // offset of the entry to act on next
  std::uint32_t reversion_point_ = 0;  // where interpretation continues after a reversion
  std::int32_t uses_left_ = 0;         // uses left of the current data descriptor or `/` (0: none begun)
  std::int32_t open_groups_ = 0;
  bool data_used_ = false;                  // a data descriptor was used since the start or last reversion
  std::uint64_t changes_ = 0;               // data descriptors and record ends handed out so far
  std::int32_t handouts_without_data_ = 0;  // literals, `/` and `$` since the last data descriptor
  OpenGroup groups_[kMaxOpenGroups] = {};
};

// A statement that hands out more literals, record ends and `$` than this without using a
// data descriptor (a format such as (2147483647(2147483647(/))) that would write records for
// ever) fails with 60, infinite format loop.
inline constexpr std::int32_t kMaxHandoutsWithoutData = std::int32_t{1} << 20;

// Moves to the next descriptor that the statement driver acts on and stores it in `out`.
// `items_remain` tells whether the statement still has items to transfer. Returns 0, or 60
// (infinite format loop) when items remain but the format has no data descriptor left to use,
// or when kMaxHandoutsWithoutData is exceeded.
[[nodiscard]] int next_edit_descriptor(FormatCursor& cursor, RecordPosition& record, bool items_remain,
                                       EditDescriptor& out);

// The plan of a format whose every record holds one data descriptor and nothing else, such
// as "(F20.10)": a statement under it takes one field per record and a new record per item,
// and needs no format interpretation to know that. Found once per format by walking it with
// the interpreter.
struct SingleFieldPlan {
  bool single_field = false;  // every record is exactly one use of `descriptor`
  EditDescriptor descriptor;
};

// Walks `compiled` to decide whether it is a single-field format.
SingleFieldPlan make_single_field_plan(CompiledFormat& compiled);

// A format fixed in the program's text, compiled once on first use, with its plan.
class FixedFormat {
 public:
  explicit constexpr FixedFormat(std::string_view text) : text_(text) {}
  // The compiled form, or null when the text has a syntax error (compile_status tells which).
  CompiledFormat* compiled() const;
  // The plan of the compiled form (not single-field when the text did not compile).
  const SingleFieldPlan& plan() const {
    compile_once();
    return plan_;
  }
  [[nodiscard]] int compile_status() const;
  std::size_t syntax_error_offset() const;
  std::string_view text() const { return text_; }

 private:
  // The flag keeps the once-call off the path of every statement after the first.
  void compile_once() const {
    if (!compiled_once_.load(std::memory_order_acquire)) compile_first_time();
  }
  void compile_first_time() const;
  std::string_view text_;
  mutable std::atomic<bool> compiled_once_{false};
  mutable std::once_flag once_;
  mutable std::unique_ptr<CompiledFormat> compiled_;
  mutable SingleFieldPlan plan_;
  mutable int status_ = 0;
  mutable std::size_t error_offset_ = 0;
};

// The format argument of a statement: a FixedFormat, or a format held in character data.
struct FormatRef {
  FormatRef(const FixedFormat& format) : fixed(&format) {}        // NOLINT(google-explicit-constructor)
  FormatRef(std::string_view format_text) : text(format_text) {}  // NOLINT
  FormatRef(const char* format_text) : text(format_text) {}       // NOLINT
  const FixedFormat* fixed = nullptr;
  std::string_view text;
};

}  // namespace runtime
