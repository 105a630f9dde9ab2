#pragma once

#include "kit/controls/PaintedButton.h"
#include "kit/text/TextLayout.h"

#include <QColor>
#include <QList>
#include <QRectF>
#include <QString>

namespace murmela {

// One selectable mode on the intelligence screen: an icon tile in the mode's
// accent, title and subtitle, a selection ring, the bullet points, and on the
// recommended card a badge that straddles the top edge. Selected, it sits on
// cream-deep inside a 1.5-point accent outline; disabled, it shows at half
// opacity (its icon tile at 0.4) and takes no clicks.
struct IntelligenceCard {
  enum class Kind { hybrid, cloud };

  static constexpr qreal kPaddingSides = 14.0;
  static constexpr qreal kPaddingTop = 14.0;
  static constexpr qreal kPaddingBottom = 12.0;
  static constexpr qreal kRadius = 8.0;
  static constexpr qreal kSelectedOutlineWidth = 1.5;
  static constexpr qreal kOutlineOpacity = 0.18;
  static constexpr qreal kRowSpacing = 11.0;
  static constexpr qreal kIconTile = 30.0;
  static constexpr qreal kIconRadius = 8.0;
  static constexpr qreal kIconSize = 14.0;
  static constexpr qreal kDisabledIconOpacity = 0.4;
  static constexpr qreal kTitleSpacing = 4.0;
  static constexpr qreal kMark = 16.0;
  static constexpr qreal kMarkWidth = 1.5;
  static constexpr qreal kMarkDot = 8.0;
  static constexpr qreal kMarkOpacity = 0.3;
  static constexpr qreal kBulletsTop = 10.0;
  static constexpr qreal kBulletSpacing = 5.0;
  static constexpr qreal kBulletDot = 4.0;
  static constexpr qreal kBulletDotTop = 6.0;
  static constexpr qreal kBulletGap = 8.0;
  static constexpr qreal kBadgeOffsetX = -14.0;
  static constexpr qreal kBadgeOffsetY = -9.0;
  static constexpr qreal kDisabledOpacity = 0.5;

  Kind kind = Kind::hybrid;
  QString title;
  QString sub;
  bool recommended = false;
  bool selected = false;
  bool disabled = false;
  QList<QString> bullets;

  QColor accent() const;

  struct Bullet {
    QRectF dot;
    TextLayout text;
    QRectF textRect;
  };
  struct Layout {
    QRectF card;
    QRectF icon;
    TextLayout title;
    QRectF titleRect;
    TextLayout sub;
    QRectF subRect;
    QRectF mark;
    QList<Bullet> bullets;
    bool hasBadge = false;
    TextLayout badge;
    QRectF badgeRect;
  };
  Layout layout(QPointF topLeft, qreal width) const;
  // What the card shows under its title, read as one (subtitle, badge, bullets).
  static QString spokenDetails(const Layout& layout);
  void paint(QPainter& painter, const Layout& layout, const ButtonState& state, bool focused = false) const;
};

}  // namespace murmela
