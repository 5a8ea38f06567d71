#pragma once
// The status bar's message: a current message and one saved message, and the input owner
// (the window whose read waits). While an input owner exists its "Input pending in ..." text
// stays in view and other messages only replace the saved one; ending the input wait brings
// back the message that was current before the read.

#include <string>
#include <string_view>

namespace console {

inline constexpr std::string_view kInputPendingText = "Input pending in ";
inline constexpr std::string_view kPasteInputPendingText = "Paste input pending";

class StatusMessages {
 public:
  // Shows `text` (or keeps it as the saved message while an input owner exists).
  void set(std::string_view text);
  // "Input pending in " + title, with `window` as the input owner.
  void set_input_pending(int window, std::string_view title);
  // Clears the message: the saved one while an input owner exists, else the current one,
  // bringing the saved one back.
  void clear();
  // Ends the input wait: no input owner, then clear().
  void end_input_wait();

  const std::string& current() const { return current_; }
  const std::string& saved() const { return saved_; }
  int input_owner() const { return input_owner_; }

 private:
  std::string current_;
  std::string saved_;
  int input_owner_ = 0;
};

}  // namespace console
