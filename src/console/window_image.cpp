#include "console/window_image.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QBuffer>
#include <QByteArray>
#include <QImageWriter>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <climits>
#include <cstring>
#include <utility>

#include "console/graphics_status.h"
#include "console/raster.h"

namespace console {

namespace {

void put16(std::uint8_t* to, std::uint16_t value) {
  to[0] = static_cast<std::uint8_t>(value & 0xFF);
  to[1] = static_cast<std::uint8_t>(value >> 8);
}

void put32(std::uint8_t* to, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) to[i] = static_cast<std::uint8_t>((value >> (8 * i)) & 0xFF);
}

std::uint16_t get16(const std::uint8_t* from) { return static_cast<std::uint16_t>(from[0] | (from[1] << 8)); }

std::uint32_t get32(const std::uint8_t* from) {
  return static_cast<std::uint32_t>(from[0]) | (static_cast<std::uint32_t>(from[1]) << 8) |
         (static_cast<std::uint32_t>(from[2]) << 16) | (static_cast<std::uint32_t>(from[3]) << 24);
}

bool write_all(int fd, const std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

// Writes `count` pixels as blue, green, red, 0.
void copy_row_without_alpha(const QRgb* source, int count, std::uint8_t* line) {
  if constexpr (std::endian::native == std::endian::little) {
    for (int column = 0; column < count; ++column) {
      const std::uint32_t pixel = source[column] & 0x00FFFFFFu;
      std::memcpy(line + 4 * column, &pixel, sizeof pixel);
    }
  } else {
    for (int column = 0; column < count; ++column) put32(line + 4 * column, source[column] & 0x00FFFFFFu);
  }
}

}  // namespace

bool is_image_depth(int bits) { return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32; }

int image_depth_for_display(int depth) {
  // (least display depth, bitmap depth), deepest first; below them all, 1 bit.
  constexpr std::pair<int, int> kImageDepths[] = {{24, 32}, {15, 16}, {5, 8}, {2, 4}};
  for (const auto& [least_display_depth, image_depth] : kImageDepths) {
    if (depth >= least_display_depth) return image_depth;
  }
  return 1;
}

std::int64_t image_stride(std::int64_t width, int bits) { return ((width * bits + 31) / 32) * 4; }

int color_table_entries(int bits) {
  switch (bits) {
    case 1:
    case 4:
    case 8: return 1 << bits;  // a palette entry for every pixel value
    default: return 0;
  }
}

std::int64_t image_file_size(std::int64_t width, std::int64_t height, int bits) {
  if (!is_image_depth(bits) || width < 0 || height < 0) return -1;
  return image_stride(width, bits) * height + kFileHeaderSize + kInfoHeaderSize + 4 * color_table_entries(bits);
}

std::int64_t image_header_size(int bits) {
  return kFileHeaderSize + kInfoHeaderSize + 4 * static_cast<std::int64_t>(color_table_entries(bits));
}

bool encode_window_image_header(int width, int height, int bits, const std::vector<QRgb>& palette,
                                std::span<std::uint8_t> out) {
  if (!is_image_depth(bits) || width <= 0 || height <= 0) return false;
  const std::int64_t total = image_file_size(width, height, bits);
  const std::int64_t header_size = image_header_size(bits);
  if (total < 0 || total > 0xFFFFFFFFLL || header_size > static_cast<std::int64_t>(out.size())) return false;
  const int entries = color_table_entries(bits);
  const std::int64_t stride = image_stride(width, bits);
  std::uint8_t* p = out.data();
  std::memset(p, 0, static_cast<std::size_t>(header_size));

  // File header.
  p[0] = 'B';
  p[1] = 'M';
  put32(p + 2, static_cast<std::uint32_t>(total));
  put32(p + 10, static_cast<std::uint32_t>(header_size));
  // Information header.
  std::uint8_t* info = p + kFileHeaderSize;
  put32(info, kInfoHeaderSize);
  put32(info + 4, static_cast<std::uint32_t>(width));
  put32(info + 8, static_cast<std::uint32_t>(height));
  put16(info + 12, 1);
  put16(info + 14, static_cast<std::uint16_t>(bits));
  put32(info + 20, static_cast<std::uint32_t>(stride * height));
  // Colour table: the palette's colours, zeros beyond it.
  const int table_size = std::min<int>(entries, static_cast<int>(palette.size()));
  std::uint8_t* table = info + kInfoHeaderSize;
  for (int i = 0; i < table_size; ++i) {
    const QRgb c = palette[static_cast<std::size_t>(i)];
    table[4 * i] = static_cast<std::uint8_t>(qBlue(c));
    table[4 * i + 1] = static_cast<std::uint8_t>(qGreen(c));
    table[4 * i + 2] = static_cast<std::uint8_t>(qRed(c));
  }
  return true;
}

void encode_window_image_rows(const SurfaceRows& rows, const QRect& area, int bits, const std::vector<QRgb>& palette,
                              int first_row, int row_count, std::span<std::uint8_t> out) {
  const QImage& surface = rows.image;
  const std::int64_t stride = image_stride(area.width(), bits);
  if (!is_image_depth(bits) || first_row < 0 || row_count <= 0 || first_row + row_count > area.height() ||
      stride * row_count > static_cast<std::int64_t>(out.size())) {
    return;
  }
  std::memset(out.data(), 0, static_cast<std::size_t>(stride * row_count));
  // Indexed pixels map to the nearest entry the table can hold.
  const int table_size = std::min<int>(color_table_entries(bits), static_cast<int>(palette.size()));
  const std::vector<QRgb> indexed_palette(palette.begin(), palette.begin() + table_size);
  QRgb cached_color = 0;
  int cached_index = -1;
  auto index_of = [&](QRgb c) {
    if (cached_index < 0 || c != cached_color) {
      cached_color = c;
      cached_index = std::max(0, nearest_palette_index(indexed_palette, c));
    }
    return cached_index;
  };
  std::vector<QRgb> blank_row;  // a row not yet filled, made when one is met

  for (int row = first_row; row < first_row + row_count; ++row) {
    // The bottom row comes first.
    const int y = area.top() + area.height() - 1 - row;
    std::uint8_t* line = out.data() + stride * (row - first_row);
    const bool y_inside = y >= 0 && y < surface.height();
    const QRgb* source = nullptr;
    if (y_inside && y < rows.filled_rows) {
      source = reinterpret_cast<const QRgb*>(surface.constScanLine(y));
    } else if (y_inside) {
      if (blank_row.empty()) blank_row.assign(static_cast<std::size_t>(surface.width()), rows.blank | 0xFF000000u);
      source = blank_row.data();
    }
    if (bits == 32 && source != nullptr && area.left() >= 0 && area.right() < surface.width()) {
      // A whole row of 32-bit pixels: blue, green, red and a zero byte each, which is the
      // surface's own pixel without its alpha byte on a little-endian machine.
      copy_row_without_alpha(source + area.left(), area.width(), line);
      continue;
    }
    for (int column = 0; column < area.width(); ++column) {
      const int x = area.left() + column;
      const QRgb c = (source != nullptr && x >= 0 && x < surface.width()) ? source[x] : qRgb(0, 0, 0);
      switch (bits) {
        case 32:
          line[4 * column] = static_cast<std::uint8_t>(qBlue(c));
          line[4 * column + 1] = static_cast<std::uint8_t>(qGreen(c));
          line[4 * column + 2] = static_cast<std::uint8_t>(qRed(c));
          break;
        case 24:
          line[3 * column] = static_cast<std::uint8_t>(qBlue(c));
          line[3 * column + 1] = static_cast<std::uint8_t>(qGreen(c));
          line[3 * column + 2] = static_cast<std::uint8_t>(qRed(c));
          break;
        case 16:
          put16(line + 2 * column,
                static_cast<std::uint16_t>(((qRed(c) >> 3) << 10) | ((qGreen(c) >> 3) << 5) | (qBlue(c) >> 3)));
          break;
        case 8: line[column] = static_cast<std::uint8_t>(index_of(c)); break;
        case 4: line[column / 2] |= static_cast<std::uint8_t>((index_of(c) & 0x0F) << (column % 2 == 0 ? 4 : 0)); break;
        case 1:
          if ((index_of(c) & 1) != 0) line[column / 8] |= static_cast<std::uint8_t>(0x80u >> (column % 8));
          break;
        default: break;
      }
    }
  }
}

bool encode_window_image(const QImage& surface, const QRect& area, int bits, const std::vector<QRgb>& palette,
                         std::span<std::uint8_t> out) {
  return encode_window_image(SurfaceRows{surface, surface.height(), 0}, area, bits, palette, out);
}

bool encode_window_image(const SurfaceRows& surface, const QRect& area, int bits, const std::vector<QRgb>& palette,
                         std::span<std::uint8_t> out) {
  if (area.isEmpty()) return false;
  const std::int64_t total = image_file_size(area.width(), area.height(), bits);
  if (total < 0 || total > static_cast<std::int64_t>(out.size())) return false;
  if (!encode_window_image_header(area.width(), area.height(), bits, palette, out)) return false;
  const std::size_t header_size = static_cast<std::size_t>(image_header_size(bits));
  encode_window_image_rows(surface, area, bits, palette, 0, area.height(), out.subspan(header_size));
  return true;
}

bool read_window_image_header(std::span<const std::uint8_t> image, WindowImageHeader& header) {
  if (image.size() < static_cast<std::size_t>(kFileHeaderSize + kInfoHeaderSize)) return false;
  const std::uint8_t* p = image.data();
  if (p[0] != 'B' || p[1] != 'M') return false;
  header.file_size = get32(p + 2);
  header.pixel_offset = get32(p + 10);
  const std::uint8_t* info = p + kFileHeaderSize;
  header.width = static_cast<std::int32_t>(get32(info + 4));
  header.height = static_cast<std::int32_t>(get32(info + 8));
  header.bits_per_pixel = get16(info + 14);
  header.image_size = get32(info + 20);
  return true;
}

int PictureFile::open(const std::string& path) {
  close();
  // Not emptied here: an existing file is written over in place and cut to the new length as
  // it closes. Emptying first frees the old pages (waiting for any still being written to
  // disk) only to take fresh ones for the same picture, several milliseconds a file here.
  fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  written_ = true;
  struct stat info {};
  regular_file_ = fd_ >= 0 && ::fstat(fd_, &info) == 0 && S_ISREG(info.st_mode);
  return fd_ < 0 ? kStatusFileNotCreated : kStatusOk;
}

bool PictureFile::write(std::span<const std::uint8_t> bytes) {
  if (fd_ < 0 || !written_) return false;
  written_ = write_all(fd_, bytes.data(), bytes.size());
  return written_;
}

int PictureFile::close() {
  if (fd_ < 0) return kStatusOk;
  const int fd = std::exchange(fd_, -1);
  // The file ends where the writing ended, as if it had been emptied at open; what a failed
  // write left is cut off with the rest of the old file. A device or pipe has nothing to cut.
  bool cut = true;
  if (regular_file_) {
    const off_t end = ::lseek(fd, 0, SEEK_CUR);
    cut = end >= 0 && ::ftruncate(fd, end) == 0;
  }
  const bool closed = ::close(fd) == 0;
  return written_ && cut && closed ? kStatusOk : kStatusWriteFailed;
}

PictureFile::~PictureFile() { close(); }

int write_window_image_file(const std::string& path, std::span<const std::uint8_t> image) {
  WindowImageHeader header;
  if (!read_window_image_header(image, header)) return kStatusFailure;
  const std::size_t total = static_cast<std::size_t>(image_header_size(header.bits_per_pixel)) + header.image_size;
  if (total > image.size()) return kStatusFailure;
  PictureFile file;
  if (file.open(path) != kStatusOk) return kStatusFileNotCreated;
  if (!is_image_depth(header.bits_per_pixel)) return kStatusUnsupportedDepth;
  if (!file.write(image.first(total))) return kStatusWriteFailed;
  return file.close();
}

int write_window_image_png(const std::string& path, std::span<const std::uint8_t> image) {
  if (image.size() > static_cast<std::size_t>(INT_MAX)) return kStatusCaptureFailed;
  const QImage picture = QImage::fromData(image.data(), static_cast<int>(image.size()), "BMP");
  if (picture.isNull()) return kStatusCaptureFailed;
  // Encoded in memory and written with checked writes: a file writer of the image library
  // does not report every failed write (a full disk would pass unnoticed).
  QByteArray encoded;
  QBuffer buffer(&encoded);
  buffer.open(QIODevice::WriteOnly);
  if (!QImageWriter(&buffer, "png").write(picture)) return kStatusNoImageMemory;
  PictureFile file;
  if (file.open(path) != kStatusOk) return kStatusFileNotCreated;
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(encoded.constData());
  if (!file.write({bytes, static_cast<std::size_t>(encoded.size())})) return kStatusWriteFailed;
  return file.close();
}

}  // namespace console
