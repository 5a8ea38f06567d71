#pragma once
// The windowed console core: one instance per process (tests make one per test). It owns
// the window table and every ChildWindowRecord, the per-thread active windows, text output,
// configuration, colours, the line editor, the run state and pause gate, the status
// messages, the error boxes and the program end. It talks to the screen only through its
// Presentation (presentation.h); a presentation calls it only through CoreAccess
// (core_access.h). The rest of this interface is the program's side.
//
// Threads. The thread that constructs the core is its GUI thread: typed characters, paste,
// Pause and Resume, painting and the frame's close come from there. Every other thread that
// calls in is a program thread; each of its calls is an entry that passes the pause gate
// (GateScope). Lock order: a window's read_lock, the line editor's lock, output_lock,
// the font table's lock, draw_lock. The window table's lock, the status lock, the hooks' lock and the run-control
// lock are leaves: nothing else is taken while one of them is held.
// No lock is held while the presentation is asked a question (message box, file dialog) or
// while a program thread waits for input.
//
// The definitions are spread over one file per concern: console_core.cpp (instance, hooks,
// gate, status, presentation queries), window_operations.cpp (windows, activation, sizes),
// text_output.cpp, window_configuration.cpp, graphics_state.cpp, drawing_primitives.cpp,
// pixel_queue.cpp, graphic_text.cpp, window_images.cpp, window_selection.cpp, line_input.cpp,
// program_end.cpp, error_boxes.cpp and own_windows.cpp.

#include <QImage>
#include <QRect>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "console/child_window_record.h"
#include "console/core_access.h"
#include "console/font_source.h"
#include "console/font_table.h"
#include "console/line_editor.h"
#include "console/presentation.h"
#include "console/run_control.h"
#include "console/selection.h"
#include "console/status_messages.h"
#include "console/window_config.h"
#include "console/window_image.h"
#include "console/window_table.h"

class QEventLoop;

namespace console {

// The highest menu number delete_menu accepts.
inline constexpr int kLastMenuNumber = 1150;

// The unit value that names the frame in set_window_size.
inline constexpr std::int32_t kFrameUnit = static_cast<std::int32_t>(0x80000000u);

// What the end of the program does: ask, close without asking, keep the frame open.
enum class ExitBehaviour : int { Prompt = 1, Close = 2, KeepOpen = 3 };

// The position record of set_window_size: five 16-bit fields in this order.
struct WindowPosition {
  std::int16_t state = 0;  // 1 minimise, 2 maximise, 3 restore, 4 position and size
  std::int16_t x = 0;
  std::int16_t y = 0;
  std::int16_t height = 0;
  std::int16_t width = 0;
};

// A graphics position in drawing coordinates (move_to's previous position).
struct GraphicsPosition {
  std::int16_t x = 0;
  std::int16_t y = 0;
  // x in the low and y in the high 16 bits.
  std::int32_t packed() const {
    return static_cast<std::int32_t>((static_cast<std::uint32_t>(static_cast<std::uint16_t>(y)) << 16) |
                                     static_cast<std::uint16_t>(x));
  }
};

// Fill controls of draw_rectangle.
inline constexpr std::int16_t kBorderOnly = 2;
inline constexpr std::int16_t kFilledInterior = 3;

struct ConsoleOptions {
  std::string program_title;           // empty: the executable's base name
  std::optional<DisplayInfo> display;  // nothing: the primary screen
  FontMaker font_maker;                // empty: make_text_font
  ExitBehaviour exit_behaviour = ExitBehaviour::Prompt;
  // The standard units (0, 5, 6 and the reserved ones) use the default window; false: the
  // process's standard handles (the terminal, whose standard output is the transcript).
  bool standard_units_use_default_window = true;
  // The fonts of graphic text; empty: the machine's fonts (system_font_source).
  std::shared_ptr<FontSource> font_source;
};

class ConsoleCore final : public CoreAccess {
 public:
  ConsoleCore(Presentation& presentation, ConsoleOptions options);
  ~ConsoleCore();
  ConsoleCore(const ConsoleCore&) = delete;
  ConsoleCore& operator=(const ConsoleCore&) = delete;

  // The console that the program's operations and the window services act on.
  static ConsoleCore* current();
  // Makes this the current console and creates the GUI thread's per-thread state, which
  // creates the default window ("Graphic1").
  void install();
  void uninstall();

  Presentation& presentation() { return presentation_; }
  const DisplayInfo& display() const { return display_; }
  const std::string& program_title() const override { return program_title_; }
  const ConsoleOptions& options() const { return options_; }
  bool is_gui_thread() const { return std::this_thread::get_id() == gui_thread_; }

