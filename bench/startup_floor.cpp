// The floor under the explorer's start in the terminal: programs that do only what any program
// built on the same libraries must do before it can show a prompt, then print one line and exit.
// startup_floor.sh builds one per level and times them with first_prompt_bench beside the
// explorer. The level is chosen when compiling:
//   (none)               an empty C++ program
//   FLOOR_QT_CORE        linked to Qt Core, with a QCoreApplication
//   FLOOR_QT_GUI         linked to Qt Gui, with a QGuiApplication on the offscreen platform
//   FLOOR_QT_GUI_FONT    as above, and the monospace font measured, as the first text window
//                        needs before its first line
// Every argument is ignored (first_prompt_bench passes --terminal).

#include <cstdio>

#if defined(FLOOR_QT_GUI) || defined(FLOOR_QT_GUI_FONT)
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#elif defined(FLOOR_QT_CORE)
#include <QCoreApplication>
#endif

int main(int argc, char** argv) {
#if defined(FLOOR_QT_GUI) || defined(FLOOR_QT_GUI_FONT)
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
#if defined(FLOOR_QT_GUI_FONT)
  QFont font(QStringLiteral("monospace"));
  font.setStyleHint(QFont::TypeWriter);
  font.setPixelSize(16);
  if (QFontMetrics(font).averageCharWidth() <= 0) return 1;
#endif
#elif defined(FLOOR_QT_CORE)
  QCoreApplication application(argc, argv);
#else
  static_cast<void>(argc);
  static_cast<void>(argv);
#endif
  std::fputs("ready: ", stdout);
  std::fflush(stdout);
  return 0;
}
