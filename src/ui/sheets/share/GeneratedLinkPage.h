#pragma once

#include "common/Date.h"
#include "deck/SlideShareContext.h"
#include "kit/controls/PaintedButton.h"
#include "kit/text/TextLayout.h"
#include "sheets/share/ShareSheetState.h"

#include <QList>
#include <QRectF>
#include <QTimeZone>
#include <QUrl>

class QPainter;

namespace murmela {

// The page the sheet turns to once a link is made: back and close around
// "Share", "You and <them> · 14 slides", the link card (whether the link is
// new or reused, the link itself without its scheme, where to revoke it),
// "Copy link" and "Share...", and how many days the link has left.
struct GeneratedLinkPage {
  // The link as shown: every "https://" removed, then "/" trimmed from both ends.
  static QString displayForm(const QUrl& url);
  // Whole calendar days from `now` to `expiresAt` in the zone, at least 1.
  static qint64 daysUntil(Date expiresAt, Date now, const QTimeZone& zone = QTimeZone::systemTimeZone());
  static QString statusLine(bool fromLocalCache);
  static QString subtitle(const SlideShareContext& context);
  static QString expiryText(qint64 days);
  static QString revokeNote();
  static ButtonStyle copyLinkButton();
  static ButtonStyle shareButton();
  static TextStyle linkStyle();
  static constexpr qreal kLinkMinimumScale = 0.65;

  struct Layout {
    qreal height = 0.0;
    QRectF grabber;
    ButtonLayout back, close;
    TextLayout title;
    QPointF titleOrigin;
    TextLayout subtitle;
    QPointF subtitleOrigin;
    QRectF linkCard;
    TextLayout status, link, revoke;
    QPointF statusOrigin, linkOrigin, revokeOrigin;
    QRectF divider;
    ButtonLayout copyLink, share;
    TextLayout expiry;
    QPointF expiryOrigin;
    TextLayout footer;
    QPointF footerOrigin;
    QList<SheetTargetRect> targets;  // in keyboard order
  };
  static Layout layout(const SlideShareContext& context, const ShareLinkGenerationResult& link, QPointF topLeft,
                       qreal width, Date now);
  static void paint(QPainter& painter, const Layout& layout, const SheetInteraction& interaction);
};

}  // namespace murmela
