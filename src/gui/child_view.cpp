#include "gui/child_view.h"

#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>

#include "gui/command_ids.h"
#include "gui/view_geometry.h"

namespace gui {

ChildView::ChildView(console::CoreAccess& core, int index, ChildViewHooks hooks, QWidget* parent)
    : QAbstractScrollArea(parent), core_(&core), index_(index), hooks_(std::move(hooks)) {
  setFocusPolicy(Qt::StrongFocus);
  setFrameShape(QFrame::NoFrame);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  // The whole viewport is painted from the surface: no background erase.
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  pull_timer_.setSingleShot(true);
  QObject::connect(&pull_timer_, &QTimer::timeout, this, [this] { pull_now(); });
  since_pull_.start();
  drag_timer_.setInterval(kDragScrollIntervalMs);
  QObject::connect(&drag_timer_, &QTimer::timeout, this, [this] { drag_scroll_step(); });
}

ChildView::~ChildView() = default;

void ChildView::detach() {
  core_ = nullptr;
  pull_timer_.stop();
  drag_timer_.stop();
}

void ChildView::request_pull() {
  if (core_ == nullptr || pull_timer_.isActive()) return;
  const qint64 elapsed = since_pull_.elapsed();
  if (elapsed >= kRepaintIntervalMs) {
    pull_now();
  } else {
    pull_timer_.start(static_cast<int>(kRepaintIntervalMs - elapsed));
  }
}

void ChildView::pull_now() {
  pull_timer_.stop();
  since_pull_.restart();
  if (core_ == nullptr) return;
  const QSize old_size = mirror_.size();
  QRect changed;
  const bool found = core_->with_surface(
      index_, [&](const QImage& surface, const QRect& dirty) { changed = mirror_.update_from(surface, dirty); });
  if (!found) return;

  const QRect old_caret = caret_;
  const bool old_caret_shown = caret_shown();
  bool cleared = false;
  if (const auto info = core_->window_info(index_)) {
    caret_ = info->caret;
    cursor_visible_ = info->cursor_visible;
    if (info->char_width > 0 && info->char_height > 0) cell_ = QSize(info->char_width, info->char_height);
    cleared = info->clears != clears_seen_;
    clears_seen_ = info->clears;
  }

  if (mirror_.size() != old_size) {
    update_scroll_ranges();
    viewport()->update();
  } else {
    QRegion region(to_viewport(changed));
    if (old_caret_shown) region += to_viewport(old_caret);
    if (caret_shown()) region += to_viewport(caret_);
    if (!region.isEmpty()) viewport()->update(region);
  }
  if (cleared || caret_ != old_caret) follow_caret(cleared, changed);
  if (hooks_.surface_changed && !changed.isEmpty()) hooks_.surface_changed(changed);
}

void ChildView::follow_caret(bool cleared, const QRect& output) {
  if (fit_to_window_ || shown_full_screen_ || !isVisible()) {
    // Everything is shown, or nothing: the view catches up once it scrolls again.
    follow_deferred_ = true;
    deferred_from_top_ = deferred_from_top_ || cleared;
    return;
  }
  // A selection in progress and a scroll bar held by the user keep the view where it is.
  if (selection_.active() || horizontalScrollBar()->isSliderDown() || verticalScrollBar()->isSliderDown()) return;
  if (mirror_.empty() || caret_.isEmpty()) return;
  // Where the output began comes into view first (the text position passed there), then the
  // caret, as each move of the text position would have scrolled the view.
  const QSize client = viewport()->size();
  QPoint position = cleared ? QPoint(0, 0) : scroll_position();
  if (!output.isEmpty()) position = least_scroll_showing(position, client, QRect(output.topLeft(), cell_));
  position = least_scroll_showing(position, client, caret_);
  scroll_to(position.x(), position.y());
}

void ChildView::catch_up_with_caret() {
  if (!follow_deferred_ || fit_to_window_ || shown_full_screen_ || !isVisible()) return;
  const bool from_top = deferred_from_top_;
  follow_deferred_ = false;
  deferred_from_top_ = false;
  follow_caret(from_top);
}

void ChildView::bring_caret_into_view() { follow_caret(false); }

void ChildView::set_shown_full_screen(bool shown) {
  shown_full_screen_ = shown;
  catch_up_with_caret();
}

bool ChildView::cursor_on() const { return cursor_visible_ && !mirror_.empty() && !caret_.isEmpty(); }

// The text caret is hidden while a selection shows its own mark.
bool ChildView::caret_shown() const { return cursor_on() && hasFocus() && !selection_.active(); }

QPoint ChildView::scroll_position() const {
  return QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

void ChildView::scroll_to(int x, int y) {
  horizontalScrollBar()->setValue(x);
  verticalScrollBar()->setValue(y);
}

void ChildView::set_fit_to_window(bool fit) {
  if (fit == fit_to_window_) return;
  fit_to_window_ = fit;
  const Qt::ScrollBarPolicy policy = fit ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded;
  setHorizontalScrollBarPolicy(policy);
  setVerticalScrollBarPolicy(policy);
  update_scroll_ranges();
  tell_core_view();
  viewport()->update();
  catch_up_with_caret();
}

QRect ChildView::to_viewport(const QRect& surface_area) const {
  if (surface_area.isEmpty()) return {};
  if (fit_to_window_) return scale_to_client(surface_area, mirror_.size(), viewport()->size());
  return surface_area.translated(-scroll_position());
}

void ChildView::update_scroll_ranges() {
  QScrollBar* horizontal = horizontalScrollBar();
  QScrollBar* vertical = verticalScrollBar();
  if (fit_to_window_ || mirror_.empty()) {
    horizontal->setRange(0, 0);
    vertical->setRange(0, 0);
    return;
  }
  const QSize client = viewport()->size();
  horizontal->setRange(0, scroll_maximum(mirror_.size().width(), client.width()));
  vertical->setRange(0, scroll_maximum(mirror_.size().height(), client.height()));
  horizontal->setSingleStep(cell_.width());
  vertical->setSingleStep(cell_.height());
  horizontal->setPageStep(std::max(1, client.width()));
  vertical->setPageStep(std::max(1, client.height()));
}

QSize ChildView::view_size_for_client(const QSize& client) const {
  const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
  return QSize(client.width() + bar, client.height() + bar);
}

void ChildView::tell_core_view() {
  if (core_ == nullptr) return;
  const QPoint position = scroll_position();
  core_->set_window_view(index_, position.x(), position.y(), fit_to_window_);
}

void ChildView::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  const QImage& image = mirror_.image();
  const QRect client = viewport()->rect();
  if (image.isNull()) {
    painter.fillRect(event->rect(), palette().color(QPalette::Window));
    return;
  }
  if (fit_to_window_) {
    painter.drawImage(client, image, image.rect());
  } else {
    const QPoint offset = scroll_position();
    for (const QRect& area : event->region()) {
      const QRect source = area.translated(offset) & image.rect();
      if (!source.isEmpty()) painter.drawImage(source.topLeft() - offset, image, source);
      // Beyond the virtual screen (a client area larger than the surface).
      QRegion outside(area);
      outside -= QRegion(image.rect().translated(-offset));
      for (const QRect& rest : outside) painter.fillRect(rest, palette().color(QPalette::Window));
    }
  }
  if (caret_shown()) {
    // The caret inverts its cell, as an exclusive-or with white does.
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.fillRect(to_viewport(caret_), Qt::white);
  }
  paint_selection(painter);
}

void ChildView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  update_scroll_ranges();
  tell_core_view();
}

