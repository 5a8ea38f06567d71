#include "gui/full_screen_window.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPainter>

#include "gui/child_view.h"
#include "gui/key_input.h"
#include "gui/view_geometry.h"

namespace gui {

FullScreenWindow::FullScreenWindow(ChildView* view, std::function<void()> ended)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), view_(view), ended_(std::move(ended)) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
  setCursor(Qt::BlankCursor);
}

FullScreenWindow::~FullScreenWindow() = default;

void FullScreenWindow::surface_changed(const QRect& area) {
  if (view_.isNull()) return;
  update(scale_to_client(area, view_->surface_size(), size()));
}

void FullScreenWindow::end() {
  if (ending_) return;
  ending_ = true;
  hide();
  if (ended_) ended_();
}

void FullScreenWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (view_.isNull() || view_->mirror().empty()) {
    painter.fillRect(rect(), Qt::black);
    return;
  }
  const QImage& image = view_->mirror().image();
  painter.drawImage(rect(), image, image.rect());
  if (view_->cursor_on() && hasFocus()) {
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.fillRect(scale_to_client(view_->caret_cell(), image.size(), size()), Qt::white);
  }
}

void FullScreenWindow::keyPressEvent(QKeyEvent* event) {
  const KeyAction action = translate_key(event->key(), event->modifiers(), event->text());
  event->accept();
  if (action.kind == KeyKind::FullScreen) {
    end();
    return;
  }
  if (!view_.isNull()) view_->handle_key(action, true);
}

bool FullScreenWindow::event(QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
      keyPressEvent(key);
      return true;
    }
  }
  return QWidget::event(event);
}

void FullScreenWindow::mousePressEvent(QMouseEvent* event) {
  event->accept();
  end();
}

void FullScreenWindow::closeEvent(QCloseEvent* event) {
  event->accept();
  end();
}

}  // namespace gui
