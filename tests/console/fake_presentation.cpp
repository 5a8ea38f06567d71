#include "fake_presentation.h"

#include <chrono>
#include <cstdio>

namespace console_test {

void FakePresentation::window_event(int window, console::WindowEvent event) {
  std::lock_guard lock(mutex_);
  events_.emplace_back(window, event);
}

void FakePresentation::status_changed() {
  std::lock_guard lock(mutex_);
  ++status_notifications_;
}

void FakePresentation::text_written(int window, std::string_view bytes, console::TextOrigin origin) {
  std::lock_guard lock(mutex_);
  written_.emplace_back(window, origin == console::TextOrigin::EchoErase ? std::string("\b") : std::string(bytes));
}

void FakePresentation::beep() {
  std::lock_guard lock(mutex_);
  ++beeps_;
}

void FakePresentation::close_frame() {
  std::lock_guard lock(mutex_);
  ++close_frame_calls_;
}

console::MessageBoxAnswer FakePresentation::message_box(const console::MessageBoxRequest& request) {
  console::MessageBoxAnswer answer = request.default_answer;
  {
    std::lock_guard lock(mutex_);
    boxes_.push_back(request);
    if (!answers_.empty()) {
      answer = answers_.front();
      answers_.pop_front();
    }
  }
  condition_.notify_all();
  if (echo_boxes_) {
    std::fprintf(stderr, "[%s] %s\n", request.caption.c_str(), request.text.c_str());
    std::fflush(stderr);
  }
  return answer;
}

bool FakePresentation::choose_file(const console::FileDialogRequest& request, std::string& name) {
  std::lock_guard lock(mutex_);
  file_requests_.push_back(request);
  if (!file_answer_) return false;
  name = *file_answer_;
  return true;
}

void FakePresentation::queue_answer(console::MessageBoxAnswer answer) {
  std::lock_guard lock(mutex_);
  answers_.push_back(answer);
}

void FakePresentation::set_file_answer(std::optional<std::string> name) {
  std::lock_guard lock(mutex_);
  file_answer_ = std::move(name);
}

int FakePresentation::beeps() const {
  std::lock_guard lock(mutex_);
  return beeps_;
}

int FakePresentation::close_frame_calls() const {
  std::lock_guard lock(mutex_);
  return close_frame_calls_;
}

int FakePresentation::status_notifications() const {
  std::lock_guard lock(mutex_);
  return status_notifications_;
}

std::vector<std::pair<int, console::WindowEvent>> FakePresentation::events() const {
  std::lock_guard lock(mutex_);
  return events_;
}

int FakePresentation::count_events(int window, console::WindowEvent event) const {
  std::lock_guard lock(mutex_);
  int n = 0;
  for (const auto& e : events_) n += (e.first == window && e.second == event) ? 1 : 0;
  return n;
}

std::vector<console::MessageBoxRequest> FakePresentation::boxes() const {
  std::lock_guard lock(mutex_);
  return boxes_;
}

std::vector<console::FileDialogRequest> FakePresentation::file_requests() const {
  std::lock_guard lock(mutex_);
  return file_requests_;
}

std::string FakePresentation::written(int window) const {
  std::lock_guard lock(mutex_);
  std::string out;
  for (const auto& w : written_) {
    if (w.first == window) out += w.second;
  }
  return out;
}

void FakePresentation::clear() {
  std::lock_guard lock(mutex_);
  events_.clear();
  written_.clear();
  boxes_.clear();
  file_requests_.clear();
  beeps_ = 0;
  close_frame_calls_ = 0;
  status_notifications_ = 0;
}

bool FakePresentation::wait_for_boxes(std::size_t count, int milliseconds) {
  std::unique_lock lock(mutex_);
  return condition_.wait_for(lock, std::chrono::milliseconds(milliseconds), [&] { return boxes_.size() >= count; });
}

}  // namespace console_test
