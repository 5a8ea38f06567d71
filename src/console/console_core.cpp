// The console core's instance, hooks, pause gate, status and the queries the presentation
// makes.

#include "console/console_core.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <climits>

#include "console/palette.h"

namespace console {

namespace {

std::atomic<ConsoleCore*> current_console{nullptr};
std::atomic<std::uint64_t> next_serial{1};

// How deep the calling thread is inside console entries (only the outermost one counts at
// the pause gate).
thread_local int gate_depth = 0;

constexpr std::size_t kMaximumExitRoutines = 32;

// The executable's base name without directory and extension.
std::string executable_title() {
  std::array<char, 257> path{};
  const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size() - 1);
  if (n <= 0) return "VozazAze";
  std::string name(path.data(), static_cast<std::size_t>(n));
  const std::size_t slash = name.find_last_of('/');
  if (slash != std::string::npos) name.erase(0, slash + 1);
  const std::size_t dot = name.find_last_of('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return name.empty() ? "VozazAze" : name;
}

}  // namespace

ConsoleCore::ThreadWindowState& ConsoleCore::thread_state() {
  static thread_local ThreadWindowState state;
  if (state.serial != serial_) {
    state = ThreadWindowState{};
    state.serial = serial_;
    state.active_window = kFirstWindowIndex;
    activate_window(kDefaultWindowIndex);
  }
  return state;
}

ConsoleCore::ConsoleCore(Presentation& presentation, ConsoleOptions options)
    : presentation_(presentation),
      options_(std::move(options)),
      display_(options_.display ? *options_.display : primary_display_info()),
      program_title_(options_.program_title.empty() ? executable_title() : options_.program_title),
      gui_thread_(std::this_thread::get_id()),
      serial_(next_serial.fetch_add(1)),
      run_control_([this] { notify_status(); }) {}

ConsoleCore::~ConsoleCore() { uninstall(); }

ConsoleCore* ConsoleCore::current() { return current_console.load(std::memory_order_acquire); }

void ConsoleCore::install() {
  current_console.store(this, std::memory_order_release);
  thread_state();
}

void ConsoleCore::uninstall() {
  ConsoleCore* self = this;
  current_console.compare_exchange_strong(self, nullptr, std::memory_order_acq_rel);
}

// ---- hooks ----

void ConsoleCore::set_unit_mapper(std::function<int(std::int32_t)> mapper) {
  std::lock_guard lock(hooks_mutex_);
  unit_mapper_ = std::move(mapper);
}

int ConsoleCore::window_of_unit(std::int32_t unit) const {
  std::function<int(std::int32_t)> mapper;
  {
    std::lock_guard lock(hooks_mutex_);
    mapper = unit_mapper_;
  }
  return mapper ? mapper(unit) : -1;
}

void ConsoleCore::set_pending_line_end_writer(std::function<void(int)> writer) {
  std::lock_guard lock(hooks_mutex_);
  pending_line_end_writer_ = std::move(writer);
}

bool ConsoleCore::register_exit_routine(std::function<void()> routine) {
  std::lock_guard lock(hooks_mutex_);
  if (exit_routines_.size() >= kMaximumExitRoutines || !routine) return false;
  exit_routines_.push_back(std::move(routine));
  return true;
}

void ConsoleCore::set_program_end_claim(std::function<bool()> claim) {
  std::lock_guard lock(hooks_mutex_);
  program_end_claim_ = std::move(claim);
}

void ConsoleCore::run_exit_routines() {
  std::vector<std::function<void()>> routines;
  {
    std::lock_guard lock(hooks_mutex_);
    if (exit_routines_run_) return;
    exit_routines_run_ = true;
    routines = exit_routines_;
  }
  for (const auto& routine : routines) routine();
}

// ---- pause gate ----

bool ConsoleCore::inside_entry() { return gate_depth > 0; }

ConsoleCore::GateScope::GateScope(ConsoleCore& core) : core_(core) {
  if (core_.is_gui_thread()) return;
  if (gate_depth == 0) {
    // Pixels waiting from plot_pixel were set before this entry: they are drawn first.
    if (core_.has_queued_pixels()) core_.draw_queued_pixels();
    core_.run_control_.enter();
  }
  ++gate_depth;
  counted_ = true;
}

ConsoleCore::GateScope::~GateScope() {
  if (!counted_) return;
  if (--gate_depth == 0) core_.run_control_.leave();
}

ConsoleCore::GateRelease::GateRelease(ConsoleCore& core) : core_(core) {
  if (core_.is_gui_thread()) return;
  // Nothing waits in the queue while the thread waits (a pause is carried out at once).
  if (core_.has_queued_pixels()) core_.draw_queued_pixels();
  if (gate_depth == 0) return;
  depth_ = gate_depth;
  gate_depth = 0;
  core_.run_control_.leave();
}

ConsoleCore::GateRelease::~GateRelease() {
  if (depth_ == 0) return;
  core_.run_control_.enter();
  gate_depth = depth_;
}

void ConsoleCore::pass_pause_gate() {
  if (is_gui_thread() || gate_depth > 0) return;
  if (has_queued_pixels()) {
    // The waiting pixels keep the thread inside the gate region: while the gate is open it
    // goes on; a pause waits for it, and the pixels are drawn before it stops here.
    if (!run_control_.gate_closed()) return;
    draw_queued_pixels();
  }
  run_control_.pass();
}

// ---- run state and status ----

void ConsoleCore::pause() { run_control_.pause(); }

void ConsoleCore::resume(int /*window*/) {
  // A selection in progress is the presentation's: it ends the selection itself (restoring
  // the title and the picture) before it calls resume.
  run_control_.resume();
}

void ConsoleCore::notify_status() {
  if (!status_pending_.exchange(true)) presentation_.status_changed();
}

void ConsoleCore::set_status_message(std::string_view text) {
  {
    std::lock_guard lock(status_mutex_);
    status_.set(text);
  }
  notify_status();
}

void ConsoleCore::clear_status_message() {
  {
    std::lock_guard lock(status_mutex_);
    status_.clear();
  }
  notify_status();
}

void ConsoleCore::set_paste_status(bool pending) {
  {
    std::lock_guard lock(status_mutex_);
    paste_status_ = pending;
    if (pending) {
      status_.set(kPasteInputPendingText);
    } else {
      status_.clear();
    }
  }
  notify_status();
}

StatusView ConsoleCore::status_view() const {
  StatusView view;
  view.run_state = run_control_.state();
  view.run_state_text = std::string(run_state_text(view.run_state));
  std::lock_guard lock(status_mutex_);
  view.message = status_.current();
  view.input_window = status_.input_owner();
  view.paste_pending = paste_status_;
  return view;
}

StatusView ConsoleCore::take_status_view() {
  status_pending_.store(false);
  return status_view();
}

// ---- presentation queries ----

std::optional<WindowInfo> ConsoleCore::window_info(int index) const {
  auto record = table_.find(index);
  if (!record) return std::nullopt;
  WindowInfo info;
  info.index = index;
  info.unit_closed = record->unit_closed.load();
  std::lock_guard lock(record->draw_lock);
  info.title = record->title;
  info.configured = record->config_applied;
  info.shown = record->window_shown;
  info.take_focus = record->take_focus;
  info.has_focus = record->has_focus;
  info.fit_to_window = record->fit_to_window;
  info.cursor_visible = record->cursor_visible;
  info.pixels_x = record->surface_width;
  info.pixels_y = record->surface_height;
  info.text_columns = record->text_columns;
  info.text_rows = record->text_rows;
  info.char_width = record->char_width;
  info.char_height = record->char_height;
  const int column = std::min(record->text_column, record->text_window.width());
  info.caret = QRect((record->text_window.left + column - 2) * record->char_width,
                     (record->text_window.top + record->text_row - 2) * record->char_height, record->char_width,
                     record->char_height);
  info.clears = record->clears;
  info.geometry = record->geometry_request;
  return info;
}

bool ConsoleCore::with_surface(int index, const std::function<void(const QImage&, const QRect&)>& paint) {
  auto record = table_.find(index);
  if (!record) return false;
  std::lock_guard lock(record->draw_lock);
  const QRect dirty = record->dirty;
  record->dirty = QRect();
  record->repaint_pending.store(false);
  if (paint) paint(record->surface(), dirty);
  return true;
}

void ConsoleCore::mark_dirty(ChildWindowRecord& record, const QRect& area) {
  const QRect clipped = area & QRect(0, 0, record.surface_width, record.surface_height);
  if (!clipped.isEmpty()) record.dirty |= clipped;
  // Called under draw_lock, as with_surface clears the flag under it: a plain load suffices
  // while a request is outstanding.
  if (!record.repaint_pending.load(std::memory_order_relaxed) && !record.repaint_pending.exchange(true)) {
    notify_window(record.index, WindowEvent::Changed);
  }
}

void ConsoleCore::set_window_focus(int index, bool focus) {
  auto record = table_.find(index);
  if (!record) return;
  std::lock_guard lock(record->draw_lock);
  if (record->has_focus == focus) return;
  record->has_focus = focus;
  mark_dirty(*record, QRect());
}

void ConsoleCore::set_window_view(int index, int scroll_x, int scroll_y, bool fit_to_window) {
  auto record = table_.find(index);
  if (!record) return;
  std::lock_guard lock(record->draw_lock);
  record->scroll_x = std::max(0, scroll_x);
  record->scroll_y = std::max(0, scroll_y);
  record->fit_to_window = fit_to_window;
}

}  // namespace console
