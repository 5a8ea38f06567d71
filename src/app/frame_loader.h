#pragma once
// Finding and loading the frame's module (gui/frame_module.h): next to the explorer (as in a
// build), else where the package installs it, relative to the explorer's own directory.

#include <string>

#include "gui/frame_module.h"

namespace app {

// The module's entry, or null with `error` saying what is missing.
gui::FrameEntry load_frame_module(std::string& error);

}  // namespace app
