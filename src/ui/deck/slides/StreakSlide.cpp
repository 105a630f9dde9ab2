#include "deck/slides/StreakSlide.h"

#include "common/FixedDecimal.h"
#include "deck/SlideFormatters.h"
#include "deck/slides/SlideColumn.h"
#include "theme/MurmelaTheme.h"

#include <QPainter>

namespace murmela {
namespace {

using namespace slide_column;

constexpr qreal kTitleTop = 96.0;
constexpr qreal kCardsSideInset = 32.0;
constexpr qreal kCardsTop = 46.0;
constexpr qreal kCardSpacing = 16.0;
constexpr qreal kFooterBottom = 80.0;
constexpr qreal kFooterSideInset = 24.0;
constexpr qreal kDaysPerYear = 365.25;
constexpr qint64 kLongestDayForm = 364;

// Six-digit counts make the footer wider than the slide: it shrinks a little,
// then takes a second line.
const TextStyle kFooterStyle{.typeface = Typeface::inter,
                             .size = 9.5,
                             .tracking = 1.6,
                             .upperCase = true,
                             .color = MurmelaTheme::inkSoft,
                             .alignment = TextAlign::center,
                             .lineLimit = 2,
                             .minimumScale = 0.85};

}  // namespace

QString formatApproxYears(qint64 days) {
  if (days > kLongestDayForm)
    return fixedDecimal(static_cast<double>(days) / kDaysPerYear, 1) + QStringLiteral(" years");
  return QString::number(days) + QStringLiteral(" days");
}

StreakCard streakCard(const WrappedReport& report) {
  return StreakCard{
      QStringLiteral("\u25C6 Longest Streak"),
      groupedCount(report.longestStreak.days),
      QString(),
      QStringLiteral("consecutive days \u00B7 at least one text"),
      QStringLiteral("that's ") + formatApproxYears(report.longestStreak.days) + QStringLiteral(". uninterrupted."),
      MurmelaTheme::sageDeep,
      false};
}

StreakCard silenceCard(const WrappedReport& report) {
  return StreakCard{QStringLiteral("\u25C7 Longest Silence"),
                    groupedCount(report.longestSilence.days),
                    QStringLiteral("days"),
                    murmelaMonthYear(report.longestSilence.startDate),
                    QStringLiteral("wonder what happened there."),
                    MurmelaTheme::rose,
                    true};
}

QList<QRectF> StreakSlide::Layout::elementFrames() const {
  return {title.frame, streak.frame.rect, silence.frame.rect, footer.frame};
}

StreakSlide::Layout StreakSlide::layout() const {
  Layout result;
  result.title = slide_column::title(QStringLiteral("The longest of each."), std::nullopt, kTitleTop);
  const qreal cardWidth = kWidth - 2 * kCardsSideInset;
  result.streak = layoutStreakCard(
      streakCard(report), QRectF(kCardsSideInset, result.title.frame.bottom() + kSpacing + kCardsTop, cardWidth, 0));
  result.silence = layoutStreakCard(
      silenceCard(report), QRectF(kCardsSideInset, result.streak.frame.rect.bottom() + kCardSpacing, cardWidth, 0));
  const QString footer = groupedCount(report.totalDays) + QStringLiteral(" days \u00B7 ") +
                         groupedCount(report.activeDays) + QStringLiteral(" with at least one text");
  const qreal bottom = kHeight - kFooterBottom;
  result.footer = textAbove(StyledText(footer, kFooterStyle), kFooterSideInset, bottom,
                            bottom - result.silence.frame.rect.bottom() - 2 * kSpacing);
  return result;
}

void StreakSlide::paint(QPainter& painter) const {
  const Layout geometry = layout();
  paintSlideTitle(painter, geometry.title);
  paintStreakCard(painter, geometry.streak);
  paintStreakCard(painter, geometry.silence);
  geometry.footer.paint(painter);
}

}  // namespace murmela
