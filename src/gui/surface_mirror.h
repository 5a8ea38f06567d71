#pragma once
// The GUI thread's copy of a window's surface. The console core hands over the area changed
// since the last look (under the window's draw_lock); only that area is copied, and the view
// paints from the copy without holding any window lock, so painting never waits for the
// program thread and the program thread never waits for painting.

#include <QImage>
#include <QRect>

namespace gui {

class SurfaceMirror {
 public:
  // Copies `dirty` of `surface` into the mirror (all of it when the size or format changed,
  // or when the mirror is empty) and returns the area of the mirror that changed. A null
  // surface empties the mirror.
  QRect update_from(const QImage& surface, const QRect& dirty);

  const QImage& image() const { return image_; }
  QSize size() const { return image_.size(); }
  bool empty() const { return image_.isNull(); }

 private:
  QImage image_;
};

}  // namespace gui
