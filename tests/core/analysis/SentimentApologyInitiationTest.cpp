#include "AnalysisFixtures.h"
#include "analysis/ApologyAnalyzer.h"
#include "analysis/InitiationAnalyzer.h"
#include "analysis/SentimentAnalyzer.h"
#include "common/LocalCalendar.h"
#include "support/TestRegistry.h"

#include <QTest>

using namespace murmela;
using namespace murmela::test;

class SentimentApologyInitiationTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void messageScores_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("score");
    QTest::newRow("one of each") << "I miss you, I'm not mad" << qint64(0);
    QTest::newRow("a word counts once") << "love love love" << qint64(1);
    QTest::newRow("several words") << "So happy and proud, best day" << qint64(3);
    QTest::newRow("negatives") << "sorry, so tired and sad" << qint64(-3);
    QTest::newRow("whole words only") << "lovely sadness madness" << qint64(0);
    QTest::newRow("case ignored") << "HAPPY!!" << qint64(1);
    QTest::newRow("neutral") << "see you at 5" << qint64(0);
  }
  void messageScores() {
    QFETCH(QString, text);
    QFETCH(qint64, score);
    QCOMPARE(SentimentAnalyzer().score(text), score);
  }

  void monthlyAverages() {
    const LocalCalendar calendar;
    // March: 3 and 0 average 1.5, limited to 1. April: -1, 0, 0 average -1/3.
    // February comes last in the list and first in the result.
    const MessageList messages{
        message("love, happy and proud", localDate(2024, 3, 1, 0, 10)),
        message("ok", localDate(2024, 3, 31, 23, 50)),
        message("so tired", localDate(2024, 4, 2)),
        message("fine", localDate(2024, 4, 3)),
        message("fine", localDate(2024, 4, 4)),
        message("sad, upset, alone", localDate(2024, 2, 10)),
    };
    const QList<MonthlySentiment> months = SentimentAnalyzer().analyze(messages);
    QCOMPARE(months.size(), 3);
    QCOMPARE(months[0].month, calendar.startOfDay(QDate(2024, 2, 1)));
    QCOMPARE(months[0].score, -1.0);
    QCOMPARE(months[1].month, calendar.startOfDay(QDate(2024, 3, 1)));
    QCOMPARE(months[1].score, 1.0);
    QCOMPARE(months[2].month, calendar.startOfDay(QDate(2024, 4, 1)));
    QCOMPARE(months[2].score, -1.0 / 3.0);
    QVERIFY(SentimentAnalyzer().analyze({}).isEmpty());
  }

  void apologies_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("apology");
    QTest::newRow("shouted") << "SORRY!!" << true;
    QTest::newRow("stretched is no word") << "sorryyy" << false;
    QTest::newRow("inside another word") << "unsorry" << false;
    QTest::newRow("plain substring") << "nice my badge" << true;
    QTest::newRow("was wrong") << "ok I WAS WRONG about it" << true;
    QTest::newRow("fault") << "totally my fault." << true;
    QTest::newRow("apologize") << "I apologize" << true;
    QTest::newRow("apologise is another spelling") << "i apologise" << false;
    QTest::newRow("nothing") << "all good" << false;
    QTest::newRow("empty") << "" << false;
  }
  void apologies() {
    QFETCH(QString, text);
    QFETCH(bool, apology);
    QCOMPARE(containsApology(text), apology);
  }

  void apologiesPerPerson() {
    const MessageList messages{message("sorry sorry, my bad", Date(1), true), message("sorry", Date(2), false),
                               message("no worries", Date(3), false), message("my fault", Date(4), true)};
    const PersonIntBreakdown counts = ApologyAnalyzer().analyze(messages);
    QCOMPARE(counts.me, 2);  // once per message, however many apologies it holds
    QCOMPARE(counts.them, 1);
    QCOMPARE(ApologyAnalyzer().analyze({}).me, 0);
  }

  void initiations_data() {
    QTest::addColumn<QList<double>>("offsets");
    QTest::addColumn<QString>("senders");
    QTest::addColumn<qint64>("me");
    QTest::addColumn<qint64>("them");
    QTest::newRow("exactly six hours is no new start") << QList<double>{0, 21600} << "mt" << qint64(1) << qint64(0);
    QTest::newRow("a second more is") << QList<double>{0, 21601} << "mt" << qint64(1) << qint64(1);
    // The gap is to the message just before, from either person.
    QTest::newRow("writing twice after a pause counts once")
        << QList<double>{0, 30000, 30010} << "tmm" << qint64(1) << qint64(1);
    QTest::newRow("single message") << QList<double>{0} << "t" << qint64(0) << qint64(1);
    QTest::newRow("empty") << QList<double>{} << "" << qint64(0) << qint64(0);
  }
  void initiations() {
    QFETCH(QList<double>, offsets);
    QFETCH(QString, senders);
    QFETCH(qint64, me);
    QFETCH(qint64, them);
    MessageList messages;
    for (qsizetype i = 0; i < offsets.size(); ++i)
      messages.append(message("x", Date(1000.0 + offsets[i]), senders[i] == QLatin1Char('m')));
    const InitiationResult result = InitiationAnalyzer().analyze(messages);
    QCOMPARE(result.count.me, me);
    QCOMPARE(result.count.them, them);
    const double total = std::max<double>(double(me + them), 1.0);
    QCOMPARE(result.rate.me, double(me) / total);
    QCOMPARE(result.rate.them, double(them) / total);
  }

  void singleMessageRate() {
    const InitiationResult result = InitiationAnalyzer().analyze({message("hey", Date(5), false)});
    QCOMPARE(result.rate.them, 1.0);
    QCOMPARE(result.rate.me, 0.0);
  }
};

MURMELA_TEST(SentimentApologyInitiationTest)
#include "SentimentApologyInitiationTest.moc"
