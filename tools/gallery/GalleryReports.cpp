#include "GalleryReports.h"

#include "data/FakeReportLoader.h"

namespace murmela::gallery {
namespace {

Date utc(int year, int month, int day, int hour = 12) {
  return Date::fromQDateTime(QDateTime(QDate(year, month, day), QTime(hour, 0), QTimeZone::utc()));
}

WrappedReport renamed(WrappedReport report, const QString& them) {
  report.participantNames.them = them;
  return report;
}

WrappedReport emptied(WrappedReport report) {
  report.totalMessages = 0;
  report.totalDays = 0;
  report.activeDays = 0;
  report.messagesByYear.clear();
  report.messagesByHourByDayOfWeek = QList<QList<qint64>>(7, QList<qint64>(24, 0));
  report.topEmojis.clear();
  report.totalEmojiCount = 0;
  report.signaturePhrase.reset();
  report.messagesPerPerson = {};
  report.photosShared = 0;
  report.topPhrasesPerPerson = {};
  report.dialectTermsPerPerson = {};
  report.firstDistinctiveTerm.reset();
  report.otherFirsts.clear();
  report.apologyCount = {};
  report.initiationRate = {};
  report.initiationCount = {};
  report.responseTimeByYear.clear();
  report.longestReplyGap.reset();
  report.longestStreak = {};
  report.longestSilence = {};
  report.sentimentByMonth.clear();
  report.argumentEvents.clear();
  report.insightCopy.reset();
  report.closerParagraph.clear();
  return report;
}

WrappedReport oneMonth(WrappedReport report) {
  report.firstMessageDate = utc(2024, 6, 2);
  report.lastMessageDate = utc(2024, 6, 29);
  report.totalDays = 28;
  report.activeDays = 21;
  report.messagesByYear = {{2024, report.totalMessages}};
  report.sentimentByMonth = {MonthlySentiment{utc(2024, 6, 1, 4), 0.31}};
  report.responseTimeByYear = {YearlyResponseTime{2024, 312.0, 140.0}};
  report.argumentEvents = report.argumentEvents.mid(0, 1);
  for (ArgumentEvent& event : report.argumentEvents) event.date = utc(2024, 6, 14);
  report.longestStreak = {19, utc(2024, 6, 25)};
  report.longestSilence = {2, utc(2024, 6, 10)};
  return report;
}

WrappedReport hugeCounts(WrappedReport report) {
  report.totalMessages = 1234567890;
  report.totalDays = 98765;
  report.photosShared = 4567890;
  report.totalEmojiCount = 987654321;
  report.messagesPerPerson = {617283945, 617283945};
  report.longestStreak.days = 12345;
  report.longestSilence.days = 9876;
  if (report.signaturePhrase) report.signaturePhrase->count = 123456789;
  return report;
}

QList<NamedReport> loadDemos() {
  return {
      {QStringLiteral("rich"), QStringLiteral("demo report: rich"), FakeReportLoader::load(FakeDataFixture::rich)},
      {QStringLiteral("friendship"), QStringLiteral("demo report: friendship"),
       FakeReportLoader::load(FakeDataFixture::friendship)},
      {QStringLiteral("minimal"), QStringLiteral("demo report: minimal"),
       FakeReportLoader::load(FakeDataFixture::minimal)},
  };
}

}  // namespace

const QList<NamedReport>& demoReports() {
  static const QList<NamedReport> demos = loadDemos();
  return demos;
}

const QList<NamedReport>& edgeReports() {
  static const QList<NamedReport> edges = [] {
    const WrappedReport& rich = demoReports().first().report;
    return QList<NamedReport>{
        {QStringLiteral("long-name"), QStringLiteral("a 40-character name"),
         renamed(rich, QStringLiteral("Maximiliana Alexandrina Montgomery-Smyth"))},
        {QStringLiteral("emoji-name"), QStringLiteral("a name with emoji"),
         renamed(rich, QStringLiteral("Ana \U0001F338\u2728"))},
        {QStringLiteral("rtl-name"), QStringLiteral("a right-to-left name"),
         renamed(rich, QStringLiteral("\u05E0\u05D5\u05E2\u05D4 \u05DB\u05D4\u05DF"))},
        {QStringLiteral("empty"), QStringLiteral("every list empty, every count zero"), emptied(rich)},
        {QStringLiteral("one-month"), QStringLiteral("one month of messages"), oneMonth(rich)},
        {QStringLiteral("huge-counts"), QStringLiteral("counts too wide for their places"), hugeCounts(rich)},
    };
  }();
  return edges;
}

QList<NamedReport> allReports() { return demoReports() + edgeReports(); }

const WrappedReport& report(const QString& name) {
  for (const QList<NamedReport>* list : {&demoReports(), &edgeReports()})
    for (const NamedReport& named : *list)
      if (named.name == name) return named.report;
  return demoReports().first().report;
}

}  // namespace murmela::gallery
