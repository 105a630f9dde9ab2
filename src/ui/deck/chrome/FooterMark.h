#pragma once

#include "brand/DoubleBubbleLogo.h"
#include "deck/SlideShareContext.h"
#include "kit/controls/SymbolLabel.h"
#include "kit/text/TextLayout.h"

#include <QPointF>
#include <QRectF>

#include <optional>

class QPainter;

namespace murmela {

class ShareSheetPresenter;

// The footer of a slide: the logo and the product's web address, and, only
// when the slide can be shared, a faint divider and the SHARE label that
// hands the slide's share context to the share presenter. Laid out as one
// row, 10 points between items, vertically centred.
struct FooterMark {
  static constexpr qreal kSpacing = 10.0;
  static constexpr qreal kLogoSize = 14.0;
  static constexpr QSizeF kDividerSize{1.0, 12.0};
  static constexpr qreal kDividerOpacity = 0.18;
  static constexpr qreal kLabelSpacing = 5.0;
  static constexpr qreal kSymbolPointSize = 10.0;
  static constexpr qreal kPressedOpacity = 0.6;  // how a pressed plain button shows

  std::optional<SlideShareContext> shareContext;

  struct Layout {
    QRectF row;
    QRectF logo;
    TextLayout address;
    QRectF addressRect;
    bool hasShare = false;
    QRectF divider;
    SymbolLabel::Layout shareLabel;
    QPointF shareLabelOrigin;
    QRectF shareSymbol;
    QRectF shareTextRect;
    QRectF shareHitArea;  // the whole label, as high as the row
  };

  // The row centred on `centreX` with its bottom edge at `bottom`.
  Layout layout(qreal centreX, qreal bottom) const;
  void paint(QPainter& painter, const Layout& layout, bool sharePressed = false) const;
  bool hitsShare(const Layout& layout, QPointF point) const {
    return layout.hasShare && layout.shareHitArea.contains(point);
  }
  // The Share label's action: the presenter's pending context becomes this footer's.
  void share(ShareSheetPresenter& presenter) const;

  static TextStyle addressStyle();
  // "Share" in Inter 9, upper-cased, tracked 1.6, ink-soft, beside the share symbol in Inter 10.
  static SymbolLabel shareLabel();
};

}  // namespace murmela
