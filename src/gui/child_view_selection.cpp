// The selection in a child window's view: starting and ending it, the movement keys and the
// left mouse button while a selection mode is on (with scrolling when the current point
// leaves the view), and drawing it inverted over the picture.

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <QScrollBar>

#include <algorithm>

#include "gui/child_view.h"

namespace gui {

namespace {

// The arms of the graphics mark: a one-pixel mark would be lost on the screen.
constexpr int kGraphicsMarkArm = 4;

}  // namespace

QString ChildView::title_prefix() const { return QString::fromLatin1(console::selection_title_prefix(selection_)); }

bool ChildView::begin_selection(console::SelectionMode mode) {
  if (core_ == nullptr || fit_to_window_ || mode == console::SelectionMode::None) return false;
  const auto limits = core_->selection_limits(index_);
  if (!limits) return false;
  selection_limits_ = *limits;
  set_selection(console::begin_selection(mode, selection_limits_, scroll_position()));
  return true;
}

bool ChildView::select_whole_window() {
  if (core_ == nullptr || fit_to_window_) return false;
  const auto limits = core_->selection_limits(index_);
  if (!limits) return false;
  selection_limits_ = *limits;
  set_selection(console::select_whole_window(selection_limits_));
  return true;
}

void ChildView::end_selection() {
  drag_timer_.stop();
  if (!selection_.active()) return;
  set_selection(console::Selection{});
}

void ChildView::set_selection(const console::Selection& selection) {
  selection_ = selection;
  if (core_ != nullptr) core_->set_selection(index_, selection_);
  viewport()->update();
  if (hooks_.selection_changed) hooks_.selection_changed();
}

bool ChildView::selection_key(const QKeyEvent* event) {
  if (!selection_.active()) return false;
  const Qt::KeyboardModifiers modifiers = event->modifiers();
  const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
  const bool shift = modifiers.testFlag(Qt::ShiftModifier);
  console::SelectionKey key = console::SelectionKey::Left;
  switch (event->key()) {
    case Qt::Key_Shift: selection_.shift_down = true; return true;
    case Qt::Key_Left: key = console::SelectionKey::Left; break;
    case Qt::Key_Right: key = console::SelectionKey::Right; break;
    case Qt::Key_Up: key = console::SelectionKey::Up; break;
    case Qt::Key_Down: key = console::SelectionKey::Down; break;
    case Qt::Key_PageUp: key = console::SelectionKey::PageUp; break;
    case Qt::Key_PageDown: key = console::SelectionKey::PageDown; break;
    case Qt::Key_Home: key = console::SelectionKey::Home; break;
    case Qt::Key_End: key = console::SelectionKey::End; break;
    default: return false;
  }
  // A fixed selection (Select All) takes the keys without moving.
  if (selection_.select_all || selection_.phase == console::DragPhase::Dragging) return true;
  console::SelectionPage page;
  const QSize client = viewport()->size();
  if (selection_.mode == console::SelectionMode::Text) {
    page.across = std::max(1, client.width() / std::max(1, selection_limits_.char_width));
    page.down = std::max(1, client.height() / std::max(1, selection_limits_.char_height));
  } else {
    page.across = std::max(1, client.width());
    page.down = std::max(1, client.height());
  }
  console::Selection next = selection_;
  if (console::apply_selection_key(next, key, ctrl, shift, selection_limits_, page)) {
    set_selection(next);
    scroll_to_current_point();
  }
  return true;
}

void ChildView::keyReleaseEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Shift && selection_.active()) {
    // Copy follows the selection itself (Shift up leaves it in place).
    selection_.shift_down = false;
    event->accept();
    return;
  }
  QAbstractScrollArea::keyReleaseEvent(event);
}

void ChildView::scroll_to_current_point() {
  const QRect area = console::mark_area(selection_, selection_limits_);
  if (area.isEmpty()) return;
  const QPoint position = scroll_position();
  const QSize client = viewport()->size();
  int x = position.x();
  int y = position.y();
  if (area.left() < x) {
    x = area.left();
  } else if (area.right() >= x + client.width()) {
    x = area.right() - client.width() + 1;
  }
  if (area.top() < y) {
    y = area.top();
  } else if (area.bottom() >= y + client.height()) {
    y = area.bottom() - client.height() + 1;
  }
  if (x != position.x() || y != position.y()) scroll_to(x, y);
}

