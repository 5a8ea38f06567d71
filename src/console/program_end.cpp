// The end of the program and the closing of the frame.

#include <string>

#include "console/console_core.h"

namespace console {

namespace {
constexpr std::string_view kTerminatedText = "Program Terminated with exit code ";
constexpr std::string_view kExitWindowText = "\nExit Window?";
}  // namespace

void ConsoleCore::end_program(int exit_code) {
  if (program_end_started_.exchange(true)) return;
  GateScope gate(*this);
  exit_code_.store(exit_code);
  program_finished_.store(true);
  run_control_.finish();

  bool close = false;
  switch (options_.exit_behaviour) {
    case ExitBehaviour::Close: close = true; break;
    case ExitBehaviour::KeepOpen: break;
    case ExitBehaviour::Prompt: {
      MessageBoxRequest request;
      try {
        request.caption = program_title_;
        request.text = std::string(kTerminatedText) + std::to_string(exit_code) + std::string(kExitWindowText);
      } catch (const std::bad_alloc&) {
        show_error_box(ErrorBoxKind::Error, kErrorBoxOutOfMemory, "qwkexit", 131);
        return;
      }
      request.buttons = MessageBoxButtons::YesNo;
      request.icon = MessageBoxIcon::Warning;
      request.default_answer = MessageBoxAnswer::No;
      request.purpose = MessageBoxPurpose::ProgramEnd;
      const MessageBoxAnswer answer = ask(request);
      if (answer == MessageBoxAnswer::Failed) {
        show_error_box(ErrorBoxKind::Error, kErrorBoxOutOfMemory, "qwkexit", 142);
        return;
      }
      close = answer == MessageBoxAnswer::Yes;
      break;
    }
  }
  // Yes closes the frame; otherwise it stays for the user to look at. Either way the
  // program thread goes on only once the frame is closed (the exit list has run then), so
  // a caller that ends the process right after this never cuts the closing short.
  if (close) presentation_.close_frame();
  if (is_gui_thread()) return;
  GateRelease release(*this);
  std::unique_lock lock(end_mutex_);
  end_condition_.wait(lock, [this] { return frame_closed_.load(); });
}

void ConsoleCore::request_exit() { presentation_.close_frame(); }

bool ConsoleCore::claim_program_end() {
  std::function<bool()> claim;
  {
    std::lock_guard lock(hooks_mutex_);
    claim = program_end_claim_;
  }
  return !claim || claim();
}

int ConsoleCore::frame_closed(int code_if_running) {
  if (!frame_closing_.exchange(true)) {
    run_exit_routines();
    {
      std::lock_guard lock(end_mutex_);
      frame_closed_.store(true);
    }
    end_condition_.notify_all();
  }
  return program_finished_.load() ? exit_code_.load() : code_if_running;
}

}  // namespace console
