#pragma once
// A presentation for tests: records what the console tells it and answers questions from a
// script. Safe to call from any thread.

#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "console/presentation.h"

namespace console_test {

class FakePresentation : public console::Presentation {
 public:
  void window_event(int window, console::WindowEvent event) override;
  void status_changed() override;
  void text_written(int window, std::string_view bytes, console::TextOrigin origin) override;
  void beep() override;
  void close_frame() override;
  console::MessageBoxAnswer message_box(const console::MessageBoxRequest& request) override;
  bool choose_file(const console::FileDialogRequest& request, std::string& name) override;

  // Answers for the next message boxes, in order; without one the box's default answer.
  void queue_answer(console::MessageBoxAnswer answer);
  // When set, every message box also goes to standard error (for death tests).
  void echo_boxes_to_stderr() { echo_boxes_ = true; }
  void set_file_answer(std::optional<std::string> name);

  int beeps() const;
  int close_frame_calls() const;
  int status_notifications() const;
  std::vector<std::pair<int, console::WindowEvent>> events() const;
  int count_events(int window, console::WindowEvent event) const;
  std::vector<console::MessageBoxRequest> boxes() const;
  std::vector<console::FileDialogRequest> file_requests() const;
  // Everything written to `window`; echo is included and erases show as "\b".
  std::string written(int window) const;
  void clear();
  // Waits until at least `count` message boxes were shown (false after the timeout).
  bool wait_for_boxes(std::size_t count, int milliseconds = 5000);

 private:
  mutable std::mutex mutex_;
  std::condition_variable condition_;
  std::vector<std::pair<int, console::WindowEvent>> events_;
  std::vector<std::pair<int, std::string>> written_;
  std::vector<console::MessageBoxRequest> boxes_;
  std::vector<console::FileDialogRequest> file_requests_;
  std::deque<console::MessageBoxAnswer> answers_;
  std::optional<std::string> file_answer_;
  int beeps_ = 0;
  int close_frame_calls_ = 0;
  int status_notifications_ = 0;
  bool echo_boxes_ = false;
};

}  // namespace console_test
