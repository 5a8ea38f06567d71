#include "gui/key_input.h"

#include <algorithm>

namespace gui {

namespace {

KeyAction character(unsigned char c) {
  KeyAction action;
  action.kind = KeyKind::Character;
  action.character = c;
  return action;
}

KeyAction scroll(ScrollMove move) {
  KeyAction action;
  action.kind = KeyKind::Scroll;
  action.scroll = move;
  return action;
}

KeyAction of_kind(KeyKind kind) {
  KeyAction action;
  action.kind = kind;
  return action;
}

}  // namespace

KeyAction translate_key(int key, Qt::KeyboardModifiers modifiers, const QString& text) {
  const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
  const bool shift = modifiers.testFlag(Qt::ShiftModifier);
  const bool alt = modifiers.testFlag(Qt::AltModifier);

  if (key >= Qt::Key_F1 && key <= Qt::Key_F12) {
    // The frame's keys for its child windows come before the line's function keys, as the
    // message loop's accelerators do.
    if (ctrl && !alt && key == Qt::Key_F4) return of_kind(KeyKind::CloseWindow);
    if (ctrl && !alt && key == Qt::Key_F6) return of_kind(shift ? KeyKind::PreviousWindow : KeyKind::NextWindow);
    KeyAction action;
    action.kind = KeyKind::FunctionKey;
    action.function_key = key - Qt::Key_F1 + 1;
    return action;
  }
  switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (alt) return of_kind(KeyKind::FullScreen);
      return character(13);
    case Qt::Key_Insert:
      if (ctrl) return of_kind(KeyKind::Copy);
      if (shift) return of_kind(KeyKind::Paste);
      return {};
    case Qt::Key_PageUp: return scroll(ctrl ? ScrollMove::PageLeft : ScrollMove::PageUp);
    case Qt::Key_PageDown: return scroll(ctrl ? ScrollMove::PageRight : ScrollMove::PageDown);
    case Qt::Key_Home: return scroll(ctrl ? ScrollMove::LeftTopEnd : ScrollMove::LeftEnd);
    case Qt::Key_End: return scroll(ctrl ? ScrollMove::RightBottomEnd : ScrollMove::RightEnd);
    case Qt::Key_Left: return scroll(ScrollMove::LineLeft);
    case Qt::Key_Right: return scroll(ScrollMove::LineRight);
    case Qt::Key_Up: return scroll(ScrollMove::LineUp);
    case Qt::Key_Down: return scroll(ScrollMove::LineDown);
    case Qt::Key_Backspace: return character(8);
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return character(9);
    case Qt::Key_Escape: return character(27);
    default: break;
  }
  // Alt combinations belong to the menu bar.
  if (alt) return {};
  // Ctrl with a letter gives its control code (Ctrl+C 3, Ctrl+Q 17, Ctrl+S 19, Ctrl+Z 26),
  // whatever text the platform attached to the event.
  if (ctrl && key >= Qt::Key_A && key <= Qt::Key_Z) {
    return character(static_cast<unsigned char>(key - Qt::Key_A + 1));
  }
  if (text.isEmpty()) return {};
  const char16_t unicode = text.at(0).unicode();
  if (unicode > 0xFF) return {};
  // Other control codes from the platform (Ctrl with punctuation) are not typed.
  if (unicode < 0x20 || unicode == 0x7F) return {};
  return character(static_cast<unsigned char>(unicode));
}

void apply_scroll(ScrollMove move, const ScrollStep& step, int& x, int& y) {
  switch (move) {
    case ScrollMove::LineLeft: x -= step.line_x; break;
    case ScrollMove::LineRight: x += step.line_x; break;
    case ScrollMove::LineUp: y -= step.line_y; break;
    case ScrollMove::LineDown: y += step.line_y; break;
    case ScrollMove::PageUp: y -= step.page_y; break;
    case ScrollMove::PageDown: y += step.page_y; break;
    case ScrollMove::PageLeft: x -= step.page_x; break;
    case ScrollMove::PageRight: x += step.page_x; break;
    case ScrollMove::LeftEnd: x = 0; break;
    case ScrollMove::LeftTopEnd:
      x = 0;
      y = 0;
      break;
    case ScrollMove::RightEnd: x = step.maximum_x; break;
    case ScrollMove::RightBottomEnd:
      x = step.maximum_x;
      y = step.maximum_y;
      break;
  }
  x = std::clamp(x, 0, std::max(0, step.maximum_x));
  y = std::clamp(y, 0, std::max(0, step.maximum_y));
}

}  // namespace gui