void ChildView::showEvent(QShowEvent* event) {
  QAbstractScrollArea::showEvent(event);
  catch_up_with_caret();
}

void ChildView::scrollContentsBy(int, int) {
  // The caret is drawn over the picture, so the whole view is painted again rather than
  // moved; the core keeps the offsets for the selection.
  viewport()->update();
  tell_core_view();
}

void ChildView::handle_key(const KeyAction& action, bool in_full_screen) {
  switch (action.kind) {
    case KeyKind::None: return;
    case KeyKind::Character:
      // Esc and Ctrl+Q end a selection in progress through Resume (which ends it first).
      if (selection_.active() && (action.character == 27 || action.character == 17)) {
        if (hooks_.run_command) hooks_.run_command(kResume);
        return;
      }
      if (core_ != nullptr) core_->type_character(index_, action.character);
      return;
    case KeyKind::FunctionKey:
      if (core_ != nullptr) core_->press_function_key(index_, action.function_key);
      return;
    case KeyKind::Scroll: {
      if (in_full_screen || fit_to_window_) return;
      ScrollStep step;
      step.line_x = cell_.width();
      step.line_y = cell_.height();
      step.page_x = viewport()->width();
      step.page_y = viewport()->height();
      step.maximum_x = horizontalScrollBar()->maximum();
      step.maximum_y = verticalScrollBar()->maximum();
      QPoint position = scroll_position();
      int x = position.x();
      int y = position.y();
      apply_scroll(action.scroll, step, x, y);
      scroll_to(x, y);
      return;
    }
    case KeyKind::FullScreen:
    case KeyKind::Copy:
    case KeyKind::Paste: {
      const int command = action.kind == KeyKind::FullScreen ? kFullScreen
                          : action.kind == KeyKind::Copy     ? kCopy
                                                             : kPaste;
      if (hooks_.command_allowed && hooks_.command_allowed(command) && hooks_.run_command) {
        hooks_.run_command(command);
      }
      return;
    }
    case KeyKind::CloseWindow:
    case KeyKind::NextWindow:
    case KeyKind::PreviousWindow:
      if (!in_full_screen && hooks_.child_window_key) hooks_.child_window_key(action.kind);
      return;
  }
}

void ChildView::keyPressEvent(QKeyEvent* event) {
  // While a selection mode is on, the movement keys move the selection, not the view.
  if (selection_key(event)) {
    event->accept();
    return;
  }
  const KeyAction action = translate_key(event->key(), event->modifiers(), event->text());
  if (action.kind == KeyKind::None) {
    QAbstractScrollArea::keyPressEvent(event);
    return;
  }
  event->accept();
  handle_key(action);
}

bool ChildView::event(QEvent* event) {
  // Tab is a character of the line here, not a move to the next widget.
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
      keyPressEvent(key);
      return true;
    }
  }
  return QAbstractScrollArea::event(event);
}

void ChildView::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  if (core_ != nullptr) core_->set_window_focus(index_, true);
  if (caret_shown()) viewport()->update(to_viewport(caret_));
}

void ChildView::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  if (core_ != nullptr) core_->set_window_focus(index_, false);
  if (!caret_.isEmpty()) viewport()->update(to_viewport(caret_));
}

}  // namespace gui
