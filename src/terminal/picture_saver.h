#pragma once
// The terminal's saved pictures (--save-pictures DIR): when the program ends, the whole
// surface of every child window that has a picture is written as a bitmap file
// DIR/<window title>.bmp (or as a PNG file DIR/<window title>.png), exactly as File > Save
// writes it. DIR is made when it is missing. A '/' in a title becomes '_'; a title used twice
// gets the window index appended to the second file's name, so that no picture overwrites
// another.

#include <string>
#include <vector>

#include "console/core_access.h"

namespace terminal {

// The file name (without directory) for a window titled `title`, given the names already used.
std::string picture_file_name(const std::string& title, int window, const std::vector<std::string>& used,
                              console::PictureFormat format = console::PictureFormat::Bitmap);

// Saves the pictures; false when the directory cannot be made or a file cannot be written
// (each failure is described in `errors`, one line each). Runs on the GUI thread.
bool save_window_pictures(console::CoreAccess& core, const std::string& directory, std::string& errors,
                          console::PictureFormat format = console::PictureFormat::Bitmap);

}  // namespace terminal
