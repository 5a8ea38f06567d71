#pragma once
// The console operations the program calls. Each acts on the current console
// (ConsoleCore::current()) and, for the graphics ones, on the calling thread's active
// window; each passes the pause gate. Without a console they refuse (-1, or 0 for
// set_active_window) and leave graphics_status -1.

#include <cstdint>

#include "console/console_core.h"

namespace console {

// unit kFrameUnit (0x80000000) names the frame. 0, or -1 (graphics_status -1 for a bad
// window, -4 for a state other than 1 to 4).
int set_window_size(std::int32_t unit, const WindowPosition& position);
// Makes the unit's window the calling thread's active window and the current I/O window.
// 1, or 0 when refused (no such window, its unit closed, or the unit has no window).
int set_active_window(std::int32_t unit);
// 1 shows the caret (while the window has the focus), 0 hides it; the previous flag, or -1.
int display_cursor(int flag);
// The previous colour index, or -1 without a target window.
std::int16_t set_color(std::int16_t index);
std::int32_t set_bk_color(std::int32_t index);
std::int16_t set_text_color(std::int16_t index);
// 0 the whole window, 1 the viewport, 2 the text window; the outcome is in graphics_status.
void clear_screen(std::int16_t area);
// The outcome of the most recent graphics or window operation.
std::int16_t get_graphics_status();

}  // namespace console
