#pragma once
// What a presentation (the frame on screen, the terminal) may ask of the console core: the
// other half of presentation.h, which says what a presentation does for the core. A
// presentation includes this header and presentation.h and nothing else of the console; the
// core (ConsoleCore) implements CoreAccess.
//
// Starting. run_console makes the core with the presentation, runs the program's hooks (which
// get the whole core, opaque here: the runtime's window services, the initial settings) and
// the presentation's own set-up (which gets CoreAccess), and then runs the event loop on the
// calling thread and the program on a program thread of its own.
//
// Running. On its GUI thread a presentation paints from with_surface (under the window's
// draw_lock: copy the pixels needed, never keep a QImage copy of the surface beyond the call,
// which would make the program's next drawing copy the whole picture); reads titles, sizes,
// the caret cell and requests with window_info, the status with take_status_view and the
// frame's requested state with frame_request; feeds keys with type_character and
// press_function_key, Paste and Clear Paste with paste and clear_paste, Pause and Resume with
// pause and resume; reports focus and view changes with set_window_focus and set_window_view;
// selects and copies with the selection calls while the program is paused; and, when its
// frame is destroyed, calls frame_closed and ends its event loop with the code it returns.
// No call here waits for the program thread.

#include <QImage>
#include <QRect>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "console/graphics_status.h"
#include "console/presentation.h"
#include "console/selection.h"

namespace console {

// The whole core: the program's hooks receive it; a presentation only hands it on.
class ConsoleCore;

enum class RunState : int { Running = 0, Paused = 1, Finished = 2 };

enum class ErrorBoxKind : std::uint8_t { Warning, Error, Fatal };

// The codes an error box shows, each with its text ("Out of Memory", ...). Code 0 on the fatal
// path shows no box.
inline constexpr int kErrorBoxOutOfMemory = 4;
inline constexpr int kErrorBoxInternalError = 5;
inline constexpr int kErrorBoxInconsistency = 6;
inline constexpr int kErrorBoxInitialMenuFailed = 7;

// The file format a window's picture is saved in.
enum class PictureFormat : std::uint8_t { Bitmap, Png };

// A size or state request made by set_window_size, for the presentation to carry out.
struct WindowGeometryRequest {
  int state = 0;  // 0 none, 1 minimise, 2 maximise, 3 restore, 4 position and size
  int x = 0;      // position within the frame's window area, pixels
  int y = 0;
  int width = 0;  // width and height of the area that shows the surface, pixels
  int height = 0;
  std::uint64_t serial = 0;  // grows with every request
};

// The frame's state and size as set_window_size asked for it (stored before the frame
// exists, applied when it is first shown).
struct FrameRequest {
  int state = 0;  // 0 none
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

struct StatusView {
  RunState run_state = RunState::Running;
  std::string run_state_text;
  std::string message;
  int input_window = 0;        // the window whose read waits (Window > Input), 0 none
  bool paste_pending = false;  // Clear Paste enabled, Paste grayed
};

struct WindowInfo {
  int index = 0;
  std::string title;
  bool configured = false;
  bool shown = false;
  bool unit_closed = false;
  bool take_focus = false;
  bool has_focus = false;
  bool fit_to_window = false;
  bool cursor_visible = false;
  int pixels_x = 0;
  int pixels_y = 0;
  int text_columns = 0;
  int text_rows = 0;
  int char_width = 0;
  int char_height = 0;
  QRect caret;               // the caret's cell in surface pixels
  std::uint64_t clears = 0;  // how often clear_screen has cleared the window
  WindowGeometryRequest geometry;
};

// The calls a presentation makes into the core, all on its GUI thread.
class CoreAccess {
 public:
  // ---- the program ----
  virtual const std::string& program_title() const = 0;
  virtual StatusView status_view() const = 0;
  // The status, re-arming the status_changed notification.
  virtual StatusView take_status_view() = 0;
  virtual void pause() = 0;
  virtual void resume(int window) = 0;
  // True between pause and the moment the program has stopped.
  virtual bool pause_in_progress() const = 0;
  // Asked before a presentation ends the program for a reason of its own (end of input):
  // false when a console event ends the program instead, which the presentation then leaves
  // to it.
  virtual bool claim_program_end() = 0;

