#pragma once
// What a key press in a child window (or the Full Screen window) means: a character for the
// line editor (control codes included: Backspace 8, Tab 9, Enter 13, Esc 27, Ctrl+letter 1 to
// 26), a function key F1 to F12, a scroll of the view, one of the keyboard equivalents of the
// menu (Alt+Enter, Ctrl+Insert, Shift+Insert), or one of the frame's keys for its child
// windows (Ctrl+F4 closes the active one, Ctrl+F6 and Ctrl+Shift+F6 activate the next and the
// previous one), which never reach the line. Keys with no meaning here give None.

#include <QString>
#include <Qt>

namespace gui {

enum class KeyKind {
  None,
  Character,
  FunctionKey,
  Scroll,
  FullScreen,
  Copy,
  Paste,
  CloseWindow,     // Ctrl+F4
  NextWindow,      // Ctrl+F6
  PreviousWindow,  // Ctrl+Shift+F6
};

enum class ScrollMove {
  LineLeft,
  LineRight,
  LineUp,
  LineDown,
  PageUp,
  PageDown,
  PageLeft,
  PageRight,
  LeftEnd,         // Home: to the left end
  LeftTopEnd,      // Ctrl+Home: to the left end and the top
  RightEnd,        // End: to the right end
  RightBottomEnd,  // Ctrl+End: to the right end and the bottom
};

struct KeyAction {
  KeyKind kind = KeyKind::None;
  unsigned char character = 0;               // KeyKind::Character
  int function_key = 0;                      // KeyKind::FunctionKey: 1..12
  ScrollMove scroll = ScrollMove::LineDown;  // KeyKind::Scroll
};

// `key` and `modifiers` as in QKeyEvent; `text` is the event's text (used for printable
// characters, taken as Latin-1; characters outside it give None).
KeyAction translate_key(int key, Qt::KeyboardModifiers modifiers, const QString& text);

// The new scroll position after `move`, clamped to 0..maximum on each axis.
struct ScrollStep {
  int line_x = 8;  // one character cell
  int line_y = 16;
  int page_x = 0;  // the client area
  int page_y = 0;
  int maximum_x = 0;
  int maximum_y = 0;
};
void apply_scroll(ScrollMove move, const ScrollStep& step, int& x, int& y);

}  // namespace gui
