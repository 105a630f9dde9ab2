#pragma once

#include "deck/SlideShareContext.h"
#include "kit/controls/PaintedButton.h"
#include "kit/text/TextLayout.h"
#include "sheets/share/ActionRow.h"
#include "sheets/share/GenerateLinkRow.h"
#include "sheets/share/ShareSheetState.h"
#include "sheets/share/SocialScrollRow.h"

#include <QList>
#include <QRectF>

#include <optional>

class QPainter;

namespace murmela {

// The sheet's first page: the grabber, "Share" with the mode toggle and the
// close button, the subtitle, the social row, the clipboard note, the rows
// of the chosen mode and "Share responsibly".
struct ShareOptionsPage {
  static QList<ShareDestination> socials();
  // "You and <them>" for the whole deck; for one slide its title, or
  // "This slide" for an index outside the deck.
  static QString headerSubtitle(const SlideShareContext& context, ShareMode mode);
  // The line under the social row: a blank of the same height for the whole deck.
  static QString clipboardNote(ShareMode mode);
  static QString modeLabel(ShareMode mode);
  static ButtonStyle modeButton(ShareMode mode, bool selected);

  struct Layout {
    qreal height = 0.0;
    QRectF grabber;
    TextLayout title;
    QPointF titleOrigin;
    ButtonLayout close;
    QRectF toggle;  // the outlined capsule around both mode buttons
    ButtonLayout modeThisSlide, modeSlideshow;
    TextLayout subtitle;
    QPointF subtitleOrigin;
    SocialScrollRow::Layout social;
    TextLayout note;
    QPointF noteOrigin;
    std::optional<GenerateLinkRow::Layout> generateLink;
    ActionRow::Layout download;
    std::optional<ActionRow::Layout> copy;
    TextLayout footer;
    QPointF footerOrigin;
    QList<SheetTargetRect> targets;  // in keyboard order
  };
  // Laid out down from `topLeft` across a card `width` wide.
  static Layout layout(const SlideShareContext& context, const ShareSheetState& state, QPointF topLeft, qreal width);
  static void paint(QPainter& painter, const Layout& layout, const ShareSheetState& state,
                    const SheetInteraction& interaction, qreal spinnerTurn);

  static GenerateLinkRow generateLinkRow(const ShareSheetState& state);
  static ActionRow downloadRow(ShareMode mode);
  static ActionRow copyRow(ShareMode mode);
};

}  // namespace murmela
