#include "share/InterimShareSheet.h"

#include "deck/LongDeckSlide.h"
#include "kit/paint/PainterState.h"
#include "kit/paint/Shadow.h"
#include "kit/paint/Shapes.h"
#include "kit/symbols/Symbols.h"
#include "theme/MurmelaTheme.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>

namespace murmela {
namespace {

constexpr qreal kCardInset = 12.0;
constexpr qreal kCardPadding = 18.0;
constexpr qreal kCardRadius = 18.0;
constexpr qreal kCloseSize = 26.0;
constexpr qreal kSpacing = 8.0;
const ShadowStyle kCardShadow{QColor(0, 0, 0, 46), 24.0, QPointF(0.0, -4.0)};  // black at 0.18, upwards

const TextStyle kEyebrow{
    .typeface = Typeface::inter, .size = 9, .tracking = 1.6, .upperCase = true, .color = MurmelaTheme::inkSoft};
const TextStyle kTitle{.typeface = Typeface::dmSerifDisplay, .size = 22, .tracking = -0.5, .color = MurmelaTheme::ink};
const TextStyle kBody{.typeface = Typeface::inter, .size = 12, .color = MurmelaTheme::inkSoft, .lineSpacing = 3};

QString bodyText(const SlideShareContext& context) {
  const QString contact = context.contactHandle && !context.contactHandle->isEmpty()
                              ? QStringLiteral("contact ") + *context.contactHandle
                              : QStringLiteral("no contact");
  return QStringLiteral("Slide %1 of %2 · %3\nThe share sheet is not built yet; close this to go back to the deck.")
      .arg(context.slideIndex + 1)
      .arg(LongDeckSlide::kCount)
      .arg(contact);
}

}  // namespace

InterimShareSheet::Layout InterimShareSheet::layout(const SlideShareContext& context, const QRectF& bounds) {
  Layout result;
  result.backdrop = bounds;
  const qreal cardWidth = bounds.width() - 2.0 * kCardInset;
  const qreal textWidth = cardWidth - 2.0 * kCardPadding;
  result.eyebrow = layoutText(QStringLiteral("Interim share sheet"), kEyebrow, textWidth);
  result.title = layoutText(QStringLiteral("Share"), kTitle, textWidth - kCloseSize - kSpacing);
  result.body = layoutText(bodyText(context), kBody, textWidth);
  const qreal height = kCardPadding + result.eyebrow.height() + kSpacing + result.title.height() + kSpacing +
                       result.body.height() + kCardPadding;
  result.card = QRectF(bounds.left() + kCardInset, bounds.bottom() - kCardInset - height, cardWidth, height);
  const QPointF inner = result.card.topLeft() + QPointF(kCardPadding, kCardPadding);
  result.eyebrowOrigin = inner;
  result.titleOrigin = inner + QPointF(0.0, result.eyebrow.height() + kSpacing);
  result.bodyOrigin = result.titleOrigin + QPointF(0.0, result.title.height() + kSpacing);
  result.closeButton =
      QRectF(result.card.right() - kCardPadding - kCloseSize, result.card.top() + kCardPadding, kCloseSize, kCloseSize);
  return result;
}

void InterimShareSheet::paint(QPainter& painter, const Layout& layout, bool closePressed) {
  const PainterStateScope scope(painter);
  painter.setRenderHint(QPainter::Antialiasing);
  QLinearGradient backdrop(layout.backdrop.topLeft(), layout.backdrop.bottomLeft());
  backdrop.setColorAt(0.0, withOpacity(MurmelaTheme::ink, 0.3));
  backdrop.setColorAt(1.0, withOpacity(MurmelaTheme::ink, 0.55));
  painter.fillRect(layout.backdrop, backdrop);

  const QPainterPath card = roundedRectPath(layout.card, kCardRadius);
  drawShadow(painter, card, kCardShadow);
  painter.fillPath(card, MurmelaTheme::cream);
  painter.setBrush(Qt::NoBrush);
  painter.setPen(StrokeStyle{.width = 1.0}.pen(withOpacity(MurmelaTheme::sageDeep, 0.22)));
  painter.drawPath(card);

  layout.eyebrow.draw(painter, layout.eyebrowOrigin);
  layout.title.draw(painter, layout.titleOrigin);
  layout.body.draw(painter, layout.bodyOrigin);

  const OpacityScope pressed(painter, closePressed ? 0.7 : 1.0);
  painter.fillPath(circlePath(layout.closeButton.center(), kCloseSize / 2.0), MurmelaTheme::creamDeep);
  drawSymbol(painter, Symbol::xmark, layout.closeButton, 11.0, SymbolWeight::semibold, MurmelaTheme::inkSoft);
}

std::optional<InterimShareSheet::Element> InterimShareSheet::hitTest(const Layout& layout, QPointF point) {
  if (layout.closeButton.contains(point)) return Element::close;
  if (layout.card.contains(point)) return std::nullopt;
  if (layout.backdrop.contains(point)) return Element::backdrop;
  return std::nullopt;
}

ShareSheetFactory InterimShareSheet::factory() {
  return [](const ShareSheetRequest& request, QWidget* parent) { return new InterimShareSheet(request, parent); };
}

InterimShareSheet::InterimShareSheet(ShareSheetRequest request, QWidget* parent)
    : QWidget(parent), request_(std::move(request)) {
  setFocusPolicy(Qt::StrongFocus);
}

void InterimShareSheet::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  paint(painter, currentLayout(), pressed_ == Element::close);
}

void InterimShareSheet::mousePressEvent(QMouseEvent* event) {
  pressed_ = hitTest(currentLayout(), event->position());
  update();
}

void InterimShareSheet::mouseReleaseEvent(QMouseEvent* event) {
  const std::optional<Element> pressed = std::exchange(pressed_, std::nullopt);
  update();
  if (pressed && pressed == hitTest(currentLayout(), event->position()) && request_.dismiss) request_.dismiss();
}

}  // namespace murmela