  // ---- hooks served by the runtime side ----
  // Maps a unit to its window index (-1: no window). Unset: no unit has a window.
  void set_unit_mapper(std::function<int(std::int32_t)> mapper);
  int window_of_unit(std::int32_t unit) const;
  // Writes the line end still owed to the unit of a window (display_cursor calls it first).
  void set_pending_line_end_writer(std::function<void(int window)> writer);
  // The exit list: at most 32 routines, run once, in the order registered.
  bool register_exit_routine(std::function<void()> routine);
  void run_exit_routines();
  // Who ends the program when two ends race: `claim` answers false while an end that the
  // runtime handles itself (a console event such as control-C) is pending or under way.
  // Unset: every claim succeeds.
  void set_program_end_claim(std::function<bool()> claim);

  // ---- pause gate: every program-thread entry holds a GateScope ----
  class GateScope {
   public:
    explicit GateScope(ConsoleCore& core);
    ~GateScope();
    GateScope(const GateScope&) = delete;
    GateScope& operator=(const GateScope&) = delete;

   private:
    ConsoleCore& core_;
    bool counted_ = false;
  };
  // Leaves the gate region for a wait (input, a question) and enters it again afterwards.
  class GateRelease {
   public:
    explicit GateRelease(ConsoleCore& core);
    ~GateRelease();
    GateRelease(const GateRelease&) = delete;
    GateRelease& operator=(const GateRelease&) = delete;

   private:
    ConsoleCore& core_;
    int depth_ = 0;
  };
  void pass_pause_gate();
  RunControl& run_control() { return run_control_; }

  // ---- windows (window_operations.cpp) ----
  // Creates a child window; -1 (graphics_status -1) when the table is full.
  int create_window(std::string_view title, bool take_focus = true);
  // A window unit was connected: create its window, make it the current I/O window and the
  // calling thread's active window.
  int create_unit_window(std::string_view title, bool take_focus);
  void set_focus_request(int index, bool take_focus);
  std::shared_ptr<ChildWindowRecord> find_window(int index) const { return table_.find(index); }
  std::vector<int> window_indices() const override;
  // Closes a unit's window: keep marks it "-Closed", otherwise it is removed. 0, or -1 for
  // an index outside the table.
  int close_unit_window(int index, bool keep) override;
  // The user closes a child window (its close command, GUI thread): refused (false) while
  // its unit is open; the window of a closed unit is destroyed and its slot emptied.
  bool user_close_window(int index);
  // The default window's index, created when missing (0 when none can be made).
  int default_window();
  // Makes `index` (-1: the default window) the calling thread's active window and the
  // current I/O window. 1, or 0 when refused.
  int activate_window(int index);
  int active_window();
  // The frame's current I/O window if it has one, else the calling thread's active window.
  int current_io_window();
  int set_active_window(std::int32_t unit);
  int set_window_size(std::int32_t unit, const WindowPosition& position);
  FrameRequest frame_request() const override;
  // Deletes popup `menu` (1 to kLastMenuNumber) of the frame's menu bar, or its item `item`
  // (from 1; 0: the whole popup). Refused (false) on a program thread without a usable active
  // window, for a menu number out of range, or when the bar has no such popup or item.
  bool delete_menu(int menu, int item);
  // The presentation tells that the frame exists (set_window_size then acts on it).
  void set_frame_exists(bool exists) override;

  // ---- windows of the program's own, without a unit (own_windows.cpp) ----
  // A window that shows a result beside the program's units (an analysis, say): created
  // with `config` applied (its title, virtual screen and text buffer), shown and given the
  // focus. -1 (graphics_status -1) when the table is full or the configuration cannot be
  // applied; the window is then gone again.
  int create_own_window(WindowConfig config);
  // Makes `index` the calling thread's active window, the target of its drawing calls,
  // without making it the frame's current I/O window, and returns the active window before
  // (to be given back the same way).
  int exchange_active_window(int index);
  // The program is done with one of its own windows: it keeps its title and picture, takes
  // no more output, and the user may close it.
  void finish_own_window(int index);

  // ---- configuration (window_configuration.cpp) ----
  enum class ApplyOutcome { Applied, Changed, Failed };
  // Applies `config` to the window; Changed when values were changed and written back.
  ApplyOutcome apply_config(ChildWindowRecord& record, WindowConfig& config);
  // Applies the default configuration to an unconfigured window (twice when the first
  // application reports a change). False when it could not be applied.
  bool ensure_configured(ChildWindowRecord& record);

