#include "AnalysisFixtures.h"
#include "GenerativeFixtures.h"
#include "analysis/ArgumentAnalyzer.h"
#include "support/TestRegistry.h"

#include <QTest>

using namespace murmela;
using namespace murmela::test;

namespace {

// One day of `count` messages a minute apart from 10:00, the first
// `switches` + 1 alternating between the two (the rest from the last of
// them); the first `conflicts` say "i'm so upset".
MessageList day(int dayOfMonth, qsizetype count, qsizetype conflicts, qsizetype switches) {
  MessageList messages;
  bool fromMe = true;
  for (qsizetype i = 0; i < count; ++i) {
    if (i > 0 && i <= switches) fromMe = !fromMe;
    const QString text = i < conflicts ? QStringLiteral("i'm so upset") : QStringLiteral("ok cool");
    messages.append(message(text, localDate(2024, 5, dayOfMonth, 10).addingSeconds(60.0 * double(i)), fromMe));
  }
  return messages;
}

QList<Date> datesOf(const QList<ArgumentEvent>& events) {
  QList<Date> dates;
  for (const ArgumentEvent& event : events) dates.append(event.date);
  return dates;
}

}  // namespace

class ArgumentAnalyzerTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void init() { AnalysisLogger::shared().clearLines(); }
  void cleanup() { IntelligenceRuntime::configure(nullptr); }

  void candidateDays_data() {
    QTest::addColumn<qsizetype>("count");
    QTest::addColumn<qsizetype>("conflicts");
    QTest::addColumn<qsizetype>("switches");
    QTest::addColumn<bool>("candidate");
    QTest::newRow("2 of 3") << qsizetype(3) << qsizetype(2) << qsizetype(0) << true;
    QTest::newRow("1 of 30, 12 switches") << qsizetype(30) << qsizetype(1) << qsizetype(12) << true;
    QTest::newRow("1 of 29, 12 switches") << qsizetype(29) << qsizetype(1) << qsizetype(12) << false;
    QTest::newRow("1 of 30, 11 switches") << qsizetype(30) << qsizetype(1) << qsizetype(11) << false;
    QTest::newRow("none of 100") << qsizetype(100) << qsizetype(0) << qsizetype(99) << false;
  }
  void candidateDays() {
    QFETCH(qsizetype, count);
    QFETCH(qsizetype, conflicts);
    QFETCH(qsizetype, switches);
    QFETCH(bool, candidate);
    const auto candidates = ArgumentAnalyzer().candidateEvents(day(7, count, conflicts, switches));
    QCOMPARE(candidates.size(), candidate ? 1 : 0);
    if (candidate) {
      QCOMPARE(candidates[0].date, localDate(2024, 5, 7, 0));
      QCOMPARE(candidates[0].conflictMessageCount, qint64(conflicts));
      QCOMPARE(candidates[0].fallbackEvent.triggerTerms, QStringList{"upset"});
    }
  }

  void fewConflictsAreNotKept() {
    QVERIFY(ArgumentAnalyzer().analyze(day(7, 3, 2, 2)).isEmpty());
    QCOMPARE(unstampedLogLines(), QStringList({"Argument analyzer: narrowed to 1 candidate windows",
                                               "Generative argument analyzer: no provider; using heuristics",
                                               "Heuristic argument analyzer: accepted 0 events"}));
  }

  void noCandidates() {
    QVERIFY(ArgumentAnalyzer().analyze(day(7, 40, 1, 3)).isEmpty());
    QVERIFY(ArgumentAnalyzer().analyze({}).isEmpty());
    QCOMPARE(unstampedLogLines(),
             QStringList({"Argument analyzer: no candidate windows", "Argument analyzer: no candidate windows"}));
  }

  void heuristicEventKeepsTheDayCount() {
    const auto candidates = ArgumentAnalyzer().candidateEvents(day(7, 100, 5, 7));
    QCOMPARE(candidates.size(), 1);
    QCOMPARE(candidates[0].messages.size(), 80);
    const QList<ArgumentEvent> events = ArgumentAnalyzer().analyze(day(7, 100, 5, 7));
    QCOMPARE(events.size(), 1);
    QCOMPARE(events[0].messageCount, 100);
    QCOMPARE(events[0].lastSenderWasMe, false);  // 7 switches from me: them from the 8th on
    QCOMPARE(events[0].endedByMe, false);
    QCOMPARE(unstampedLogLines().last(), QStringLiteral("Heuristic argument analyzer: accepted 1 events"));
  }

  void strongestTenByDate() {
    MessageList messages = day(1, 10, 4, 0);
    for (int d = 2; d <= 6; ++d) messages += day(d, 20, d + 3, 0);  // 5..9
    messages += day(7, 20, 4, 0);
    for (int d = 8; d <= 11; ++d) messages += day(d, 20, d - 3, 0);  // 5..8
    messages += day(12, 50, 4, 0);

    const auto candidates = ArgumentAnalyzer().candidateEvents(messages);
    QCOMPARE(candidates.size(), 10);
    QCOMPARE(candidates.first().conflictMessageCount, 9);
    QCOMPARE(candidates.last().date, localDate(2024, 5, 12, 0));  // the largest of the three days with 4

    QList<Date> expected;
    for (int d : {2, 3, 4, 5, 6, 8, 9, 10, 11, 12}) expected.append(localDate(2024, 5, d, 0));
    QCOMPARE(datesOf(ArgumentAnalyzer().analyze(messages)), expected);
  }

  void lastSenderByTime() {
    // Listed out of time order: the day's last message is the 11:00 one.
    MessageList messages{message("you hurt me", localDate(2024, 5, 7, 11), true),
                         message("that was unfair", localDate(2024, 5, 7, 10), false)};
    const auto candidates = ArgumentAnalyzer().candidateEvents(messages);
    QCOMPARE(candidates.size(), 1);
    QCOMPARE(candidates[0].messages.first().text, QStringLiteral("that was unfair"));
    QCOMPARE(candidates[0].fallbackEvent.lastSenderWasMe, true);
    QCOMPARE(candidates[0].fallbackEvent.endedByMe, true);
    QCOMPARE(candidates[0].fallbackEvent.triggerTerms, QStringList({"hurt", "unfair"}));
  }

  void conflictMessages_data() {
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<qint64>("conflicts");
    QTest::addColumn<QStringList>("triggerTerms");
    QTest::newRow("apologies only") << QStringList{"I apologize", "my bad", "Sorry!", "ok"} << qint64(3)
                                    << QStringList{"sorry", "my bad"};
    QTest::newRow("whole words") << QStringList{"so hurtful", "wronged", "it hurt", "you're WRONG"} << qint64(2)
                                 << QStringList{"hurt", "wrong"};
    QTest::newRow("one message, several terms")
        << QStringList{"angry and upset", "my fault"} << qint64(2) << QStringList{"angry", "upset", "fault"};
  }
  void conflictMessages() {
    QFETCH(QStringList, texts);
    QFETCH(qint64, conflicts);
    QFETCH(QStringList, triggerTerms);
    MessageList messages;
    for (const QString& text : texts)
      messages.append(message(text, localDate(2024, 5, 7, 10).addingSeconds(double(messages.size()))));
    const auto candidates = ArgumentAnalyzer().candidateEvents(messages);
    QCOMPARE(candidates.size(), 1);
    QCOMPARE(candidates[0].conflictMessageCount, conflicts);
    QCOMPARE(candidates[0].fallbackEvent.triggerTerms, triggerTerms);
  }

  void providerVerdict() {
    ScriptedProviderScope provider;
    provider->reply(QStringLiteral("{\"isArgument\": false}"))
        .reply(QStringLiteral("{\"isArgument\": true, \"triggerTerms\": [\"dishes\"]}"));
    // Day 9 (5 conflicts) is judged first, day 8 (3) second; only day 8 is accepted.
    const QList<ArgumentEvent> events = ArgumentAnalyzer().analyze(day(8, 10, 3, 4) + day(9, 10, 5, 4));
    QCOMPARE(events.size(), 1);
    QCOMPARE(events[0].date, localDate(2024, 5, 8, 0));
    QCOMPARE(events[0].triggerTerms, QStringList{"dishes"});
    QCOMPARE(unstampedLogLines().last(), QStringLiteral("AFM argument analyzer: accepted 1 events"));
  }

  void everyVerdictNegativeFallsBack() {
    ScriptedProviderScope provider;
    provider->reply(QStringLiteral("{\"isArgument\": false}"));
    const QList<ArgumentEvent> events = ArgumentAnalyzer().analyze(day(9, 10, 5, 4));
    QCOMPARE(events.size(), 1);
    QCOMPARE(unstampedLogLines().last(), QStringLiteral("Heuristic argument analyzer: accepted 1 events"));
  }
};

MURMELA_TEST(ArgumentAnalyzerTest)
#include "ArgumentAnalyzerTest.moc"
