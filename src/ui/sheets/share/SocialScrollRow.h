#pragma once

#include "sheets/share/ScrollChevron.h"
#include "sheets/share/ShareTile.h"

#include <QList>
#include <QRectF>

#include <optional>

class QPainter;

namespace murmela {

// The row of social destinations: tiles 12 apart with 36 of padding at the
// ends and 4 above and below, scrolled sideways inside the row's frame
// (78 high), with a chevron button over each end. A chevron moves the focus
// two tiles and scrolls that tile to the row's leading or trailing edge; only
// the chevrons move the focus.
struct SocialScrollRow {
  static constexpr qreal kHeight = 78.0;
  static constexpr qreal kEndPadding = 36.0;
  static constexpr qreal kVerticalPadding = 4.0;
  static constexpr qreal kSpacing = 12.0;
  static constexpr qreal kChevronInset = 4.0;
  static constexpr double kScrollSeconds = 0.25;

  QList<ShareDestination> socials;

  // The focus after a chevron press: two tiles on, held inside the row.
  static int steppedIndex(int focusedIndex, ScrollChevron::Direction direction, int count);

  qreal contentWidth() const;
  qreal maxOffset(qreal viewWidth) const;
  // The scroll offset that brings the tile to the leading edge (left
  // chevron) or the trailing edge (right chevron), within the scroll range.
  qreal offsetShowing(int index, ScrollChevron::Direction direction, qreal viewWidth) const;

  enum class Part { leftChevron, rightChevron, tile };
  struct Hit {
    Part part;
    int index = -1;  // the tile's position in socials
    friend bool operator==(const Hit&, const Hit&) = default;
  };

  struct Layout {
    QRectF frame;
    qreal offset = 0.0;
    QList<ShareTile::Layout> tiles;  // placed with the offset applied
    QRectF leftChevron;
    QRectF rightChevron;
  };
  Layout layout(const QRectF& frame, qreal offset) const;
  // Chevrons first, then the tiles inside the frame.
  std::optional<Hit> hitTest(const Layout& layout, QPointF point) const;

  struct Interaction {
    std::optional<Hit> hovered, pressed;
  };
  void paint(QPainter& painter, const Layout& layout, const Interaction& interaction = {}) const;
};

}  // namespace murmela