  // ---- text output (text_output.cpp) ----
  // Writes bytes to a window; the count, or -1 (not a window, unit closed, no memory).
  long write_text(int index, std::string_view bytes, TextOrigin origin = TextOrigin::Program);
  int display_cursor(int flag);

  // ---- graphics state and colours (graphics_state.cpp) ----
  std::shared_ptr<ChildWindowRecord> resolve_graphics_window();
  std::int16_t set_color(std::int16_t index);
  std::int32_t set_bk_color(std::int32_t index);
  std::int16_t set_text_color(std::int16_t index);
  void clear_screen(std::int16_t area);

  // ---- drawing primitives (drawing_primitives.cpp) ----
  // Coordinates are drawing coordinates (the origin added gives surface pixels).
  // The colour index the pixel had, or -1 (graphics_status 1 outside the surface or viewport).
  std::int16_t set_pixel(std::int16_t x, std::int16_t y);
  // ---- queued pixels (pixel_queue.cpp) ----
  // Sets a pixel as set_pixel does, without its answer: on a program thread outside an entry
  // the pixel waits in the thread's queue and is drawn, in order and exactly as set_pixel
  // would have drawn it, before the thread's next console entry, before it stops at the
  // pause gate, when the queue is full, or at flush_pixels. While pixels wait the thread
  // counts as inside the gate region, so a pause is carried out only once they are drawn.
  // graphics_status is that of the last pixel drawn.
  void plot_pixel(std::int16_t x, std::int16_t y);
  // Draws the calling thread's waiting pixels now.
  void flush_pixels();
  // Moves the current position; returns the previous one ((0, 0) without a target window).
  GraphicsPosition move_to(std::int16_t x, std::int16_t y);
  // A one-pixel line from the current position to (x, y), both ends included; the current
  // position becomes (x, y). 1, or 0 when it could not be drawn.
  std::int16_t line_to(std::int16_t x, std::int16_t y);
  // The rectangle through both corners: kBorderOnly or kFilledInterior. 1, or 0.
  std::int16_t draw_rectangle(std::int16_t fill, std::int16_t x1, std::int16_t y1, std::int16_t x2, std::int16_t y2);

  // ---- fonts and graphic text (graphic_text.cpp) ----
  // Builds the font table once and gives the active window a default graphics font: the
  // number of table entries, 0 on failure, -1 without a target window.
  std::int16_t init_fonts();
  // Chooses the window's graphics font by a specification such as "t'Arial'h14w7i": the
  // 1-based table entry, or -1.
  std::int16_t set_font(std::string_view specification);
  // Draws the text (up to a NUL) at the current position in the drawing colour, with a
  // transparent background, and moves the current position right by its width.
  void draw_text(std::string_view text);
  // The font table (for tests and queries); the lock is held while `read` runs.
  void with_font_table(const std::function<void(const FontTable&)>& read);

  // ---- window images (window_images.cpp) ----
  // The size of the image of a rectangle (drawing coordinates) of the active window, or -1.
  std::int32_t window_image_size(std::int16_t x1, std::int16_t y1, std::int16_t x2, std::int16_t y2);
  // Captures a rectangle of the active window into `buffer` (at least window_image_size
  // bytes) as a bitmap file image. 1, or 0 (graphics_status -1).
  std::int16_t capture_window_image(std::int16_t x1, std::int16_t y1, std::int16_t x2, std::int16_t y2,
                                    std::span<std::uint8_t> buffer);
  // Writes the whole surface of window `index` to the file `path`, as File > Save does after
  // its dialog (also for a window whose unit is closed): the bitmap file image, or that image
  // as a PNG file. 0, or the negative graphics status of the failure (-1 no such window, -3,
  // -8, -15, -16, -17); the status is also left in graphics_status. Holds the window's
  // draw_lock only while the picture is captured.
  int save_window_picture(int index, const std::string& path, PictureFormat format) override;

  // ---- line input (line_input.cpp) ----
  // Reads one line typed or pasted into the window: the count (at most n), or -1.
  long read_line(int index, char* buffer, std::size_t n);
  void type_character(int index, unsigned char c) override;
  void press_function_key(int index, int number) override;
  void paste(int index, std::string_view text) override;
  void clear_paste() override;

  // ---- run state and status ----
  void pause() override;
  void resume(int window) override;
  bool pause_in_progress() const override { return run_control_.pause_in_progress(); }
  RunState run_state() const { return run_control_.state(); }
  void set_status_message(std::string_view text);
  void clear_status_message();
  // The status for the presentation; take_ also re-arms the status_changed notification.
  StatusView status_view() const override;
  StatusView take_status_view() override;

