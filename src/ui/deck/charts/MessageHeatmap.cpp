#include "deck/charts/MessageHeatmap.h"

#include "kit/paint/PainterState.h"
#include "kit/paint/Pens.h"
#include "kit/paint/Shapes.h"
#include "theme/MurmelaTheme.h"

#include <QPainter>

#include <algorithm>

namespace murmela {
namespace {

constexpr qreal kWeekdayColumn = 28.0;
constexpr qreal kColumnSpacing = 2.0;
constexpr qreal kRowSpacing = 4.0;
constexpr qreal kCellRadius = 2.0;
constexpr qreal kOutlineScale = 1.22;
constexpr qreal kOutlineRadius = 4.0;
constexpr qreal kOutlineWidth = 2.0;
constexpr qreal kOutlineHaloOpacity = 0.9;
constexpr qreal kLegendTop = 18.0;
constexpr qreal kLegendLeading = 28.0;
constexpr qreal kLegendSpacing = 8.0;
constexpr qreal kSwatchSpacing = 3.0;
constexpr qreal kSwatchHeight = 8.0;

const TextStyle kMarkStyle{.typeface = Typeface::inter, .size = 7, .color = MurmelaTheme::inkSoft, .lineLimit = 1};
const TextStyle kWeekdayStyle{.typeface = Typeface::inter,
                              .size = 9,
                              .tracking = 1,
                              .upperCase = true,
                              .color = MurmelaTheme::inkSoft,
                              .lineLimit = 1,
                              .minimumScale = 0.7};
const TextStyle kLegendStyle{.typeface = Typeface::inter,
                             .size = 9,
                             .tracking = 1.5,
                             .upperCase = true,
                             .color = MurmelaTheme::inkSoft,
                             .lineLimit = 1};

QRectF scaledAbout(const QRectF& rect, qreal scale) {
  const QPointF centre = rect.center();
  return QRectF(centre.x() - rect.width() * scale / 2, centre.y() - rect.height() * scale / 2, rect.width() * scale,
                rect.height() * scale);
}

}  // namespace

MessageHeatmapLayout layoutMessageHeatmap(const MessageHeatmap& heatmap, const QRectF& rect) {
  MessageHeatmapLayout layout;
  const HourMatrix& matrix = heatmap.matrix;
  layout.maxValue = heatmapMaxValue(matrix);
  layout.peak = heatmapPeak(matrix);
  const qreal width = std::max(0.0, rect.width());
  const qreal cell =
      std::max(0.0, (width - kWeekdayColumn - kHeatmapColumns * kColumnSpacing) / static_cast<qreal>(kHeatmapColumns));
  layout.cellSize = cell;
  const auto columnLeft = [&](int column) {
    return rect.left() + kWeekdayColumn + kColumnSpacing + column * (cell + kColumnSpacing);
  };

  // Header: a mark over every sixth hour, and the noon that closes the grid
  // centred on the trailing edge.
  const qreal headerHeight = layoutText(QStringLiteral("12p"), kMarkStyle).height();
  for (int column = 0; column < kHeatmapColumns; ++column) {
    const QString mark = heatmapHourMark(heatmapColumnHour(column));
    if (mark.isEmpty()) continue;
    layout.hourMarks.append(PlacedText::centredAt(layoutText(mark, kMarkStyle),
                                                  {columnLeft(column) + cell / 2, rect.top() + headerHeight / 2}));
  }
  layout.hourMarks.append(PlacedText::centredAt(layoutText(heatmapHourMark(12), kMarkStyle),
                                                {rect.left() + width, rect.top() + headerHeight / 2}));

  qreal y = rect.top() + headerHeight;
  const int rows = static_cast<int>(std::min<qsizetype>(matrix.size(), kHeatmapWeekdays));
  for (int day = 0; day < rows; ++day) {
    const TextLayout name = fitText(heatmapWeekdayName(day), kWeekdayStyle, QSizeF(kWeekdayColumn, kUnlimitedWidth));
    const qreal rowHeight = std::max(cell, name.height());
    y += kRowSpacing;
    layout.weekdays.append(
        PlacedText::within(name, QRectF(rect.left(), y, kWeekdayColumn, rowHeight), Qt::AlignRight | Qt::AlignVCenter));
    const QList<qint64>& row = matrix[day];
    for (int column = 0; column < kHeatmapColumns; ++column) {
      const int hour = heatmapColumnHour(column);
      if (hour >= row.size()) continue;
      HeatmapCell drawn;
      drawn.day = day;
      drawn.column = column;
      drawn.hour = hour;
      drawn.value = row[hour];
      drawn.rampIndex =
          MurmelaTheme::heatIndex(static_cast<double>(drawn.value) / static_cast<double>(layout.maxValue));
      drawn.rect = QRectF(columnLeft(column), y + (rowHeight - cell) / 2, cell, cell);
      if (day == layout.peak.day && hour == layout.peak.hour)
        layout.peakOutline = HeatmapPeakOutline{scaledAbout(drawn.rect, kOutlineScale), kOutlineRadius * kOutlineScale,
                                                kOutlineWidth * kOutlineScale};
      layout.cells.append(drawn);
    }
    y += rowHeight;
  }

  // Legend: the two words at their width, the six swatches sharing the rest.
  y += kRowSpacing + kLegendTop;
  const TextLayout quiet = layoutText(QStringLiteral("quiet"), kLegendStyle);
  const TextLayout loud = layoutText(QStringLiteral("loud"), kLegendStyle);
  const qreal legendHeight = std::max({quiet.height(), loud.height(), kSwatchHeight});
  const qreal left = rect.left() + kLegendLeading;
  const qreal swatchRun = width - kLegendLeading - quiet.width() - loud.width() - 2 * kLegendSpacing;
  const int steps = static_cast<int>(MurmelaTheme::heat.size());
  const qreal swatch = std::max(0.0, (swatchRun - (steps - 1) * kSwatchSpacing) / steps);
  layout.quiet =
      PlacedText::within(quiet, QRectF(left, y, quiet.width(), legendHeight), Qt::AlignLeft | Qt::AlignVCenter);
  qreal x = left + quiet.width() + kLegendSpacing;
  for (int i = 0; i < steps; ++i) {
    layout.swatches.append(QRectF(x, y + (legendHeight - kSwatchHeight) / 2, swatch, kSwatchHeight));
    x += swatch + kSwatchSpacing;
  }
  layout.loud = PlacedText::within(loud, QRectF(x - kSwatchSpacing + kLegendSpacing, y, loud.width(), legendHeight),
                                   Qt::AlignLeft | Qt::AlignVCenter);
  layout.frame = QRectF(rect.left(), rect.top(), width, y + legendHeight - rect.top());
  return layout;
}

void paintMessageHeatmap(QPainter& painter, const MessageHeatmapLayout& layout) {
  for (const PlacedText& mark : layout.hourMarks) mark.paint(painter);
  for (const PlacedText& name : layout.weekdays) name.paint(painter);
  {
    PainterStateScope scope(painter);
    painter.setRenderHint(QPainter::Antialiasing);
    for (const HeatmapCell& cell : layout.cells)
      painter.fillPath(roundedRectPath(cell.rect, kCellRadius),
                       MurmelaTheme::heat[static_cast<size_t>(cell.rampIndex)]);
    if (layout.peakOutline) {
      const QPainterPath outline = roundedRectPath(layout.peakOutline->rect, layout.peakOutline->radius);
      StrokeStyle stroke;
      stroke.width = layout.peakOutline->lineWidth;
      // A hard cream shadow right under the stroke, then the ink stroke itself.
      painter.strokePath(outline, stroke.pen(withOpacity(MurmelaTheme::cream, kOutlineHaloOpacity)));
      painter.strokePath(outline, stroke.pen(MurmelaTheme::ink));
    }
    for (int i = 0; i < layout.swatches.size(); ++i)
      painter.fillPath(roundedRectPath(layout.swatches[i], kCellRadius), MurmelaTheme::heat[static_cast<size_t>(i)]);
  }
  layout.quiet.paint(painter);
  layout.loud.paint(painter);
}

}  // namespace murmela
