#include "kit/overlay/ToastOverlay.h"

#include "kit/access/PaintedReader.h"
#include "kit/overlay/ToastManager.h"
#include "kit/paint/PainterState.h"
#include "kit/paint/Shapes.h"
#include "theme/MurmelaTheme.h"

#include <QEvent>
#include <QPainter>

#include <algorithm>

namespace murmela {

TextStyle ToastOverlay::textStyle() {
  return TextStyle{.typeface = Typeface::inter,
                   .size = 11,
                   .weight = QFont::Medium,
                   .tracking = 0.6,
                   .color = MurmelaTheme::cream,
                   .alignment = TextAlign::center};
}

ToastOverlay::Layout ToastOverlay::layout(const QString& text, const QRectF& bounds) {
  Layout result;
  const qreal wrapWidth = std::max(bounds.width() - 2.0 * kHorizontalPadding, 1.0);
  result.text = layoutText(text, textStyle(), wrapWidth);
  const QSizeF size(result.text.width() + 2.0 * kHorizontalPadding, result.text.height() + 2.0 * kVerticalPadding);
  result.capsule =
      QRectF(QPointF(bounds.center().x() - size.width() / 2.0, bounds.bottom() - kBottomPadding - size.height()), size);
  result.textOrigin = result.capsule.topLeft() + QPointF(kHorizontalPadding, kVerticalPadding);
  result.travel = size.height() + kBottomPadding;
  return result;
}

void ToastOverlay::paint(QPainter& painter, const Layout& layout, qreal shown) {
  if (shown <= 0.0) return;
  const OpacityScope fade(painter, shown);
  painter.translate(0.0, layout.travel * (1.0 - shown));
  painter.setRenderHint(QPainter::Antialiasing);
  const QPainterPath capsule = capsulePath(layout.capsule);
  drawShadow(painter, capsule, kShadow);
  painter.fillPath(capsule, withOpacity(MurmelaTheme::ink, kBackgroundOpacity));
  layout.text.draw(painter, layout.textOrigin);
}

ToastOverlay::ToastOverlay(ToastManager& manager, Clock clock, QWidget* parent)
    : QWidget(parent),
      manager_(&manager),
      clock_(clock ? std::move(clock) : Clock(&monotonicSeconds)),
      ticker_([this] { return !transition_.finished(clock_()); }, [this] { update(); }, this) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_NoSystemBackground);
  reader_ = new PaintedReader(this, nullptr);
  // Readers see a toast from its arrival until it is dismissed (not while it fades out).
  reader_->setTexts([this] {
    if (!text_ || !arriving_) return QList<ShownText>{};
    const Layout placed = layout(*text_, QRectF(rect()));
    return QList<ShownText>{shownText(placed.text, {placed.textOrigin, placed.text.size})};
  });
  setFocusPolicy(Qt::NoFocus);  // a toast never takes the keys
  connect(&manager, &ToastManager::currentChanged, this, &ToastOverlay::follow);
  if (parent) {
    parent->installEventFilter(this);
    cover();
  }
  follow();
}

void ToastOverlay::cover() {
  if (QWidget* host = parentWidget()) setGeometry(host->rect());
  raise();
}

bool ToastOverlay::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parentWidget()) {
    if (event->type() == QEvent::Resize) cover();
    if (event->type() == QEvent::ChildAdded) raise();  // a sibling added later stays below
  }
  return QWidget::eventFilter(watched, event);
}

qreal ToastOverlay::shownAmount() const {
  if (!text_) return 0.0;
  if (!arriving_ && transition_.finished(clock_())) return 0.0;
  const qreal progress = transition_.progress(clock_());
  return arriving_ ? progress : 1.0 - progress;
}

void ToastOverlay::follow() {
  const std::optional<QString> current = manager_ ? manager_->current() : std::nullopt;
  const double now = clock_();
  if (current) {
    if (!arriving_) transition_ = Transition::startingAt(now, kDuration, Easing::easeOut);
    arriving_ = true;
    text_ = current;
    reader_->contentChanged();
    reader_->announce(*current);
  } else if (arriving_) {
    transition_ = Transition::startingAt(now, kDuration, Easing::easeOut);
    arriving_ = false;
    reader_->contentChanged();
  }
  ticker_.kick();
}

void ToastOverlay::paintEvent(QPaintEvent*) {
  const qreal shown = shownAmount();
  if (!text_ || shown <= 0.0) return;
  QPainter painter(this);
  paint(painter, layout(*text_, QRectF(rect())), shown);
}

}  // namespace murmela