  // ---- presentation queries and presentation-owned state ----
  std::optional<WindowInfo> window_info(int index) const override;
  // Calls `paint` under the window's draw_lock with the record and the area changed since
  // the last call (which it clears, re-arming the Changed notification). False when there
  // is no such window. `paint` must not call back into the core (the lock is not
  // recursive) and must not keep a copy of the surface.
  bool with_surface(int index, const std::function<void(const QImage& surface, const QRect& dirty)>& paint) override;
  void set_window_focus(int index, bool focus) override;
  void set_window_view(int index, int scroll_x, int scroll_y, bool fit_to_window) override;

  // ---- selection and copy (window_selection.cpp; GUI thread, program paused) ----
  // What a selection may cover in the window; nothing when there is no such window or it
  // has no surface yet.
  std::optional<SelectionLimits> selection_limits(int index) const override;
  // Records the selection in progress in the window (no selection: mode None).
  void set_selection(int index, const Selection& selection) override;
  // The text of a text selection, copied from the window's text store.
  std::string copy_text(int index, const Selection& selection) override;
  // The pixels of a graphics selection as a bitmap in the window's depth, with its palette
  // for 1, 4 and 8 bits per pixel. A null image when there is no such window or no memory.
  QImage copy_graphics(int index, const Selection& selection) override;
  // The image of the whole surface of window `index` in the bitmap file layout, as Save
  // writes it (also for a window whose unit is closed). 0, or the negative graphics status
  // of the failure (-1 no such window, -3, -8, -15).
  int capture_window_picture(int index, std::vector<std::uint8_t>& image) override;

  // ---- program end (program_end.cpp) ----
  // The program-end sequence on the program thread: Finished, the box, Yes closes the
  // frame; on a program thread it returns once the frame is closed (No: the frame stays
  // until the user closes it).
  void end_program(int exit_code);
  bool program_end_started() const { return program_end_started_.load(); }
  // Exit (Ctrl+C, File > Exit): the frame is closed without a question.
  void request_exit();
  // Asked by a presentation before it ends the program for a reason of its own (end of
  // input): false when a console event ends the program instead, and the presentation must
  // then leave the ending to it.
  bool claim_program_end() override;
  // The frame is being destroyed: runs the exit list, releases a program thread waiting at
  // the end, and returns the process exit code (the program's when it has finished,
  // otherwise `code_if_running`).
  int frame_closed(int code_if_running) override;
  bool frame_is_closed() const { return frame_closed_.load(); }

  // ---- error boxes (error_boxes.cpp) ----
  void show_error_box(ErrorBoxKind kind, int code, std::string_view source, int line) override;
  // Asks the presentation, outside the gate region (never with a window lock held).
  MessageBoxAnswer ask(const MessageBoxRequest& request);
  bool choose_file(const FileDialogRequest& request, std::string& name);

  // ---- used by the parts of the core ----
  // Marks part of the surface changed (under draw_lock) and requests one repaint.
  void mark_dirty(ChildWindowRecord& record, const QRect& area);
  void notify_window(int index, WindowEvent event) { presentation_.window_event(index, event); }
  void notify_status();
  void beep() { presentation_.beep(); }

