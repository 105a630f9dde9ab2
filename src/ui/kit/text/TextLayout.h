#pragma once

#include "kit/text/TextStyle.h"

#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <limits>
#include <memory>

class QPainter;
class QTextLayout;

namespace murmela {

// No width limit: the text breaks only at its own line breaks.
inline constexpr qreal kUnlimitedWidth = std::numeric_limits<qreal>::infinity();

// One laid-out line, in the coordinates of its paragraph (top-left 0, 0).
struct TextLine {
  QString text;  // the characters shown on the line (with the ellipsis when elided)
  QRectF rect;   // the line's box: x from the alignment, width its advance
  qreal baseline = 0.0;
};

// A paragraph measured for a width and ready to paint. Lines are aligned
// against the widest one; `size` is the tight box of all lines. A value:
// copies share the one immutable Qt layout behind it.
struct TextLayout {
  QList<TextLine> lines;
  QSizeF size;
  bool elided = false;  // some text was cut and an ellipsis shown
  qreal scale = 1.0;    // the share of the styles' sizes the text is set at

  qreal width() const { return size.width(); }
  qreal height() const { return size.height(); }
  qreal firstBaseline() const { return lines.isEmpty() ? 0.0 : lines.first().baseline; }
  qreal lastBaseline() const { return lines.isEmpty() ? 0.0 : lines.last().baseline; }
  QString shownText() const;  // the lines joined by "\n"

  // Paints the paragraph with its top-left corner at `topLeft`.
  void draw(QPainter& painter, QPointF topLeft) const;
  // Paints it placed inside `box` by `alignment` (horizontal and vertical
  // flags; the default centres it); returns the rectangle it took.
  QRectF draw(QPainter& painter, const QRectF& box, Qt::Alignment alignment = Qt::AlignCenter) const;
  // Paints it with its box centred on a point (labels placed by their centre).
  QRectF drawCentered(QPainter& painter, QPointF centre) const;

  std::shared_ptr<const QTextLayout> engine;  // lines positioned in paragraph coordinates
};

// Lays a text out at its styles' sizes, wrapping at `width` (at word
// boundaries, a word longer than the width anywhere). At most `maxLines`
// lines are kept (0: the paragraph's line limit, and no limit when that is 0
// too); the last kept line ends in an ellipsis when text was cut.
TextLayout layoutText(const StyledText& text, qreal width = kUnlimitedWidth, int maxLines = 0);
TextLayout layoutText(const QString& text, const TextStyle& style, qreal width = kUnlimitedWidth, int maxLines = 0);

// Fits a text into a box: at full size when it fits, else at the largest
// scale down to `minScale` at which it fits (every word whole within the
// width, within the line limit and the box height); only at `minScale` is it
// cut with an ellipsis. A negative minScale takes the paragraph's minimum
// scale. Never returns an empty layout for a non-empty text: at least one
// line is kept even when the box is lower than a line.
TextLayout fitText(const StyledText& text, const QSizeF& box, qreal minScale = -1.0);
TextLayout fitText(const QString& text, const TextStyle& style, const QSizeF& box, qreal minScale = -1.0);

// Lays out (fitting into the box's width and height by the paragraph's
// minimum scale), then paints inside the box by `alignment`. Returns the layout.
TextLayout drawText(QPainter& painter, const StyledText& text, const QRectF& box,
                    Qt::Alignment alignment = Qt::AlignCenter);

// The rectangle a block of `size` takes inside `box` by `alignment`.
QRectF alignedRect(const QSizeF& size, const QRectF& box, Qt::Alignment alignment);

}  // namespace murmela
