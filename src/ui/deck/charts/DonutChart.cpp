#include "deck/charts/DonutChart.h"

#include "kit/layout/Stack.h"
#include "kit/paint/PainterState.h"
#include "kit/paint/Pens.h"
#include "kit/paint/Shapes.h"
#include "theme/MurmelaTheme.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace murmela {
namespace {

constexpr qreal kLineWidth = 45.0;
constexpr qreal kDiscDiameter = 130.0;
constexpr qreal kTwelveOClock = 90.0;  // degrees, counter-clockwise from 3 o'clock

const TextStyle kYouStyle{.typeface = Typeface::inter,
                          .size = 9,
                          .tracking = 2.2,
                          .upperCase = true,
                          .color = MurmelaTheme::inkSoft,
                          .lineLimit = 1};
const TextStyle kPercentStyle{.typeface = Typeface::dmSerifDisplay, .size = 44, .lineLimit = 1, .minimumScale = 0.6};

// The arc from `from` to `to` (shares of the turn, clockwise from 12 o'clock).
QPainterPath arcPath(const QRectF& circle, double from, double to) {
  QPainterPath path;
  if (to - from >= 1.0) {
    path.addEllipse(circle);  // closed, so the full ring has no seam at 12 o'clock
    return path;
  }
  path.arcMoveTo(circle, kTwelveOClock - 360.0 * from);
  path.arcTo(circle, kTwelveOClock - 360.0 * from, -360.0 * (to - from));
  return path;
}

}  // namespace

DonutChartLayout layoutDonutChart(const DonutChart& chart, const QRectF& frame) {
  DonutChartLayout layout;
  layout.frame = frame;
  layout.split = twoPartySplit(chart.me, chart.them);
  layout.centre = frame.center();
  layout.radius = std::max(0.0, std::min(frame.width(), frame.height()) / 2);
  layout.lineWidth = kLineWidth;
  layout.disc = QRectF(layout.centre.x() - kDiscDiameter / 2, layout.centre.y() - kDiscDiameter / 2, kDiscDiameter,
                       kDiscDiameter);

  const QSizeF box(kDiscDiameter, kUnlimitedWidth);
  const TextLayout you = fitText(QStringLiteral("You"), kYouStyle, box);
  const TextLayout percent = fitText(QString::number(layout.split.leftPercent) + QLatin1Char('%'), kPercentStyle, box);
  Stack stack = Stack::vertical(kDefaultStackSpacing, StackAlign::center);
  stack.add(you);
  stack.add(percent);
  const qreal height = stack.idealLength();
  const QList<QRectF> frames =
      stack.layout(QRectF(layout.disc.left(), layout.centre.y() - height / 2, layout.disc.width(), height));
  layout.youLabel = PlacedText::at(you, frames[0].topLeft());
  layout.percent = PlacedText::at(percent, frames[1].topLeft());
  return layout;
}

void paintDonutChart(QPainter& painter, const DonutChartLayout& layout) {
  const QRectF circle(layout.centre.x() - layout.radius, layout.centre.y() - layout.radius, 2 * layout.radius,
                      2 * layout.radius);
  {
    PainterStateScope scope(painter);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    StrokeStyle stroke;
    stroke.width = layout.lineWidth;
    const double f = layout.split.fraction;
    if (f > 0.0) {
      painter.setPen(stroke.pen(MurmelaTheme::sageDeep));
      painter.drawPath(arcPath(circle, 0.0, f));
    }
    if (f < 1.0) {
      painter.setPen(stroke.pen(MurmelaTheme::gold));
      painter.drawPath(arcPath(circle, f, 1.0));
    }
    painter.setPen(Qt::NoPen);
    painter.fillPath(ellipsePath(layout.disc), MurmelaTheme::cream);
  }
  layout.youLabel.paint(painter);
  layout.percent.paint(painter);
}

}  // namespace murmela