console::SelectionPoint ChildView::point_under(QPoint viewport_position) const {
  const QSize client = viewport()->size();
  const QPoint inside(std::clamp(viewport_position.x(), 0, std::max(0, client.width() - 1)),
                      std::clamp(viewport_position.y(), 0, std::max(0, client.height() - 1)));
  return console::point_at_pixel(selection_.mode, inside + scroll_position(), selection_limits_);
}

void ChildView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !selection_.active() || selection_.select_all || fit_to_window_) {
    QAbstractScrollArea::mousePressEvent(event);
    return;
  }
  event->accept();
  drag_pointer_ = event->position().toPoint();
  console::Selection next = selection_;
  console::press_selection_mouse(next, point_under(drag_pointer_));
  set_selection(next);
}

void ChildView::mouseMoveEvent(QMouseEvent* event) {
  if (selection_.phase != console::DragPhase::Dragging) {
    QAbstractScrollArea::mouseMoveEvent(event);
    return;
  }
  event->accept();
  drag_pointer_ = event->position().toPoint();
  const bool outside = !viewport()->rect().contains(drag_pointer_);
  if (outside && !drag_timer_.isActive()) {
    drag_scroll_step();
    drag_timer_.start();
  } else if (!outside) {
    drag_timer_.stop();
  }
  console::Selection next = selection_;
  console::drag_selection_mouse(next, point_under(drag_pointer_));
  if (next.current != selection_.current) set_selection(next);
}

void ChildView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || selection_.phase != console::DragPhase::Dragging) {
    QAbstractScrollArea::mouseReleaseEvent(event);
    return;
  }
  event->accept();
  drag_timer_.stop();
  console::Selection next = selection_;
  console::release_selection_mouse(next, point_under(event->position().toPoint()));
  set_selection(next);
}

void ChildView::drag_scroll_step() {
  if (selection_.phase != console::DragPhase::Dragging) {
    drag_timer_.stop();
    return;
  }
  // One line towards the pointer on each axis where it is beyond the client area.
  const QSize client = viewport()->size();
  const QPoint before = scroll_position();
  int x = before.x();
  int y = before.y();
  if (drag_pointer_.x() < 0) x -= cell_.width();
  if (drag_pointer_.x() >= client.width()) x += cell_.width();
  if (drag_pointer_.y() < 0) y -= cell_.height();
  if (drag_pointer_.y() >= client.height()) y += cell_.height();
  scroll_to(x, y);
  if (scroll_position() == before) {
    // The view does not move any further: wait for the pointer to move again.
    drag_timer_.stop();
    return;
  }
  console::Selection next = selection_;
  console::drag_selection_mouse(next, point_under(drag_pointer_));
  set_selection(next);
}

void ChildView::paint_selection(QPainter& painter) const {
  if (!selection_.active() || mirror_.empty()) return;
  QRegion inverted;
  const int cell_width = selection_limits_.char_width;
  const int cell_height = selection_limits_.char_height;
  if (selection_.has_area()) {
    if (selection_.mode == console::SelectionMode::Text) {
      for (const QRect& cells : console::selected_cells(selection_, selection_limits_.text_columns)) {
        inverted += QRect(cells.x() * cell_width, cells.y() * cell_height, cells.width() * cell_width,
                          cells.height() * cell_height);
      }
    } else {
      // The outline of the rectangle.
      const QRect area = console::selected_pixels(selection_);
      inverted = QRegion(area) - QRegion(area.adjusted(1, 1, -1, -1));
    }
  } else if (selection_.marking) {
    const QRect mark = console::mark_area(selection_, selection_limits_);
    if (selection_.mode == console::SelectionMode::Text) {
      inverted = QRegion(mark);
    } else {
      const QPoint centre = mark.topLeft();
      inverted = QRegion(centre.x() - kGraphicsMarkArm, centre.y(), 2 * kGraphicsMarkArm + 1, 1) +
                 QRegion(centre.x(), centre.y() - kGraphicsMarkArm, 1, 2 * kGraphicsMarkArm + 1);
    }
  }
  inverted &= QRegion(QRect(QPoint(0, 0), mirror_.size()));
  if (inverted.isEmpty()) return;
  // Drawn as an exclusive-or with white: the selected part shows inverted.
  painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  for (const QRect& area : inverted) painter.fillRect(to_viewport(area), Qt::white);
}

}  // namespace gui
