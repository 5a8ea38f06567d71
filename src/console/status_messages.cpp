#include "console/status_messages.h"

namespace console {

void StatusMessages::set(std::string_view text) {
  if (input_owner_ != 0) {
    saved_ = text;
    return;
  }
  saved_ = std::move(current_);
  current_ = text;
}

void StatusMessages::set_input_pending(int window, std::string_view title) {
  std::string text(kInputPendingText);
  text += title;
  if (input_owner_ == 0) saved_ = std::move(current_);
  current_ = std::move(text);
  input_owner_ = window;
}

void StatusMessages::clear() {
  if (input_owner_ != 0) {
    saved_.clear();
    return;
  }
  current_ = std::move(saved_);
  saved_.clear();
}

void StatusMessages::end_input_wait() {
  input_owner_ = 0;
  clear();
}

}  // namespace console
