#pragma once
// The frame's command identifiers (the menu items and their keyboard equivalents) and the
// help context number of each command that has one.

#include <optional>

namespace gui {

enum Command : int {
  kFallbackExit = 10,  // "E&xit" of the one-popup bar shown while no child window is active
  kExit = 1000,
  kSelectText = 1001,
  kSelectGraphics = 1002,
  kSelectAll = 1003,
  kCopy = 1004,
  kSizeToFit = 1006,
  kFullScreen = 1007,
  kPause = 1008,
  kResume = 1009,
  kCascade = 1010,
  kTile = 1011,
  kArrangeIcons = 1012,
  kStatusBar = 1015,
  kContents = 1016,
  kUsingHelp = 1017,
  kAbout = 1018,
  kPrint = 1019,
  kSave = 1020,
  kPaste = 1021,
  kClearPaste = 1022,
  kInput = 1023,
  // The Analysis popup (after Help), when the program offers analyses.
  kBifurcationDiagram = 1030,
  kLyapunovExponents = 1031,
};

// The first identifier of the Window popup's list of child windows.
inline constexpr int kFirstChildListId = 100;

// True for the built-in commands 1000-1023 and the fallback Exit.
constexpr bool is_builtin_command(int id) { return id == kFallbackExit || (id >= 1000 && id <= 1023); }

// The help topic of a menu command, or nothing when it has none.
constexpr std::optional<int> help_context(int command) {
  switch (command) {
    case kExit: return 1000;
    case kAbout: return 1001;
    case kCopy: return 1002;
    case kInput: return 1004;
    case kPaste: return 1007;
    case kStatusBar: return 1008;
    case kArrangeIcons: return 1009;
    case kCascade: return 1010;
    case kTile: return 1011;
    case kPause: return 1012;
    case kResume: return 1013;
    case kClearPaste: return 1014;
    case kSizeToFit: return 1015;
    case kFullScreen: return 1016;
    case kPrint: return 1017;
    case kSave: return 1018;
    default: return std::nullopt;
  }
}

}  // namespace gui
