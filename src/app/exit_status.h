#pragma once
// The exit statuses of mapexplorer's commands, besides those the runtime gives: a severe
// run-time error ends the program with its error number as status, and end of input while
// the dialogue waits in the terminal with 1. 3 and 4 are numbers of run-time messages that
// never end a program, and 6 is no run-time error's number, so no run-time error can be taken
// for them.

namespace app {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitDifferent = 1;   // replay: the series made again is not the recorded one
inline constexpr int kExitUsage = 2;       // a usage error (or an unreadable sidecar); no file touched
inline constexpr int kExitDiverged = 3;    // record: the trajectory went to infinity
inline constexpr int kExitNotWritten = 4;  // record: the picture or the provenance file was not written
inline constexpr int kExitNoFrame = 6;     // the frame's module cannot be loaded (nothing run)

}  // namespace app
