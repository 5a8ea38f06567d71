// Window images: the size query, capture_window_image and the writing of a window's whole
// surface to a bitmap or PNG file (File > Save after its dialog, the terminal's saved
// pictures, a recording's picture).

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <new>
#include <utility>
#include <vector>

#include "console/console_core.h"
#include "console/graphics_status.h"
#include "console/window_image.h"

namespace console {

bool ConsoleCore::capture_locked(const ChildWindowRecord& record, const QRect& area, std::span<std::uint8_t> buffer) {
  if (record.surface_image.isNull() || !is_image_depth(record.bits_per_pixel)) return false;
  const SurfaceRows surface{record.surface_image, record.surface_filled_rows, record.surface_blank_color};
  return encode_window_image(surface, area, record.bits_per_pixel, record.palette, buffer);
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
  int status = kStatusOk;
  if (format == PictureFormat::Png) {
    std::vector<std::uint8_t> image;
    status = capture_window_picture(index, image);
    // The file is written after the window's lock is given back.
    if (status == kStatusOk) status = write_window_image_png(path, image);
  } else {
    status = stream_window_bitmap(index, path);
  }
  set_graphics_status(static_cast<std::int16_t>(status));
  return status;
}

// The bitmap file goes out a band of rows at a time: each band is encoded under the window's
// lock and written after the lock is given back. So the picture never needs a second copy of
// the surface in memory (a whole copy of a large window would be as large as the window, and
// every page of it new), and painting and drawing go on while the disk works. A band is one
// moment of the window; a picture saved while another thread draws in it is that drawing in
// progress, band by band.
int ConsoleCore::stream_window_bitmap(int index, const std::string& path) {
  constexpr std::int64_t kBandBytes = std::int64_t{64} * 1024;
  auto record = table_.find(index);
  if (!record) return kStatusFailure;
  std::vector<std::uint8_t> band;
  QRect whole;
  int bits = 0;
  std::int64_t stride = 0;
  int band_rows = 0;
  std::size_t header_size = 0;
  {
    std::lock_guard lock(record->draw_lock);
    if (!record->config_applied || record->surface_image.isNull()) return kStatusCaptureFailed;
    bits = record->bits_per_pixel;
    if (!is_image_depth(bits)) return kStatusUnsupportedDepth;
    whole = QRect(0, 0, record->surface_width, record->surface_height);
    stride = image_stride(whole.width(), bits);
    band_rows = static_cast<int>(std::clamp<std::int64_t>(kBandBytes / std::max<std::int64_t>(stride, 1), 1,
                                                          std::max(whole.height(), 1)));
    header_size = static_cast<std::size_t>(image_header_size(bits));
    try {
      band.resize(header_size + static_cast<std::size_t>(stride) * static_cast<std::size_t>(band_rows));
    } catch (const std::bad_alloc&) {
      return kStatusNoImageMemory;
    }
    if (!encode_window_image_header(whole.width(), whole.height(), bits, record->palette, band)) {
      return kStatusCaptureFailed;
    }
  }
  PictureFile file;
  if (file.open(path) != kStatusOk) return kStatusFileNotCreated;
  if (!file.write(std::span<const std::uint8_t>(band).first(header_size))) return kStatusWriteFailed;
  for (int row = 0; row < whole.height(); row += band_rows) {
    const int rows = std::min(band_rows, whole.height() - row);
    const std::span<std::uint8_t> pixels = std::span<std::uint8_t>(band).subspan(header_size, stride * rows);
    {
      std::lock_guard lock(record->draw_lock);
      const SurfaceRows surface{record->surface_image, record->surface_filled_rows, record->surface_blank_color};
      encode_window_image_rows(surface, whole, bits, record->palette, row, rows, pixels);
    }
    if (!file.write(pixels)) return kStatusWriteFailed;
  }
  return file.close();
}

}  // namespace console
