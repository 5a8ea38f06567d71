// Fuzz target: the console's line editor and paste input, driven through the console core as
// the frame drives it: any sequence of typed characters (control characters, Backspace, Tab,
// Enter, Ctrl+C/S/Q and Esc among them), function keys, pastes of any text, Clear Paste, and
// reads of any size on the input window.
//
// Layout: every byte is a typed character, except that '~' starts a command: "~r" and a byte
// reads with kReadSizes[byte mod 11] bytes, "~p", a length byte and that many bytes pastes
// them, "~c" is Clear Paste, "~f" and a byte presses function key byte mod 14 (0 and 13 are
// not function keys), "~~" types '~' and '~' with any other byte types that byte.
//
// The reads run on the GUI thread (this thread), where a read waits in a nested event loop.
// What the input does between one read and the next is queued to that loop, so it happens
// while the read waits; then Resume and Enter are typed until the read returns, which must
// happen within a bounded number of rounds. A read returns at most the bytes it asked for, and
// a line that was typed (no paste pending when the read began) never passes the 128 bytes of
// the line.

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTimer>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "console/console_core.h"
#include "console/line_editor.h"
#include "fake_presentation.h"
#include "fuzz_check.h"
#include "input_bytes.h"

namespace {

struct Step {
  enum class Kind { Type, Paste, ClearPaste, FunctionKey, Read } kind = Kind::Type;
  unsigned char character = 0;
  int number = 0;
  std::string text;
  std::size_t capacity = 0;
};

constexpr std::size_t kMaxSteps = 512;
constexpr std::size_t kReadSizes[] = {0, 1, 2, 5, 16, 126, 127, 128, 129, 200, 1024};
// Resume-and-Enter rounds after which a read that still waits counts as hung.
constexpr int kMaxEndingRounds = 1000;
constexpr unsigned char kResume = 17;  // Ctrl+Q

std::vector<Step> parse_steps(fuzz::InputBytes& input) {
  std::vector<Step> steps;
  while (!input.empty() && steps.size() < kMaxSteps) {
    Step step;
    step.character = input.byte();
    if (step.character == '~') {
      const std::uint8_t command = input.byte();
      switch (command) {
        case 'r':
          step.kind = Step::Kind::Read;
          step.capacity = kReadSizes[input.byte() % std::size(kReadSizes)];
          break;
        case 'p':
          step.kind = Step::Kind::Paste;
          step.text = input.bytes(input.byte());
          break;
        case 'c': step.kind = Step::Kind::ClearPaste; break;
        case 'f':
          step.kind = Step::Kind::FunctionKey;
          step.number = input.byte() % 14;
          break;
        default: step.character = command; break;
      }
    }
    steps.push_back(std::move(step));
  }
  return steps;
}

// One run: a fresh console core with its input window, and the reads in progress.
class Session {
 public:
  Session() {
    console::ConsoleOptions options;
    options.display = console::DisplayInfo{1024, 768, 32, 1};
    options.program_title = "mapexplorer";
    core_ = std::make_unique<console::ConsoleCore>(presentation_, options);
    core_->install();
    window_ = core_->create_unit_window("Input Window", true);
  }
  ~Session() {
    QCoreApplication::processEvents();  // lets queued steps and endings of the last read run out
    core_->uninstall();
  }
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  void apply(const Step& step) {
    switch (step.kind) {
      case Step::Kind::Type: core_->type_character(window_, step.character); break;
      case Step::Kind::Paste: core_->paste(window_, step.text); break;
      case Step::Kind::ClearPaste: core_->clear_paste(); break;
      case Step::Kind::FunctionKey: core_->press_function_key(window_, step.number); break;
      case Step::Kind::Read: break;
    }
  }

  // Reads with `capacity` bytes while `during` is applied.
  void read(std::size_t capacity, std::vector<const Step*> during) {
    const int serial = ++read_serial_;
    QTimer::singleShot(0, [this, serial, during = std::move(during)] {
      for (const Step* step : during) apply(*step);
      end_read(serial, 0);
    });
    const bool paste_at_start = core_->status_view().paste_pending;
    std::string buffer(capacity, '\0');
    reading_ = true;
    const long count = core_->read_line(window_, buffer.data(), capacity);
    reading_ = false;
    QCoreApplication::processEvents();
    fuzz::fuzz_check(count >= 0, "a read on the waiting input window returns a line");
    fuzz::fuzz_check(static_cast<std::size_t>(count) <= capacity, "a read returns at most the bytes asked for");
    if (!paste_at_start) {
      fuzz::fuzz_check(count <= console::kLineCapacity, "a typed line stays within 128 bytes");
    }
  }

 private:
  // Types Resume and Enter, again on the next turn of the loop, until read `serial` returns.
  void end_read(int serial, int round) {
    if (!reading_ || serial != read_serial_) return;
    fuzz::fuzz_check(round < kMaxEndingRounds, "a read ends once Enter is typed");
    core_->type_character(window_, kResume);
    core_->type_character(window_, '\r');
    QTimer::singleShot(0, [this, serial, round] { end_read(serial, round + 1); });
  }

  console_test::FakePresentation presentation_;
  std::unique_ptr<console::ConsoleCore> core_;
  int window_ = 0;
  int read_serial_ = 0;
  bool reading_ = false;
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // Qt gets the program name only: it must not take libFuzzer's options for its own.
  static int qt_argc = 1;
  static char* qt_argv[] = {(*argv)[0], nullptr};
  static QGuiApplication application(qt_argc, qt_argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::InputBytes input(data, size);
  const std::vector<Step> steps = parse_steps(input);
  Session session;
  std::size_t next = 0;
  while (next < steps.size()) {
    const Step& step = steps[next++];
    if (step.kind != Step::Kind::Read) {
      session.apply(step);  // no read waits: typing beeps, pasted text waits for a read
      continue;
    }
    std::vector<const Step*> during;
    while (next < steps.size() && steps[next].kind != Step::Kind::Read) during.push_back(&steps[next++]);
    session.read(step.capacity, std::move(during));
  }
  return 0;
}
