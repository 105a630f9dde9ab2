#include "sheets/share/ShareSheetLayout.h"

#include "kit/paint/PainterState.h"
#include "kit/paint/Pens.h"
#include "kit/paint/Shadow.h"
#include "kit/paint/Shapes.h"
#include "sheets/share/SheetLook.h"
#include "theme/MurmelaTheme.h"

#include <QLinearGradient>
#include <QPainter>

namespace murmela {

std::optional<LinkShareMenu::Item> menuItemOf(const SheetTarget& target) {
  switch (target.element) {
    case SheetElement::menuCopyLink:
      return LinkShareMenu::Item::copyLink;
    case SheetElement::menuOpenInBrowser:
      return LinkShareMenu::Item::openInBrowser;
    case SheetElement::menuEmailLink:
      return LinkShareMenu::Item::emailLink;
    default:
      return std::nullopt;
  }
}

SheetTarget targetOf(LinkShareMenu::Item item) {
  switch (item) {
    case LinkShareMenu::Item::copyLink:
      return {SheetElement::menuCopyLink};
    case LinkShareMenu::Item::openInBrowser:
      return {SheetElement::menuOpenInBrowser};
    case LinkShareMenu::Item::emailLink:
      return {SheetElement::menuEmailLink};
  }
  return {SheetElement::menuCopyLink};
}

std::optional<SheetTarget> ShareSheetLayout::hitTest(QPointF point) const {
  if (menu) {
    if (const std::optional<LinkShareMenu::Item> item = LinkShareMenu::hitTest(*menu, point)) return targetOf(*item);
    return std::nullopt;
  }
  if (!card.contains(point))
    return bounds.contains(point) ? std::optional<SheetTarget>(SheetTarget{SheetElement::backdrop}) : std::nullopt;
  if (options) {
    // Chevrons stand over the row's tiles.
    const SocialScrollRow row{ShareOptionsPage::socials()};
    if (const std::optional<SocialScrollRow::Hit> hit = row.hitTest(options->social, point)) {
      switch (hit->part) {
        case SocialScrollRow::Part::leftChevron:
          return SheetTarget{SheetElement::chevronLeft};
        case SocialScrollRow::Part::rightChevron:
          return SheetTarget{SheetElement::chevronRight};
        case SocialScrollRow::Part::tile:
          return SheetTarget{SheetElement::tile, hit->index};
      }
    }
  }
  for (const SheetTargetRect& target : targets) {
    if (target.target.element == SheetElement::tile || target.target.element == SheetElement::chevronLeft ||
        target.target.element == SheetElement::chevronRight)
      continue;
    if (target.rect.contains(point)) return target.target;
  }
  return std::nullopt;
}

std::optional<QRectF> ShareSheetLayout::rectOf(const SheetTarget& target) const {
  for (const SheetTargetRect& candidate : targets)
    if (candidate.target == target) return candidate.rect;
  return std::nullopt;
}

ShareSheetLayout layoutShareSheet(const SlideShareContext& context, const ShareSheetState& state, const QSizeF& size,
                                  Date now) {
  ShareSheetLayout result;
  result.bounds = QRectF(QPointF(0, 0), size);
  const qreal width = std::max<qreal>(0.0, size.width() - 2 * ShareSheetLayout::kCardInset);
  // Laid out from the top, then moved down so the card sits on the bottom inset.
  qreal height = 0.0;
  ShareSheetState shown = state;
  if (state.generatedLink) {
    height = GeneratedLinkPage::layout(context, *state.generatedLink, QPointF(), width, now).height;
  } else {
    const ShareOptionsPage::Layout whole = ShareOptionsPage::layout(context, shown, QPointF(), width);
    height = whole.height;
    // A failure too long for the window keeps the card inside it: the
    // failure gets the room that is left and scrolls there.
    const qreal room = size.height() - 2 * ShareSheetLayout::kCardInset;
    if (height > room && whole.generateLink && whole.generateLink->error) {
      shown.errorHeightLimit = std::max(0.0, whole.generateLink->error->height() - (height - room));
      height = ShareOptionsPage::layout(context, shown, QPointF(), width).height;
    }
  }
  const QPointF topLeft(ShareSheetLayout::kCardInset, size.height() - ShareSheetLayout::kCardInset - height);
  result.card = QRectF(topLeft, QSizeF(width, height));
  if (state.generatedLink) {
    result.linkPage = GeneratedLinkPage::layout(context, *state.generatedLink, topLeft, width, now);
    result.targets = result.linkPage->targets;
    if (state.shareMenuOpen) {
      result.menu = LinkShareMenu::layout(result.linkPage->share.frame);
      result.targets.clear();
      for (const LinkShareMenu::Row& row : result.menu->rows)
        result.targets.append({targetOf(row.item), row.frame, 7.0});
    }
  } else {
    result.options = ShareOptionsPage::layout(context, shown, topLeft, width);
    result.targets = result.options->targets;
  }
  return result;
}

void paintShareSheet(QPainter& painter, const ShareSheetLayout& layout, const ShareSheetState& state,
                     const SheetInteraction& interaction, qreal presentation, qreal pageOpacity, qreal spinnerTurn) {
  if (presentation <= 0.0) return;
  const OpacityScope fade(painter, presentation);
  painter.setRenderHint(QPainter::Antialiasing);

  QLinearGradient backdrop(layout.bounds.topLeft(), layout.bounds.bottomLeft());
  backdrop.setColorAt(0.0, withOpacity(MurmelaTheme::ink, 0.3));
  backdrop.setColorAt(1.0, withOpacity(MurmelaTheme::ink, 0.55));
  painter.fillRect(layout.bounds, backdrop);

  const QPainterPath card = roundedRectPath(layout.card, ShareSheetLayout::kCardRadius);
  drawShadow(painter, card, ShadowStyle{QColor(0, 0, 0, 46), 24.0, QPointF(0.0, -4.0)});
  painter.fillPath(card, MurmelaTheme::cream);
  {
    const PainterStateScope clip(painter);
    painter.setClipPath(card, Qt::IntersectClip);
    const OpacityScope page(painter, pageOpacity);
    if (layout.options) ShareOptionsPage::paint(painter, *layout.options, state, interaction, spinnerTurn);
    if (layout.linkPage) GeneratedLinkPage::paint(painter, *layout.linkPage, interaction);
  }
  {
    const PainterStateScope outline(painter);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(StrokeStyle{.width = 1.0}.pen(withOpacity(MurmelaTheme::sageDeep, 0.22)));
    painter.drawPath(card);
  }
  if (layout.menu) {
    const auto item = [](const std::optional<SheetTarget>& target) {
      return target ? menuItemOf(*target) : std::nullopt;
    };
    LinkShareMenu::paint(painter, *layout.menu, item(interaction.hovered), item(interaction.pressed),
                         item(interaction.focused));
  }
  if (interaction.focused && !layout.menu) {
    for (const SheetTargetRect& target : layout.targets)
      if (target.target == *interaction.focused) SheetLook::paintFocusRing(painter, target.rect, target.cornerRadius);
  }
}

}  // namespace murmela
