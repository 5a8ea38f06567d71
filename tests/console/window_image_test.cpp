// Window images: the bitmap file layout at every depth (headers, colour table, row padding,
// bottom row first), the size query, capture_window_image, and writing a window's picture to
// a file, with its failures.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "console/graphics_status.h"
#include "console/palette.h"
#include "console/window_image.h"
#include "console_test_support.h"

namespace console_test {
namespace {

using console::graphics_status;

std::uint32_t u32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
std::uint16_t u16(const std::vector<std::uint8_t>& b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

struct SizeCase {
  int width, height, bits;
  std::int64_t stride;
  std::int64_t size;
};

TEST(WindowImageLayout, StrideAndSize) {
  const std::vector<SizeCase> cases = {
      {640, 480, 24, 1920, 54 + 1920 * 480},  // 921,654 bytes
      {10, 3, 24, 32, 54 + 32 * 3},           // 30-byte rows padded to 32
      {1024, 768, 32, 4096, 54 + 4 * 1024 * 768},
      {5, 2, 8, 8, 54 + 1024 + 8 * 2},
      {5, 2, 4, 4, 54 + 64 + 4 * 2},
      {33, 1, 1, 8, 54 + 8 + 8},
      {3, 3, 16, 8, 54 + 8 * 3},
      {0, 0, 32, 0, 54},
  };
  for (const SizeCase& c : cases) {
    EXPECT_EQ(console::image_stride(c.width, c.bits), c.stride) << c.width << "x" << c.bits;
    EXPECT_EQ(console::image_file_size(c.width, c.height, c.bits), c.size) << c.width << "x" << c.height;
  }
  for (const int bits : {0, 2, 12, 15, 64}) EXPECT_EQ(console::image_file_size(4, 4, bits), -1) << bits;
  EXPECT_EQ(console::image_file_size(-1, 4, 32), -1);
}

TEST(WindowImageLayout, DisplayDepths) {
  EXPECT_EQ(console::image_depth_for_display(32), 32);
  EXPECT_EQ(console::image_depth_for_display(24), 32);
  EXPECT_EQ(console::image_depth_for_display(16), 16);
  EXPECT_EQ(console::image_depth_for_display(15), 16);
  EXPECT_EQ(console::image_depth_for_display(8), 8);
  EXPECT_EQ(console::image_depth_for_display(4), 4);
  EXPECT_EQ(console::image_depth_for_display(1), 1);
}

// A 3 x 2 picture: top row red, green, blue; bottom row white, black, grey (64, 64, 64).
QImage sample() {
  QImage image(3, 2, QImage::Format_RGB32);
  image.setPixel(0, 0, qRgb(255, 0, 0));
  image.setPixel(1, 0, qRgb(0, 255, 0));
  image.setPixel(2, 0, qRgb(0, 0, 255));
  image.setPixel(0, 1, qRgb(255, 255, 255));
  image.setPixel(1, 1, qRgb(0, 0, 0));
  image.setPixel(2, 1, qRgb(64, 64, 64));
  return image;
}

std::vector<std::uint8_t> encode(const QImage& image, const QRect& area, int bits, const std::vector<QRgb>& palette) {
  std::vector<std::uint8_t> out(static_cast<std::size_t>(console::image_file_size(area.width(), area.height(), bits)),
                                0xEE);
  EXPECT_TRUE(console::encode_window_image(image, area, bits, palette, out));
  return out;
}

struct EncodeCase {
  int bits;
  std::vector<std::uint8_t> rows;  // the pixel rows as written, bottom row first
};

TEST(WindowImageLayout, HeadersAndPixelRowsAtEveryDepth) {
  const std::vector<QRgb> palette = console::make_palette(256);
  // Palette indices: red 12, green 10, blue 9, white 15, black 0, grey 16.
  const std::vector<EncodeCase> cases = {
      {32, {255, 255, 255, 0, 0, 0, 0, 0, 64, 64, 64, 0, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0}},
      {24, {255, 255, 255, 0, 0, 0, 64, 64, 64, 0, 0, 0, 0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0}},
      // 5 bits each, red highest: white 0x7FFF, black 0, grey 8 -> 0x2108; red 0x7C00, green
      // 0x03E0, blue 0x001F.
      {16, {0xFF, 0x7F, 0, 0, 0x08, 0x21, 0, 0, 0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0, 0}},
      {8, {15, 0, 16, 0, 12, 10, 9, 0}},
      // Grey (64, 64, 64) has no entry below 16: black, navy and dark grey are equally near,
      // and the lowest index wins.
      {4, {0xF0, 0x00, 0, 0, 0xCA, 0x90, 0, 0}},
      {1, {0x80, 0, 0, 0, 0x00, 0, 0, 0}},  // two colours: black and white
  };
  for (const EncodeCase& c : cases) {
    SCOPED_TRACE(c.bits);
    const std::vector<std::uint8_t> image =
        encode(sample(), QRect(0, 0, 3, 2), c.bits, c.bits == 1 ? console::make_palette(2) : palette);
    const int entries = console::color_table_entries(c.bits);
    const std::size_t offset = 54 + 4 * static_cast<std::size_t>(entries);
    EXPECT_EQ(image[0], 'B');
    EXPECT_EQ(image[1], 'M');
    EXPECT_EQ(u32(image, 2), image.size());
    EXPECT_EQ(u32(image, 6), 0u);
    EXPECT_EQ(u32(image, 10), offset);
    EXPECT_EQ(u32(image, 14), 40u);
    EXPECT_EQ(u32(image, 18), 3u);
    EXPECT_EQ(u32(image, 22), 2u);
    EXPECT_EQ(u16(image, 26), 1);
    EXPECT_EQ(u16(image, 28), c.bits);
    EXPECT_EQ(u32(image, 30), 0u);
    EXPECT_EQ(u32(image, 34), c.rows.size());
    for (std::size_t at = 38; at < 54; at += 4) EXPECT_EQ(u32(image, at), 0u) << at;
    ASSERT_EQ(image.size(), offset + c.rows.size());
    EXPECT_EQ(std::vector<std::uint8_t>(image.begin() + static_cast<long>(offset), image.end()), c.rows);
  }
}

TEST(WindowImageLayout, ColourTableHoldsThePaletteThenZeros) {
  const std::vector<QRgb> palette = console::make_palette(16);
  const std::vector<std::uint8_t> image = encode(sample(), QRect(0, 0, 3, 2), 8, palette);
  // Entry 12 is red as blue, green, red, 0.
  EXPECT_EQ(u32(image, 54 + 4 * 12), 0x00FF0000u);
  EXPECT_EQ(u32(image, 54 + 4 * 1), 0x00000080u);  // entry 1: blue 128
  for (int i = 16; i < 256; ++i) EXPECT_EQ(u32(image, 54 + 4 * static_cast<std::size_t>(i)), 0u) << i;
}

TEST(WindowImageLayout, AreaBeyondTheSurfaceIsBlackAndSmallBuffersAreRefused) {
  const std::vector<QRgb> palette = console::make_palette(256);
  const std::vector<std::uint8_t> image = encode(sample(), QRect(2, 1, 2, 2), 32, palette);
  // Bottom row first: the row below the surface, then (2, 1) grey and (3, 1) outside.
  EXPECT_EQ(std::vector<std::uint8_t>(image.begin() + 54, image.end()),
            (std::vector<std::uint8_t>{0, 0, 0, 0, 0, 0, 0, 0, 64, 64, 64, 0, 0, 0, 0, 0}));
  std::vector<std::uint8_t> small(60);
  EXPECT_FALSE(console::encode_window_image(sample(), QRect(0, 0, 3, 2), 32, palette, small));
  EXPECT_FALSE(console::encode_window_image(sample(), QRect(0, 0, 3, 2), 12, palette, small));
}

TEST(WindowImageFile, WriteFailures) {
  const std::vector<QRgb> palette = console::make_palette(256);
  const std::vector<std::uint8_t> image = encode(sample(), QRect(0, 0, 3, 2), 24, palette);
  EXPECT_EQ(console::write_window_image_file("/nonexistent-directory/x.bmp", image), -16);
  EXPECT_EQ(console::write_window_image_file("/dev/full", image), -17);
  std::vector<std::uint8_t> odd_depth = image;
  odd_depth[28] = 12;
  const std::string path = ::testing::TempDir() + "odd_depth.bmp";
  EXPECT_EQ(console::write_window_image_file(path, odd_depth), -3);
  std::vector<std::uint8_t> truncated(image.begin(), image.end() - 1);
  EXPECT_EQ(console::write_window_image_file(path, truncated), -1);
  EXPECT_EQ(console::write_window_image_file(path, std::vector<std::uint8_t>{'B'}), -1);
}

// A picture written where a file of the name is: the file then holds the picture and nothing
// else, whatever it held before; a device takes it as it is.
struct ReplaceCase {
  const char* name;
  std::size_t old_length;  // 0: no file there before
};
void PrintTo(const ReplaceCase& c, std::ostream* os) { *os << c.name; }

class WindowImageReplace : public ::testing::TestWithParam<ReplaceCase> {};

TEST_P(WindowImageReplace, TheFileHoldsThePictureAlone) {
  const ReplaceCase& c = GetParam();
  const std::vector<QRgb> palette = console::make_palette(256);
  const std::vector<std::uint8_t> image = encode(sample(), QRect(0, 0, 3, 2), 24, palette);
  const std::string path = ::testing::TempDir() + std::string("replace_") + c.name + ".bmp";
  std::remove(path.c_str());
  if (c.old_length > 0) std::ofstream(path, std::ios::binary) << std::string(c.old_length, 'o');
  ASSERT_EQ(console::write_window_image_file(path, image), 0);
  std::ifstream in(path, std::ios::binary);
  EXPECT_EQ(std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {}), image);
  // A picture refused after the file was opened leaves it empty, as a new file would be.
  std::vector<std::uint8_t> odd_depth = image;
  odd_depth[28] = 12;
  ASSERT_EQ(console::write_window_image_file(path, odd_depth), -3);
  std::ifstream again(path, std::ios::binary | std::ios::ate);
  EXPECT_EQ(again.tellg(), 0);
}

INSTANTIATE_TEST_SUITE_P(Files, WindowImageReplace,
                         ::testing::Values(ReplaceCase{"new_file", 0}, ReplaceCase{"shorter_file", 10},
                                           ReplaceCase{"longer_file", 100000}),
                         [](const ::testing::TestParamInfo<ReplaceCase>& info) { return std::string(info.param.name); });

TEST(WindowImageFile, ADeviceTakesThePicture) {
  const std::vector<QRgb> palette = console::make_palette(256);
  EXPECT_EQ(console::write_window_image_file("/dev/null", encode(sample(), QRect(0, 0, 3, 2), 24, palette)), 0);
}

// ---- on a window ----

class WindowImageTest : public ConsoleTest {
 protected:
  std::vector<std::uint8_t> read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
  }
  std::string temp(const std::string& name) { return ::testing::TempDir() + name; }
};

TEST_F(WindowImageTest, SavedWindowIs32BitsWithoutColourTable) {
  core->set_bk_color(15);
  core->clear_screen(0);
  core->set_color(12);
  core->set_pixel(7, 3);
  const std::string path = temp("graphic1.bmp");
  ASSERT_EQ(core->save_window_picture(kGraphic1, path, console::PictureFormat::Bitmap), 0);
  EXPECT_EQ(graphics_status(), 0);
  const std::vector<std::uint8_t> file = read_file(path);
  ASSERT_EQ(file.size(), 54u + 4u * 1024u * 768u);
  EXPECT_EQ(u16(file, 28), 32);
  EXPECT_EQ(u32(file, 10), 54u);
  // (7, 3) lies in row 768 - 1 - 3 of the file.
  const std::size_t at = 54 + (768 - 1 - 3) * 4096 + 7 * 4;
  EXPECT_EQ(file[at], 0);      // blue
  EXPECT_EQ(file[at + 1], 0);  // green
  EXPECT_EQ(file[at + 2], 255);
  EXPECT_EQ(file[54], 255);  // bottom-left pixel is white
}

TEST_F(WindowImageTest, SizeQueryAndCapture) {
  EXPECT_EQ(core->window_image_size(0, 0, 9, 4), 54 + 40 * 5);
  EXPECT_EQ(core->window_image_size(9, 4, 0, 0), 54 + 40 * 5);
  core->set_bk_color(15);
  core->clear_screen(0);
  std::vector<std::uint8_t> buffer(static_cast<std::size_t>(core->window_image_size(0, 0, 9, 4)));
  console::set_graphics_status(0);
  EXPECT_EQ(core->capture_window_image(9, 4, 0, 0, buffer), 1);
  EXPECT_EQ(graphics_status(), 3);  // corners exchanged
  EXPECT_EQ(u32(buffer, 18), 10u);
  EXPECT_EQ(u32(buffer, 22), 5u);
  EXPECT_EQ(buffer[54], 255);
  std::vector<std::uint8_t> small(100);
  EXPECT_EQ(core->capture_window_image(0, 0, 9, 4, small), 0);
  EXPECT_EQ(graphics_status(), -1);
}

TEST_F(WindowImageTest, TextOnlyAndClosedWindowsAreSaved) {
  const int window = core->create_unit_window("Notes", true);
  ASSERT_GT(core->write_text(window, "Hello"), 0);
  core->close_unit_window(window, true);
  const std::string path = temp("notes.bmp");
  ASSERT_EQ(core->save_window_picture(window, path, console::PictureFormat::Bitmap), 0);
  const std::vector<std::uint8_t> file = read_file(path);
  ASSERT_GT(file.size(), 54u);
  // The text (colour 15 on 0) shows as some non-black pixels in the top rows.
  const std::size_t stride = 4 * 1024;
  int lit = 0;
  for (std::size_t row = 768 - 16; row < 768; ++row)
    for (std::size_t x = 0; x < 5 * 8; ++x) lit += file[54 + row * stride + 4 * x] != 0 ? 1 : 0;
  EXPECT_GT(lit, 10);
  EXPECT_TRUE(core->window_info(window)->unit_closed);
}

TEST_F(WindowImageTest, SaveFailures) {
  EXPECT_EQ(core->save_window_picture(kGraphic1 + 30, temp("none.bmp"), console::PictureFormat::Bitmap), -1);
  const int fresh = core->create_window("Fresh");
  EXPECT_EQ(core->save_window_picture(fresh, temp("fresh.bmp"), console::PictureFormat::Bitmap),
            -15);  // no picture yet
  core->set_pixel(0, 0);
  EXPECT_EQ(core->save_window_picture(kGraphic1, "/nonexistent-directory/g.bmp", console::PictureFormat::Bitmap), -16);
  EXPECT_EQ(graphics_status(), -16);
  EXPECT_EQ(core->save_window_picture(kGraphic1, "/dev/full", console::PictureFormat::Bitmap), -17);
  with_record(kGraphic1, [](console::ChildWindowRecord& r) { r.bits_per_pixel = 12; });
  EXPECT_EQ(core->save_window_picture(kGraphic1, temp("twelve.bmp"), console::PictureFormat::Bitmap), -3);
}

TEST_F(WindowImageTest, PngHoldsTheSamePixelsAsTheBitmap) {
  core->set_bk_color(15);
  core->clear_screen(0);
  core->set_color(12);
  core->set_pixel(7, 3);
  const std::string bitmap_path = temp("same.bmp");
  const std::string png_path = temp("same.png");
  ASSERT_EQ(core->save_window_picture(kGraphic1, bitmap_path, console::PictureFormat::Bitmap), 0);
  ASSERT_EQ(core->save_window_picture(kGraphic1, png_path, console::PictureFormat::Png), 0);
  EXPECT_EQ(graphics_status(), 0);
  const std::vector<std::uint8_t> png = read_file(png_path);
  ASSERT_GT(png.size(), 8u);
  EXPECT_EQ(std::string(png.begin(), png.begin() + 8), "\x89PNG\r\n\x1a\n");
  const QImage from_bitmap(QString::fromStdString(bitmap_path), "BMP");
  const QImage from_png(QString::fromStdString(png_path), "PNG");
  ASSERT_FALSE(from_png.isNull());
  EXPECT_EQ(from_png.size(), from_bitmap.size());
  EXPECT_EQ(from_png.convertToFormat(QImage::Format_RGB32), from_bitmap.convertToFormat(QImage::Format_RGB32));
  EXPECT_EQ(from_png.pixel(7, 3), qRgb(255, 0, 0));
}

TEST_F(WindowImageTest, PngSaveFailures) {
  core->set_pixel(0, 0);
  EXPECT_EQ(core->save_window_picture(kGraphic1, "/nonexistent-directory/g.png", console::PictureFormat::Png), -16);
  EXPECT_EQ(graphics_status(), -16);
  EXPECT_EQ(core->save_window_picture(kGraphic1, "/dev/full", console::PictureFormat::Png), -17);
  const int fresh = core->create_window("Fresh");
  EXPECT_EQ(core->save_window_picture(fresh, temp("fresh.png"), console::PictureFormat::Png), -15);
  EXPECT_FALSE(std::filesystem::exists(temp("fresh.png")));
}

struct DepthCase {
  int display_depth;
  int bits;
  std::size_t colour_entries;
};

TEST_F(WindowImageTest, DepthFollowsTheDisplayWhenTheWindowWasConfigured) {
  for (const DepthCase& c : {DepthCase{24, 32, 0}, DepthCase{16, 16, 0}, DepthCase{8, 8, 256}, DepthCase{4, 4, 16}}) {
    SCOPED_TRACE(c.display_depth);
    options.display = console::DisplayInfo{200, 100, c.display_depth, 1};
    restart();
    core->set_bk_color(15);
    core->clear_screen(0);
    const std::string path = temp("depth.bmp");
    ASSERT_EQ(core->save_window_picture(kGraphic1, path, console::PictureFormat::Bitmap), 0);
    const std::vector<std::uint8_t> file = read_file(path);
    ASSERT_GE(file.size(), 54u);
    EXPECT_EQ(u16(file, 28), c.bits);
    EXPECT_EQ(u32(file, 10), 54 + 4 * c.colour_entries);
    EXPECT_EQ(file.size(),
              54 + 4 * c.colour_entries + static_cast<std::size_t>(console::image_stride(200, c.bits)) * 100);
  }
}

struct BandCase {
  int width, height, display_depth;
};

// A saved bitmap goes out a band of rows (64 KiB) at a time; whatever the depth and wherever the
// last band ends, the file holds the same bytes as a picture taken whole.
TEST_F(WindowImageTest, SavedFileIsThePictureTakenWholeAtEveryBandBoundary) {
  for (const BandCase& c : {BandCase{200, 100, 24}, BandCase{1024, 17, 24}, BandCase{1024, 16, 24},
                            BandCase{333, 250, 8}, BandCase{1000, 700, 1}, BandCase{50, 1, 16}}) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " at depth " << c.display_depth);
    options.display = console::DisplayInfo{c.width, c.height, c.display_depth, 1};
    restart();
    core->set_bk_color(1);
    core->clear_screen(0);
    for (int colour = 2; colour < 9; ++colour) {
      core->set_color(static_cast<std::int16_t>(colour));
      core->move_to(static_cast<std::int16_t>(colour), 0);
      core->line_to(static_cast<std::int16_t>(c.width - colour), static_cast<std::int16_t>(c.height - 1));
    }
    std::vector<std::uint8_t> whole;
    ASSERT_EQ(core->capture_window_picture(kGraphic1, whole), 0);
    const std::string path = temp("bands.bmp");
    ASSERT_EQ(core->save_window_picture(kGraphic1, path, console::PictureFormat::Bitmap), 0);
    EXPECT_TRUE(read_file(path) == whole);
  }
}

