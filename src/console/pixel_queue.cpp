// plot_pixel's queue: the plot sets a pixel per series point, and each set_pixel is a whole
// entry (the gate, the window's draw_lock, the repaint bookkeeping). Queued pixels share
// these: a program thread's pixels wait in its own queue and are drawn in one go, under one
// lock, with one changed area. The queue's first pixel enters the gate region and drawing
// the queue leaves it, so a pause waits until the waiting pixels are on the surface: the
// picture at every stop is the one set_pixel would have left.

#include <algorithm>
#include <array>
#include <cstddef>
#include <limits>
#include <mutex>
#include <utility>

#include "console/console_core.h"
#include "console/graphics_status.h"

namespace console {

namespace {

constexpr std::size_t kQueueLength = 512;

struct QueuedPixel {
  std::int16_t x = 0;
  std::int16_t y = 0;
};

// Trivially destructible, so that it lives as long as the thread and needs no guard.
struct PixelQueue {
  ConsoleCore* core = nullptr;
  std::uint64_t serial = 0;  // the console the pixels are for
  std::size_t count = 0;
  std::array<QueuedPixel, kQueueLength> pixels{};
};

constinit thread_local PixelQueue pixel_queue{};

// A thread that ends with pixels waiting draws them (and leaves the gate region) if their
// console is still the current one.
struct FlushAtThreadEnd {
  ~FlushAtThreadEnd() {
    ConsoleCore* core = pixel_queue.core;
    if (pixel_queue.count > 0 && core != nullptr && ConsoleCore::current() == core) core->flush_pixels();
  }
};

}  // namespace

bool ConsoleCore::has_queued_pixels() const { return pixel_queue.count > 0 && pixel_queue.serial == serial_; }

void ConsoleCore::draw_queued_pixels() {
  PixelQueue& queue = pixel_queue;
  const std::size_t count = std::exchange(queue.count, 0);
  {
    const DrawingTarget target = find_drawing_target();
    std::unique_lock<std::mutex> lock;
    if (target.record != nullptr && lock_configured(*target.record, lock)) {
      ChildWindowRecord& record = *target.record;
      ChangedArea changed;
      if (record.palette.empty()) {
        // No colour to draw with: each pixel is set_pixel's "nothing drawn".
        for (std::size_t i = 0; i < count; ++i) {
          set_pixel_locked(record, queue.pixels[i].x, queue.pixels[i].y, changed);
        }
      } else {
        // With a palette every pixel in the viewport is drawn, as set_pixel draws it, without
        // reading the colour it had: only set_pixel's return value needs that, and the read
        // of a pixel far from the last one is a cache miss. The loop keeps its bounds and the
        // changed area in locals: a structure updated through memory would be stored and read
        // back for every pixel, a stall that costs more than the pixel itself.
        const QRgb color = record.color(record.graphics_color) | 0xFF000000u;
        const PixelBounds bounds = record.pixel_bounds();
        int left = std::numeric_limits<int>::max();
        int top = std::numeric_limits<int>::max();
        int right = std::numeric_limits<int>::min();
        int bottom = std::numeric_limits<int>::min();
        bool last_drawn = false;
        for (std::size_t i = 0; i < count; ++i) {
          const int px = bounds.surface_x(queue.pixels[i].x);
          const int py = bounds.surface_y(queue.pixels[i].y);
          last_drawn = bounds.contains(px, py);
          if (!last_drawn) continue;
          if (py >= record.surface_filled_rows) record.fill_surface_rows(py + 1);
          *bounds.pixel(px, py) = color;
          left = std::min(left, px);
          right = std::max(right, px);
          top = std::min(top, py);
          bottom = std::max(bottom, py);
        }
        if (left <= right) {
          changed = ChangedArea{left, top, right, bottom};
          record.has_graphics = true;
        }
        // Each set_pixel leaves the status of its own pixel: the last one's is what stays.
        if (count > 0) set_graphics_status(last_drawn ? kStatusOk : kStatusNothingDrawn);
      }
      mark_changed(record, changed);
    }
  }
  run_control_.leave();
}

void ConsoleCore::plot_pixel(std::int16_t x, std::int16_t y) {
  PixelQueue& queue = pixel_queue;
  // Pixels already wait: this is a program thread outside an entry (an entry would have
  // drawn them), inside the gate region; while the gate is open the pixel joins them.
  if (queue.count > 0 && queue.serial == serial_ && !run_control_.gate_closed()) {
    queue.pixels[queue.count++] = QueuedPixel{x, y};
    if (queue.count == kQueueLength) draw_queued_pixels();
    return;
  }
  if (is_gui_thread() || inside_entry()) {
    set_pixel(x, y);
    return;
  }
  if (queue.serial != serial_) {
    // Pixels left for a console that is gone are dropped with it.
    queue.count = 0;
    queue.serial = serial_;
    queue.core = this;
  }
  if (queue.count == 0) {
    // The thread's first call makes its window state, an entry of its own, before anything
    // waits; then the queue enters the gate region, stopping at a closed gate as set_pixel
    // would.
    thread_state();
    // Made after the window state, so it ends before it: the flush at the thread's end still
    // finds the thread's drawing target.
    static thread_local FlushAtThreadEnd flush_at_thread_end;
    run_control_.enter();
  } else if (run_control_.gate_closed()) {
    // A pause waits for this thread: the waiting pixels go on the surface before it stops.
    draw_queued_pixels();
    run_control_.enter();
  }
  queue.pixels[queue.count++] = QueuedPixel{x, y};
  if (queue.count == kQueueLength) draw_queued_pixels();
}

void ConsoleCore::flush_pixels() {
  if (has_queued_pixels()) draw_queued_pixels();
}

}  // namespace console
