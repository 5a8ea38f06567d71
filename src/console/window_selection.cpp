// Selections and copying out of a window: the limits a selection may cover, recording the
// selection in the window's record, the text of a text selection, the bitmap of a graphics
// selection, and the image of a window's whole surface for saving and printing. Selecting
// runs on the GUI thread while the program is paused, so the surface and the text store do
// not change under it; each read still takes the window's draw_lock.

#include <QByteArray>
#include <QImage>

#include <cstdint>
#include <new>
#include <stdexcept>

#include "console/console_core.h"
#include "console/graphics_status.h"
#include "console/window_image.h"

namespace console {

namespace {

// Makes `image` `size` bytes long; false when there is no memory for it.
bool allocate_image(std::vector<std::uint8_t>& image, std::int64_t size) {
  if (size < 0) return false;
  try {
    image.assign(static_cast<std::size_t>(size), 0);
  } catch (const std::bad_alloc&) {
    return false;
  } catch (const std::length_error&) {
    return false;
  }
  return true;
}

}  // namespace

std::optional<SelectionLimits> ConsoleCore::selection_limits(int index) const {
  auto record = table_.find(index);
  if (!record) return std::nullopt;
  std::lock_guard lock(record->draw_lock);
  if (!record->config_applied || record->surface_image.isNull()) return std::nullopt;
  SelectionLimits limits;
  limits.text_columns = record->text_columns;
  limits.text_rows = record->text_rows;
  limits.pixels_x = record->surface_width;
  limits.pixels_y = record->surface_height;
  limits.char_width = record->char_width;
  limits.char_height = record->char_height;
  limits.has_graphics = record->has_graphics;
  return limits;
}

void ConsoleCore::set_selection(int index, const Selection& selection) {
  auto record = table_.find(index);
  if (!record) return;
  std::lock_guard lock(record->draw_lock);
  record->selecting = selection.active();
  record->marking = selection.active() && selection.marking;
  const bool points = selection.active();
  record->selection_anchor_x = points ? selection.anchor.x : -1;
  record->selection_anchor_y = points ? selection.anchor.y : -1;
  record->selection_current_x = points ? selection.current.x : -1;
  record->selection_current_y = points ? selection.current.y : -1;
}

std::string ConsoleCore::copy_text(int index, const Selection& selection) {
  auto record = table_.find(index);
  if (!record) return {};
  std::lock_guard lock(record->draw_lock);
  return copy_selected_text(record->text_store, selection);
}

QImage ConsoleCore::copy_graphics(int index, const Selection& selection) {
  const QRect area = selected_pixels(selection);
  if (area.isEmpty()) return {};
  auto record = table_.find(index);
  if (!record) return {};
  std::vector<std::uint8_t> image;
  {
    std::lock_guard lock(record->draw_lock);
    const QRect inside = area & QRect(0, 0, record->surface_width, record->surface_height);
    if (inside.isEmpty() || !is_image_depth(record->bits_per_pixel)) return {};
    if (!allocate_image(image, image_file_size(inside.width(), inside.height(), record->bits_per_pixel))) return {};
    if (!capture_locked(*record, inside, image)) return {};
  }
  // The bitmap file image read back gives the rows in the window's depth and, for palette
  // depths, the window's palette as the image's colour table.
  if (image.size() > static_cast<std::size_t>(INT32_MAX)) return {};
  return QImage::fromData(image.data(), static_cast<int>(image.size()), "BMP");
}

int ConsoleCore::capture_window_picture(int index, std::vector<std::uint8_t>& image) {
  auto record = table_.find(index);
  if (!record) return kStatusFailure;
  std::lock_guard lock(record->draw_lock);
  if (!record->config_applied || record->surface_image.isNull()) return kStatusCaptureFailed;
  if (!is_image_depth(record->bits_per_pixel)) return kStatusUnsupportedDepth;
  const QRect whole(0, 0, record->surface_width, record->surface_height);
  if (!allocate_image(image, image_file_size(whole.width(), whole.height(), record->bits_per_pixel))) {
    return kStatusNoImageMemory;
  }
  if (!capture_locked(*record, whole, image)) return kStatusCaptureFailed;
  return kStatusOk;
}

}  // namespace console
