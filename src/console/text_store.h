#pragma once
// The text store of a window: what text output wrote, kept per row so that text can be
// copied out of the window later. One entry per row that holds text, ordered by row; each
// entry covers the columns [first_column, first_column + text.size()) of the text buffer.
// Rows and columns count from 1.
//
// Recording a run clips it at the text window's right column and merges it into the row's
// entry: the entry grows to the union of both ranges, the gap between them is filled with
// spaces and the new characters overwrite the old ones. Trailing spaces are trimmed after
// every change and an entry left empty is removed.

#include <string>
#include <string_view>
#include <vector>

namespace console {

struct TextStoreRow {
  int row = 0;
  int first_column = 0;
  std::string text;
  int end_column() const { return first_column + static_cast<int>(text.size()); }
};

class TextStore {
 public:
  // Records `chars` written at (row, column); columns beyond `right_column` are dropped.
  void record_run(int row, int column, std::string_view chars, int right_column);
  // Scrolls the rows top..bottom up by one: the entry of `top` is dropped, the entries of the
  // rows below it inside the range move up one row.
  void scroll_up(int top, int bottom);
  // Blanks the cells of rows top..bottom, columns left..right.
  void blank_region(int top, int left, int bottom, int right);
  void clear() { rows_.clear(); }

  const std::vector<TextStoreRow>& rows() const { return rows_; }
  // The entry of `row`, or null.
  const TextStoreRow* find(int row) const;
  bool empty() const { return rows_.empty(); }

 private:
  // Trims trailing spaces of rows_[i]; removes it when empty. Returns true when removed.
  bool trim(std::size_t i);

  std::vector<TextStoreRow> rows_;
};

}  // namespace console
