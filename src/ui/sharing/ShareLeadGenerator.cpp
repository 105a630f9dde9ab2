#include "sharing/ShareLeadGenerator.h"

#include "common/LocaleFormat.h"
#include "theme/ProductAddress.h"

#include <cmath>
#include <limits>

namespace murmela::ShareLeadGenerator {
namespace {

const QChar kQuote = QLatin1Char('"');

QString plain(qint64 value) { return QString::number(value); }

// Whole years from the first to the last message, at least 1.
qint64 spanInYears(const WrappedReport& report, const QTimeZone& zone) {
  return std::max<qint64>(1, LocaleFormat::wholeYearsBetween(report.firstMessageDate, report.lastMessageDate, zone));
}

}  // namespace

qint64 roundedWhole(double value) {
  if (!std::isfinite(value)) return 0;
  const double rounded = std::round(value);  // halves away from zero
  constexpr double kEdge = 9.2233720368547e18;
  if (rounded >= kEdge) return std::numeric_limits<qint64>::max();
  if (rounded <= -kEdge) return std::numeric_limits<qint64>::min();
  return static_cast<qint64>(rounded);
}

QString lead(int index, const WrappedReport& report, const QLocale& locale, const QTimeZone& zone) {
  const QString& them = report.participantNames.them;
  const QString total = LocaleFormat::groupedInteger(report.totalMessages, locale);
  const QString years = plain(spanInYears(report, zone));

  switch (index) {
    case 0:
      return total + QStringLiteral(" messages with ") + them + QStringLiteral(" over ") + years +
             QStringLiteral(" years");
    case 1:
      return total + QStringLiteral(" messages, ") + LocaleFormat::groupedInteger(report.totalEmojiCount, locale) +
             QStringLiteral(" emojis, ") + LocaleFormat::groupedInteger(report.photosShared, locale) +
             QStringLiteral(" photos with ") + them;
    case 2:
      if (report.signaturePhrase)
        return QStringLiteral("apparently we've said ") + kQuote + report.signaturePhrase->phrase + kQuote +
               QLatin1Char(' ') + LocaleFormat::groupedInteger(report.signaturePhrase->count, locale) +
               QStringLiteral(" times");
      return QStringLiteral("the words I use most with ") + them;
    case 3:
      return QStringLiteral("my texting habits with ") + them + QStringLiteral(" are extremely predictable");
    case 4:
      return years + QStringLiteral(" years of texting with ") + them + QStringLiteral(", visualized");
    case 5:
      if (report.firstDistinctiveTerm)
        return QStringLiteral("the first ") + kQuote + report.firstDistinctiveTerm->term + kQuote +
               QStringLiteral(" was ") +
               LocaleFormat::formatDate(report.firstDistinctiveTerm->date, QStringLiteral("MMM d, yyyy"), locale, zone);
      return QStringLiteral("the first time we said the things");
    case 6: {
      const QString lead = QStringLiteral("the receipts are in. ");
      if (report.apologyCount.me > report.apologyCount.them)
        return lead + QStringLiteral("I owe ") + them + QStringLiteral(" an apology");
      if (report.apologyCount.me == report.apologyCount.them) return lead + QStringLiteral("we're even on apologies");
      return lead + them + QStringLiteral(" owes me an apology");
    }
    case 7:
      return QStringLiteral("I started ") + plain(roundedWhole(report.initiationRate.me * 100.0)) +
             QStringLiteral("% of our conversations");
    case 8:
      return QStringLiteral("my most-used words say a lot");
    case 9:
      if (report.responseTimeByYear.isEmpty()) return QStringLiteral("my texting tempo, year by year");
      return QStringLiteral("median ") + plain(roundedWhole(report.responseTimeByYear.last().me / 60.0)) +
             QStringLiteral(" minutes to reply");
    case 10:
      if (report.argumentEvents.isEmpty()) return QStringLiteral("no big arguments. mostly just texts");
      return QStringLiteral("we had ") + plain(report.argumentEvents.size()) +
             QStringLiteral(" arguments. here's when");
    case 11:
      return QStringLiteral("the sentiment chart of ") + years + QStringLiteral(" years");
    case 12:
      return QStringLiteral("longest streak: ") + plain(report.longestStreak.days) +
             QStringLiteral(" days. longest silence: ") + plain(report.longestSilence.days) + QStringLiteral(" days");
    case 13:
      return total + QStringLiteral(" messages, ") + years + QStringLiteral(" years, in one paragraph");
    default:
      return total + QStringLiteral(" messages with ") + them;
  }
}

QString composedShareText(int index, const WrappedReport& report, ShareMode mode, const QLocale& locale,
                          const QTimeZone& zone) {
  const QString opening = QStringLiteral("I wrapped-up my ") +
                          LocaleFormat::groupedInteger(report.totalMessages, locale) +
                          QStringLiteral("-message chat with ") + report.participantNames.them;
  if (mode == ShareMode::slideshow) return opening + QStringLiteral(" via ") + productDomain() + QLatin1Char('.');
  return opening + QStringLiteral(" with ") + productDomain() + QStringLiteral(". ") +
         lead(index, report, locale, zone) + QLatin1Char('.');
}

}  // namespace murmela::ShareLeadGenerator
