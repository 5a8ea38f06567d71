#pragma once
// The platform layer: what a presentation (the frame on screen, or the terminal) does for the
// console core. The core never touches a widget; it tells the presentation that something
// changed and the presentation, on its GUI thread, pulls the current state from the core
// (window_info, with_surface, take_status_view) and shows it. What a presentation may ask of
// the core is the other half of the seam, core_access.h.
//
// Two kinds of calls, with different rules:
// - Notifications (window_event, status_changed, text_written, beep, close_frame) may come
//   from any thread, also while the core holds a window lock. They must return at once:
//   queue the work to the GUI thread, never wait for it, never call back into the core from
//   inside the call. Repaints are coalesced by the core: at most one Changed event is
//   outstanding per window until the presentation takes the dirty area with with_surface.
//   Status changes are coalesced the same way until take_status_view.
// - Requests (message_box, choose_file) need an answer. The core makes them only while it
//   holds no window lock and outside the pause gate, so the presentation may block the
//   calling thread until the GUI thread has the answer. On the GUI thread itself they must
//   run the dialog directly (a nested event loop), not wait for a queued answer.

#include <cstdint>
#include <string>
#include <string_view>

namespace console {

enum class WindowEvent : std::uint8_t {
  Created,            // a child window exists (not shown until its configuration is applied)
  Shown,              // its configuration was applied for the first time: show it
  Configured,         // a configuration was applied again: new surface size and cell
  Changed,            // a part of the surface or the caret changed: repaint (coalesced)
  TitleChanged,       // the title changed (window_info().title)
  GeometryRequested,  // set_window_size asked for a state, position or size, or the focus
                      // request changed (window_info()); window 0 is the frame
                      // (CoreAccess::frame_request())
  Closed,             // the unit was closed with keep: the window may now be closed by the user
  Removed,            // the window was destroyed and its slot emptied
};

// Where a text written to a window came from. The terminal's transcript treats echo apart.
enum class TextOrigin : std::uint8_t {
  Program,    // text output of the program (records, prompts, the runtime's echo of a line end)
  Echo,       // echo of typed or pasted characters
  EchoErase,  // Backspace erased one cell (no bytes; the text is empty)
};

enum class MessageBoxButtons : std::uint8_t { Ok, YesNo };
enum class MessageBoxIcon : std::uint8_t { Information, Warning, Error, Exclamation };
enum class MessageBoxAnswer : std::uint8_t { Ok, Yes, No, Failed };

// What a message box is for; a presentation without a screen answers by it.
enum class MessageBoxPurpose : std::uint8_t {
  ErrorBox,      // the console's own warning, error and fatal error boxes
  RuntimeError,  // a run-time error message of the formatted I/O runtime
  Question,      // a question with a default answer (for example "File Open Error")
  ProgramEnd,    // "Program Terminated with exit code ..." with Yes and No
};

struct MessageBoxRequest {
  std::string caption;
  std::string text;
  MessageBoxButtons buttons = MessageBoxButtons::Ok;
  MessageBoxIcon icon = MessageBoxIcon::Information;
  MessageBoxAnswer default_answer = MessageBoxAnswer::Ok;
  MessageBoxPurpose purpose = MessageBoxPurpose::ErrorBox;
};

struct FileDialogRequest {
  std::string title;  // "Open: Select File for Unit " and the unit number
  std::int32_t unit = 0;
};

class Presentation {
 public:
  virtual ~Presentation() = default;

  // Notifications: any thread, locks may be held, must not block (see above).
  virtual void window_event(int window, WindowEvent event) = 0;
  virtual void status_changed() = 0;
  // Text drawn into a window, in the order it was drawn (called under the window's
  // output_lock), already cut at a NUL byte.
  virtual void text_written(int window, std::string_view bytes, TextOrigin origin) = 0;
  virtual void beep() = 0;
  // Close the frame: the presentation destroys it on its GUI thread, calls
  // CoreAccess::frame_closed and ends its event loop with the code that returns.
  virtual void close_frame() = 0;

  // Requests: no console lock held, outside the pause gate; may block the calling thread.
  virtual MessageBoxAnswer message_box(const MessageBoxRequest& request) = 0;
  // The file dialog; false when cancelled. `name` receives the chosen name.
  virtual bool choose_file(const FileDialogRequest& request, std::string& name) = 0;
  // Deletes popup `menu` (1-based on the menu bar now shown) or its item `item` (1-based; 0:
  // the whole popup). False when there is no such popup or item, or the item may not be
  // deleted; a presentation without a menu bar has nothing to delete.
  virtual bool delete_menu(int menu, int item) {
    static_cast<void>(menu);
    static_cast<void>(item);
    return false;
  }
};

}  // namespace console