 private:
  friend class GateScope;
  friend class GateRelease;
  // The per-thread state: the thread's active window and seven further words, made on the
  // thread's first call for this console (which makes the default window active).
  struct ThreadWindowState {
    std::uint64_t serial = 0;
    int active_window = kFirstWindowIndex;
    int words[7] = {};
    // A program thread's last drawing target, kept while the table's generation stays, so
    // that a run of drawing calls does not look the window up every time.
    std::shared_ptr<ChildWindowRecord> drawing_window;
    int drawing_index = 0;
    std::uint64_t drawing_generation = 0;
  };
  ThreadWindowState& thread_state();
  // The target of a drawing call: resolve_graphics_window without the configuration step
  // (lock_configured does it) and, on a program thread, without the table's lock when the
  // window is the one found last time. `held` keeps a window found anew alive for the call.
  struct DrawingTarget {
    ChildWindowRecord* record = nullptr;
    std::shared_ptr<ChildWindowRecord> held;
  };
  DrawingTarget find_drawing_target();
  // The bounds of the pixels a run of drawing changed.
  struct ChangedArea {
    int left = 0, top = 0, right = -1, bottom = -1;
    void add(int x, int y);
    bool empty() const { return right < left; }
  };
  // Sets one surface pixel (drawing coordinates) to the drawing colour; draw_lock held. The
  // colour index it had, or -1 (graphics_status set for the pixel). `changed` grows by the
  // pixel when it was set.
  std::int16_t set_pixel_locked(ChildWindowRecord& record, std::int16_t x, std::int16_t y, ChangedArea& changed);
  // The surface pixel at drawing coordinates (x, y) when it lies in the viewport and on the
  // surface (its row filled), else null; draw_lock held. `px` and `py` get its surface
  // position. The graphics status is the caller's to set.
  static QRgb* pixel_in_viewport(ChildWindowRecord& record, std::int16_t x, std::int16_t y, int& px, int& py);
  // Marks `changed` for repaint unless it lies in the dirty area and a repaint is already
  // requested; draw_lock held.
  void mark_changed(ChildWindowRecord& record, const ChangedArea& changed);
  // The calling thread's waiting pixels: true when it has some for this console. Drawing
  // them leaves the gate region their first pixel entered.
  bool has_queued_pixels() const;
  void draw_queued_pixels();
  // True on a thread inside a console entry (the gate region of a GateScope).
  static bool inside_entry();
  // Takes the window's draw_lock into `lock`, applying the default configuration first to a
  // window never configured. False (graphics_status -1) when it cannot be configured.
  bool lock_configured(ChildWindowRecord& record, std::unique_lock<std::mutex>& lock);
  void reset_graphics_state(ChildWindowRecord& record, const WindowConfig& config);
  // Makes font table entry `index` the window's graphics font with `width` and `height` (-1:
  // the entry's own), applying the pending attributes. index + 1, or -1. fonts_mutex_ held.
  std::int16_t select_font_entry(ChildWindowRecord& record, int index, int width, int height);
  // Captures `area` (surface pixels) of a window into `buffer`; draw_lock held.
  bool capture_locked(const ChildWindowRecord& record, const QRect& area, std::span<std::uint8_t> buffer);
  int stream_window_bitmap(int index, const std::string& path);
  void draw_string(ChildWindowRecord& record, std::string_view text, TextOrigin origin);
  void erase_previous_cell(ChildWindowRecord& record);
  void scroll_text_window(ChildWindowRecord& record);
  void wait_for_line(ChildWindowRecord& record, bool on_gui_thread, std::unique_lock<std::mutex>& editor);
  void echo(int index, std::string_view bytes);
  void show_input_pending(ChildWindowRecord& record);
  void end_input_pending();
  void end_wait_locked();
  void wake_reader_locked();
  void set_paste_status(bool pending);
  [[noreturn]] void fatal_exit();

  Presentation& presentation_;
  const ConsoleOptions options_;
  DisplayInfo display_;
  std::string program_title_;
  const std::thread::id gui_thread_;
  const std::uint64_t serial_;

  WindowTable table_;
  RunControl run_control_;

  mutable std::mutex hooks_mutex_;
  std::function<int(std::int32_t)> unit_mapper_;
  std::function<void(int)> pending_line_end_writer_;
  std::vector<std::function<void()>> exit_routines_;
  std::function<bool()> program_end_claim_;
  bool exit_routines_run_ = false;

  mutable std::mutex frame_mutex_;
  bool frame_exists_ = false;
  FrameRequest frame_request_;

  mutable std::mutex status_mutex_;
  StatusMessages status_;
  bool paste_status_ = false;
  std::atomic<bool> status_pending_{false};

  // The line editor, its lock and the state of a read in progress.
  std::mutex editor_mutex_;
  LineEditor editor_;
  int awaited_window_ = 0;             // the window whose read waits for a line
  int event_window_ = 0;               // the program thread sleeps on this window's input_event
  QEventLoop* nested_loop_ = nullptr;  // a read on the GUI thread waits in this loop
  bool nested_waiting_ = false;
  bool reading_ = false;  // a read is in progress

  // Graphic text: the font table, its source and the attributes that the last set_font
  // asked for (applied by every selection of an entry).
  struct PendingFontAttributes {
    bool italic = false;
    bool underline = false;
    bool bold = false;
  };
  std::mutex fonts_mutex_;
  std::shared_ptr<FontSource> font_source_;
  FontTable font_table_;
  PendingFontAttributes pending_font_;

  std::atomic<bool> program_end_started_{false};
  std::atomic<bool> program_finished_{false};
  std::atomic<int> exit_code_{0};
  std::atomic<bool> frame_closing_{false};
  std::atomic<bool> frame_closed_{false};
  std::mutex end_mutex_;
  std::condition_variable end_condition_;
};

}  // namespace console
