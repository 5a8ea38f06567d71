#include "runtime/io/blank_name.h"

#include <cstdio>
#include <string_view>

#include "runtime/io/byte_channel.h"
#include "runtime/io/carriage_control.h"
#include "runtime/io/file_names.h"
#include "runtime/io/terminal_device.h"
#include "runtime/support/error_numbers.h"
#include "runtime/support/lifecycle.h"
#include "runtime/window_services.h"

namespace runtime {

namespace {

// Reads one line from standard input, a byte at a time so that nothing after it is taken.
// Returns false at end of file or on a read failure. Bytes beyond the longest possible name
// are read and dropped, so a long line never grows without bound.
bool read_standard_input_line(std::string& line) {
  ByteChannel input = ByteChannel::for_descriptor(0, false, false, true);
  line.clear();
  bool any = false;
  for (;;) {
    long got = input.fill();
    if (got <= 0) return any;
    any = true;
    char c = input.available().front();
    input.consume(1);
    if (c == '\n') break;
    if (line.size() <= kMaxFileNameLength * 4) line.push_back(c);
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

int ask_on_console(std::int32_t unit, std::string& name) {
  char prompt[96];
  int length = std::snprintf(prompt, sizeof prompt, "File name missing or blank - please enter file name\r\nUNIT %d? ",
                             static_cast<int>(unit));
  TerminalDevice& console = console_output_device();
  for (;;) {
    // The prompt is a courtesy: a console that cannot show it still reads the answer, and
    // the read below decides the outcome.
    static_cast<void>(prepare_terminal_for_read(console, -1));
    static_cast<void>(console.write(std::string_view(prompt, static_cast<std::size_t>(length)), nullptr));
    std::string line;
    if (!read_standard_input_line(line)) return kEndOfFileDuringRead;
    std::string_view answer = trim_file_name(line);
    // An empty answer asks again.
    if (!answer.empty()) {
      name.assign(answer);
      return 0;
    }
  }
}

int ask_in_dialog(WindowServices& services, std::int32_t unit, std::string& name) {
  for (int round = 0; round < kMaxFileDialogRounds; ++round) {
    std::string chosen;
    if (services.choose_file(unit, chosen)) {
      std::string_view answer = trim_file_name(chosen);
      if (!answer.empty()) {
        name.assign(answer);
        return 0;
      }
    }
    if (services.ask_yes_no("File Open Error", "A File Must be Selected\r\rTerminate Program?")) {
      end_process(1);
    }
  }
  return kFileNameSpecificationError;
}

}  // namespace

int ask_for_file_name(std::int32_t unit, std::string& name) {
  if (std::optional<std::string> argument = take_next_command_argument()) {
    // A blank argument is used up like any other and leaves the name to be asked for.
    std::string_view answer = trim_file_name(*argument);
    if (!answer.empty()) {
      name.assign(answer);
      return 0;
    }
  }
  if (WindowServices* services = window_services()) return ask_in_dialog(*services, unit, name);
  return ask_on_console(unit, name);
}

}  // namespace runtime
