#pragma once
// Starting the console for a program: the calling thread (which must own the
// Q(Gui)Application) becomes the GUI thread and runs the event loop; the program runs on a
// program thread of its own. When the program's routine returns without having run the
// end-of-program sequence, the console runs it with the routine's result as exit code.
//
// The process exit code is what the presentation's event loop ends with (see
// ConsoleCore::frame_closed). When the event loop ends while the program thread still runs
// (the frame was closed during a read, for example), the thread cannot be joined: the
// standard streams are flushed and the process ends at once, so that no destructor races
// the running program thread.

#include <functional>

#include "console/console_core.h"
#include "console/presentation.h"

namespace console {

// `prepare` runs on the GUI thread after the core is made and before it is installed (to
// register hooks and window services); `program` runs on the program thread and returns
// the exit code.
int run_console(Presentation& presentation, ConsoleOptions options, const std::function<void(ConsoleCore&)>& prepare,
                std::function<int()> program);

}  // namespace console
