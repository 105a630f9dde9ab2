#include "sheets/share/GenerateLinkRow.h"

#include "kit/paint/PainterState.h"
#include "kit/paint/Pens.h"
#include "kit/paint/Shapes.h"
#include "kit/symbols/Symbols.h"
#include "sheets/share/SheetLook.h"
#include "theme/MurmelaTheme.h"

#include <QPainter>
#include <QtMath>

#include <algorithm>
#include <cmath>

namespace murmela {
namespace {

TextStyle errorStyle() { return TextStyle{.typeface = Typeface::inter, .size = 9.5, .color = MurmelaTheme::rose}; }

}  // namespace

QString GenerateLinkRow::title() const {
  return isGenerating ? QStringLiteral("Generating link...") : QStringLiteral("Generate link");
}

GenerateLinkRow::Layout GenerateLinkRow::layout(QPointF topLeft, qreal width) const {
  Layout result;
  result.title = layoutText(title(), SheetLook::rowTitle(MurmelaTheme::cream));
  result.subtitle = layoutText(subtitle(), SheetLook::rowSubtitle(withOpacity(MurmelaTheme::cream, 0.72)));
  result.chevron = layoutText(QStringLiteral("\u203a"), SheetLook::rowChevron(withOpacity(MurmelaTheme::cream, 0.68)));
  const qreal textHeight = result.title.height() + kTextSpacing + result.subtitle.height();
  const qreal contentHeight = std::max({kIconSize, textHeight, result.chevron.height()});
  result.button = QRectF(topLeft, QSizeF(width, contentHeight + 2 * kPadding));
  const qreal middle = result.button.center().y();
  result.icon =
      QRectF(QPointF(result.button.left() + kPadding, middle - kIconSize / 2.0), QSizeF(kIconSize, kIconSize));
  const qreal textLeft = result.icon.right() + kSpacing;
  result.titleOrigin = QPointF(textLeft, middle - textHeight / 2.0);
  result.subtitleOrigin = QPointF(textLeft, result.titleOrigin.y() + result.title.height() + kTextSpacing);
  result.chevronOrigin =
      QPointF(result.button.right() - kPadding - result.chevron.width(), middle - result.chevron.height() / 2.0);
  qreal bottom = result.button.bottom();
  if (errorMessage) {
    // As many lines as the message needs: the sheet grows with it.
    const qreal errorWidth = std::max<qreal>(1.0, width - 2 * kErrorInset);
    result.error = layoutText(*errorMessage, errorStyle(), errorWidth);
    const qreal full = result.error->height();
    const qreal shown = errorHeightLimit ? std::clamp(*errorHeightLimit, 0.0, full) : full;
    result.errorBox = QRectF(topLeft.x() + kErrorInset, bottom + kErrorSpacing, errorWidth, shown);
    result.errorScrollRange = full - shown;
    result.errorOrigin =
        result.errorBox.topLeft() - QPointF(0.0, std::clamp(errorScroll, 0.0, result.errorScrollRange));
    bottom = result.errorBox.bottom();
  }
  result.frame = QRectF(topLeft, QPointF(topLeft.x() + width, bottom + kBottomPadding));
  return result;
}

void GenerateLinkRow::paintSpinner(QPainter& painter, QPointF centre, qreal diameter, const QColor& color, qreal turn) {
  // Twelve spokes, the leading one solid and the rest fading behind it.
  constexpr int kSpokes = 12;
  const PainterStateScope state(painter);
  painter.setRenderHint(QPainter::Antialiasing);
  const qreal outer = diameter / 2.0;
  const qreal inner = outer * 0.5;
  const int lead = static_cast<int>(std::floor(turn * kSpokes)) % kSpokes;
  for (int spoke = 0; spoke < kSpokes; ++spoke) {
    const int behind = (lead - spoke + kSpokes) % kSpokes;
    QColor ink = color;
    ink.setAlphaF(color.alphaF() * (1.0 - 0.75 * behind / (kSpokes - 1)));
    painter.setPen(StrokeStyle{.width = diameter * 0.09, .cap = Qt::RoundCap}.pen(ink));
    const qreal angle = qDegreesToRadians(spoke * 360.0 / kSpokes - 90.0);
    const QPointF direction(std::cos(angle), std::sin(angle));
    painter.drawLine(centre + direction * inner, centre + direction * outer);
  }
}

void GenerateLinkRow::paint(QPainter& painter, const Layout& layout, const ButtonState& state,
                            qreal spinnerTurn) const {
  {
    const OpacityScope pressed(painter, state.pressed && !isGenerating ? SheetLook::kPressedOpacity : 1.0);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(roundedRectPath(layout.button, kCornerRadius), MurmelaTheme::sageDeep);
    painter.fillPath(roundedRectPath(layout.icon, kIconRadius), withOpacity(MurmelaTheme::cream, 0.18));
    if (isGenerating) {
      paintSpinner(painter, layout.icon.center(), kSpinnerDiameter, MurmelaTheme::cream, spinnerTurn);
    } else {
      drawSymbol(painter, Symbol::link, layout.icon, 13, SymbolWeight::medium, MurmelaTheme::cream);
    }
    layout.title.draw(painter, layout.titleOrigin);
    layout.subtitle.draw(painter, layout.subtitleOrigin);
    layout.chevron.draw(painter, layout.chevronOrigin);
  }
  if (!layout.error) return;
  {
    const PainterStateScope clip(painter);
    if (layout.errorScrollRange > 0.0) painter.setClipRect(layout.errorBox, Qt::IntersectClip);
    layout.error->draw(painter, layout.errorOrigin);
  }
  if (layout.errorScrollRange <= 0.0) return;
  // A thin thumb beside a failure that scrolls: where its box stands in it.
  const QRectF& box = layout.errorBox;
  const qreal full = box.height() + layout.errorScrollRange;
  const qreal thumb = std::max(kErrorThumbMinimum, box.height() * box.height() / full);
  const qreal scrolled = box.top() - layout.errorOrigin.y();
  const QRectF track(box.right() + kErrorInset / 2.0 - kErrorThumbWidth / 2.0,
                     box.top() + (box.height() - thumb) * scrolled / layout.errorScrollRange, kErrorThumbWidth, thumb);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.fillPath(capsulePath(track), withOpacity(MurmelaTheme::rose, 0.45));
}

}  // namespace murmela
