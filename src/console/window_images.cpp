// Window images: the size query, capture_window_image and the writing of a window's whole
// surface to a bitmap or PNG file (File > Save after its dialog, the terminal's saved
// pictures, a recording's picture).

#include <climits>
#include <cstdlib>
#include <utility>
#include <vector>

#include "console/console_core.h"
#include "console/graphics_status.h"
#include "console/window_image.h"

namespace console {

bool ConsoleCore::capture_locked(const ChildWindowRecord& record, const QRect& area, std::span<std::uint8_t> buffer) {
  if (record.surface.isNull() || !is_image_depth(record.bits_per_pixel)) return false;
  return encode_window_image(record.surface, area, record.bits_per_pixel, record.palette, buffer);
}

std::int32_t ConsoleCore::window_image_size(std::int16_t x1, std::int16_t y1, std::int16_t x2, std::int16_t y2) {
  GateScope gate(*this);
  auto record = resolve_graphics_window();
  if (!record) return -1;
  int bits = 0;
  {
    std::lock_guard lock(record->draw_lock);
    bits = record->bits_per_pixel;
  }
  const std::int64_t width = std::abs(static_cast<int>(x2) - x1) + 1;
  const std::int64_t height = std::abs(static_cast<int>(y2) - y1) + 1;
  const std::int64_t size = image_file_size(width, height, bits);
  return size < 0 || size > INT32_MAX ? -1 : static_cast<std::int32_t>(size);
}

std::int16_t ConsoleCore::capture_window_image(std::int16_t x1, std::int16_t y1, std::int16_t x2, std::int16_t y2,
                                               std::span<std::uint8_t> buffer) {
  GateScope gate(*this);
  auto record = resolve_graphics_window();
  if (!record) {
    set_graphics_status(kStatusFailure);
    return 0;
  }
  if (x2 < x1 || y2 < y1) {
    if (x2 < x1) std::swap(x1, x2);
    if (y2 < y1) std::swap(y1, y2);
    set_graphics_status(kStatusAltered);
  }
  std::lock_guard lock(record->draw_lock);
  const QRect area(QPoint(x1 + record->origin_x, y1 + record->origin_y),
                   QPoint(x2 + record->origin_x, y2 + record->origin_y));
  if (!capture_locked(*record, area, buffer)) {
    set_graphics_status(kStatusFailure);
    return 0;
  }
  return 1;
}

int ConsoleCore::save_window_picture(int index, const std::string& path, PictureFormat format) {
  GateScope gate(*this);
  std::vector<std::uint8_t> image;
  int status = capture_window_picture(index, image);
  if (status == kStatusOk) {
    // The file is written after the window's lock is given back.
    status = format == PictureFormat::Png ? write_window_image_png(path, image) : write_window_image_file(path, image);
  }
  set_graphics_status(static_cast<std::int16_t>(status));
  return status;
}

}  // namespace console
