// Fuzz target: the dialogue's answers end to end, in process. The real dialogue (run_dialogue)
// runs on this thread against the runtime's fake windowed console from the unit tests; each
// line of the input is the answer typed to the next question, whatever the question is.
//
// When the input's answers run out, the run is closed with answers that lead to the end: "n"
// to every y/n question but "Change settings?", which gets "y", then Ntrans = 0 and "2" to
// every other question. A dialogue that is still asking after all of them has not ended and
// counts as a hang. So that a run stays short, an answer to the two length questions is cut to
// three characters (a series of at most 999 points); reading six-digit numbers under (I6) is
// the formatted input target's business. Series files go to a scratch directory.
//
// The run must end normally, with no run-time error reported but error 63 for a value that
// does not fit its field.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "app/dialogue.h"
#include "app/recording.h"
#include "fuzz_check.h"
#include "io_test_support.h"
#include "runtime/fio.h"

namespace {

constexpr std::size_t kLengthAnswerLimit = 3;
// Reads the closing answers may take beyond the input's own.
constexpr std::size_t kClosingReads = 64;

std::vector<std::string> split_lines(std::string_view text) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    lines.emplace_back(text.substr(0, end));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

// The question being asked: the last line the window shows.
std::string_view current_question(std::string_view output) {
  const std::size_t line_start = output.rfind('\n');
  return line_start == std::string_view::npos ? output : output.substr(line_start + 1);
}

bool contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

std::string closing_answer(std::string_view question) {
  if (contains(question, "Change settings?")) return "y";
  if (contains(question, "(y/n)")) return "n";
  if (contains(question, "Ntrans =")) return "0";
  return "2";
}

// The fake console of the unit tests, with a user who answers from the input.
class AnsweringWindows : public io_test::FakeWindows {
 public:
  AnsweringWindows(std::vector<std::string> answers, std::string series_path)
      : answers_(std::move(answers)), series_path_(std::move(series_path)) {}

  long read_window_line(int index, char* buffer, std::size_t capacity) override {
    if (index >= 1024 && index < 1024 + static_cast<int>(windows.size())) {
      Window& target = window(index);
      const std::string_view question = current_question(target.output);
      ++reads_;
      fuzz::fuzz_check(reads_ <= answers_.size() + kClosingReads, "the dialogue ends once its questions are answered");
      std::string answer;
      if (next_answer_ < answers_.size()) {
        answer = answers_[next_answer_++];
        if (contains(question, "Ntrans =") || contains(question, "record: N =")) {
          answer.resize(std::min(answer.size(), kLengthAnswerLimit));
        }
      } else {
        answer = closing_answer(question);
      }
      target.lines.push_back(answer);
    }
    return FakeWindows::read_window_line(index, buffer, capacity);
  }

  bool choose_file(std::int32_t, std::string& name) override {
    name = series_path_;
    return true;
  }

 private:
  std::vector<std::string> answers_;
  std::string series_path_;
  std::size_t next_answer_ = 0;
  std::size_t reads_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static io_test::ScratchDirectory directory;
  AnsweringWindows windows(split_lines(std::string_view(reinterpret_cast<const char*>(data), size)),
                           directory.file("series.dat"));
  const io_test::RegisteredWindows registered(windows);
  app::run_dialogue(nullptr);
  // The one run-time error a dialogue may report and go on after: a value too large for its
  // field (a series value of 1.0E9 under F20.10) is written as asterisks with error 63.
  for (const std::string& error : windows.errors_shown) {
    if (contains(error, "error (63): output conversion error")) continue;
    std::fprintf(stderr, "run-time error: %s\n", error.c_str());
    fuzz::fuzz_check(false, "the dialogue raises no run-time error but output conversion");
  }
  fuzz::fuzz_check(windows.end_codes.empty(), "the dialogue does not end the program");
  // The dialogue leaves its unit connected to its window; the next run starts afresh.
  runtime::close_unit(app::kDialogueUnit, runtime::kErrorBranch);
  runtime::close_unit(app::kSeriesUnit, runtime::kErrorBranch);
  return 0;
}
