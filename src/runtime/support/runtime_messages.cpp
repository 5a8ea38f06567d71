// Building run-time messages, deciding between returning and reporting an error, and
// emitting a message: FORT0, traceback, diagnostic log, display, and the end of a severe error.

#include <mutex>
#include <string>

#include "runtime/support/emission.h"
#include "runtime/support/environment.h"
#include "runtime/support/error_numbers.h"
#include "runtime/support/errors.h"
#include "runtime/support/message_text.h"
#include "runtime/support/system_errors.h"
#include "runtime/support/termination.h"
#include "runtime/support/traceback.h"
#include "runtime/window_services.h"

namespace runtime {
namespace {

// Message line plus a traceback of up to 64 frames, verbose lines included.
constexpr std::size_t kMessageCapacity = 24 * 1024;

// Serialises the log and standard-error writes of reports from different threads, so their
// lines do not interleave. Never held while the error box is shown.
std::mutex g_output_mutex;

void warn_about_system_error(int system_error, std::string_view variable, std::string_view value) {
  std::string warning = system_error_text(system_error);
  warning.append(" (").append(variable).append("=").append(value).append(")\n");
  write_all(2, warning);
}

// One emission: `box_text` for the error box, `stream_text` (complete with its line ends) for
// the log and standard error.
void deliver(std::string_view box_text, std::string_view stream_text, std::string_view caption) {
  if (const int failure = redirect_standard_error_once(); failure != 0) {
    warn_about_system_error(failure, "FORT0", environment_value("FORT0").value_or(""));
  }
  const bool display = !environment_switch("FOR_DISABLE_DIAGNOSTIC_DISPLAY");
  WindowServices* services = display ? window_services() : nullptr;
  // A message cut short by its buffer still ends its line.
  std::string ended_text;
  if (!stream_text.empty() && stream_text.back() != '\n') {
    ended_text.assign(stream_text).push_back('\n');
    stream_text = ended_text;
  }
  {
    std::lock_guard lock(g_output_mutex);
    if (const int failure = append_to_diagnostic_log(stream_text); failure != 0) {
      warn_about_system_error(failure, "FOR_DIAGNOSTIC_LOG_FILE",
                              environment_value("FOR_DIAGNOSTIC_LOG_FILE").value_or(""));
    }
    if (display && services == nullptr) write_all(2, stream_text);
  }
  if (services != nullptr) services->show_runtime_error(caption, box_text);
}

// Builds and emits the standard-style message of `number`; true when it ends the program.
bool emit_standard_message(int number, const ErrorInserts& inserts) {
  const bool severe = catalogue_severity(number) == Severity::Severe;
  // A severe error inside the exit handler is shown but does not end the program: the exit
  // handler goes on with the next unit.
  const bool ends_program = severe && !exit_handler_running_on_this_thread();
  if (ends_program && debug_exception_requested(number)) raise_debug_exception();

  FixedText<kMessageCapacity> text;
  compose_runtime_message(number, inserts, text);
  text.append_char('\n');
  if (severe && !environment_switch("FOR_DISABLE_STACK_TRACE")) {
    TracebackOptions options;
    options.verbose = environment_switch("FOR_ENABLE_VERBOSE_STACK_TRACE");
    append_traceback(text, options);
  }

  std::string_view box_text = text.view();
  while (!box_text.empty() && box_text.back() == '\n') box_text.remove_suffix(1);
  deliver(box_text, text.view(), kRuntimeErrorCaption);
  return ends_program;
}

}  // namespace

std::string build_runtime_message(int number, const ErrorInserts& inserts) {
  FixedText<4096> text;
  compose_runtime_message(number, inserts, text);
  return std::string(text.view());
}

int report_runtime_error(int number, StatementFlags flags, const ErrorInserts& inserts) {
  if ((flags & kEndBranch) != 0 && (number == kEndOfFileDuringRead || number == kEndOfFileEncountered))
    return kEndIndication;
  if ((flags & kEndOfRecordBranch) != 0 && number == kEndOfRecordDuringRead) return kEndOfRecordIndication;
  if ((flags & kErrorBranch) != 0) return number;
  emit_runtime_message(number, inserts);
  return number;
}

void emit_runtime_message(int number, const ErrorInserts& inserts) {
  if (emit_standard_message(number, inserts)) end_after_severe_error(number);
}

void emit_message_text(std::string_view text, std::string_view caption, Severity severity, int exit_code) {
  const bool ends_program = severity == Severity::Severe && !exit_handler_running_on_this_thread();
  // On a stream the caption leads the text on a line of its own start.
  std::string stream_text("\r\n");
  stream_text.append(caption).append(text);
  if (stream_text.back() != '\n') stream_text.push_back('\n');
  deliver(text, stream_text, caption);
  if (ends_program) end_after_severe_error(exit_code);
}

}  // namespace runtime
