#pragma once
// The Presentation of the frame on screen. Notifications from any thread are queued to the
// GUI thread (GuiThreadQueue) and carried out there by the FrameWindow; they never block.
// Requests (message boxes, the file dialog) made by a program thread are queued the same way
// and the calling thread waits for the answer; made on the GUI thread they run at once.
//
// Once the frame is closed nothing more is shown: queued work is dropped, and a program
// thread that asks a question from then on waits until the presentation is destroyed (the
// process is ending), when it gets MessageBoxAnswer::Failed or a cancelled dialog.

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "console/presentation.h"
#include "gui/gui_thread_queue.h"

namespace gui {

class FrameWindow;

class GuiPresentation final : public console::Presentation {
 public:
  // Made on the GUI thread.
  GuiPresentation();
  ~GuiPresentation() override;
  GuiPresentation(const GuiPresentation&) = delete;
  GuiPresentation& operator=(const GuiPresentation&) = delete;

  // The frame that carries out the work (GUI thread); null before it exists.
  void set_frame(FrameWindow* frame);
  // The frame is closing: nothing more is shown.
  void frame_gone();

  void window_event(int window, console::WindowEvent event) override;
  void status_changed() override;
  void text_written(int window, std::string_view bytes, console::TextOrigin origin) override;
  void beep() override;
  void close_frame() override;
  console::MessageBoxAnswer message_box(const console::MessageBoxRequest& request) override;
  bool choose_file(const console::FileDialogRequest& request, std::string& name) override;
  // On the frame's menu bar; false while there is no frame.
  bool delete_menu(int menu, int item) override;

 private:
  // The state that a waiting program thread shares with the presentation; it outlives the
  // presentation for a thread that wakes up after its destruction.
  struct Waiters {
    std::mutex mutex;
    std::condition_variable condition;
    bool released = false;  // the presentation is gone: every wait ends
  };
  template <class Result>
  Result ask_gui_thread(std::function<Result()> ask, Result if_gone);
  bool on_gui_thread() const { return std::this_thread::get_id() == gui_thread_; }

  const std::thread::id gui_thread_;
  FrameWindow* frame_ = nullptr;  // GUI thread only
  std::shared_ptr<Waiters> waiters_;
  // Declared last: destroyed first, so no queued work runs on a half-destroyed presentation.
  GuiThreadQueue queue_;
};

}  // namespace gui
