// The terminal's saved pictures: a bitmap file per window with a picture, named after the
// window title, in a directory made when missing; failures are described.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "console_test_support.h"
#include "terminal/picture_saver.h"

namespace {

namespace fs = std::filesystem;

struct NameCase {
  std::string title;
  int window;
  std::vector<std::string> used;
  std::string expected;
  console::PictureFormat format = console::PictureFormat::Bitmap;
};

TEST(PictureFileName, TitlesBecomeFileNames) {
  const std::vector<NameCase> cases = {
      {"Graphics", 1025, {}, "Graphics.bmp"},
      {"Input Window", 1024, {}, "Input Window.bmp"},
      {"Graphics-Closed", 1026, {}, "Graphics-Closed.bmp"},
      {"a/b", 1027, {}, "a_b.bmp"},
      {"", 1028, {}, "window 1028.bmp"},
      {"..", 1029, {}, "window 1029.bmp"},
      {"Graphics", 1030, {"Graphics.bmp"}, "Graphics 1030.bmp"},
      {"Graphics", 1025, {}, "Graphics.png", console::PictureFormat::Png},
      {"Graphics", 1030, {"Graphics.bmp"}, "Graphics.png", console::PictureFormat::Png},
      {"Graphics", 1030, {"Graphics.png"}, "Graphics 1030.png", console::PictureFormat::Png},
  };
  for (const NameCase& c : cases) {
    EXPECT_EQ(terminal::picture_file_name(c.title, c.window, c.used, c.format), c.expected);
  }
}

class PictureSaverTest : public console_test::ConsoleTest {
 protected:
  std::string directory(const std::string& name) {
    const std::string path = ::testing::TempDir() + "pictures_" + name;
    fs::remove_all(path);
    return path;
  }
};

TEST_F(PictureSaverTest, EveryWindowWithAPictureIsSaved) {
  const int input = core->create_unit_window("Input Window", true);
  ASSERT_GT(core->write_text(input, "1) You can select"), 0);
  const int graphics = core->create_unit_window("Graphics", false);
  ASSERT_EQ(core->activate_window(graphics), 1);
  core->set_bk_color(15);
  core->clear_screen(0);
  const int twin = core->create_unit_window("Graphics", false);
  ASSERT_EQ(core->activate_window(twin), 1);
  core->set_pixel(1, 1);
  core->create_unit_window("Never Drawn", false);  // no picture yet
  const std::string dir = directory("all") + "/nested";
  std::string errors;
  ASSERT_TRUE(terminal::save_window_pictures(*core, dir, errors)) << errors;
  EXPECT_TRUE(errors.empty());
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  // The default window Graphic1 and "Never Drawn" were never configured: no pictures.
  EXPECT_EQ(names, (std::vector<std::string>{"Graphics " + std::to_string(twin) + ".bmp", "Graphics.bmp",
                                             "Input Window.bmp"}));
  std::ifstream in(dir + "/Graphics.bmp", std::ios::binary);
  const std::string file((std::istreambuf_iterator<char>(in)), {});
  EXPECT_EQ(file.size(), 54u + 4u * 1024u * 768u);
  EXPECT_EQ(static_cast<unsigned char>(file[54]), 255);  // white
}

TEST_F(PictureSaverTest, PngPicturesAreNamedAndWrittenAsPng) {
  const int graphics = core->create_unit_window("Graphics", false);
  ASSERT_EQ(core->activate_window(graphics), 1);
  core->set_bk_color(15);
  core->clear_screen(0);
  const std::string dir = directory("png");
  std::string errors;
  ASSERT_TRUE(terminal::save_window_pictures(*core, dir, errors, console::PictureFormat::Png)) << errors;
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename().string());
  EXPECT_EQ(names, std::vector<std::string>{"Graphics.png"});
  std::ifstream in(dir + "/Graphics.png", std::ios::binary);
  const std::string file((std::istreambuf_iterator<char>(in)), {});
  EXPECT_EQ(file.rfind("\x89PNG\r\n\x1a\n", 0), 0u);
}

TEST_F(PictureSaverTest, FailuresAreDescribed) {
  core->set_pixel(0, 0);
  std::string errors;
  EXPECT_FALSE(terminal::save_window_pictures(*core, "/proc/no-such-place", errors));
  EXPECT_NE(errors.find("/proc/no-such-place"), std::string::npos) << errors;
  const std::string dir = directory("blocked");
  fs::create_directories(dir + "/Graphic1.bmp");  // a directory where the file should go
  errors.clear();
  EXPECT_FALSE(terminal::save_window_pictures(*core, dir, errors));
  EXPECT_NE(errors.find("Graphic1.bmp"), std::string::npos) << errors;
}

}  // namespace
