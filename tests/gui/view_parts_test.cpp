// The view's geometry, its copy of the surface, the status bar's panes and the box texts.

#include <gtest/gtest.h>

#include <QFontMetrics>

#include "gui/dialogs.h"
#include "gui/status_bar.h"
#include "gui/surface_mirror.h"
#include "gui/view_geometry.h"

namespace gui {
namespace {

TEST(ViewGeometry, ScrollRangeIsTheOverflowUnlessItIsTwoPixelsOrLess) {
  struct Case {
    int surface;
    int client;
    int expected;
  };
  for (const Case& test :
       {Case{1024, 376, 648}, Case{100, 98, 0}, Case{100, 97, 3}, Case{100, 100, 0}, Case{50, 400, 0}, Case{0, 0, 0}}) {
    EXPECT_EQ(scroll_maximum(test.surface, test.client), test.expected) << test.surface << " in " << test.client;
  }
}

TEST(ViewGeometry, TheLeastScrollThatShowsACell) {
  struct Case {
    const char* name;
    QPoint offset;
    QRect cell;
    QPoint expected;
  };
  const QSize client(80, 64);
  const std::vector<Case> cases = {
      {"already shown", {16, 32}, {24, 48, 8, 16}, {16, 32}},
      {"below: its row becomes the last", {0, 0}, {0, 64, 8, 16}, {0, 16}},
      {"above: its row becomes the first", {0, 160}, {0, 32, 8, 16}, {0, 32}},
      {"right: its column becomes the last", {0, 0}, {96, 0, 8, 16}, {24, 0}},
      {"left: its column becomes the first", {40, 0}, {8, 0, 8, 16}, {8, 0}},
      {"larger than the client: its top-left", {0, 0}, {100, 100, 120, 90}, {100, 100}},
  };
  for (const Case& test : cases) {
    EXPECT_EQ(least_scroll_showing(test.offset, client, test.cell), test.expected) << test.name;
  }
}

TEST(ViewGeometry, ScaledAreasCoverEveryClientPixelTheyTouch) {
  struct Case {
    QRect area;
    QSize surface;
    QSize client;
    QRect expected;
  };
  const std::vector<Case> cases = {
      {{0, 0, 8, 16}, {1024, 768}, {512, 384}, {0, 0, 4, 8}},
      {{1, 1, 1, 1}, {100, 100}, {50, 50}, {0, 0, 1, 1}},
      {{10, 10, 10, 10}, {100, 100}, {200, 200}, {20, 20, 20, 20}},
      {{0, 0, 100, 100}, {100, 100}, {33, 77}, {0, 0, 33, 77}},
      {{99, 99, 1, 1}, {100, 100}, {33, 33}, {32, 32, 1, 1}},
      {{}, {100, 100}, {50, 50}, {}},
      {{0, 0, 5, 5}, {}, {50, 50}, {}},
  };
  for (const Case& test : cases) {
    EXPECT_EQ(scale_to_client(test.area, test.surface, test.client), test.expected)
        << test.area.x() << "," << test.area.y() << " " << test.area.width() << "x" << test.area.height();
  }
}

TEST(ViewGeometry, FittingAndRestoringDecisions) {
  EXPECT_EQ(cells_to_pixels({47, 31}, {8, 16}), QSize(376, 496));
  EXPECT_EQ(cells_to_pixels({-1, 3}, {8, 16}), QSize(0, 48));
  EXPECT_TRUE(surface_smaller_than_client({200, 800}, {300, 300}));
  EXPECT_TRUE(surface_smaller_than_client({800, 200}, {300, 300}));
  EXPECT_FALSE(surface_smaller_than_client({300, 300}, {300, 300}));
  EXPECT_TRUE(restore_frame_maximised({1024, 768}, {1024, 768}, {10, 60}));
  EXPECT_FALSE(restore_frame_maximised({640, 480}, {1024, 768}, {10, 60}));
}

QImage filled(QSize size, QRgb color) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(color);
  return image;
}

TEST(SurfaceMirror, CopiesOnlyTheDirtyAreaOnceItHasTheSurface) {
  SurfaceMirror mirror;
  QImage surface = filled({64, 32}, qRgb(255, 255, 255));
  EXPECT_EQ(mirror.update_from(surface, QRect()), QRect(0, 0, 64, 32));  // first look: all of it
  surface.fill(qRgb(0, 0, 0));
  const QRect changed = mirror.update_from(surface, QRect(60, 30, 10, 10));
  EXPECT_EQ(changed, QRect(60, 30, 4, 2));  // clipped to the surface
  for (const QPoint p : {QPoint(60, 30), QPoint(63, 31)}) EXPECT_EQ(mirror.image().pixel(p), qRgb(0, 0, 0));
  for (const QPoint p : {QPoint(0, 0), QPoint(59, 31), QPoint(63, 29)})
    EXPECT_EQ(mirror.image().pixel(p), qRgb(255, 255, 255));
  EXPECT_TRUE(mirror.update_from(surface, QRect(100, 100, 5, 5)).isEmpty());
  // The mirror owns its pixels: drawing on the surface later does not reach it.
  surface.setPixel(0, 0, qRgb(9, 9, 9));
  EXPECT_EQ(mirror.image().pixel(0, 0), qRgb(255, 255, 255));
}

TEST(SurfaceMirror, ANewSizeOrNoSurfaceReplacesTheWholeCopy) {
  SurfaceMirror mirror;
  mirror.update_from(filled({16, 16}, qRgb(1, 1, 1)), QRect());
  const QRect changed = mirror.update_from(filled({32, 8}, qRgb(2, 2, 2)), QRect(0, 0, 1, 1));
  EXPECT_EQ(changed, QRect(0, 0, 32, 8));
  EXPECT_EQ(mirror.image().pixel(31, 7), qRgb(2, 2, 2));
  EXPECT_EQ(mirror.update_from(QImage(), QRect()), QRect(0, 0, 32, 8));
  EXPECT_TRUE(mirror.empty());
}

TEST(Dialogs, BoxTextTurnsEveryLineEndIntoALineBreak) {
  struct Case {
    std::string text;
    QString expected;
  };
  for (const Case& test :
       {Case{"A File Must be Selected\r\rTerminate Program?", "A File Must be Selected\n\nTerminate Program?"},
        Case{"one\r\ntwo\nthree\r", "one\ntwo\nthree\n"}, Case{"\r\n\r\n", "\n\n"},
        Case{std::string("caf\xe9", 4), QString::fromUtf8("caf\xc3\xa9")}, Case{"", ""}}) {
    EXPECT_EQ(box_text(test.text), test.expected);
  }
}

TEST(StatusBar, ThePanesSitWhereTheLayoutPutsThem) {
  StatusBar bar;
  bar.resize(800, bar.sizeHint().height());
  const int w = bar.fontMetrics().averageCharWidth();
  const QRect state = bar.state_pane();
  const QRect message = bar.message_pane();
  EXPECT_EQ(state.left(), w);
  EXPECT_GE(state.width(), 9 * w);
  for (const char* text : {"Running", "Paused", "Finished"}) {
    EXPECT_LE(bar.fontMetrics().horizontalAdvance(QLatin1String(text)), state.width() - 6) << text;
  }
  EXPECT_GT(message.left(), state.right());
  EXPECT_EQ(message.right(), 800 - w - 1);
  bar.set_state_text("Paused");
  bar.set_message("Input pending in Input Window");
  EXPECT_EQ(bar.state_text(), "Paused");
  EXPECT_EQ(bar.message(), "Input pending in Input Window");
  // The bar paints its panes and texts: grab it and look for the top lines.
  const QImage picture = bar.grab().toImage();
  EXPECT_EQ(picture.pixel(5, 0) & 0xFFFFFF, qRgb(175, 175, 175) & 0xFFFFFF);
  EXPECT_EQ(picture.pixel(5, 1) & 0xFFFFFF, 0xFFFFFFu);
}

}  // namespace
}  // namespace gui
