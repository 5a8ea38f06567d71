#pragma once
// The traceback appended to severe messages: a heading, a column header and one line per
// stack frame (image, program counter, routine, line, source), from backtrace() and dladdr().
// Source files and line numbers are not known at run time here, so those columns stay empty.

#include <cstdint>

#include "runtime/support/message_text.h"

namespace runtime {

struct TracebackOptions {
  // Demangle routine names (allocates: never inside a signal handler).
  bool may_allocate = true;
  // FOR_ENABLE_VERBOSE_STACK_TRACE: a frame record line after each frame and the registers
  // of `machine_context` (a ucontext_t) after the frames.
  bool verbose = false;
  // When non-zero, the walk starts at the frame with this program counter (the faulting
  // instruction), so the signal handler's own frames are left out.
  std::uintptr_t fault_pc = 0;
  const void* machine_context = nullptr;
};

// Walks the stack from the caller of this routine and appends the traceback.
void append_traceback(TextBuffer& out, const TracebackOptions& options);

// The walk alone, for a signal handler that lets another thread lay the traceback out (that
// thread may demangle names). Returns the number of return addresses stored.
inline constexpr int kMaxTracebackFrames = 64;
int walk_stack(void** frames, int capacity);

// Appends the traceback of frames walked earlier; `walk_failed` ends it with "Stack trace
// terminated abnormally.".
void append_traceback_frames(TextBuffer& out, void* const* frames, int count, bool walk_failed,
                             const TracebackOptions& options);

// Loads the unwinder once, so that a later walk inside a signal handler does not have to.
void prepare_traceback();

}  // namespace runtime
