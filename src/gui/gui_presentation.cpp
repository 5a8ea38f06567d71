#include "gui/gui_presentation.h"

#include <optional>
#include <utility>

#include "gui/dialogs.h"
#include "gui/frame_menus.h"
#include "gui/frame_window.h"

namespace gui {

GuiPresentation::GuiPresentation() : gui_thread_(std::this_thread::get_id()), waiters_(std::make_shared<Waiters>()) {}

GuiPresentation::~GuiPresentation() {
  queue_.close();
  {
    std::lock_guard lock(waiters_->mutex);
    waiters_->released = true;
  }
  waiters_->condition.notify_all();
}

void GuiPresentation::set_frame(FrameWindow* frame) { frame_ = frame; }

void GuiPresentation::frame_gone() {
  queue_.close();
  frame_ = nullptr;
}

void GuiPresentation::window_event(int window, console::WindowEvent event) {
  queue_.post([this, window, event] {
    if (frame_ != nullptr) frame_->window_event(window, event);
  });
}

void GuiPresentation::status_changed() {
  queue_.post([this] {
    if (frame_ != nullptr) frame_->status_changed();
  });
}

void GuiPresentation::text_written(int, std::string_view, console::TextOrigin) {
  // The frame paints from the surfaces; the text itself is not needed here.
}

void GuiPresentation::beep() {
  queue_.post([this] {
    if (frame_ != nullptr) frame_->beep();
  });
}

void GuiPresentation::close_frame() {
  queue_.post([this] {
    if (frame_ != nullptr) frame_->close();
  });
}

template <class Result>
Result GuiPresentation::ask_gui_thread(std::function<Result()> ask, Result if_gone) {
  if (on_gui_thread()) {
    // A dialog on the GUI thread runs its own event loop; nothing is queued.
    if (queue_.closed()) return if_gone;
    return ask();
  }
  struct Answer {
    bool done = false;
    std::optional<Result> value;
  };
  auto answer = std::make_shared<Answer>();
  std::shared_ptr<Waiters> waiters = waiters_;
  queue_.post([ask = std::move(ask), answer, waiters] {
    Result value = ask();
    {
      std::lock_guard lock(waiters->mutex);
      answer->value = std::move(value);
      answer->done = true;
    }
    waiters->condition.notify_all();
  });
  std::unique_lock lock(waiters->mutex);
  waiters->condition.wait(lock, [&] { return answer->done || waiters->released; });
  return answer->done ? std::move(*answer->value) : if_gone;
}

console::MessageBoxAnswer GuiPresentation::message_box(const console::MessageBoxRequest& request) {
  return ask_gui_thread<console::MessageBoxAnswer>(
      [this, request] { return frame_ != nullptr ? frame_->message_box(request) : show_message_box(nullptr, request); },
      console::MessageBoxAnswer::Failed);
}

bool GuiPresentation::choose_file(const console::FileDialogRequest& request, std::string& name) {
  using Choice = std::pair<bool, std::string>;
  Choice choice = ask_gui_thread<Choice>(
      [this, request] {
        std::string chosen;
        const bool ok =
            frame_ != nullptr ? frame_->choose_file(request, chosen) : show_file_dialog(nullptr, request, chosen);
        return Choice(ok, std::move(chosen));
      },
      Choice(false, std::string()));
  if (choice.first) name = std::move(choice.second);
  return choice.first;
}

bool GuiPresentation::delete_menu(int menu, int item) {
  return ask_gui_thread<bool>(
      [this, menu, item] { return frame_ != nullptr && frame_->menus().delete_menu(menu, item); }, false);
}

}  // namespace gui
