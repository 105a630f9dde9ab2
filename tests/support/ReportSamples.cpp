#include "support/ReportSamples.h"

namespace murmela::test {

WrappedReport fullReport() {
  WrappedReport r;
  r.participantNames = {QStringLiteral("You"), QStringLiteral("Zoë / \"Z\"")};
  r.relationshipType = RelationshipType::romantic;
  r.relationshipConfidence = 0.85;
  r.totalMessages = 1234;
  r.totalDays = 400;
  r.activeDays = 300;
  r.firstMessageDate = Date::fromUnix(1672531200);  // 2023-01-01T00:00:00Z
  r.lastMessageDate = Date::fromUnix(1707091200);   // 2024-02-05T00:00:00Z
  r.messagesByYear = {{2024, 234}, {2023, 1000}};
  r.messagesByHourByDayOfWeek = QList<QList<qint64>>(7, QList<qint64>(24, 1));
  r.messagesByHourByDayOfWeek[2][21] = 40;
  r.topEmojis = {{QStringLiteral("❤️"), 40}, {QStringLiteral("😂"), 12}};
  r.totalEmojiCount = 52;
  r.signaturePhrase = SignaturePhrase{QStringLiteral("love you"), 17, QStringLiteral("Said like a promise.")};
  r.messagesPerPerson = {600, 634};
  r.photosShared = 21;
  r.topPhrasesPerPerson = {{{QStringLiteral("coffee"), 12}, {QStringLiteral("see you soon"), 5}},
                           {{QStringLiteral("tonight"), 9}}};
  r.dialectTermsPerPerson = {{{QStringLiteral("lol"), 30}}, {{QStringLiteral("haha"), 25}, {QStringLiteral("babe"), 3}}};
  r.firstDistinctiveTerm = FirstDistinctiveTerm{QStringLiteral("babe"), Date::fromUnix(1673000000),
                                                QStringLiteral("(a Friday. 5:13 AM. 5 days in.)")};
  r.otherFirsts = {{QStringLiteral("miss you"), Date::fromUnix(1674000000)}};
  r.apologyCount = {3, 4};
  r.initiationRate = {0.375, 0.625};
  r.initiationCount = {30, 50};
  r.responseTimeByYear = {{2023, 120.5, 300.0}, {2024, 90.0, 0.0}};
  r.longestReplyGap = ReplyGap{true, 86000.0, Date::fromUnix(1680000000), Date::fromUnix(1680086000)};
  r.longestStreak = {45, Date::fromUnix(1690000000)};
  r.longestSilence = {12, Date::fromUnix(1695000000)};
  r.sentimentByMonth = {{Date::fromUnix(1672549200), 0.25}, {Date::fromUnix(1675227600), -0.5}};
  r.argumentEvents = {{Date::fromUnix(1685000000), 14, false, {QStringLiteral("whatever"), QStringLiteral("fine")}, true}};
  r.insightCopy = ReportInsightCopy{QStringLiteral("Tuesdays at 9 PM were yours."), QStringLiteral("2023 did the talking."),
                                    QStringLiteral("Babe stuck."), QStringLiteral("One storm, then calm."),
                                    QStringLiteral("February glowed."), QStringLiteral("Replies got quicker.")};
  r.closerParagraph = QStringLiteral("1,234 messages over 1 year. Here's to the next one.");
  return r;
}

WrappedReport minimalReport() {
  WrappedReport r = fullReport();
  r.signaturePhrase.reset();
  r.firstDistinctiveTerm.reset();
  r.longestReplyGap.reset();
  r.insightCopy.reset();
  r.messagesByYear.clear();
  r.topEmojis.clear();
  r.topPhrasesPerPerson = {};
  r.dialectTermsPerPerson = {};
  r.otherFirsts.clear();
  r.responseTimeByYear.clear();
  r.sentimentByMonth.clear();
  r.argumentEvents.clear();
  return r;
}

}  // namespace murmela::test
