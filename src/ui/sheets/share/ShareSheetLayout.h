#pragma once

#include "common/Date.h"
#include "deck/SlideShareContext.h"
#include "sheets/share/GeneratedLinkPage.h"
#include "sheets/share/LinkShareMenu.h"
#include "sheets/share/ShareOptionsPage.h"
#include "sheets/share/ShareSheetState.h"

#include <QList>
#include <QRectF>
#include <QSizeF>

#include <optional>

class QPainter;

namespace murmela {

// The whole share sheet over the deck: the darkening backdrop, and the
// cream card 12 points in from the sides and the bottom holding the options
// page or the link page (and, on the link page, the "Share..." menu when it
// is open). Painting and hit-testing use this one geometry.
struct ShareSheetLayout {
  static constexpr qreal kCardInset = 12.0;
  static constexpr qreal kCardRadius = 18.0;

  QRectF bounds;
  QRectF card;
  std::optional<ShareOptionsPage::Layout> options;
  std::optional<GeneratedLinkPage::Layout> linkPage;
  std::optional<LinkShareMenu::Layout> menu;
  QList<SheetTargetRect> targets;  // what takes the keyboard focus, in order

  // What a point is over: with the menu open only its rows (anything else
  // answers nothing, and a click there closes the menu); otherwise the
  // card's elements, nothing elsewhere on the card, the backdrop outside it.
  std::optional<SheetTarget> hitTest(QPointF point) const;
  std::optional<QRectF> rectOf(const SheetTarget& target) const;
};

ShareSheetLayout layoutShareSheet(const SlideShareContext& context, const ShareSheetState& state, const QSizeF& size,
                                  Date now);

// Paints the sheet at `presentation` (0 ... 1, the one transition value it
// fades in and out by); `pageOpacity` fades the page in after a page switch.
void paintShareSheet(QPainter& painter, const ShareSheetLayout& layout, const ShareSheetState& state,
                     const SheetInteraction& interaction, qreal presentation = 1.0, qreal pageOpacity = 1.0,
                     qreal spinnerTurn = 0.0);

// The menu row a target stands for.
std::optional<LinkShareMenu::Item> menuItemOf(const SheetTarget& target);
SheetTarget targetOf(LinkShareMenu::Item item);

}  // namespace murmela
