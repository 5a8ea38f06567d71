#include "console/line_editor.h"

#include <algorithm>
#include <cstring>

namespace console {

void LineEditor::start_line() {
  std::memset(buffer_, ' ', sizeof buffer_);
  count_ = 0;
}

LineEditor::Result LineEditor::type(unsigned char c, bool at_first_cell) {
  Result result;
  switch (c) {
    case 8:  // Backspace
      if (count_ == 0) return result;
      if (at_first_cell) {
        result.outcome = Outcome::Beep;
        result.beep = true;
        return result;
      }
      --count_;
      buffer_[count_] = ' ';
      result.outcome = Outcome::Erase;
      return result;
    case 9:  // Tab: up to 8 spaces, stopping two bytes short of the end of the line
      for (int i = 0; i < kTabWidth; ++i) {
        if (count_ >= kLineCapacity - 2) {
          result.beep = true;
          break;
        }
        buffer_[count_++] = ' ';
        result.echo.push_back(' ');
      }
      result.outcome = result.echo.empty() ? Outcome::Beep : Outcome::Stored;
      return result;
    case 10:
    case 13: result.outcome = Outcome::LineEnded; return result;
    default:
      if (count_ >= kLineCapacity) {
        result.outcome = Outcome::Beep;
        result.beep = true;
        return result;
      }
      buffer_[count_++] = static_cast<char>(c);
      result.echo.push_back(static_cast<char>(c));
      result.outcome = Outcome::Stored;
      return result;
  }
}

std::size_t LineEditor::append(std::string_view bytes) {
  const std::size_t room = static_cast<std::size_t>(kLineCapacity - count_);
  const std::size_t n = std::min(room, bytes.size());
  std::memcpy(buffer_ + count_, bytes.data(), n);
  count_ += static_cast<int>(n);
  return n;
}

std::string LineEditor::take_carried(std::size_t n) {
  const std::size_t given = std::min(n, carried_.size());
  std::string out = carried_.substr(0, given);
  carried_.erase(0, given);
  return out;
}

bool LineEditor::paste(std::string_view text) {
  const std::size_t nul = text.find('\0');
  if (nul != std::string_view::npos) text = text.substr(0, nul);
  if (text.empty()) return false;
  pasted_.assign(text);
  paste_position_ = 0;
  paste_pending_ = true;
  return true;
}

void LineEditor::clear_paste() {
  pasted_.clear();
  paste_position_ = 0;
  paste_pending_ = false;
}

LineEditor::Expansion LineEditor::expand(std::string_view raw, int room_bytes) {
  const std::size_t room = static_cast<std::size_t>(std::max(0, room_bytes));
  Expansion expansion;
  std::size_t write = 0;
  for (; expansion.taken < raw.size(); ++expansion.taken) {
    const char b = raw[expansion.taken];
    if (b == '\r') {
      write = 0;
      continue;
    }
    const std::size_t width = b == '\t' ? kTabWidth : 1;
    if (write + width > room) break;
    const char shown = (b == '\t' || b == '\0') ? ' ' : b;
    for (std::size_t i = 0; i < width; ++i, ++write) {
      if (write < expansion.text.size()) {
        expansion.text[write] = shown;
      } else {
        expansion.text.push_back(shown);
      }
    }
  }
  return expansion;
}

PastedChunk LineEditor::take_chunk(int raw_limit, int room_if_complete, int room_if_open) {
  PastedChunk chunk;
  if (!paste_pending_) return chunk;
  const std::string_view rest = std::string_view(pasted_).substr(paste_position_);
  const std::size_t limit = raw_limit > 0 ? static_cast<std::size_t>(raw_limit) : 0;

  // Where the raw chunk ends.
  std::size_t raw_end = 0;       // bytes of text in the chunk (without a line feed)
  bool takes_line_feed = false;  // the line feed after them belongs to the chunk
  while (raw_end < rest.size() && raw_end < limit && rest[raw_end] != '\n') ++raw_end;
  if (raw_end < rest.size() && rest[raw_end] == '\n') {
    takes_line_feed = true;
    chunk.completes_line = true;
  } else if (raw_end == limit) {
    chunk.completes_line = true;  // the byte limit came first
  }

  // Expand it into the room it is given, cutting it before a byte that does not fit. A cut
  // chunk completes the line, so a chunk that was to leave the line open and had to be cut
  // is expanded again into the room of a chunk that completes it.
  Expansion expansion = expand(rest.substr(0, raw_end), chunk.completes_line ? room_if_complete : room_if_open);
  if (expansion.taken < raw_end) {
    if (!chunk.completes_line) expansion = expand(rest.substr(0, raw_end), room_if_complete);
    // The chunk completes the line and the bytes not taken stay pasted.
    chunk.completes_line = true;
    takes_line_feed = false;
  }
  const std::size_t taken = expansion.taken;
  chunk.text = std::move(expansion.text);

  std::size_t consumed = taken + (takes_line_feed ? 1 : 0);
  if (!takes_line_feed && taken == raw_end && raw_end == limit && limit < rest.size() && rest[limit] == '\n') {
    ++consumed;  // the line feed right after a chunk cut at its byte limit
  }
  paste_position_ += consumed;
  if (paste_position_ >= pasted_.size()) {
    chunk.paste_ended = true;
    clear_paste();
  }
  return chunk;
}

}  // namespace console
