#include "gui/status_bar.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>
#include <QStyle>

#include <algorithm>

namespace gui {

namespace {

const QColor kBarColor(192, 192, 192);
const QColor kTopLine(175, 175, 175);
const QColor kShadow(128, 128, 128);

// A recessed pane: shadow on the top and left edges, highlight on the bottom and right.
void draw_recessed(QPainter& painter, const QRect& pane) {
  painter.setPen(kShadow);
  painter.drawLine(pane.topLeft(), pane.topRight());
  painter.drawLine(pane.topLeft(), pane.bottomLeft());
  painter.setPen(Qt::white);
  painter.drawLine(pane.bottomLeft(), pane.bottomRight());
  painter.drawLine(pane.topRight(), pane.bottomRight());
}

}  // namespace

StatusBar::StatusBar(QWidget* parent) : QWidget(parent) {
  setFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont));
  setAutoFillBackground(false);
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  setFixedHeight(caption_height());
}

int StatusBar::caption_height() const {
  const int title = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
  // Never lower than the text with its panes.
  return std::max(title, fontMetrics().height() + 8);
}

QSize StatusBar::sizeHint() const { return QSize(200, caption_height()); }

void StatusBar::set_state_text(const QString& text) {
  if (text == state_text_) return;
  state_text_ = text;
  update(state_pane());
}

void StatusBar::set_message(const QString& text) {
  if (text == message_) return;
  message_ = text;
  update(message_pane());
}

// Nine average characters, or more when a state text is wider in the system font.
int StatusBar::state_pane_width() const {
  const QFontMetrics metrics = fontMetrics();
  int width = 9 * metrics.averageCharWidth();
  for (const char* text : {"Running", "Paused", "Finished"}) {
    width = std::max(width, metrics.horizontalAdvance(QLatin1String(text)) + 8);
  }
  return width;
}

QRect StatusBar::state_pane() const {
  const int w = fontMetrics().averageCharWidth();
  return QRect(w, 4, state_pane_width(), height() - 7);
}

QRect StatusBar::message_pane() const {
  const int w = fontMetrics().averageCharWidth();
  const int left = state_pane().right() + 1 + w;
  return QRect(left, 4, std::max(0, width() - w - left), height() - 7);
}

void StatusBar::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), kBarColor);
  painter.setPen(kTopLine);
  painter.drawLine(0, 0, width() - 1, 0);
  painter.setPen(Qt::white);
  painter.drawLine(0, 1, width() - 1, 1);

  painter.setPen(Qt::black);
  const QRect panes[2] = {state_pane(), message_pane()};
  const QString* texts[2] = {&state_text_, &message_};
  for (int i = 0; i < 2; ++i) {
    if (panes[i].width() <= 2) continue;
    draw_recessed(painter, panes[i]);
    painter.setPen(Qt::black);
    const QRect inside = panes[i].adjusted(3, 1, -3, -1);
    painter.drawText(inside, Qt::AlignLeft | Qt::AlignVCenter,
                     fontMetrics().elidedText(*texts[i], Qt::ElideRight, inside.width()));
  }
}

}  // namespace gui
