#pragma once

#include "kit/controls/PaintedButton.h"
#include "kit/symbols/Symbols.h"
#include "kit/text/TextStyle.h"

#include <QRectF>

class QPainter;

namespace murmela::SheetLook {

// The looks the share sheet's pieces have in common.

// The label of a plain button while pressed is drawn at this opacity.
inline constexpr qreal kPressedOpacity = 0.7;

// A row's title ("Generate link", "Copy image"): DM Serif Display 16, tracking -0.3.
TextStyle rowTitle(const QColor& color);
// A row's second line: Inter 10 medium, tracking 1.2, upper case.
TextStyle rowSubtitle(const QColor& color);
// The "›" at a row's end: DM Serif Display 18.
TextStyle rowChevron(const QColor& color);
// "Share": DM Serif Display 22, ink, tracking -0.5.
TextStyle sheetTitle();
// "Share responsibly": Inter 10 medium, tracking 1.6, upper case, ink at 0.42.
TextStyle footer();
// The header's subtitle: Inter 9.5 medium, tracking 1.6, upper case, inkSoft.
TextStyle headerSubtitle();

// The round icon button of the sheet's header (close, back): a symbol at 11
// semibold, inkSoft, on a 26 x 26 creamDeep circle.
ButtonStyle roundIconButton(Symbol symbol);

// Both pages of the sheet open with the grabber, a 36 x 4 capsule of ink at
// 0.22 14 points below the card's top with 10 under it, keep their header
// 18 points in from the card's sides and end 18 points under "Share responsibly".
inline constexpr QSizeF kGrabberSize{36.0, 4.0};
inline constexpr qreal kGrabberTop = 14.0;
inline constexpr qreal kGrabberBottom = 10.0;
inline constexpr qreal kSideInset = 18.0;
inline constexpr qreal kFooterBottom = 18.0;
// The grabber of a card whose top edge is at `top`, centred on `centreX`.
QRectF grabberRect(qreal centreX, qreal top);
void paintGrabber(QPainter& painter, const QRectF& rect);

// The ring drawn around the element that has the keyboard focus.
void paintFocusRing(QPainter& painter, const QRectF& rect, qreal cornerRadius);

}  // namespace murmela::SheetLook
