#include "kit/widgets/ScrollInput.h"

#include <QEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>

namespace murmela {

ScrollInput::ScrollInput(QWidget* widget, FocusSpan focusSpan)
    : QObject(widget), widget_(widget), focusSpan_(std::move(focusSpan)) {
  widget->installEventFilter(this);
}

void ScrollInput::followFocus(std::optional<int> focused) {
  if (focused == followed_) return;
  followed_ = focused;
  if (!focused || !focusSpan_) return;
  const std::optional<QRectF> span = focusSpan_(*focused);
  if (!span) return;
  const qreal was = scroller_.offset();
  scroller_.ensureVisible(span->top(), span->bottom());
  if (scroller_.offset() != was) Q_EMIT scrolled();
}

bool ScrollInput::eventFilter(QObject* watched, QEvent* event) {
  if (watched != widget_ || !enabled_) return false;
  bool moved = false;
  switch (event->type()) {
    case QEvent::Wheel: {
      auto* wheel = static_cast<QWheelEvent*>(event);
      moved = scroller_.wheel(wheel->position(), wheel->angleDelta(), wheel->pixelDelta());
      break;
    }
    case QEvent::MouseButtonPress: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      moved = mouse->button() == Qt::LeftButton && scroller_.press(mouse->position());
      break;
    }
    case QEvent::MouseMove:
      moved = scroller_.move(static_cast<QMouseEvent*>(event)->position());
      break;
    case QEvent::MouseButtonRelease:
      moved = scroller_.release();
      break;
    default:
      return false;
  }
  if (moved) {
    widget_->update();
    Q_EMIT scrolled();
  }
  return moved;
}

}  // namespace murmela
