#pragma once
// Window images: a rectangle of a window's surface as an in-memory bitmap file (the 14-byte
// file header, the 40-byte information header, the colour table for 1, 4 and 8 bits per
// pixel, then the pixel rows bottom row first, each padded to a multiple of 4 bytes; all
// numbers little-endian), and writing such an image to a file.
//
// At 1, 4 and 8 bits per pixel the pixels are indices of the nearest entries of the window's
// palette, and the colour table holds the palette (zeros beyond it); at 16 bits 5 bits each
// of red, green and blue; at 24 bits blue, green, red; at 32 bits blue, green, red and 0.
// Such an image can also be written as a PNG file with the same pixels.

#include <QImage>
#include <QRect>
#include <QRgb>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace console {

inline constexpr int kFileHeaderSize = 14;
inline constexpr int kInfoHeaderSize = 40;

// True for 1, 4, 8, 16, 24 and 32.
bool is_image_depth(int bits_per_pixel);
// The bits per pixel of the images of a window on a display of `depth` bits: true colour
// (24 bits and more) is stored as 32 bits per pixel, 15 and 16 bits as 16, palette displays
// at 1, 4 or 8 bits.
int image_depth_for_display(int depth);
// Bytes of one pixel row: ((width x bits + 31) / 32) x 4.
std::int64_t image_stride(std::int64_t width, int bits_per_pixel);
// Entries of the colour table: 2, 16 or 256 for 1, 4 and 8 bits, else 0.
int color_table_entries(int bits_per_pixel);
// The size of the image of a width x height rectangle: stride x height + 14 + 40 + 4 x
// colour table entries; -1 for an unsupported depth or a negative size.
std::int64_t image_file_size(std::int64_t width, std::int64_t height, int bits_per_pixel);

// The bytes before the pixel rows: the two headers and the colour table.
std::int64_t image_header_size(int bits_per_pixel);

// Writes the headers and the colour table of the image of a width x height area into `out`
// (image_header_size bytes). False for an unsupported depth, an empty area, an image too
// large for the headers' 32-bit sizes or a buffer too small.
bool encode_window_image_header(int width, int height, int bits_per_pixel, const std::vector<QRgb>& palette,
                                std::span<std::uint8_t> out);

// A surface as the encoders read it: its rows from filled_rows down all have the colour
// `blank`, whatever the image's memory holds there (a window fills its surface lazily).
struct SurfaceRows {
  const QImage& image;
  int filled_rows;
  QRgb blank;
};

// Writes the pixel rows first_row .. first_row + row_count - 1 of the image of `area` of
// `surface` into `out` (image_stride x row_count bytes); row 0 is the image's first row, the
// area's bottom one. Pixels of the area outside the surface are black.
void encode_window_image_rows(const SurfaceRows& surface, const QRect& area, int bits_per_pixel,
                              const std::vector<QRgb>& palette, int first_row, int row_count,
                              std::span<std::uint8_t> out);

// Writes the image of `area` of `surface` into `out` (which must hold image_file_size
// bytes). Pixels of the area outside the surface are black. False for an unsupported depth,
// an empty area or a buffer too small.
bool encode_window_image(const QImage& surface, const QRect& area, int bits_per_pixel, const std::vector<QRgb>& palette,
                         std::span<std::uint8_t> out);
bool encode_window_image(const SurfaceRows& surface, const QRect& area, int bits_per_pixel,
                         const std::vector<QRgb>& palette, std::span<std::uint8_t> out);

// Reads the fields of an image's headers (for checks and for printing). False when `image`
// is too short or does not start with "BM".
struct WindowImageHeader {
  std::uint32_t file_size = 0;
  std::uint32_t pixel_offset = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  int bits_per_pixel = 0;
  std::uint32_t image_size = 0;
};
bool read_window_image_header(std::span<const std::uint8_t> image, WindowImageHeader& header);

// A picture file being written: created by open (an existing file is written over), written
// in parts, and closed with the outcome of every write, ending where the writing ended.
// Closed on destruction too, its outcome then unreported.
class PictureFile {
 public:
  PictureFile() = default;
  ~PictureFile();
  PictureFile(const PictureFile&) = delete;
  PictureFile& operator=(const PictureFile&) = delete;
  // 0, or -16 when the file cannot be created.
  int open(const std::string& path);
  // False when this or an earlier write failed (the part written stays).
  bool write(std::span<const std::uint8_t> bytes);
  // 0, or -17 when a write or the closing failed.
  int close();

 private:
  int fd_ = -1;
  bool written_ = true;
  bool regular_file_ = false;  // cut to length at close
};

// Writes `image` to the file `path`, replacing an existing file. 0, or the graphics status of
// the failure: -16 the file could not be created, -17 a write failed (the part written stays),
// -3 the depth in the headers is not supported, -1 the image is malformed.
int write_window_image_file(const std::string& path, std::span<const std::uint8_t> image);

// Writes `image` (a bitmap file image as above) to the file `path` as a PNG file with the same
// pixels, replacing an existing file. 0, or the graphics status of the failure: -16 the file
// could not be created, -17 a write failed, -15 the image cannot be read, -8 it could not be
// encoded.
int write_window_image_png(const std::string& path, std::span<const std::uint8_t> image);

}  // namespace console
