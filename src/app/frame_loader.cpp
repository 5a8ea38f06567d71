#include "app/frame_loader.h"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>

// The installed module's directory relative to the installed explorer's (set by the build).
#ifndef MAPEXPLORER_FRAME_MODULE_DIRECTORY
#define MAPEXPLORER_FRAME_MODULE_DIRECTORY "../lib/mapexplorer"
#endif

namespace app {

gui::FrameEntry load_frame_module(std::string& error) {
  std::error_code failure;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", failure);
  if (failure) {
    error = "cannot tell where the explorer is: " + failure.message();
    return nullptr;
  }
  const std::filesystem::path directory = program.parent_path();
  const std::filesystem::path installed =
      (directory / MAPEXPLORER_FRAME_MODULE_DIRECTORY / gui::kFrameModuleName).lexically_normal();
  for (const std::filesystem::path& path : {directory / gui::kFrameModuleName, installed}) {
    if (!std::filesystem::exists(path, failure)) continue;
    // The module stays loaded until the process ends: the frame's objects and Qt's hold its
    // code until then.
    void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
      const char* reason = ::dlerror();
      error = reason != nullptr ? reason : "cannot load " + path.string();
      return nullptr;
    }
    auto* entry = reinterpret_cast<gui::FrameEntry>(::dlsym(module, gui::kFrameEntryName));
    if (entry == nullptr) error = path.string() + " lacks its entry " + gui::kFrameEntryName;
    return entry;
  }
  error = std::string("the frame's module ") + gui::kFrameModuleName + " is neither in " + directory.string() +
          " nor in " + installed.parent_path().string();
  return nullptr;
}

}  // namespace app
