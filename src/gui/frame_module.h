#pragma once
// The frame as a loadable module: the explorer loads it only when it opens its frame, so a
// run in the terminal never loads Qt Widgets and Qt Print Support. The module offers one
// entry, run_gui_program (gui_entry.h) under the C name kFrameEntryName; the console and the
// runtime it uses are the explorer's own (the explorer exports its symbols to it).

#include "gui/gui_entry.h"

namespace gui {

inline constexpr char kFrameModuleName[] = "mapexplorer_frame.so";
inline constexpr char kFrameEntryName[] = "mapexplorer_run_frame_program";

using FrameEntry = int (*)(int& argc, char** argv, std::vector<std::string> arguments, const GuiOptions& options,
                           std::function<void()> main_routine);

}  // namespace gui
