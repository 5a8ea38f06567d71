#pragma once
// Geometry of a child window's view of its virtual screen: the scroll ranges, the least
// scrolling that shows a cell, the mapping of surface pixels into a client area in Size To
// Fit and Full Screen, and the sizes that set_window_size asks for.

#include <QPoint>
#include <QRect>
#include <QSize>

namespace gui {

// The largest scroll offset on one axis: the part of the virtual screen that does not fit,
// taken as 0 when it is 2 pixels or less.
int scroll_maximum(int surface_pixels, int client_pixels);

// The scroll offset nearest to `offset` at which a client area of `client` size shows
// `area` (its top-left part when it does not fit).
QPoint least_scroll_showing(const QPoint& offset, const QSize& client, const QRect& area);

// `area` of a surface of `surface` size, scaled onto a client area of `client` size (Size
// To Fit and Full Screen), grown to whole pixels so that it covers every pixel it touches.
QRect scale_to_client(const QRect& area, const QSize& surface, const QSize& client);

// The client area that shows `cells` of a text buffer with `cell` pixels each.
QSize cells_to_pixels(const QSize& cells, const QSize& cell);

// Whether a virtual screen needs the view to shrink: it is smaller than the client area in
// either direction (the window is then fitted so that its client area is the surface size).
bool surface_smaller_than_client(const QSize& surface, const QSize& client);

// Where a maximised frame is restored to when Full Screen ends: maximised when the virtual
// screen does not fit on the display with the frame's decoration, else normal.
bool restore_frame_maximised(const QSize& surface, const QSize& display, const QSize& decoration);

}  // namespace gui
