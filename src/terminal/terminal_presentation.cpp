#include "terminal/terminal_presentation.h"

#include <QCoreApplication>

#include <unistd.h>

#include <chrono>
#include <thread>

namespace terminal {

namespace {

constexpr std::string_view kFilePrompt = "File name missing or blank - please enter file name\r\nUNIT ";

// Line ends of a message text (CR LF, CR, LF) as line feeds.
std::string with_line_feeds(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      out.push_back('\n');
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

}  // namespace

TerminalPresentation::TerminalPresentation(TerminalStreams streams)
    : streams_(streams),
      transcript_(file_descriptor_sink(streams.output), ::isatty(streams.input) == 1),
      reader_(streams.input) {}

TerminalPresentation::~TerminalPresentation() = default;

void TerminalPresentation::set_save_pictures(std::string directory, PictureSaver saver) {
  pictures_directory_ = std::move(directory);
  picture_saver_ = std::move(saver);
}

void TerminalPresentation::post(std::function<void()> work) { main_thread_.post(std::move(work)); }

void TerminalPresentation::write_error(std::string_view text) { file_descriptor_sink(streams_.error)(text); }

void TerminalPresentation::window_event(int, console::WindowEvent) {
  // Nothing is shown; the surfaces are kept by the console for the picture saver.
}

void TerminalPresentation::status_changed() {
  post([this] { check_input(); });
}

void TerminalPresentation::text_written(int, std::string_view bytes, console::TextOrigin origin) {
  transcript_.write(bytes, origin);
}

void TerminalPresentation::beep() {
  // No sound without a screen.
}

void TerminalPresentation::close_frame() {
  post([this] { finish(0); });
}

console::MessageBoxAnswer TerminalPresentation::message_box(const console::MessageBoxRequest& request) {
  const bool program_end = request.purpose == console::MessageBoxPurpose::ProgramEnd;
  if (program_end && !announce_program_end_) return console::MessageBoxAnswer::Yes;
  std::string caption = request.caption;
  while (!caption.empty() && caption.back() == ' ') caption.pop_back();
  transcript_.finish();
  write_error(caption + "\n" + with_line_feeds(request.text) + "\n");
  if (program_end) return console::MessageBoxAnswer::Yes;
  return request.default_answer;
}

bool TerminalPresentation::choose_file(const console::FileDialogRequest& request, std::string& name) {
  transcript_.write_prompt(std::string(kFilePrompt) + std::to_string(request.unit) + "? ");
  std::optional<std::string> line = reader_.read_line();
  if (!line) {
    post([this] { end_of_input(); });
    // The main thread ends the process; this thread is not to go on.
    while (true) std::this_thread::sleep_for(std::chrono::hours(1));
  }
  transcript_.write(*line, console::TextOrigin::Echo);
  transcript_.write("\n", console::TextOrigin::Echo);
  if (line->find_first_not_of(' ') == std::string::npos) return false;
  name = *line;
  return true;
}

void TerminalPresentation::check_input() {
  console::CoreAccess* core = core_.load();
  if (core == nullptr || finishing_) return;
  const console::StatusView view = core->take_status_view();
  const int window = typing_window(view);
  if (window != 0 && held_line_) {
    std::string line = std::move(*held_line_);
    held_line_.reset();
    type_line(window, std::move(line));
    return;
  }
  if (line_requested_ || window == 0) return;
  line_requested_ = true;
  reader_.request([this](std::optional<std::string> line) {
    post([this, line = std::move(line)]() mutable { deliver_line(std::move(line)); });
  });
}

int TerminalPresentation::typing_window(const console::StatusView& view) const {
  if (view.input_window != 0) return view.input_window;
  // Paused with no read waiting: lines are still read, because the keys that resume the
  // program (Ctrl+Q, Esc) can only come from standard input, and the end of input must end
  // the program whether it is paused or not. Their keys go to the window typed into last,
  // where they act as keys typed while paused do (refused, except the ones that resume).
  if (view.run_state == console::RunState::Paused) return last_typed_window_;
  return 0;
}

void TerminalPresentation::deliver_line(std::optional<std::string> line) {
  line_requested_ = false;
  console::CoreAccess* core = core_.load();
  if (core == nullptr || finishing_) return;
  if (!line) {
    end_of_input();
    return;
  }
  const int window = typing_window(core->status_view());
  if (window == 0) {
    held_line_ = std::move(line);
    return;
  }
  type_line(window, std::move(*line));
}

void TerminalPresentation::type_line(int window, std::string line) {
  console::CoreAccess* core = core_.load();
  const std::size_t carriage_return = line.find('\r');
  if (carriage_return != std::string::npos) {
    held_line_ = line.substr(carriage_return + 1);
    line.erase(carriage_return);
  }
  last_typed_window_ = window;
  if (transcript_.input_is_terminal()) transcript_.line_typed();
  for (const char byte : line) core->type_character(window, static_cast<unsigned char>(byte));
  core->type_character(window, '\r');
  // A line that did not end the read (typed while paused, or refused) leaves the read
  // waiting and changes no status: look again, so that the next line (or the end of input)
  // still reaches the program.
  post([this] { check_input(); });
}

void TerminalPresentation::end_of_input() {
  if (finishing_) return;
  console::CoreAccess* core = core_.load();
  // A console event (control-C and the rest) that came first ends the program itself.
  if (core != nullptr && !core->claim_program_end()) return;
  transcript_.finish();
  const std::string title = core != nullptr ? core->program_title() : std::string("mapexplorer");
  write_error(title + ": end of file on standard input while the program waits for input\n");
  finish(1);
}

void TerminalPresentation::finish(int code_if_running) {
  if (finishing_) return;
  finishing_ = true;
  transcript_.finish();
  console::CoreAccess* core = core_.load();
  if (!pictures_directory_.empty() && core != nullptr) {
    if (!picture_saver_) {
      write_error("--save-pictures: saving pictures is not available in this build\n");
    } else if (!picture_saver_(*core, pictures_directory_)) {
      write_error("--save-pictures: the pictures could not all be saved in " + pictures_directory_ + "\n");
    }
  }
  const int code = core != nullptr ? core->frame_closed(code_if_running) : code_if_running;
  QCoreApplication::exit(code);
}

}  // namespace terminal
