#include "deck/slides/InitiationSlide.h"

#include "common/LocaleFormat.h"
#include "deck/SlideFormatters.h"
#include "deck/slides/SlidePage.h"
#include "kit/layout/Stack.h"
#include "theme/MurmelaTheme.h"

#include <algorithm>

namespace murmela {
namespace {

constexpr qreal kTitleTop = 96.0;
constexpr qreal kDonutSize = 220.0;
constexpr qreal kDonutTop = 62.0;
constexpr qreal kLegendTop = 34.0;
constexpr qreal kLegendSpacing = 24.0;
constexpr qreal kLegendSideInset = 28.0;  // keeps a long name clear of the page's edges
constexpr qreal kCaptionSideInset = 32.0;
constexpr qreal kCaptionBottom = 110.0;
constexpr int kCaptionLines = 3;

const SlideTitle kTitle{QStringLiteral("You started it."),
                        QStringLiteral("after 6 hours of silence, who breaks first?")};
const TextStyle kLeadStyle{.typeface = Typeface::caveat, .size = 21, .color = MurmelaTheme::rose};
const TextStyle kFrequencyStyle{.typeface = Typeface::caveat, .size = 21, .color = MurmelaTheme::ink};

const QString kSeparator = QStringLiteral(" \u00B7 ");

// The sentence reads left to right whatever script the name at its start is
// in: a left-to-right mark keeps a right-to-left name from turning the whole
// paragraph (and its closing full stop) around.
constexpr QChar kLeftToRightMark(0x200E);

// Who misses whom first, in rose, then how often, in ink.
StyledText initiationCaption(const WrappedReport& report) {
  const bool userFirst = report.initiationRate.them <= report.initiationRate.me;
  const QString lead = userFirst ? QStringLiteral("you miss them first,")
                                 : report.participantNames.them + QStringLiteral(" misses you first,");
  const double rate = userFirst ? report.initiationRate.me : report.initiationRate.them;
  StyledText caption(ParagraphStyle{.alignment = TextAlign::center, .lineLimit = kCaptionLines});
  caption.append(kLeftToRightMark + lead + QLatin1Char(' '), kLeadStyle);
  caption.append(initiationFrequencyPhrase(rate) + QStringLiteral(". "), kFrequencyStyle);
  return caption;
}

QList<LegendSwatch> legend(const WrappedReport& report) {
  return {{MurmelaTheme::sageDeep, QStringLiteral("YOU"),
           kSeparator + LocaleFormat::groupedInteger(report.initiationCount.me)},
          {MurmelaTheme::gold, report.participantNames.them.toUpper(),
           kSeparator + LocaleFormat::groupedInteger(report.initiationCount.them)}};
}

qreal rowHeight(const QList<LegendSwatchLayout>& row) {
  qreal height = 0.0;
  for (const LegendSwatchLayout& swatch : row) height = std::max(height, swatch.frame.height());
  return height;
}

}  // namespace

InitiationSlide::Layout InitiationSlide::layout() const {
  const QList<LegendSwatch> swatches = legend(report);
  const qreal legendWidth = SlidePage::kWidth - 2 * kLegendSideInset;
  const qreal legendHeight = rowHeight(layoutLegendRow(swatches, QRectF(0, 0, legendWidth, 0), kLegendSpacing));
  const TextLayout caption =
      fitText(initiationCaption(report), QSizeF(SlidePage::kWidth - 2 * kCaptionSideInset, kUnlimitedWidth));

  Stack stack = Stack::vertical(SlidePage::kStackSpacing);
  stack.add(layoutSlideTitle(kTitle, QRectF(0, 0, SlidePage::kWidth, 0)).frame.height(), -1,
            Insets{kTitleTop, 0, 0, 0});
  stack.add(QSizeF(kDonutSize, kDonutSize), Insets{kDonutTop, 0, 0, 0});
  stack.add(legendHeight, -1, Insets{kLegendTop, kLegendSideInset, 0, kLegendSideInset});
  stack.addSpacer();
  stack.add(caption.size, Insets{0, kCaptionSideInset, kCaptionBottom, kCaptionSideInset});
  const QList<QRectF> frames = stack.layout(SlidePage::bounds());

  Layout layout;
  layout.title = layoutSlideTitle(kTitle, frames[0]);
  layout.donut = layoutDonutChart({report.initiationCount.me, report.initiationCount.them}, frames[1]);
  layout.legend = layoutLegendRow(swatches, frames[2], kLegendSpacing);
  layout.caption.placed = PlacedText::within(caption, frames[4], Qt::AlignCenter);
  return layout;
}

QList<QRectF> InitiationSlide::Layout::elementFrames() const {
  QRectF legendFrame;
  for (const LegendSwatchLayout& swatch : legend) legendFrame |= swatch.frame;
  const qreal ring = donut.radius + donut.lineWidth / 2;
  return {title.frame, QRectF(donut.centre - QPointF(ring, ring), QSizeF(2 * ring, 2 * ring)), legendFrame,
          caption.bounds()};
}

void InitiationSlide::paint(QPainter& painter) const {
  const Layout geometry = layout();
  paintSlideTitle(painter, geometry.title);
  paintDonutChart(painter, geometry.donut);
  for (const LegendSwatchLayout& swatch : geometry.legend) paintLegendSwatch(painter, swatch);
  geometry.caption.paint(painter);
}

}  // namespace murmela
