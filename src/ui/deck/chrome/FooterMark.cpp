#include "deck/chrome/FooterMark.h"

#include "deck/ShareSheetPresenter.h"
#include "kit/layout/Stack.h"
#include "kit/paint/PainterState.h"
#include "theme/MurmelaTheme.h"
#include "theme/ProductAddress.h"

#include <QPainter>

#include <algorithm>

namespace murmela {
TextStyle FooterMark::addressStyle() {
  return TextStyle{.typeface = Typeface::dmSerifDisplay, .size = 16, .italic = true, .color = MurmelaTheme::sageDeep};
}

SymbolLabel FooterMark::shareLabel() {
  return SymbolLabel{
      .symbol = Symbol::squareAndArrowUp,
      .symbolSize = kSymbolPointSize,
      .symbolWeight = SymbolWeight::regular,
      .spacing = kLabelSpacing,
      .text = QStringLiteral("Share"),
      .style = TextStyle{.typeface = Typeface::inter,
                         .size = 9,
                         .tracking = 1.6,
                         .upperCase = true,
                         .color = MurmelaTheme::inkSoft},
  };
}

FooterMark::Layout FooterMark::layout(qreal centreX, qreal bottom) const {
  Layout result;
  result.hasShare = shareContext.has_value();
  const QSizeF logoSize = DoubleBubbleLogo{kLogoSize}.frameSize();
  result.address = layoutText(productDomain(), addressStyle());
  result.shareLabel = shareLabel().layout();
  const QSizeF labelSize = result.shareLabel.size;

  Stack row = Stack::horizontal(kSpacing, StackAlign::center);
  row.add(logoSize);
  row.add(result.address.size);
  if (result.hasShare) {
    row.add(kDividerSize);
    row.add(labelSize);
  }
  const qreal height = std::max(
      {logoSize.height(), result.address.height(), kDividerSize.height(), result.hasShare ? labelSize.height() : 0.0});
  const qreal width = row.idealLength();
  result.row = QRectF(centreX - width / 2.0, bottom - height, width, height);
  const QList<QRectF> frames = row.layout(result.row);
  result.logo = frames[0];
  result.addressRect = frames[1];
  if (result.hasShare) {
    result.divider = frames[2];
    const QRectF label = frames[3];
    result.shareLabelOrigin = label.topLeft();
    result.shareSymbol = result.shareLabel.symbolRect.translated(label.topLeft());
    result.shareTextRect = result.shareLabel.textRect.translated(label.topLeft());
    result.shareHitArea = QRectF(label.left(), result.row.top(), label.width(), result.row.height());
  }
  return result;
}

void FooterMark::paint(QPainter& painter, const Layout& layout, bool sharePressed) const {
  DoubleBubbleLogo{kLogoSize}.paint(painter, layout.logo);
  layout.address.draw(painter, layout.addressRect.topLeft());
  if (!layout.hasShare) return;
  painter.fillRect(layout.divider, withOpacity(MurmelaTheme::ink, kDividerOpacity));
  const OpacityScope pressed(painter, sharePressed ? kPressedOpacity : 1.0);
  shareLabel().paint(painter, layout.shareLabel, layout.shareLabelOrigin);
}

void FooterMark::share(ShareSheetPresenter& presenter) const {
  if (shareContext) presenter.setPending(shareContext);
}

}  // namespace murmela
