#include "share/ToastOverlay.h"

#include "kit/paint/PainterState.h"
#include "kit/paint/Shadow.h"
#include "kit/paint/Shapes.h"
#include "share/ToastManager.h"
#include "theme/MurmelaTheme.h"

#include <QEvent>
#include <QPainter>

namespace murmela {

TextStyle ToastOverlay::textStyle() {
  return TextStyle{
      .typeface = Typeface::inter, .size = 11, .weight = QFont::Medium, .tracking = 0.6, .color = MurmelaTheme::cream};
}

ToastOverlay::Layout ToastOverlay::layout(const QString& text, const QSizeF& size) {
  Layout result;
  const qreal width = std::max<qreal>(1.0, size.width() - 2 * kHorizontalPadding);
  result.text = layoutText(text, textStyle(), width);
  const QSizeF capsule(result.text.width() + 2 * kHorizontalPadding, result.text.height() + 2 * kVerticalPadding);
  result.capsule = QRectF(
      QPointF((size.width() - capsule.width()) / 2.0, size.height() - kBottomPadding - capsule.height()), capsule);
  result.textOrigin = result.capsule.topLeft() + QPointF(kHorizontalPadding, kVerticalPadding);
  return result;
}

void ToastOverlay::paintToast(QPainter& painter, const Layout& layout, const QSizeF& size, qreal progress) {
  if (progress <= 0.0) return;
  const PainterStateScope state(painter);
  painter.setRenderHint(QPainter::Antialiasing);
  // Moves in from below the overlay's bottom edge while it fades in.
  const qreal travel = size.height() - layout.capsule.top();
  painter.translate(0.0, (1.0 - progress) * travel);
  painter.setOpacity(painter.opacity() * progress);
  const QPainterPath capsule = capsulePath(layout.capsule);
  drawShadow(painter, capsule, ShadowStyle{QColor(0, 0, 0, 51), 10.0, QPointF(0.0, 4.0)});
  painter.fillPath(capsule, withOpacity(MurmelaTheme::ink, 0.92));
  layout.text.draw(painter, layout.textOrigin);
}

ToastOverlay::ToastOverlay(ToastManager& manager, QWidget* parent, Clock clock)
    : QWidget(parent), manager_(&manager), clock_(std::move(clock)) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_NoSystemBackground);
  setFocusPolicy(Qt::NoFocus);
  frames_.setInterval(16);
  connect(&frames_, &QTimer::timeout, this, &ToastOverlay::tick);
  connect(&manager, &ToastManager::currentChanged, this, [this] {
    const std::optional<QString>& current = manager_->current();
    const bool wasVisible = shown_.has_value() && appearing_;
    if (current) {
      shown_ = current;
      if (!wasVisible) {
        appearing_ = true;
        transition_ = Transition::startingAt(clock_(), kTransitionSeconds, Easing::easeOut);
      }
    } else if (shown_) {
      appearing_ = false;
      transition_ = Transition::startingAt(clock_(), kTransitionSeconds, Easing::easeOut);
    }
    raise();
    tick();
  });
  if (parent) {
    parent->installEventFilter(this);
    follow();
  }
  if (manager.current()) {
    shown_ = manager.current();
    appearing_ = true;
  }
}

qreal ToastOverlay::progress() const {
  if (!shown_) return 0.0;
  const qreal raw = transition_.progress(clock_());
  return appearing_ ? raw : 1.0 - raw;
}

void ToastOverlay::tick() {
  if (transition_.finished(clock_())) {
    frames_.stop();
    if (!appearing_) shown_.reset();
  } else if (!frames_.isActive()) {
    frames_.start();
  }
  update();
}

void ToastOverlay::follow() {
  if (QWidget* host = parentWidget()) setGeometry(host->rect());
  raise();
}

bool ToastOverlay::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parentWidget() && event->type() == QEvent::Resize) follow();
  if (watched == parentWidget() && event->type() == QEvent::ChildAdded) raise();
  return QWidget::eventFilter(watched, event);
}

void ToastOverlay::paintEvent(QPaintEvent*) {
  if (!shown_) return;
  QPainter painter(this);
  paintToast(painter, layout(*shown_, size()), size(), progress());
}

}  // namespace murmela
