#include "screens/home/HomeViewLayout.h"

#include "brand/DoubleBubbleLogo.h"
#include "brand/SpeckleBackground.h"
#include "kit/controls/LibraryStyle.h"
#include "kit/paint/PainterState.h"
#include "kit/paint/Pens.h"
#include "kit/paint/Shadow.h"
#include "kit/paint/Shapes.h"
#include "kit/symbols/Symbols.h"
#include "kit/widgets/ButtonHost.h"
#include "theme/MurmelaTheme.h"

#include <QPainter>

#include <algorithm>

namespace murmela {
namespace {

using L = HomeViewLayout;

const TextStyle kWordmarkStyle{
    .typeface = Typeface::dmSerifDisplay, .size = 22, .italic = true, .color = MurmelaTheme::ink};
const TextStyle kAsideStyle{.typeface = Typeface::caveat, .size = 22, .color = MurmelaTheme::sageDeep};
const TextStyle kTitleStyle{.typeface = Typeface::dmSerifDisplay, .size = 42, .color = MurmelaTheme::ink};
const TextStyle kNewTitleStyle{.typeface = Typeface::dmSerifDisplay, .size = 20, .color = MurmelaTheme::cream};
const TextStyle kNewSubtitleStyle{.typeface = Typeface::inter,
                                  .size = 9.5,
                                  .tracking = 1.4,
                                  .upperCase = true,
                                  .color = withOpacity(MurmelaTheme::cream, L::kNewSubtitleOpacity),
                                  .lineLimit = 1};
const TextStyle kRecentStyle{.typeface = Typeface::inter,
                             .size = 9,
                             .tracking = 1.8,
                             .upperCase = true,
                             .color = withOpacity(MurmelaTheme::ink, L::kDividerOpacity)};
const TextStyle kEmptyTitleStyle{
    .typeface = Typeface::dmSerifDisplay, .size = 20, .color = MurmelaTheme::ink, .alignment = TextAlign::center};
const TextStyle kEmptyNoteStyle{.typeface = Typeface::inter,
                                .size = 10,
                                .tracking = 1.2,
                                .upperCase = true,
                                .color = MurmelaTheme::inkSoft,
                                .alignment = TextAlign::center};
const TextStyle kSharesLabelStyle{.typeface = Typeface::inter,
                                  .size = 11,
                                  .weight = QFont::DemiBold,
                                  .tracking = 1.6,
                                  .upperCase = true,
                                  .color = MurmelaTheme::ink};
const TextStyle kShareCountStyle{
    .typeface = Typeface::inter, .size = 10, .weight = QFont::DemiBold, .color = MurmelaTheme::inkSoft};
const TextStyle kSharesChevronStyle{.typeface = Typeface::dmSerifDisplay, .size = 16, .color = MurmelaTheme::ink};
const TextStyle kMenuTextStyle{.typeface = Typeface::inter, .size = 12, .color = MurmelaTheme::rose};

// A box of `size` whose vertical centre is `middle`, from `left`.
QRectF centredAt(qreal left, qreal middle, QSizeF size) {
  return QRectF(QPointF(left, middle - size.height() / 2.0), size);
}
QPointF centredOrigin(qreal left, qreal middle, const TextLayout& text) {
  return centredAt(left, middle, text.size).topLeft();
}

// A: the logo and wordmark on the left, the gear in its frame on the right.
void layoutHeader(L& layout, qreal left, qreal top, qreal width) {
  const QSizeF logo = DoubleBubbleLogo{L::kLogoSize}.frameSize();
  layout.wordmark = layoutText(QStringLiteral("murmela"), kWordmarkStyle);
  const qreal height = std::max({logo.height(), layout.wordmark.height(), L::kGearFrame});
  layout.header = QRectF(left, top, width, height);
  const qreal middle = layout.header.center().y();
  layout.logo = centredAt(left, middle, logo);
  layout.wordmarkOrigin = centredOrigin(layout.logo.right() + L::kLogoSpacing, middle, layout.wordmark);
  layout.gear = centredAt(layout.header.right() - L::kGearFrame, middle, QSizeF(L::kGearFrame, L::kGearFrame));
}

// C: the circle with "plus", the two texts, the spacer and the arrow, padded 16.
void layoutNewButton(L& layout, qreal left, qreal top, qreal width) {
  layout.newTitle = layoutText(QStringLiteral("New Murmela"), kNewTitleStyle);
  const QSizeF arrow = symbolSize(Symbol::arrowRight, L::kArrowSymbolSize);
  const qreal textWidth =
      width - 2.0 * L::kNewButtonPadding - L::kPlusCircle - 3.0 * L::kNewButtonSpacing - arrow.width();
  layout.newSubtitle = layoutText(QStringLiteral("Murmela a conversation"), kNewSubtitleStyle, textWidth);
  const qreal textHeight = layout.newTitle.height() + L::kNewTextSpacing + layout.newSubtitle.height();
  const qreal inner = std::max({L::kPlusCircle, textHeight, arrow.height()});
  layout.newButton = QRectF(left, top, width, inner + 2.0 * L::kNewButtonPadding);
  const qreal middle = layout.newButton.center().y();
  const qreal innerLeft = left + L::kNewButtonPadding;
  layout.plusCircle = centredAt(innerLeft, middle, QSizeF(L::kPlusCircle, L::kPlusCircle));
  layout.newTitleOrigin = QPointF(layout.plusCircle.right() + L::kNewButtonSpacing, middle - textHeight / 2.0);
  layout.newSubtitleOrigin = layout.newTitleOrigin + QPointF(0.0, layout.newTitle.height() + L::kNewTextSpacing);
  layout.arrow = centredAt(layout.newButton.right() - L::kNewButtonPadding - arrow.width(), middle, arrow);
}

// D: two rules sharing what the full-width "Recent" leaves.
void layoutDivider(L& layout, qreal left, qreal top, qreal width) {
  layout.recent = layoutText(QStringLiteral("Recent"), kRecentStyle);
  layout.divider = QRectF(left, top, width, layout.recent.height());
  const qreal middle = layout.divider.center().y();
  const qreal rule = std::max(0.0, (width - layout.recent.width() - 2.0 * L::kDividerSpacing) / 2.0);
  layout.leftRule = QRectF(left, middle - 0.5, rule, 1.0);
  layout.recentOrigin = centredOrigin(layout.leftRule.right() + L::kDividerSpacing, middle, layout.recent);
  layout.rightRule = QRectF(layout.divider.right() - rule, middle - 0.5, rule, 1.0);
}

// F: symbol, label, spacer, count and "›", padded 14 by 12.
qreal mySharesHeight(L& layout, qsizetype shareCount) {
  layout.mySharesLabel = layoutText(QStringLiteral("My shares"), kSharesLabelStyle);
  layout.shareCount = layoutText(QString::number(shareCount), kShareCountStyle);
  layout.sharesChevron = layoutText(QStringLiteral("\u203A"), kSharesChevronStyle);
  const QSizeF link = symbolSize(Symbol::link, L::kLinkSymbolSize, SymbolWeight::semibold);
  return std::max({link.height(), layout.mySharesLabel.height(), layout.shareCount.height(),
                   layout.sharesChevron.height()}) +
         2.0 * L::kSharesVerticalPadding;
}

void placeMyShares(L& layout, qreal left, qreal top, qreal width, qreal height) {
  layout.myShares = QRectF(left, top, width, height);
  const qreal middle = layout.myShares.center().y();
  const qreal innerLeft = left + L::kSharesHorizontalPadding;
  layout.linkSymbol =
      centredAt(innerLeft, middle, symbolSize(Symbol::link, L::kLinkSymbolSize, SymbolWeight::semibold));
  layout.mySharesLabelOrigin =
      centredOrigin(layout.linkSymbol.right() + L::kSharesSpacing, middle, layout.mySharesLabel);
  const qreal right = layout.myShares.right() - L::kSharesHorizontalPadding;
  layout.sharesChevronOrigin = centredOrigin(right - layout.sharesChevron.width(), middle, layout.sharesChevron);
  layout.shareCountOrigin = centredOrigin(
      layout.sharesChevronOrigin.x() - L::kSharesSpacing - layout.shareCount.width(), middle, layout.shareCount);
}

// E: the rows, 10 apart, or the empty card, from the top of the content.
void layoutLibrary(L& layout, const HomeContent& content) {
  const qreal left = layout.library.left();
  const qreal width = layout.library.width();
  if (content.wraps.isEmpty()) {
    const qreal textWidth = width - 2.0 * L::kEmptyCardPadding;
    layout.emptyTitle = layoutText(QStringLiteral("No saved Murmelas yet."), kEmptyTitleStyle, textWidth);
    layout.emptyNote = layoutText(QStringLiteral("Murmela a chat and it'll show up here."), kEmptyNoteStyle, textWidth);
    const qreal height =
        2.0 * L::kEmptyCardPadding + layout.emptyTitle.height() + L::kEmptyCardSpacing + layout.emptyNote.height();
    layout.emptyCard = QRectF(left, 0.0, width, height);
    const qreal centre = layout.emptyCard->center().x();
    layout.emptyTitleOrigin = QPointF(centre - layout.emptyTitle.width() / 2.0, L::kEmptyCardPadding);
    layout.emptyNoteOrigin = QPointF(centre - layout.emptyNote.width() / 2.0,
                                     L::kEmptyCardPadding + layout.emptyTitle.height() + L::kEmptyCardSpacing);
    layout.contentHeight = height;
    return;
  }
  qreal y = 0.0;
  for (qsizetype i = 0; i < content.wraps.size(); ++i) {
    const PastWrapRow row{content.wraps[i], PastWrapRow::colorFor(static_cast<int>(i))};
    layout.rows.append(row);
    layout.rowLayouts.append(row.layout(QPointF(left, y), width, content.now));
    y = layout.rowLayouts.last().frame.bottom() + L::kRowSpacing;
  }
  layout.contentHeight = y - L::kRowSpacing;
}

// The settings menu: one item, right-aligned under the gear.
void layoutMenu(L& layout) {
  layout.menuText = layoutText(QStringLiteral("Reset App"), kMenuTextStyle);
  const QSizeF symbol = symbolSize(Symbol::trash, L::kMenuSymbolSize);
  const qreal itemWidth = 2.0 * L::kMenuItemPadding + symbol.width() + L::kLogoSpacing + layout.menuText.width();
  const QSizeF panel(itemWidth + 2.0 * L::kMenuPadding, L::kMenuItemHeight + 2.0 * L::kMenuPadding);
  layout.menu = QRectF(QPointF(layout.gear.right() - panel.width(), layout.gear.bottom() + L::kMenuGap), panel);
  layout.menuItem = layout.menu->adjusted(L::kMenuPadding, L::kMenuPadding, -L::kMenuPadding, -L::kMenuPadding);
  const qreal middle = layout.menuItem.center().y();
  layout.menuSymbol = centredAt(layout.menuItem.left() + L::kMenuItemPadding, middle, symbol);
  layout.menuTextOrigin = centredOrigin(layout.menuSymbol.right() + L::kLogoSpacing, middle, layout.menuText);
}

}  // namespace

HomeViewLayout HomeViewLayout::make(const HomeContent& content) {
  HomeViewLayout layout;
  const qreal left = kPadding;
  const qreal width = kSize.width() - 2.0 * kPadding;
  const qreal bottom = kSize.height() - kPadding;

  layoutHeader(layout, left, kPadding, width);

  layout.aside = layoutText(QStringLiteral("your library \u2014 "), kAsideStyle);
  layout.asideRect = QRectF(QPointF(left, layout.header.bottom() + kSpacing), layout.aside.size);
  layout.title = layoutText(QStringLiteral("Past Murmelas."), kTitleStyle, width);
  layout.titleRect = QRectF(QPointF(left, layout.asideRect.bottom() + kTitleSpacing), layout.title.size);

  layoutNewButton(layout, left, layout.titleRect.bottom() + kSpacing, width);
  layoutDivider(layout, left, layout.newButton.bottom() + kSpacing, width);

  const qreal sharesHeight = mySharesHeight(layout, content.shareCount);
  const qreal libraryTop = layout.divider.bottom() + kSpacing;
  const qreal sharesTop = bottom - sharesHeight;
  layout.library = QRectF(left, libraryTop, width, std::max(0.0, sharesTop - kSpacing - libraryTop));
  placeMyShares(layout, left, sharesTop, width, sharesHeight);
  layoutLibrary(layout, content);

  if (content.menuOpen) layoutMenu(layout);
  return layout;
}

namespace {

ButtonStyle gearStyle() {
  ButtonStyle style;
  style.label = SymbolLabel{.symbol = Symbol::gearshape,
                            .symbolSize = L::kGearSymbolSize,
                            .symbolWeight = SymbolWeight::semibold,
                            .text = QString(),
                            .style = TextStyle{}};
  style.content = MurmelaTheme::inkSoft;
  style.fixedSize = QSizeF(L::kGearFrame, L::kGearFrame);
  style.cornerRadius = 0.0;
  style.pressedOpacity = kPlainButtonPressedOpacity;
  return style;
}

qreal pressedOpacity(const ButtonState& state) { return state.pressed ? kPlainButtonPressedOpacity : 1.0; }

void focusRing(QPainter& painter, const HomePaintState& state, int id, const QPainterPath& shape) {
  if (state.focusedButton == id) paintFocusRing(painter, shape);
}

void paintNewButton(QPainter& painter, const L& layout, const HomePaintState& state) {
  {
    const OpacityScope pressed(painter, pressedOpacity(state.newButton));
    LibraryCard{.radius = L::kNewButtonRadius, .fill = MurmelaTheme::sageDeep, .outlined = false}.paint(
        painter, layout.newButton);
    {
      const PainterStateScope scope(painter);
      painter.setRenderHint(QPainter::Antialiasing);
      painter.fillPath(ellipsePath(layout.plusCircle), MurmelaTheme::cream);
    }
    drawSymbol(painter, Symbol::plus, layout.plusCircle, L::kPlusSymbolSize, SymbolWeight::bold,
               MurmelaTheme::sageDeep);
    layout.newTitle.draw(painter, layout.newTitleOrigin);
    layout.newSubtitle.draw(painter, layout.newSubtitleOrigin);
    drawSymbol(painter, Symbol::arrowRight, layout.arrow, L::kArrowSymbolSize, SymbolWeight::regular,
               MurmelaTheme::cream);
  }
  focusRing(painter, state, HomeButton::newMurmela, roundedRectPath(layout.newButton, L::kNewButtonRadius));
}

void paintDivider(QPainter& painter, const L& layout) {
  const QColor rule = withOpacity(MurmelaTheme::ink, L::kDividerOpacity);
  painter.fillRect(layout.leftRule, rule);
  painter.fillRect(layout.rightRule, rule);
  layout.recent.draw(painter, layout.recentOrigin);
}

void paintLibrary(QPainter& painter, const L& layout, const HomePaintState& state) {
  const PainterStateScope scope(painter);
  // Wide enough on the sides for a row's focus ring; rows scroll under the top and bottom edges.
  painter.setClipRect(layout.library.adjusted(-L::kPadding / 2.0, 0.0, L::kPadding / 2.0, 0.0));
  painter.translate(0.0, layout.library.top() - state.scroller.offset());
  if (layout.emptyCard) {
    LibraryCard{.radius = L::kEmptyCardRadius}.paint(painter, *layout.emptyCard);
    layout.emptyTitle.draw(painter, layout.emptyTitleOrigin);
    layout.emptyNote.draw(painter, layout.emptyNoteOrigin);
    return;
  }
  for (qsizetype i = 0; i < layout.rows.size(); ++i) {
    const QRectF frame = layout.rowLayouts[i].frame.translated(0.0, layout.library.top() - state.scroller.offset());
    if (!frame.intersects(layout.library)) continue;
    const int id = HomeButton::firstRow + static_cast<int>(i);
    layout.rows[i].paint(painter, layout.rowLayouts[i], state.rows.value(i), state.focusedButton == id);
  }
}

void paintMyShares(QPainter& painter, const L& layout, const HomePaintState& state) {
  {
    const OpacityScope pressed(painter, pressedOpacity(state.myShares));
    LibraryCard{.radius = L::kSharesRadius}.paint(painter, layout.myShares);
    drawSymbol(painter, Symbol::link, layout.linkSymbol, L::kLinkSymbolSize, SymbolWeight::semibold, MurmelaTheme::ink);
    layout.mySharesLabel.draw(painter, layout.mySharesLabelOrigin);
    layout.shareCount.draw(painter, layout.shareCountOrigin);
    layout.sharesChevron.draw(painter, layout.sharesChevronOrigin);
  }
  focusRing(painter, state, HomeButton::myShares, roundedRectPath(layout.myShares, L::kSharesRadius));
}

void paintMenu(QPainter& painter, const L& layout, const HomePaintState& state) {
  if (!layout.menu) return;
  const QPainterPath panel = roundedRectPath(*layout.menu, L::kMenuRadius);
  drawShadow(painter, panel, ShadowStyle{withOpacity(MurmelaTheme::ink, 0.18), 6.0, QPointF(0.0, 2.0)});
  LibraryCard{.radius = L::kMenuRadius, .fill = MurmelaTheme::cream}.paint(painter, *layout.menu);
  if (state.menuItem.hovered || state.menuItem.pressed || state.focusedButton == HomeButton::menuItem) {
    const PainterStateScope scope(painter);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(roundedRectPath(layout.menuItem, L::kMenuRadius - L::kMenuPadding),
                     withOpacity(MurmelaTheme::rose, state.menuItem.pressed ? 0.22 : 0.12));
  }
  drawSymbol(painter, Symbol::trash, layout.menuSymbol, L::kMenuSymbolSize, SymbolWeight::regular, MurmelaTheme::rose);
  layout.menuText.draw(painter, layout.menuTextOrigin);
  // Inside the panel, whose edge is close around the item.
  if (state.focusedButton == HomeButton::menuItem)
    paintInnerFocusRing(painter, layout.menuItem, L::kMenuRadius - L::kMenuPadding);
}

}  // namespace

void paintHome(QPainter& painter, const HomeViewLayout& layout, const HomePaintState& state) {
  const PainterStateScope scope(painter);
  const QRectF screen(QPointF(0.0, 0.0), L::kSize);
  painter.setClipRect(screen);
  painter.fillRect(screen, MurmelaTheme::cream);
  {
    const OpacityScope speckle(painter, L::kSpeckleOpacity);
    SpeckleBackground::paint(painter, L::kSize);
  }

  DoubleBubbleLogo{L::kLogoSize}.paint(painter, layout.logo);
  layout.wordmark.draw(painter, layout.wordmarkOrigin);
  paintLibraryButton(painter, gearStyle(), layout.gear, state.gear, state.focusedButton == HomeButton::gear);
  {
    const RotationScope tilt(painter, layout.asideRect.center(), L::kAsideRotation);
    layout.aside.draw(painter, layout.asideRect.topLeft());
  }
  layout.title.draw(painter, layout.titleRect.topLeft());

  paintNewButton(painter, layout, state);
  paintDivider(painter, layout);
  paintLibrary(painter, layout, state);
  state.scroller.paint(painter, MurmelaTheme::sageDeep);
  paintMyShares(painter, layout, state);
  paintMenu(painter, layout, state);
}

}  // namespace murmela