// A window's surface is filled as drawing reaches its rows; the rows below are its blank
// colour in every picture all the same. After each history, a picture taken with the rows
// still blank is the picture of the surface filled whole.
TEST_F(WindowImageTest, RowsNotYetFilledShowTheBlankColourInEveryPicture) {
  struct History {
    const char* name;
    std::function<void(console::ConsoleCore&)> draw;
    std::optional<bool> rows_left_blank;  // unset: as the text window's height has it
  };
  const std::vector<History> histories = {
      {"only cleared", [](console::ConsoleCore& c) { c.clear_screen(0); }, true},
      {"a pixel on the first row", [](console::ConsoleCore& c) { c.set_pixel(5, 0); }, true},
      {"a line down to row 400",
       [](console::ConsoleCore& c) {
         c.set_color(4);
         c.move_to(10, 20);
         c.line_to(600, 400);
       },
       true},
      {"graphic text near the top",
       [](console::ConsoleCore& c) {
         c.init_fonts();
         c.set_font("t'Arial'h14w7i");
         c.move_to(30, 40);
         c.draw_text("Wx(n+1)");
       },
       true},
      {"a rectangle to the last row", [](console::ConsoleCore& c) { c.draw_rectangle(console::kFilledInterior, 100, 700, 200, 767); }, false},
      {"drawn on, then cleared in another colour",
       [](console::ConsoleCore& c) {
         c.set_pixel(5, 600);
         c.set_bk_color(2);
         c.clear_screen(0);
         c.set_pixel(7, 8);
       },
       true},
      {"text and a scrolled text window",
       [](console::ConsoleCore& c) {
         for (int line = 0; line < 60; ++line) c.write_text(kGraphic1, "a line of text\n");
       },
       std::nullopt},
  };
  for (const History& history : histories) {
    SCOPED_TRACE(history.name);
    restart();
    history.draw(*core);
    int filled_rows = 0;
    with_record(kGraphic1, [&](console::ChildWindowRecord& r) { filled_rows = r.surface_filled_rows; });
    if (history.rows_left_blank) {
      EXPECT_EQ(filled_rows < 768, *history.rows_left_blank) << filled_rows;
    }
    std::vector<std::uint8_t> lazy;
    ASSERT_EQ(core->capture_window_picture(kGraphic1, lazy), 0);
    const std::string path = temp("lazy.bmp");
    ASSERT_EQ(core->save_window_picture(kGraphic1, path, console::PictureFormat::Bitmap), 0);
    const std::vector<std::uint8_t> saved = read_file(path);
    with_record(kGraphic1, [](console::ChildWindowRecord& r) { r.surface(); });
    std::vector<std::uint8_t> whole;
    ASSERT_EQ(core->capture_window_picture(kGraphic1, whole), 0);
    EXPECT_TRUE(lazy == whole);
    EXPECT_TRUE(saved == whole);
  }
}

}  // namespace
}  // namespace console_test
