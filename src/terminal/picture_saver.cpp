#include "terminal/picture_saver.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace terminal {

std::string picture_file_name(const std::string& title, int window, const std::vector<std::string>& used,
                              console::PictureFormat format) {
  const std::string extension = format == console::PictureFormat::Png ? ".png" : ".bmp";
  std::string base = title;
  std::replace(base.begin(), base.end(), '/', '_');
  std::replace(base.begin(), base.end(), '\0', '_');
  if (base.empty() || base == "." || base == "..") base = "window " + std::to_string(window);
  std::string name = base + extension;
  if (std::find(used.begin(), used.end(), name) != used.end()) name = base + " " + std::to_string(window) + extension;
  return name;
}

bool save_window_pictures(console::CoreAccess& core, const std::string& directory, std::string& errors,
                          console::PictureFormat format) {
  std::error_code error;
  std::filesystem::create_directories(directory, error);
  if (error) {
    errors += "cannot make the directory " + directory + ": " + error.message() + "\n";
    return false;
  }
  bool all_saved = true;
  std::vector<std::string> used;
  for (const int window : core.window_indices()) {
    const std::optional<console::WindowInfo> info = core.window_info(window);
    // A window never configured has no picture yet.
    if (!info || !info->configured) continue;
    const std::string name = picture_file_name(info->title, window, used, format);
    used.push_back(name);
    const std::string path = (std::filesystem::path(directory) / name).string();
    const int status = core.save_window_picture(window, path, format);
    if (status != 0) {
      errors += "cannot write " + path + " (graphics status " + std::to_string(status) + ")\n";
      all_saved = false;
    }
  }
  return all_saved;
}

}  // namespace terminal