  // ---- the frame ----
  virtual FrameRequest frame_request() const = 0;
  // The frame exists (set_window_size then acts on it).
  virtual void set_frame_exists(bool exists) = 0;
  // The frame is being destroyed: runs the exit list, releases a program thread waiting at
  // the end, and returns the process exit code (the program's when it has finished,
  // otherwise `code_if_running`).
  virtual int frame_closed(int code_if_running) = 0;

  // ---- child windows ----
  virtual std::vector<int> window_indices() const = 0;
  virtual std::optional<WindowInfo> window_info(int index) const = 0;
  // Calls `paint` under the window's draw_lock with its surface and the area changed since
  // the last call (which it clears, re-arming the Changed notification). False when there
  // is no such window. `paint` must not call back into the core.
  virtual bool with_surface(int index, const std::function<void(const QImage& surface, const QRect& dirty)>& paint) = 0;
  virtual void set_window_focus(int index, bool focus) = 0;
  virtual void set_window_view(int index, int scroll_x, int scroll_y, bool fit_to_window) = 0;
  // Closes the window of a unit: `keep` marks it "-Closed", otherwise it is removed (as the
  // frame does when the user closes a window whose unit is closed). 0, or -1 for an index
  // outside the table.
  virtual int close_unit_window(int index, bool keep) = 0;

  // ---- keyboard and paste ----
  virtual void type_character(int index, unsigned char c) = 0;
  virtual void press_function_key(int index, int number) = 0;
  virtual void paste(int index, std::string_view text) = 0;
  virtual void clear_paste() = 0;

  // ---- selection, copy, save (program paused for the selection calls) ----
  // What a selection may cover in the window; nothing when there is no such window or it
  // has no surface yet.
  virtual std::optional<SelectionLimits> selection_limits(int index) const = 0;
  // Records the selection in progress in the window (no selection: mode None).
  virtual void set_selection(int index, const Selection& selection) = 0;
  virtual std::string copy_text(int index, const Selection& selection) = 0;
  // A null image when there is no such window or no memory.
  virtual QImage copy_graphics(int index, const Selection& selection) = 0;
  // The whole surface as a bitmap file image, as Save writes it. 0, or the negative graphics
  // status of the failure.
  virtual int capture_window_picture(int index, std::vector<std::uint8_t>& image) = 0;
  // Writes the whole surface to `path`. 0, or the negative graphics status of the failure
  // (also left in graphics_status).
  virtual int save_window_picture(int index, const std::string& path, PictureFormat format) = 0;

  // ---- the console's own boxes ----
  virtual void show_error_box(ErrorBoxKind kind, int code, std::string_view source, int line) = 0;

 protected:
  ~CoreAccess() = default;
};

// How run_console starts: the hooks run on the calling thread, after the core is made and
// before it is installed, the program's first.
struct ConsoleStart {
  // The standard units (0, 5, 6 and the reserved ones) use the default window; false: the
  // process's standard handles (the terminal, whose standard output is the transcript).
  bool standard_units_use_default_window = true;
  std::function<void(ConsoleCore&)> prepare_program;
  std::function<void(CoreAccess&)> prepare_presentation;
  // Runs on the program thread; returns the exit code.
  std::function<int()> program;
};

// Starts the console: the calling thread (which must own the Q(Gui)Application) becomes the
// GUI thread and runs the event loop; when the program returns without having run the
// end-of-program sequence, the console runs it with the program's result as exit code. The
// exit code is what the event loop ends with (see frame_closed). When the event loop ends
// while the program thread still runs (the frame was closed during a read, for example), the
// thread cannot be joined: the standard streams are flushed and the process ends at once, so
// that no destructor races the running program thread.
int run_console(Presentation& presentation, ConsoleStart start);

// For a program written against the formatted I/O runtime: registers the console's routines
// with the runtime (window units, dialogs, the program end, the pause gate, the exit list),
// as a program hook.
void connect_runtime(ConsoleCore& core);
// The program thread's routine: the runtime's main wrapper around `main_routine`, with
// `arguments` the file names for blank-name OPENs.
std::function<int()> runtime_main(std::vector<std::string> arguments, std::function<void()> main_routine);

}  // namespace console
