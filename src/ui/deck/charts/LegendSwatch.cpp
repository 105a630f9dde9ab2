#include "deck/charts/LegendSwatch.h"

#include "deck/cards/TailFit.h"
#include "deck/cards/WidthShare.h"
#include "kit/paint/PainterState.h"
#include "kit/paint/Shapes.h"
#include "theme/MurmelaTheme.h"

#include <QPainter>

#include <algorithm>
#include <numeric>

namespace murmela {
namespace {

constexpr qreal kSquare = 10.0;
constexpr qreal kSquareRadius = 2.0;
constexpr qreal kSpacing = 8.0;

const TextStyle kTextStyle{.typeface = Typeface::inter,
                           .size = 10,
                           .tracking = 1.2,
                           .color = MurmelaTheme::ink,
                           .lineLimit = 1,
                           .minimumScale = 0.7};

}  // namespace

qreal legendSwatchWidth(const LegendSwatch& swatch) {
  return kSquare + kSpacing + layoutText(swatch.text + swatch.suffix, kTextStyle).width();
}

LegendSwatchLayout layoutLegendSwatch(const LegendSwatch& swatch, const QRectF& rect) {
  LegendSwatchLayout layout;
  layout.color = swatch.color;
  const TextLayout text = fitTextKeepingTail(swatch.text, swatch.suffix, kTextStyle,
                                             QSizeF(std::max(0.0, rect.width() - kSquare - kSpacing), kUnlimitedWidth));
  const qreal height = std::max(kSquare, text.height());
  const qreal top = rect.top() + (rect.height() - height) / 2;
  layout.frame = QRectF(rect.left(), top, kSquare + kSpacing + text.width(), height);
  layout.square = QRectF(rect.left(), top + (height - kSquare) / 2, kSquare, kSquare);
  layout.text = PlacedText::at(text, {rect.left() + kSquare + kSpacing, top + (height - text.height()) / 2});
  return layout;
}

QList<LegendSwatchLayout> layoutLegendRow(const QList<LegendSwatch>& swatches, const QRectF& rect, qreal spacing,
                                          LegendRowArrangement arrangement) {
  QList<qreal> natural;
  for (const LegendSwatch& swatch : swatches) natural.append(legendSwatchWidth(swatch));
  const qreal gaps = spacing * static_cast<qreal>(std::max<qsizetype>(swatches.size() - 1, 0));
  const QList<qreal> widths = sharedWidths(natural, rect.width() - gaps);
  QList<LegendSwatchLayout> row;
  for (qsizetype i = 0; i < swatches.size(); ++i)
    row.append(layoutLegendSwatch(swatches[i], QRectF(0, rect.top(), widths[i], rect.height())));

  const qreal total = std::accumulate(row.cbegin(), row.cend(), gaps,
                                      [](qreal sum, const LegendSwatchLayout& s) { return sum + s.frame.width(); });
  const bool spread = arrangement == LegendRowArrangement::spread && row.size() > 1;
  const qreal extra = spread ? std::max(0.0, rect.width() - total) / static_cast<qreal>(row.size() - 1) : 0.0;
  qreal x = spread ? rect.left() : rect.left() + (rect.width() - total) / 2;
  for (LegendSwatchLayout& swatch : row) {
    const qreal shift = x - swatch.frame.left();
    swatch.frame.translate(shift, 0);
    swatch.square.translate(shift, 0);
    swatch.text.frame.translate(shift, 0);
    x += swatch.frame.width() + spacing + extra;
  }
  return row;
}

void paintLegendSwatch(QPainter& painter, const LegendSwatchLayout& layout) {
  {
    PainterStateScope scope(painter);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(roundedRectPath(layout.square, kSquareRadius), layout.color);
  }
  layout.text.paint(painter);
}

}  // namespace murmela
