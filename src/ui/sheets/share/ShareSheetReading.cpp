#include "sheets/share/ShareSheetReading.h"

#include "sheets/SheetCloseButton.h"

namespace murmela {
namespace {

QString textAt(const TextLayout& text, QPointF origin) { return shownText(text, {origin, text.size}).text; }

}  // namespace

ButtonTarget readerTarget(const ShareSheetLayout& layout, const ShareSheetState& state, const SheetTargetRect& placed) {
  ButtonTarget target{.rect = placed.rect};
  const auto label = [](const ButtonLayout& button) { return spokenLabel(button.label.text.shownText()); };
  const ShareOptionsPage::Layout* options = layout.options ? &*layout.options : nullptr;
  const GeneratedLinkPage::Layout* link = layout.linkPage ? &*layout.linkPage : nullptr;
  switch (placed.target.element) {
    case SheetElement::backdrop:
      target.name = QStringLiteral("Dismiss");
      break;
    case SheetElement::close:
      target.name = SheetCloseButton::kName;
      break;
    case SheetElement::back:
      target.name = QStringLiteral("Back");
      break;
    case SheetElement::modeThisSlide:
    case SheetElement::modeSlideshow: {
      const bool thisSlide = placed.target.element == SheetElement::modeThisSlide;
      target.role = ButtonRole::tab;
      target.checked = (state.mode == ShareMode::thisSlide) == thisSlide;
      target.group = QStringLiteral("What to share");
      if (options) target.name = label(thisSlide ? options->modeThisSlide : options->modeSlideshow);
      break;
    }
    case SheetElement::chevronLeft:
      target.name = QStringLiteral("Scroll left");
      break;
    case SheetElement::chevronRight:
      target.name = QStringLiteral("Scroll right");
      break;
    case SheetElement::tile:
      if (options && placed.target.index >= 0 && placed.target.index < options->social.tiles.size()) {
        const ShareTile::Layout& tile = options->social.tiles[placed.target.index];
        target.name = shownText(tile.label, tile.labelRect).text;
      }
      break;
    case SheetElement::generateLink:
      if (options && options->generateLink) {
        target.name = textAt(options->generateLink->title, options->generateLink->titleOrigin);
        target.description = textAt(options->generateLink->subtitle, options->generateLink->subtitleOrigin);
      }
      break;
    case SheetElement::download:
    case SheetElement::copy: {
      const ActionRow::Layout* row = placed.target.element == SheetElement::download
                                         ? (options ? &options->download : nullptr)
                                         : (options && options->copy ? &*options->copy : nullptr);
      if (row) {
        target.name = textAt(row->title, row->titleOrigin);
        target.description = textAt(row->subtitle, row->subtitleOrigin);
      }
      break;
    }
    case SheetElement::copyLink:
      if (link) target.name = label(link->copyLink);
      break;
    case SheetElement::shareLink:
      if (link) target.name = label(link->share);
      break;
    case SheetElement::menuCopyLink:
    case SheetElement::menuOpenInBrowser:
    case SheetElement::menuEmailLink:
      target.role = ButtonRole::menuItem;
      if (layout.menu)
        for (const LinkShareMenu::Row& row : layout.menu->rows)
          if (targetOf(row.item) == placed.target) target.name = textAt(row.text, row.textOrigin);
      break;
  }
  return target;
}

QList<ShownText> shownSheetTexts(const ShareSheetLayout& layout) {
  QList<ShownText> texts;
  // Each text's id is its place in this list of all the sheet may show.
  int slot = 0;
  const auto at = [&](const TextLayout& text, QPointF origin, bool heading = false) {
    const int id = slot++;
    if (!text.shownText().trimmed().isEmpty()) texts.append(withId(shownText(text, {origin, text.size}, heading), id));
  };
  if (const auto& options = layout.options) {
    at(options->title, options->titleOrigin, true);
    at(options->subtitle, options->subtitleOrigin);
    at(options->note, options->noteOrigin);
    if (options->generateLink && options->generateLink->error)
      at(*options->generateLink->error, options->generateLink->errorOrigin);
    else
      ++slot;
    at(options->footer, options->footerOrigin);
  }
  if (const auto& link = layout.linkPage) {
    at(link->title, link->titleOrigin, true);
    at(link->subtitle, link->subtitleOrigin);
    at(link->status, link->statusOrigin);
    at(link->link, link->linkOrigin);
    at(link->revoke, link->revokeOrigin);
    at(link->expiry, link->expiryOrigin);
    at(link->footer, link->footerOrigin);
  }
  return texts;
}

}  // namespace murmela
