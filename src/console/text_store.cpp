#include "console/text_store.h"

#include <algorithm>

namespace console {

const TextStoreRow* TextStore::find(int row) const {
  auto it =
      std::lower_bound(rows_.begin(), rows_.end(), row, [](const TextStoreRow& r, int value) { return r.row < value; });
  if (it == rows_.end() || it->row != row) return nullptr;
  return &*it;
}

bool TextStore::trim(std::size_t i) {
  std::string& text = rows_[i].text;
  const std::size_t last = text.find_last_not_of(' ');
  if (last == std::string::npos) {
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(i));
    return true;
  }
  text.erase(last + 1);
  return false;
}

void TextStore::record_run(int row, int column, std::string_view chars, int right_column) {
  if (column < 1 || row < 1 || column > right_column || chars.empty()) return;
  const int room = right_column - column + 1;
  if (static_cast<int>(chars.size()) > room) chars = chars.substr(0, static_cast<std::size_t>(room));
  const int end = column + static_cast<int>(chars.size());

  auto it =
      std::lower_bound(rows_.begin(), rows_.end(), row, [](const TextStoreRow& r, int value) { return r.row < value; });
  if (it == rows_.end() || it->row != row) {
    it = rows_.insert(it, TextStoreRow{row, column, std::string(chars)});
  } else {
    TextStoreRow& entry = *it;
    const int new_first = std::min(entry.first_column, column);
    const int new_end = std::max(entry.end_column(), end);
    std::string merged(static_cast<std::size_t>(new_end - new_first), ' ');
    merged.replace(static_cast<std::size_t>(entry.first_column - new_first), entry.text.size(), entry.text);
    merged.replace(static_cast<std::size_t>(column - new_first), chars.size(), chars);
    entry.first_column = new_first;
    entry.text = std::move(merged);
  }
  trim(static_cast<std::size_t>(it - rows_.begin()));
}

void TextStore::scroll_up(int top, int bottom) {
  if (bottom < top) return;
  std::vector<TextStoreRow> kept;
  kept.reserve(rows_.size());
  for (TextStoreRow& entry : rows_) {
    if (entry.row == top) continue;
    if (entry.row > top && entry.row <= bottom) --entry.row;
    kept.push_back(std::move(entry));
  }
  rows_ = std::move(kept);
}

void TextStore::blank_region(int top, int left, int bottom, int right) {
  if (bottom < top || right < left) return;
  for (std::size_t i = 0; i < rows_.size();) {
    TextStoreRow& entry = rows_[i];
    if (entry.row < top || entry.row > bottom) {
      ++i;
      continue;
    }
    const int from = std::max(left, entry.first_column);
    const int to = std::min(right + 1, entry.end_column());
    if (from < to) {
      std::fill_n(entry.text.begin() + (from - entry.first_column), to - from, ' ');
    }
    if (!trim(i)) ++i;
  }
}

}  // namespace console
