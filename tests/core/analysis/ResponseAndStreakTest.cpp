#include "AnalysisFixtures.h"
#include "analysis/ResponseTimeAnalyzer.h"
#include "analysis/StreakAnalyzer.h"
#include "common/LocalCalendar.h"
#include "support/TestRegistry.h"

#include <QTest>

using namespace murmela;
using namespace murmela::test;

namespace {

// Messages at the given offsets (seconds after a fixed local time), with senders
// given as a string of 'm' (me) and 't' (them).
MessageList conversation(const QList<double>& offsets, const QString& senders, Date start = localDate(2024, 5, 1, 9)) {
  MessageList messages;
  for (qsizetype i = 0; i < offsets.size(); ++i)
    messages.append(message("x", start.addingSeconds(offsets[i]), senders[i] == QLatin1Char('m')));
  return messages;
}

Date dayStart(int year, int month, int day) { return LocalCalendar().startOfDay(QDate(year, month, day)); }

MessageList onDays(const QList<QDate>& days, int hour = 12) {
  MessageList messages;
  for (const QDate& day : days) messages.append(message("x", localDate(day.year(), day.month(), day.day(), hour)));
  return messages;
}

}  // namespace

class ResponseAndStreakTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void countedGaps_data() {
    QTest::addColumn<MessageList>("messages");
    QTest::addColumn<double>("themMedian");
    QTest::addColumn<double>("longest");  // 0: no longest gap
    QTest::newRow("exactly seven days counts") << conversation({0, 604800}, "mt") << 604800.0 << 604800.0;
    QTest::newRow("a second more does not") << conversation({0, 604801}, "mt") << 0.0 << 0.0;
    QTest::newRow("equal dates are no answer") << conversation({0, 0, 0}, "mtm") << 0.0 << 0.0;
    QTest::newRow("same sender is no answer") << conversation({0, 50, 100}, "mmm") << 0.0 << 0.0;
    QTest::newRow("backwards in time is skipped") << conversation({100, 40}, "mt") << 0.0 << 0.0;
    QTest::newRow("one message") << conversation({0}, "m") << 0.0 << 0.0;
  }
  void countedGaps() {
    QFETCH(MessageList, messages);
    QFETCH(double, themMedian);
    QFETCH(double, longest);
    const ResponseTimeResult result = ResponseTimeAnalyzer().analyze(messages);
    QCOMPARE(result.byYear.isEmpty(), themMedian == 0.0);
    if (themMedian > 0.0) {
      QCOMPARE(result.byYear.size(), 1);
      QCOMPARE(result.byYear[0].them, themMedian);
      QCOMPARE(result.byYear[0].me, 0.0);
    }
    QCOMPARE(result.longestReplyGap.has_value(), longest > 0.0);
    if (result.longestReplyGap) QCOMPARE(result.longestReplyGap->interval, longest);
  }

  void mediansPerYearAndResponder() {
    // Them answering in 10, 30, 20 s (median 20); me in 40 and 100 s (mean of
    // the middle two: 70). The last answer falls in the next year.
    const MessageList messages = conversation({0, 10, 50, 80, 180, 200}, "mtmtmt") +
                                 conversation({0, 300}, "mt", localDate(2025, 1, 1, 0, 0, 30));
    const ResponseTimeResult result = ResponseTimeAnalyzer().analyze(messages);
    QCOMPARE(result.byYear.size(), 2);
    QCOMPARE(result.byYear[0].year, 2024);
    QCOMPARE(result.byYear[0].them, 20.0);
    QCOMPARE(result.byYear[0].me, 70.0);
    QCOMPARE(result.byYear[1].year, 2025);
    QCOMPARE(result.byYear[1].them, 300.0);
    QCOMPARE(result.byYear[1].me, 0.0);
    // May 2024 -> 1 January 2025 is more than seven days: no answer.
    QCOMPARE(result.longestReplyGap->interval, 300.0);
    QVERIFY(!result.longestReplyGap->responderWasMe);
    QCOMPARE(result.longestReplyGap->previousMessageDate, messages[6].date);
    QCOMPARE(result.longestReplyGap->replyDate, messages[7].date);
  }

  void yearOfTheAnswerIsLocal() {
    // Asked 31 Dec 23:50, answered 23:59 local (already 1 January in UTC).
    const MessageList messages = conversation({0, 540}, "tm", localDate(2024, 12, 31, 23, 50));
    const ResponseTimeResult result = ResponseTimeAnalyzer().analyze(messages);
    QCOMPARE(result.byYear.size(), 1);
    QCOMPARE(result.byYear[0].year, 2024);
    QCOMPARE(result.byYear[0].me, 540.0);
  }

  void longestGapKeepsTheFirstOfEqualLength() {
    const MessageList messages = conversation({0, 500, 600, 1100}, "mtmt");
    const ResponseTimeResult result = ResponseTimeAnalyzer().analyze(messages);
    QCOMPARE(result.longestReplyGap->interval, 500.0);
    QCOMPARE(result.longestReplyGap->replyDate, messages[1].date);
  }

  void median_data() {
    QTest::addColumn<QList<double>>("values");
    QTest::addColumn<double>("expected");
    QTest::newRow("empty") << QList<double>{} << 0.0;
    QTest::newRow("one") << QList<double>{7} << 7.0;
    QTest::newRow("odd, unsorted") << QList<double>{9, 1, 5} << 5.0;
    QTest::newRow("even, unsorted") << QList<double>{8, 2, 6, 4} << 5.0;
    QTest::newRow("even with equal middles") << QList<double>{3, 1, 3, 9} << 3.0;
  }
  void median() {
    QFETCH(QList<double>, values);
    QFETCH(double, expected);
    QCOMPARE(murmela::median(values), expected);
  }

  void streaks_data() {
    QTest::addColumn<MessageList>("messages");
    QTest::addColumn<qint64>("streak");
    QTest::addColumn<Date>("streakEnd");
    QTest::addColumn<qint64>("silence");
    QTest::addColumn<Date>("silenceStart");
    // Monday 6, Tuesday 7 and Thursday 9 May 2024.
    QTest::newRow("monday tuesday thursday") << onDays({QDate(2024, 5, 6), QDate(2024, 5, 7), QDate(2024, 5, 9)})
                                             << qint64(2) << dayStart(2024, 5, 7) << qint64(1) << dayStart(2024, 5, 7);
    QTest::newRow("one day, many messages") << onDays({QDate(2024, 5, 6), QDate(2024, 5, 6)}, 8) << qint64(1)
                                            << dayStart(2024, 5, 6) << qint64(0) << dayStart(2024, 5, 6);
    // 7 to 14 March 2024 holds the switch to summer time (a 23-hour day): at
    // midnight every day, two of the messages are only 23 hours apart.
    QTest::newRow("a DST week stays one streak")
        << onDays({QDate(2024, 3, 7), QDate(2024, 3, 8), QDate(2024, 3, 9), QDate(2024, 3, 10), QDate(2024, 3, 11),
                   QDate(2024, 3, 12), QDate(2024, 3, 13), QDate(2024, 3, 14)},
                  0)
        << qint64(8) << dayStart(2024, 3, 14) << qint64(0) << dayStart(2024, 3, 7);
    QTest::newRow("autumn change too") << onDays({QDate(2024, 11, 2), QDate(2024, 11, 3), QDate(2024, 11, 4)}, 23)
                                       << qint64(3) << dayStart(2024, 11, 4) << qint64(0) << dayStart(2024, 11, 2);
    // Runs of 2 and 2 and silences of 3 and 3: the earliest of each stays.
    QTest::newRow("ties keep the earliest")
        << onDays({QDate(2024, 1, 1), QDate(2024, 1, 2), QDate(2024, 1, 6), QDate(2024, 1, 7), QDate(2024, 1, 11)})
        << qint64(2) << dayStart(2024, 1, 2) << qint64(3) << dayStart(2024, 1, 2);
    QTest::newRow("unsorted and repeated days")
        << onDays({QDate(2024, 2, 3), QDate(2024, 2, 1), QDate(2024, 2, 2), QDate(2024, 2, 1), QDate(2024, 2, 10)})
        << qint64(3) << dayStart(2024, 2, 3) << qint64(6) << dayStart(2024, 2, 3);
  }
  void streaks() {
    QFETCH(MessageList, messages);
    QFETCH(qint64, streak);
    QFETCH(Date, streakEnd);
    QFETCH(qint64, silence);
    QFETCH(Date, silenceStart);
    const StreakResult result = StreakAnalyzer().analyze(messages);
    QCOMPARE(result.longestStreak.days, streak);
    QCOMPARE(result.longestStreak.endDate, streakEnd);
    QCOMPARE(result.longestSilence.days, silence);
    QCOMPARE(result.longestSilence.startDate, silenceStart);
  }

  void emptyConversation() {
    const Date before = Date::now();
    const StreakResult streaks = StreakAnalyzer().analyze({});
    const Date after = Date::now();
    QCOMPARE(streaks.longestStreak.days, 0);
    QCOMPARE(streaks.longestSilence.days, 0);
    QVERIFY(streaks.longestStreak.endDate >= before && streaks.longestStreak.endDate <= after);
    QCOMPARE(streaks.longestSilence.startDate, streaks.longestStreak.endDate);
    const ResponseTimeResult replies = ResponseTimeAnalyzer().analyze({});
    QVERIFY(replies.byYear.isEmpty());
    QVERIFY(!replies.longestReplyGap);
  }
};

MURMELA_TEST(ResponseAndStreakTest)
#include "ResponseAndStreakTest.moc"
