// Child windows: creation, closing, the per-thread active window, the current I/O window
// and set_window_size.

#include <new>

#include "console/console_core.h"
#include "console/graphics_status.h"

namespace console {

namespace {
constexpr std::string_view kClosedSuffix = "-Closed";
}

int ConsoleCore::create_window(std::string_view title, bool take_focus) {
  GateScope gate(*this);
  auto record = table_.create(title);
  if (!record) {
    set_graphics_status(kStatusFailure);
    return -1;
  }
  {
    std::lock_guard lock(record->draw_lock);
    record->take_focus = take_focus;
  }
  notify_window(record->index, WindowEvent::Created);
  return record->index;
}

int ConsoleCore::create_unit_window(std::string_view title, bool take_focus) {
  GateScope gate(*this);
  const int index = create_window(title, take_focus);
  if (index < 0) return index;
  if (auto record = table_.find(index)) record->is_unit_io_window.store(true);
  activate_window(index);
  return index;
}

void ConsoleCore::set_focus_request(int index, bool take_focus) {
  auto record = table_.find(index);
  if (!record) return;
  {
    std::lock_guard lock(record->draw_lock);
    record->take_focus = take_focus;
  }
  notify_window(index, WindowEvent::GeometryRequested);
}

std::vector<int> ConsoleCore::window_indices() const {
  std::vector<int> indices;
  for (const auto& record : table_.windows()) indices.push_back(record->index);
  return indices;
}

int ConsoleCore::close_unit_window(int index, bool keep) {
  GateScope gate(*this);
  if (!WindowTable::in_range(index)) {
    set_graphics_status(kStatusFailure);
    return -1;
  }
  auto record = table_.find(index);
  if (!record) return 0;
  if (record->is_unit_io_window.load()) table_.clear_current_io_window(index);

  if (keep) {
    bool changed = false;
    bool out_of_memory = false;
    {
      std::lock_guard lock(record->draw_lock);
      if (!record->unit_closed.load()) {
        try {
          record->title += kClosedSuffix;
          record->unit_closed.store(true);
          changed = true;
        } catch (const std::bad_alloc&) {
          out_of_memory = true;
        }
      }
    }
    if (out_of_memory) {
      show_error_box(ErrorBoxKind::Error, kErrorBoxOutOfMemory, "qwgclose", 88);
      return 0;
    }
    if (changed) {
      notify_window(index, WindowEvent::TitleChanged);
      notify_window(index, WindowEvent::Closed);
    }
  } else {
    record->unit_closed.store(true);
    if (table_.remove(index)) notify_window(index, WindowEvent::Removed);
  }

  if (thread_state().active_window == index) activate_window(kDefaultWindowIndex);
  return 0;
}

bool ConsoleCore::user_close_window(int index) {
  auto record = table_.find(index);
  if (!record || !record->unit_closed.load()) return false;
  if (table_.remove(index)) notify_window(index, WindowEvent::Removed);
  return true;
}

int ConsoleCore::default_window() {
  bool created = false;
  const int index = table_.default_window(created);
  if (created) notify_window(index, WindowEvent::Created);
  return index;
}

int ConsoleCore::activate_window(int index) {
  if (index == kDefaultWindowIndex) {
    index = default_window();
    if (index == 0) return 0;
  } else {
    auto record = table_.find(index);
    if (!record || record->unit_closed.load()) return 0;
  }
  thread_state().active_window = index;
  table_.set_current_io_window(index);
  return 1;
}

int ConsoleCore::active_window() { return thread_state().active_window; }

int ConsoleCore::current_io_window() {
  const int io = table_.current_io_window();
  return io != 0 ? io : thread_state().active_window;
}

int ConsoleCore::set_active_window(std::int32_t unit) {
  GateScope gate(*this);
  const int index = window_of_unit(unit);
  if (index == -1) return 0;  // the unit has no window: nothing happens
  if (!WindowTable::in_range(index)) return 0;
  return activate_window(index);
}

bool ConsoleCore::delete_menu(int menu, int item) {
  if (!is_gui_thread()) {
    GateScope gate(*this);
    const int index = thread_state().active_window;
    if (index == kDefaultWindowIndex) return false;
    const auto record = table_.find(index);
    if (!record || record->unit_closed.load()) return false;
  }
  if (menu < 1 || menu > kLastMenuNumber || item < 0) return false;
  // Asked outside the gate: the presentation answers on its GUI thread.
  return presentation_.delete_menu(menu, item);
}

FrameRequest ConsoleCore::frame_request() const {
  std::lock_guard lock(frame_mutex_);
  return frame_request_;
}

void ConsoleCore::set_frame_exists(bool exists) {
  std::lock_guard lock(frame_mutex_);
  frame_exists_ = exists;
}

int ConsoleCore::set_window_size(std::int32_t unit, const WindowPosition& position) {
  GateScope gate(*this);
  const int state = position.state;
  const bool valid_state = state >= 1 && state <= 4;

  if (unit == kFrameUnit) {
    if (!valid_state) {
      set_graphics_status(kStatusInvalidParameter);
      return -1;
    }
    bool exists = false;
    {
      std::lock_guard lock(frame_mutex_);
      frame_request_.state = state;
      if (state == 4) {
        frame_request_.x = position.x;
        frame_request_.y = position.y;
        frame_request_.width = position.width;
        frame_request_.height = position.height;
      }
      exists = frame_exists_;
    }
    if (!exists) return -1;  // stored; applied when the frame is first shown
    notify_window(0, WindowEvent::GeometryRequested);
    return 0;
  }

  const int index = window_of_unit(unit);
  auto record = WindowTable::in_range(index) ? table_.find(index) : nullptr;
  if (!record || record->unit_closed.load()) {
    set_graphics_status(kStatusFailure);
    return -1;
  }
  {
    std::lock_guard lock(record->draw_lock);
    if (record->configuring) {
      set_graphics_status(kStatusFailure);
      return -1;
    }
  }
  if (!is_gui_thread() && !ensure_configured(*record)) {
    set_graphics_status(kStatusFailure);
    return -1;
  }
  if (!valid_state) {
    set_graphics_status(kStatusInvalidParameter);
    return -1;
  }
  {
    std::lock_guard lock(record->draw_lock);
    WindowGeometryRequest& request = record->geometry_request;
    request.state = state;
    if (state == 4) {
      request.x = position.x * record->char_width;
      request.y = position.y * record->char_height;
      request.width = position.width * record->char_width;
      request.height = position.height * record->char_height;
    }
    ++request.serial;
  }
  notify_window(index, WindowEvent::GeometryRequested);
  return 0;
}

}  // namespace console
