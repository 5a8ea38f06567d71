#pragma once
// The routines through which the runtime reaches text windows, dialogs and the program-end
// sequence. The windowed console registers them at start-up; with none registered the
// runtime behaves as a console application (USER is standard output, window operations are
// refused with "Using VozazAze is illegal in console application").

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace runtime {

class WindowServices {
 public:
  virtual ~WindowServices() = default;

  // Creates a text child window titled `title`; `take_focus` when IOFOCUS is true or absent.
  // Returns the window index, or -1.
  [[nodiscard]] virtual int create_window(std::string_view title, bool take_focus) = 0;
  // A later OPEN of the same window unit changed its IOFOCUS.
  virtual void set_focus_request(int window, bool take_focus) = 0;
  // Closes a unit's window: keep marks it closed (title gains "-Closed"), otherwise it is
  // removed. Returns 0, or -1 for an index outside the table.
  [[nodiscard]] virtual int close_window(int window, bool keep) = 0;
  // Text output to the window; returns the number of bytes written, or -1.
  virtual long write_window(int window, std::string_view bytes) = 0;
  // Reads one line typed (or pasted) into the window, at most `capacity` bytes, without its
  // end. Returns the count, or -1 (not a window, unit closed). The caller then echoes CR LF.
  virtual long read_window_line(int window, char* buffer, std::size_t capacity) = 0;
  // The window that the standard units (0, 5, 6 and the reserved units) use, or -1 to use
  // the process's standard handles.
  virtual int standard_unit_window() = 0;

  // File dialog titled "Open: Select File for Unit " and the unit number; false when cancelled.
  virtual bool choose_file(std::int32_t unit, std::string& name) = 0;
  // A Yes/No message box (No preselected, exclamation icon); true for Yes.
  virtual bool ask_yes_no(std::string_view caption, std::string_view text) = 0;
  // Shows a run-time error message in the error box with `caption` ("Quillon run-time error ").
  virtual void show_runtime_error(std::string_view caption, std::string_view text) = 0;

  // The program-end sequence, called after the exit handler has run with the exit code.
  // Returns when the process should exit now (it may never return while the frame is kept).
  virtual void end_program(int exit_code) = 0;

  // Every statement passes this gate before it touches a unit; it blocks while paused.
  virtual void pass_pause_gate() = 0;
};

// Registers the windowed console's routines (null: console application).
void register_window_services(WindowServices* services);
WindowServices* window_services();

}  // namespace runtime
