#pragma once
// The line editor's state: the 128-byte line being typed, the text carried over from a line
// longer than the read asked for, and pasted text waiting to be fed into reads. It knows no
// windows and no threads; the console core (line_input.cpp) drives it under its lock, echoes
// what it reports and wakes the waiting read.
//
// Pasted text is fed in chunks. A chunk ends at a line feed (which completes a line and is
// not stored), at the end of the pasted text (which leaves the line open), or after a given
// number of bytes (which completes the line). Before it enters the line a chunk is expanded:
// a tab becomes 8 spaces, a NUL a space, and a carriage return sends the write position back
// to the chunk's start so that later bytes overwrite earlier ones.
//
// The expanded chunk never overruns the room it is given (the line, or the reader's buffer).
// When expansion would go past it, the chunk is cut before the byte that does not fit; the
// chunk then completes the line (and so is cut to the room of a chunk that completes it),
// and the bytes not taken stay pasted for the next read, so nothing pasted is lost. A line feed that directly follows a
// chunk cut at its byte limit is taken with it, so a pasted line that exactly fills the room does not leave an empty
// line behind.

#include <string>
#include <string_view>

namespace console {

inline constexpr int kLineCapacity = 128;
inline constexpr int kTabWidth = 8;

struct PastedChunk {
  std::string text;  // expanded, without its line feed
  bool completes_line = false;
  bool paste_ended = false;  // the pasted text is used up
};

class LineEditor {
 public:
  enum class Outcome {
    Nothing,    // no effect
    Stored,     // bytes were appended: echo `echo`
    Beep,       // refused with a beep (echo may still hold bytes appended before the refusal)
    Erase,      // Backspace dropped the last byte: erase one cell on screen
    LineEnded,  // Enter: the line is complete
  };
  struct Result {
    Outcome outcome = Outcome::Nothing;
    std::string echo;
    bool beep = false;
  };

  // A new line: 128 spaces, count 0.
  void start_line();
  // Edits the line with a typed character. `at_first_cell` tells that the text position is
  // at row 1, column 1 of the text window (Backspace then beeps).
  Result type(unsigned char c, bool at_first_cell);

  int count() const { return count_; }
  std::string_view line() const { return std::string_view(buffer_, static_cast<std::size_t>(count_)); }
  // Appends up to the free room of the line; returns the number of bytes appended.
  std::size_t append(std::string_view bytes);

  // Carried-over text.
  bool has_carried() const { return !carried_.empty(); }
  // Gives up to `n` bytes of it; the rest stays carried.
  std::string take_carried(std::size_t n);
  void carry(std::string_view rest) { carried_.assign(rest); }
  void clear_carried() { carried_.clear(); }

  // Pasted text.
  // Replaces any earlier pasted text (cut at its first NUL); false when nothing is left.
  bool paste(std::string_view text);
  void clear_paste();
  bool paste_pending() const { return paste_pending_; }
  // Takes the next chunk: at most `raw_limit` bytes of pasted text; its expansion at most
  // `room_if_complete` bytes when it completes a line, `room_if_open` when it does not.
  PastedChunk take_chunk(int raw_limit, int room_if_complete, int room_if_open);

 private:
  struct Expansion {
    std::string text;
    std::size_t taken = 0;  // raw bytes expanded; fewer than given when the next did not fit
  };
  // Expands `raw` (tabs, NULs, carriage returns) into at most `room` bytes.
  static Expansion expand(std::string_view raw, int room);

  char buffer_[kLineCapacity] = {};
  int count_ = 0;
  std::string carried_;
  std::string pasted_;
  std::size_t paste_position_ = 0;
  bool paste_pending_ = false;
};

}  // namespace console
