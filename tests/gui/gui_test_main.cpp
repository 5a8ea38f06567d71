// Test main of the frame's tests: a QApplication on the offscreen platform.

#include <gtest/gtest.h>

#include <QApplication>

// Under ThreadSanitizer: Qt's own worker threads (a message box starts some) synchronise
// through futexes inside the uninstrumented Qt libraries, which the sanitizer cannot see.
// Memory operations that those libraries make are therefore not checked; everything that
// this program's own code does still is. TSAN_OPTIONS from the environment adds to this.
extern "C" const char* __tsan_default_options() { return "ignore_noninstrumented_modules=1"; }

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
