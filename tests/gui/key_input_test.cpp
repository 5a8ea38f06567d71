// Keys as the child window understands them, and scrolling by them.

#include <gtest/gtest.h>

#include <QPoint>

#include "gui/key_input.h"

namespace gui {
namespace {

struct KeyCase {
  const char* name;
  int key;
  Qt::KeyboardModifiers modifiers;
  QString text;
  KeyKind kind;
  int value;  // the character, the function key's number or the ScrollMove
};

TEST(KeyInput, TranslatesKeysToCharactersFunctionKeysScrollsAndCommands) {
  const Qt::KeyboardModifiers none = Qt::NoModifier;
  const std::vector<KeyCase> cases = {
      {"digit", Qt::Key_1, none, "1", KeyKind::Character, '1'},
      {"shifted letter", Qt::Key_A, Qt::ShiftModifier, "A", KeyKind::Character, 'A'},
      {"space", Qt::Key_Space, none, " ", KeyKind::Character, ' '},
      {"Enter", Qt::Key_Return, none, "\r", KeyKind::Character, 13},
      {"keypad Enter", Qt::Key_Enter, Qt::KeypadModifier, "\r", KeyKind::Character, 13},
      {"Backspace", Qt::Key_Backspace, none, "\b", KeyKind::Character, 8},
      {"Tab", Qt::Key_Tab, none, "\t", KeyKind::Character, 9},
      {"Esc", Qt::Key_Escape, none, "\x1b", KeyKind::Character, 27},
      {"Ctrl+C without text", Qt::Key_C, Qt::ControlModifier, "", KeyKind::Character, 3},
      {"Ctrl+S", Qt::Key_S, Qt::ControlModifier, "\x13", KeyKind::Character, 19},
      {"Ctrl+Q", Qt::Key_Q, Qt::ControlModifier, "\x11", KeyKind::Character, 17},
      {"Ctrl+Z", Qt::Key_Z, Qt::ControlModifier, "\x1a", KeyKind::Character, 26},
      {"Latin-1 letter", Qt::Key_Eacute, none, QString(QChar(0xE9)), KeyKind::Character, 0xE9},
      {"outside Latin-1", Qt::Key_unknown, none, QString(QChar(0x20AC)), KeyKind::None, 0},
      {"DEL control code", Qt::Key_Delete, none, QString(QChar(0x7F)), KeyKind::None, 0},
      {"Alt+letter is the menu's", Qt::Key_F, Qt::AltModifier, "f", KeyKind::None, 0},
      {"Shift alone", Qt::Key_Shift, Qt::ShiftModifier, "", KeyKind::None, 0},
      {"F1", Qt::Key_F1, none, "", KeyKind::FunctionKey, 1},
      {"F12", Qt::Key_F12, none, "", KeyKind::FunctionKey, 12},
      {"F13 is not one of them", Qt::Key_F13, none, "", KeyKind::None, 0},
      {"Ctrl+F5 is a function key", Qt::Key_F5, Qt::ControlModifier, "", KeyKind::FunctionKey, 5},
      {"Shift+F4 is a function key", Qt::Key_F4, Qt::ShiftModifier, "", KeyKind::FunctionKey, 4},
      {"Ctrl+F4 closes the child", Qt::Key_F4, Qt::ControlModifier, "", KeyKind::CloseWindow, 0},
      {"Ctrl+F6 goes to the next child", Qt::Key_F6, Qt::ControlModifier, "", KeyKind::NextWindow, 0},
      {"Ctrl+Shift+F6 goes to the previous child", Qt::Key_F6, Qt::ControlModifier | Qt::ShiftModifier, "",
       KeyKind::PreviousWindow, 0},
      {"Alt+Enter", Qt::Key_Return, Qt::AltModifier, "\r", KeyKind::FullScreen, 0},
      {"Ctrl+Insert", Qt::Key_Insert, Qt::ControlModifier, "", KeyKind::Copy, 0},
      {"Shift+Insert", Qt::Key_Insert, Qt::ShiftModifier, "", KeyKind::Paste, 0},
      {"Insert alone", Qt::Key_Insert, none, "", KeyKind::None, 0},
      {"Page Up", Qt::Key_PageUp, none, "", KeyKind::Scroll, static_cast<int>(ScrollMove::PageUp)},
      {"Ctrl+Page Up", Qt::Key_PageUp, Qt::ControlModifier, "", KeyKind::Scroll,
       static_cast<int>(ScrollMove::PageLeft)},
      {"Ctrl+Page Down", Qt::Key_PageDown, Qt::ControlModifier, "", KeyKind::Scroll,
       static_cast<int>(ScrollMove::PageRight)},
      {"Home", Qt::Key_Home, none, "", KeyKind::Scroll, static_cast<int>(ScrollMove::LeftEnd)},
      {"Ctrl+End", Qt::Key_End, Qt::ControlModifier, "", KeyKind::Scroll, static_cast<int>(ScrollMove::RightBottomEnd)},
      {"Left", Qt::Key_Left, none, "", KeyKind::Scroll, static_cast<int>(ScrollMove::LineLeft)},
      {"Down", Qt::Key_Down, none, "", KeyKind::Scroll, static_cast<int>(ScrollMove::LineDown)},
  };
  for (const KeyCase& test : cases) {
    SCOPED_TRACE(test.name);
    const KeyAction action = translate_key(test.key, test.modifiers, test.text);
    ASSERT_EQ(action.kind, test.kind);
    switch (action.kind) {
      case KeyKind::Character: EXPECT_EQ(action.character, test.value); break;
      case KeyKind::FunctionKey: EXPECT_EQ(action.function_key, test.value); break;
      case KeyKind::Scroll: EXPECT_EQ(static_cast<int>(action.scroll), test.value); break;
      default: break;
    }
  }
}

struct ScrollCase {
  ScrollMove move;
  QPoint from;
  QPoint expected;
};

TEST(KeyInput, ScrollsByLinesPagesAndToTheEndsWithinTheRange) {
  ScrollStep step;
  step.line_x = 8;
  step.line_y = 16;
  step.page_x = 300;
  step.page_y = 200;
  step.maximum_x = 700;
  step.maximum_y = 500;
  const std::vector<ScrollCase> cases = {
      {ScrollMove::LineDown, {0, 0}, {0, 16}},      {ScrollMove::LineUp, {0, 10}, {0, 0}},
      {ScrollMove::LineRight, {696, 0}, {700, 0}},  {ScrollMove::LineLeft, {8, 3}, {0, 3}},
      {ScrollMove::PageDown, {5, 400}, {5, 500}},   {ScrollMove::PageUp, {5, 400}, {5, 200}},
      {ScrollMove::PageRight, {100, 7}, {400, 7}},  {ScrollMove::PageLeft, {100, 7}, {0, 7}},
      {ScrollMove::LeftEnd, {300, 250}, {0, 250}},  {ScrollMove::LeftTopEnd, {300, 250}, {0, 0}},
      {ScrollMove::RightEnd, {3, 250}, {700, 250}}, {ScrollMove::RightBottomEnd, {3, 2}, {700, 500}},
  };
  for (const ScrollCase& test : cases) {
    int x = test.from.x();
    int y = test.from.y();
    apply_scroll(test.move, step, x, y);
    EXPECT_EQ(QPoint(x, y), test.expected) << static_cast<int>(test.move);
  }
  // Nothing to scroll: every move stays at the origin.
  const ScrollStep none;
  int x = 0;
  int y = 0;
  apply_scroll(ScrollMove::RightBottomEnd, none, x, y);
  EXPECT_EQ(QPoint(x, y), QPoint(0, 0));
}

}  // namespace
}  // namespace gui
