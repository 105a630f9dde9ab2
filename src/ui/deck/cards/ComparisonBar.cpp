#include "deck/cards/ComparisonBar.h"

#include "deck/SlideFormatters.h"
#include "kit/layout/Stack.h"
#include "kit/paint/PainterState.h"
#include "kit/paint/Shapes.h"
#include "theme/MurmelaTheme.h"

#include <QPainter>

#include <algorithm>

namespace murmela {
namespace {

constexpr qreal kSpacing = 4.0;
constexpr qreal kTrackHeight = 14.0;
constexpr qreal kTrackRadius = 4.0;
constexpr qreal kHeaderGap = 8.0;  // the least room between the name and the count

const TextStyle kNameStyle{.typeface = Typeface::inter,
                           .size = 11,
                           .weight = QFont::DemiBold,
                           .tracking = 2.4,
                           .lineLimit = 1,
                           .minimumScale = 0.7};
const TextStyle kValueStyle{.typeface = Typeface::dmSerifDisplay, .size = 30, .lineLimit = 1, .minimumScale = 0.6};
const TextStyle kNoteStyle{.typeface = Typeface::caveat, .size = 19, .color = MurmelaTheme::inkSoft};

}  // namespace

double comparisonBarShare(qint64 value, qint64 max) {
  return std::max(0.0, static_cast<double>(value) / static_cast<double>(std::max<qint64>(max, 1)));
}

ComparisonBarLayout layoutComparisonBar(const ComparisonBar& bar, const QRectF& rect) {
  ComparisonBarLayout layout;
  layout.color = bar.color;
  const qreal width = std::max(0.0, rect.width());

  // The count keeps its size first; the name gets what is left of the row.
  const TextLayout value = fitText(groupedCount(bar.value), kValueStyle, QSizeF(width, kUnlimitedWidth));
  const TextLayout name =
      fitText(bar.name, kNameStyle, QSizeF(std::max(0.0, width - value.width() - kHeaderGap), kUnlimitedWidth));
  const BaselineRowLayout header =
      layoutBaselineRow({BaselineItem::of(name), BaselineItem::spacer(), BaselineItem::of(value)}, 0.0, width);
  layout.name = PlacedText::at(name, rect.topLeft() + header.frames[0].topLeft());
  layout.value = PlacedText::at(value, rect.topLeft() + header.frames[2].topLeft());

  layout.track = QRectF(rect.left(), rect.top() + header.size.height() + kSpacing, width, kTrackHeight);
  layout.fill = QRectF(layout.track.topLeft(), QSizeF(width * comparisonBarShare(bar.value, bar.max), kTrackHeight));

  const TextLayout note = layoutText(bar.note + QLatin1Char(' '), kNoteStyle, width);
  layout.note = PlacedText::at(note, {rect.left(), layout.track.bottom() + kSpacing});
  layout.frame = QRectF(rect.left(), rect.top(), width, layout.note.frame.bottom() - rect.top());
  return layout;
}

void paintComparisonBar(QPainter& painter, const ComparisonBarLayout& layout) {
  layout.name.paint(painter);
  layout.value.paint(painter);
  {
    PainterStateScope scope(painter);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(roundedRectPath(layout.track, kTrackRadius), MurmelaTheme::creamDeep);
    if (layout.fill.width() > 0.0) painter.fillPath(roundedRectPath(layout.fill, kTrackRadius), layout.color);
  }
  layout.note.paint(painter);
}

}  // namespace murmela
