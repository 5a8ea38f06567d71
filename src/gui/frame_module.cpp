// The entry of the frame's loadable module (frame_module.h).

#include "gui/frame_module.h"

extern "C" int mapexplorer_run_frame_program(int& argc, char** argv, std::vector<std::string> arguments,
                                             const gui::GuiOptions& options, std::function<void()> main_routine) {
  return gui::run_gui_program(argc, argv, std::move(arguments), options, std::move(main_routine));
}

// The entry's type is the one the explorer calls through.
static_assert(std::is_same_v<decltype(&mapexplorer_run_frame_program), gui::FrameEntry>);
