// Stack walk and traceback layout.

#include "runtime/support/traceback.h"

#include <cxxabi.h>
#include <dlfcn.h>
#include <execinfo.h>
#include <ucontext.h>

#include <cstdlib>
#include <memory>
#include <string_view>

namespace runtime {
namespace {

std::string_view base_name(const char* path) {
  if (path == nullptr || *path == '\0') return {};
  std::string_view name(path);
  const std::size_t slash = name.rfind('/');
  return slash == std::string_view::npos ? name : name.substr(slash + 1);
}

// Demangled routine names are malloc'ed by the C++ library.
struct FreeDeleter {
  void operator()(char* p) const { std::free(p); }
};
using DemangledName = std::unique_ptr<char, FreeDeleter>;

DemangledName demangle(const char* mangled) {
  int status = 0;
  DemangledName name(abi::__cxa_demangle(mangled, nullptr, nullptr, &status));
  if (status != 0) name.reset();
  return name;
}

void append_heading(TextBuffer& out) {
  out.append("Traceback symbolic or hex stack dump follows:\n\n");
  // "%-19.19s%-10.10s%-19.19s%-12.12s%-19.19s\n"
  out.append_field("Image", 19, 19, true);
  out.append_field("PC", 10, 10, true);
  out.append_field("Routine", 19, 19, true);
  out.append_field("Line", 12, 12, true);
  out.append_field("Source", 19, 19, true);
  out.append_char('\n');
}

void append_frame_record(TextBuffer& out, std::uintptr_t pc, const Dl_info* info) {
  const auto routine_start = info ? reinterpret_cast<std::uintptr_t>(info->dli_saddr) : 0;
  const auto image_base = info ? reinterpret_cast<std::uintptr_t>(info->dli_fbase) : 0;
  out.append("    Frame record: routine start ");
  out.append_hex(routine_start, 16, true);
  out.append(", offset ");
  out.append_hex(routine_start != 0 && pc >= routine_start ? pc - routine_start : 0, 1, true);
  out.append(", image base ");
  out.append_hex(image_base, 16, true);
  out.append_char('\n');
}

void append_frame(TextBuffer& out, std::uintptr_t pc, const TracebackOptions& options) {
  Dl_info info{};
  const bool found = dladdr(reinterpret_cast<void*>(pc), &info) != 0;
  std::string_view image = found ? base_name(info.dli_fname) : std::string_view();
  if (image.empty()) image = "Unknown";

  std::string_view routine = "Unknown";
  const char* mangled = found ? info.dli_sname : nullptr;
  // Only when allowed: demangling allocates.
  const DemangledName demangled = (options.may_allocate && mangled != nullptr) ? demangle(mangled) : nullptr;
  if (demangled) {
    routine = demangled.get();
  } else if (mangled != nullptr && *mangled != '\0') {
    routine = mangled;
  }

  // "%-17.17s  %8.8lX  %-17.17s  %10.10s  %s\n"; line and source are unknown.
  out.append_field(image, 17, 17, true);
  out.append("  ");
  out.append_hex(pc, 8, true);
  out.append("  ");
  out.append_field(routine, 17, 17, true);
  out.append("  ");
  out.append_field("", 10, 10, false);
  out.append("  ");
  out.append_char('\n');
  if (options.verbose) append_frame_record(out, pc, found ? &info : nullptr);
}

void append_register(TextBuffer& out, std::string_view name, std::uint64_t value) {
  out.append("    ");
  out.append_field(name, 6, 6, true);
  out.append_hex(value, 16, true);
  out.append_char('\n');
}

void append_registers(TextBuffer& out, const void* machine_context) {
  if (machine_context == nullptr) return;
  const auto* uc = static_cast<const ucontext_t*>(machine_context);
  out.append("Registers at the exception:\n");
#if defined(__x86_64__)
  static constexpr struct {
    const char* name;
    int index;
  } kRegisters[] = {
      {"RIP", REG_RIP}, {"RSP", REG_RSP}, {"RBP", REG_RBP}, {"RAX", REG_RAX}, {"RBX", REG_RBX}, {"RCX", REG_RCX},
      {"RDX", REG_RDX}, {"RSI", REG_RSI}, {"RDI", REG_RDI}, {"R8", REG_R8},   {"R9", REG_R9},   {"R10", REG_R10},
      {"R11", REG_R11}, {"R12", REG_R12}, {"R13", REG_R13}, {"R14", REG_R14}, {"R15", REG_R15}, {"EFL", REG_EFL},
  };
  for (const auto& r : kRegisters) {
    append_register(out, r.name, static_cast<std::uint64_t>(uc->uc_mcontext.gregs[r.index]));
  }
#elif defined(__aarch64__)
  append_register(out, "PC", uc->uc_mcontext.pc);
  append_register(out, "SP", uc->uc_mcontext.sp);
  for (int i = 0; i < 31; ++i) {
    char name[4] = {'X', static_cast<char>('0' + i / 10), static_cast<char>('0' + i % 10), '\0'};
    append_register(out, name, uc->uc_mcontext.regs[i]);
  }
#else
  out.append("    (not available on this processor)\n");
#endif
}

}  // namespace

int walk_stack(void** frames, int capacity) { return backtrace(frames, capacity); }

void append_traceback_frames(TextBuffer& out, void* const* frames, int count, bool walk_failed,
                             const TracebackOptions& options) {
  append_heading(out);
  // After a processor exception, start at the faulting instruction when the walk passes it (it
  // does through the signal frame), so the handler's own frames are left out; else show it first.
  int first = 0;
  if (options.fault_pc != 0) {
    int fault_index = -1;
    for (int i = 0; i < count; ++i) {
      if (reinterpret_cast<std::uintptr_t>(frames[i]) == options.fault_pc) {
        fault_index = i;
        break;
      }
    }
    if (fault_index >= 0) {
      first = fault_index;
    } else {
      append_frame(out, options.fault_pc, options);
    }
  }
  for (int i = first; i < count; ++i) {
    append_frame(out, reinterpret_cast<std::uintptr_t>(frames[i]), options);
  }
  if (walk_failed || count <= 0) out.append("Stack trace terminated abnormally.\n");
  if (options.verbose) append_registers(out, options.machine_context);
}

__attribute__((noinline)) void append_traceback(TextBuffer& out, const TracebackOptions& options) {
  void* frames[kMaxTracebackFrames];
  const int count = walk_stack(frames, kMaxTracebackFrames);
  // The walk starts in this routine (behind a wrapper of backtrace() in some builds): show
  // frames from the caller's on.
  int first = count;
  const auto caller = reinterpret_cast<std::uintptr_t>(__builtin_return_address(0));
  for (int i = 0; i < count; ++i) {
    if (reinterpret_cast<std::uintptr_t>(frames[i]) == caller) {
      first = i;
      break;
    }
  }
  if (first == count) first = count > 0 ? 1 : 0;  // caller not found: drop this routine only
  append_traceback_frames(out, frames + first, count - first, count <= 0, options);
}

void prepare_traceback() {
  void* frames[2];
  (void)backtrace(frames, 2);
}

}  // namespace runtime
