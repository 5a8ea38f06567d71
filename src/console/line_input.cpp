// Line input: reading a line on the program thread (waiting on the window's input event) or
// on the GUI thread (a nested event loop), typed characters, function keys, Paste and Clear
// Paste. The line editor's state is guarded by editor_mutex_.

#include <QEventLoop>

#include <algorithm>
#include <climits>
#include <cstring>

#include "console/console_core.h"

namespace console {

namespace {

int clamp_to_int(std::size_t n) { return static_cast<int>(std::min<std::size_t>(n, INT_MAX)); }

void copy_out(char* buffer, std::string_view bytes) {
  if (!bytes.empty()) std::memcpy(buffer, bytes.data(), bytes.size());
}

// Marks a read in progress for the length of the read (the flag is guarded by the editor's
// lock, which the read holds whenever it touches the flag).
class ReadingMark {
 public:
  explicit ReadingMark(bool& flag) : flag_(flag) { flag_ = true; }
  ~ReadingMark() { flag_ = false; }
  ReadingMark(const ReadingMark&) = delete;
  ReadingMark& operator=(const ReadingMark&) = delete;

 private:
  bool& flag_;
};

}  // namespace

void ConsoleCore::echo(int index, std::string_view bytes) {
  if (!bytes.empty()) write_text(index, bytes, TextOrigin::Echo);
}

// Shows that a read waits on the window: "Input pending in " and its title, the window being
// the input owner (Window > Input) until end_input_pending.
void ConsoleCore::show_input_pending(ChildWindowRecord& record) {
  std::string title;
  {
    std::lock_guard draw(record.draw_lock);
    title = record.title;
  }
  {
    std::lock_guard status(status_mutex_);
    status_.set_input_pending(record.index, title);
  }
  notify_status();
}

// The read no longer waits: the message current before it comes back.
void ConsoleCore::end_input_pending() {
  {
    std::lock_guard status(status_mutex_);
    if (status_.input_owner() == 0) return;
    status_.end_input_wait();
  }
  notify_status();
}

// Ends the wait of the read in progress: the line is complete (Enter, a function key).
void ConsoleCore::end_wait_locked() {
  // The line is complete from this moment: the status stops showing the wait at once.
  end_input_pending();
  wake_reader_locked();
}

// Wakes the read in progress (the line is complete, or pasted text arrived for it).
void ConsoleCore::wake_reader_locked() {
  // The window no longer awaits typing, so characters typed before the reading thread has
  // taken the line (or the pasted text) are refused instead of joining it.
  awaited_window_ = 0;
  if (nested_waiting_) {
    nested_waiting_ = false;
    if (nested_loop_ != nullptr) nested_loop_->quit();
    return;
  }
  if (event_window_ != 0) {
    if (auto record = table_.find(event_window_)) record->input_event.set();
  }
}

// Waits until the reader is woken. Called and returning with editor_mutex_ held through
// `editor`; released while waiting.
void ConsoleCore::wait_for_line(ChildWindowRecord& record, bool on_gui_thread, std::unique_lock<std::mutex>& editor) {
  awaited_window_ = record.index;
  if (!on_gui_thread) {
    record.input_event.reset();
    event_window_ = record.index;
    editor.unlock();
    {
      GateRelease release(*this);
      record.input_event.wait();
    }
    editor.lock();
    event_window_ = 0;
  } else {
    QEventLoop loop;
    nested_loop_ = &loop;
    nested_waiting_ = true;
    editor.unlock();
    while (true) {
      loop.exec();
      std::lock_guard check(editor_mutex_);
      if (!nested_waiting_) break;
    }
    editor.lock();
    nested_loop_ = nullptr;
  }
  awaited_window_ = 0;
}

long ConsoleCore::read_line(int index, char* buffer, std::size_t n) {
  GateScope gate(*this);
  auto record = table_.find(index);
  if (!record || record->unit_closed.load() || (buffer == nullptr && n > 0)) return -1;
  const bool on_gui_thread = is_gui_thread();
  {
    std::lock_guard editor(editor_mutex_);
    if (on_gui_thread && reading_) return -1;
  }
  if (!ensure_configured(*record)) return -1;

  std::unique_lock<std::mutex> read_guard(record->read_lock, std::defer_lock);
  if (!on_gui_thread) read_guard.lock();
  std::unique_lock editor(editor_mutex_);
  // One line editor serves the process: a second read while one is in progress (a read on
  // another window, or on the GUI thread) is refused.
  if (reading_) return -1;
  const ReadingMark mark(reading_);

  // Text carried over from the last line is given without waiting.
  if (editor_.has_carried()) {
    const std::string part = editor_.take_carried(n);
    copy_out(buffer, part);
    return static_cast<long>(part.size());
  }

  // Pasted text that completes a line is given without waiting; pasted text that does not
  // opens the line.
  if (editor_.paste_pending()) {
    const int room = clamp_to_int(n);
    PastedChunk chunk = editor_.take_chunk(room, room, kLineCapacity);
    if (chunk.paste_ended) set_paste_status(false);
    echo(index, chunk.text);
    if (chunk.completes_line) {
      copy_out(buffer, chunk.text);
      return static_cast<long>(chunk.text.size());
    }
    editor_.start_line();
    editor_.append(chunk.text);
  } else {
    editor_.start_line();
  }

  // The wait shows in the status bar until the line is complete, pasted text that leaves the
  // line open included.
  show_input_pending(*record);
  while (true) {
    wait_for_line(*record, on_gui_thread, editor);
    if (!editor_.paste_pending()) break;
    // Pasted while the line was open: the next chunk is appended to it.
    const int room = kLineCapacity - editor_.count();
    PastedChunk chunk = editor_.take_chunk(kLineCapacity - 2 - editor_.count(), room, room);
    if (chunk.paste_ended) set_paste_status(false);
    editor_.append(chunk.text);
    echo(index, chunk.text);
    if (chunk.completes_line) break;
  }
  end_input_pending();

  const std::string_view line = editor_.line();
  if (line.size() > n) {
    copy_out(buffer, line.substr(0, n));
    editor_.carry(line.substr(n));
    return static_cast<long>(n);
  }
  copy_out(buffer, line);
  return static_cast<long>(line.size());
}

void ConsoleCore::type_character(int index, unsigned char c) {
  auto record = table_.find(index);
  if (!record) return;
  switch (c) {
    case 27: {  // Esc: Resume; consumed when it ends a selection, else an ordinary character
      bool selecting = false;
      {
        std::lock_guard draw(record->draw_lock);
        selecting = record->selecting;
      }
      resume(index);
      if (selecting) return;
      break;
    }
    case 3:  // Ctrl+C: Exit
      request_exit();
      return;
    case 19:  // Ctrl+S: Pause
      pause();
      return;
    case 17:  // Ctrl+Q: Resume
      resume(index);
      return;
    default: break;
  }

  std::unique_lock editor(editor_mutex_);
  const bool nested_read_here = nested_waiting_ && awaited_window_ == index;
  if (!nested_read_here && (run_state() == RunState::Paused || awaited_window_ != index)) {
    editor.unlock();
    beep();
    return;
  }
  bool at_first_cell = false;
  {
    std::lock_guard draw(record->draw_lock);
    at_first_cell = record->text_row == 1 && record->text_column == 1;
  }
  const LineEditor::Result result = editor_.type(c, at_first_cell);
  switch (result.outcome) {
    case LineEditor::Outcome::Stored: echo(index, result.echo); break;
    case LineEditor::Outcome::Erase: erase_previous_cell(*record); break;
    case LineEditor::Outcome::LineEnded: end_wait_locked(); break;
    case LineEditor::Outcome::Beep:
    case LineEditor::Outcome::Nothing: break;
  }
  if (result.beep) beep();
}

void ConsoleCore::press_function_key(int index, int number) {
  if (number < 1 || number > 12) return;
  if (run_state() == RunState::Paused) return;
  std::lock_guard editor(editor_mutex_);
  if (event_window_ == index && !nested_waiting_) end_wait_locked();
}

void ConsoleCore::paste(int index, std::string_view text) {
  std::lock_guard editor(editor_mutex_);
  const bool was_pending = editor_.paste_pending();
  if (!editor_.paste(text)) return;
  if (!was_pending) set_paste_status(true);
  // A read that waits takes the pasted text (it keeps waiting when the text leaves the line
  // open).
  if (nested_waiting_ || event_window_ == index) wake_reader_locked();
}

void ConsoleCore::clear_paste() {
  std::lock_guard editor(editor_mutex_);
  if (!editor_.paste_pending()) return;
  editor_.clear_paste();
  set_paste_status(false);
}

}  // namespace console
