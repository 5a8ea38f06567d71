#pragma once
// The frame's command identifiers (the menu items and their keyboard equivalents) and the
// help context number of each command that has one.

#include <optional>
#include <utility>

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

// The help topics of the menu commands that have one: (command, topic).
inline constexpr std::pair<int, int> kHelpTopics[] = {
    {kExit, 1000},         {kAbout, 1001},      {kCopy, 1002},  {kInput, 1004}, {kPaste, 1007},  {kStatusBar, 1008},
    {kArrangeIcons, 1009}, {kCascade, 1010},    {kTile, 1011},  {kPause, 1012}, {kResume, 1013}, {kClearPaste, 1014},
    {kSizeToFit, 1015},    {kFullScreen, 1016}, {kPrint, 1017}, {kSave, 1018},
};

// The help topic of a menu command, or nothing when it has none.
constexpr std::optional<int> help_context(int command) {
  for (const auto& [topic_command, topic] : kHelpTopics) {
    if (topic_command == command) return topic;
  }
  return std::nullopt;
}

}  // namespace gui
