#pragma once

#include "app/PastWrap.h"
#include "common/Date.h"
#include "kit/controls/PaintedButton.h"
#include "kit/text/TextLayout.h"
#include "kit/widgets/VerticalScroller.h"
#include "screens/home/PastWrapRow.h"

#include <QList>
#include <QRectF>
#include <QSizeF>

#include <optional>

class QPainter;

namespace murmela {

// What the home screen shows: the saved reports in their stored order, the
// number of active share links, the time that decides "Today", and whether
// the settings menu is open.
struct HomeContent {
  QList<PastWrap> wraps;
  qsizetype shareCount = 0;
  Date now;
  bool menuOpen = false;
};

// Every element of the home screen, in the screen's points. The content
// column is padded 28 with 24 between its elements; the library takes what
// the others leave and holds its rows (or the empty card) in content
// coordinates: x as on screen, y from the top of the scrolled content.
struct HomeViewLayout {
  static constexpr QSizeF kSize{390.0, 780.0};
  static constexpr qreal kPadding = 28.0;
  static constexpr qreal kSpacing = 24.0;
  static constexpr qreal kSpeckleOpacity = 0.55;

  static constexpr qreal kLogoSize = 22.0;
  static constexpr qreal kLogoSpacing = 8.0;
  static constexpr qreal kGearFrame = 30.0;
  static constexpr qreal kGearSymbolSize = 15.0;

  static constexpr qreal kTitleSpacing = 6.0;
  static constexpr qreal kAsideRotation = -1.5;  // degrees, about the aside's centre

  static constexpr qreal kNewButtonPadding = 16.0;
  static constexpr qreal kNewButtonSpacing = 14.0;
  static constexpr qreal kNewButtonRadius = 10.0;
  static constexpr qreal kPlusCircle = 38.0;
  static constexpr qreal kPlusSymbolSize = 16.0;
  static constexpr qreal kArrowSymbolSize = 13.0;
  static constexpr qreal kNewTextSpacing = 2.0;
  static constexpr qreal kNewSubtitleOpacity = 0.78;

  static constexpr qreal kDividerSpacing = 8.0;
  static constexpr qreal kDividerOpacity = 0.16;

  static constexpr qreal kRowSpacing = 10.0;
  static constexpr qreal kEmptyCardPadding = 24.0;
  static constexpr qreal kEmptyCardSpacing = 10.0;
  static constexpr qreal kEmptyCardRadius = 6.0;

  static constexpr qreal kSharesSpacing = 10.0;
  static constexpr qreal kSharesHorizontalPadding = 14.0;
  static constexpr qreal kSharesVerticalPadding = 12.0;
  static constexpr qreal kSharesRadius = 8.0;
  static constexpr qreal kLinkSymbolSize = 12.0;

  static constexpr qreal kMenuGap = 4.0;
  static constexpr qreal kMenuPadding = 4.0;
  static constexpr qreal kMenuItemPadding = 8.0;
  static constexpr qreal kMenuItemHeight = 26.0;
  static constexpr qreal kMenuRadius = 8.0;
  static constexpr qreal kMenuSymbolSize = 12.0;

  // A: the header row.
  QRectF header;
  QRectF logo;
  TextLayout wordmark;
  QPointF wordmarkOrigin;
  QRectF gear;
  // B: the title block.
  TextLayout aside;
  QRectF asideRect;
  TextLayout title;
  QRectF titleRect;
  // C: "New Murmela".
  QRectF newButton;
  QRectF plusCircle;
  TextLayout newTitle;
  QPointF newTitleOrigin;
  TextLayout newSubtitle;
  QPointF newSubtitleOrigin;
  QRectF arrow;
  // D: the "Recent" divider.
  QRectF divider;
  QRectF leftRule;
  QRectF rightRule;
  TextLayout recent;
  QPointF recentOrigin;
  // E: the library.
  QRectF library;
  QList<PastWrapRow> rows;
  QList<PastWrapRow::Layout> rowLayouts;
  std::optional<QRectF> emptyCard;
  TextLayout emptyTitle;
  QPointF emptyTitleOrigin;
  TextLayout emptyNote;
  QPointF emptyNoteOrigin;
  qreal contentHeight = 0.0;
  // F: "My shares".
  QRectF myShares;
  QRectF linkSymbol;
  TextLayout mySharesLabel;
  QPointF mySharesLabelOrigin;
  TextLayout shareCount;
  QPointF shareCountOrigin;
  TextLayout sharesChevron;
  QPointF sharesChevronOrigin;
  // The settings menu, when open.
  std::optional<QRectF> menu;
  QRectF menuItem;
  QRectF menuSymbol;
  TextLayout menuText;
  QPointF menuTextOrigin;

  static HomeViewLayout make(const HomeContent& content);
};

// The ids of the home screen's painted buttons; the rows follow from firstRow.
struct HomeButton {
  enum : int { gear = 1, menuItem, menuBackdrop, newMurmela, myShares, firstRow = 100 };
};

// How the home screen's buttons show right now, and how far the library is scrolled.
struct HomePaintState {
  ButtonState gear;
  ButtonState menuItem;
  ButtonState newButton;
  ButtonState myShares;
  QList<ButtonState> rows;           // by row index; missing ones at rest
  std::optional<int> focusedButton;  // the HomeButton that shows the keyboard focus
  VerticalScroller scroller;         // the library's offset and indicator
};

// Paints the whole screen into the painter's 390 x 780 points from (0, 0).
void paintHome(QPainter& painter, const HomeViewLayout& layout, const HomePaintState& state);

}  // namespace murmela
