#include "AnalysisFixtures.h"
#include "GenerativeFixtures.h"
#include "analysis/CloserGenerator.h"
#include "support/TestEnvironment.h"
#include "support/TestRegistry.h"

#include <QTest>

using namespace murmela;
using namespace murmela::test;

class CloserGeneratorTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { environment_ = std::make_unique<TestEnvironment>(); }
  void cleanupTestCase() { environment_.reset(); }
  void cleanup() { IntelligenceRuntime::configure(nullptr); }

  void templates_data() {
    QTest::addColumn<RelationshipType>("type");
    QTest::addColumn<qint64>("total");
    QTest::addColumn<Date>("first");
    QTest::addColumn<Date>("last");
    QTest::addColumn<qint64>("streak");
    QTest::addColumn<QString>("paragraph");
    QTest::newRow("family, 14 days")
        << RelationshipType::family << qint64(12345) << localDate(2021, 1, 10) << localDate(2024, 3, 10) << qint64(14)
        << "Across 12,345 messages and 3 years, this thread with Sam became a record of care: check-ins, reminders, "
           "logistics, gratitude, and the quiet proof that someone was paying attention. The longest streak lasted 14 "
           "days, but the real thread is steadier than any streak.";
    QTest::newRow("romantic, under a year")
        << RelationshipType::romantic << qint64(999) << localDate(2023, 1, 10) << localDate(2023, 12, 10) << qint64(1)
        << "Across 999 messages and 1 years, this thread with Sam became a private archive of ordinary days, repairs, "
           "returns, and all the tiny ways love learned to speak. The longest streak lasted 1 days, but the real "
           "pattern is simpler: again and again, one of you reached out, and the other came back.";
    QTest::newRow("close friends, a day short of two years")
        << RelationshipType::closeFriend << qint64(1000000) << localDate(2022, 6, 1, 12) << localDate(2024, 6, 1, 11)
        << qint64(1234)
        << "Across 1,000,000 messages and 1 years, this thread with Sam reads like a toast to the two of you: running "
           "jokes, emergency debriefs, small rescues, and plans that turned into lore. The longest streak lasted 1234 "
           "days, but the real story is the habit of choosing each other on regular days.";
    QTest::newRow("casual, no messages")
        << RelationshipType::casual << qint64(0) << localDate(2024, 1, 1) << localDate(2024, 1, 1) << qint64(0)
        << "Across 0 messages and 1 years, this thread with Sam shows what accumulated "
           "slowly: plans, updates, timing, context, and a shared record that became "
           "more specific with every exchange. The longest streak lasted 0 days, but "
           "the interesting part is what the conversation built over time.";
  }
  void templates() {
    QFETCH(RelationshipType, type);
    QFETCH(qint64, total);
    QFETCH(Date, first);
    QFETCH(Date, last);
    QFETCH(qint64, streak);
    QFETCH(QString, paragraph);
    QCOMPARE(CloserGenerator().generate(QStringLiteral("Sam"), type, total, first, last, streak), paragraph);
  }

  void totalAndSpanFollowLocaleAndCalendar_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<qint64>("total");
    QTest::addColumn<Date>("first");
    QTest::addColumn<Date>("last");
    QTest::addColumn<QString>("opening");
    QTest::newRow("en_US") << "en_US" << qint64(1234567) << localDate(2021, 1, 10) << localDate(2024, 3, 10)
                           << "Across 1,234,567 messages and 3 years,";
    QTest::newRow("es_ES millions") << "es_ES" << qint64(1234567) << localDate(2021, 1, 10) << localDate(2024, 3, 10)
                                    << "Across 1.234.567 messages and 3 years,";
    // Spanish groups four digits only from five on.
    QTest::newRow("es_ES thousands") << "es_ES" << qint64(1234) << localDate(2021, 1, 10) << localDate(2024, 3, 10)
                                     << "Across 1234 messages and 3 years,";
    QTest::newRow("pl_PL") << "pl_PL" << qint64(1234567) << localDate(2021, 1, 10) << localDate(2024, 3, 10)
                           << "Across 1\u00A0234\u00A0567 messages and 3 years,";
    // 29 February and two years on, an hour later: two whole years.
    QTest::newRow("from 29 February") << "en_US" << qint64(10) << localDate(2020, 2, 29, 12)
                                      << localDate(2022, 2, 28, 13) << "Across 10 messages and 2 years,";
  }
  void totalAndSpanFollowLocaleAndCalendar() {
    QFETCH(QString, locale);
    QFETCH(qint64, total);
    QFETCH(Date, first);
    QFETCH(Date, last);
    QFETCH(QString, opening);
    const QString paragraph =
        CloserGenerator::templateParagraph(QStringLiteral("Sam"), RelationshipType::family, total, first, last, 14,
                                           QTimeZone::systemTimeZone(), QLocale(locale));
    QVERIFY2(paragraph.startsWith(opening), qPrintable(paragraph));
  }

  void generativeParagraphWins() {
    ScriptedProviderScope provider;
    provider->reply(QStringLiteral("Here's to many more."));
    QCOMPARE(CloserGenerator().generate("Sam", RelationshipType::casual, 5, Date(0), Date(0), 1),
             QStringLiteral("Here's to many more."));
  }

 private:
  std::unique_ptr<TestEnvironment> environment_;
};

MURMELA_TEST(CloserGeneratorTest)
#include "CloserGeneratorTest.moc"
