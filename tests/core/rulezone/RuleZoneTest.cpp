#include "analysis/FirstsAnalyzer.h"
#include "common/Iso8601.h"
#include "common/LocalCalendar.h"
#include "common/LocaleFormat.h"
#include "data/CSVChatImporter.h"
#include "support/TestRegistry.h"

#include <QTest>

using namespace murmela;

namespace {

Date utc(const char* text) { return *Iso8601::parse(QString::fromLatin1(text)); }

}  // namespace

class RuleZoneTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() {
    QLocale::setDefault(QLocale(QStringLiteral("en_US")));
    // Everything below relies on it; ICU alone would read this zone as UTC.
    QCOMPARE(QTimeZone::systemTimeZoneId(), QByteArray("CET-1CEST,M3.5.0,M10.5.0/3"));
  }

  // A CSV time without a zone is read on the wall clock the rest of the app
  // shows it on.
  void csvPatternTimesUseTheRule_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("instant");
    QTest::addColumn<int>("hour");  // as written, and as the analysis counts it
    QTest::newRow("winter") << "2024-01-05 10:20:00"
                            << "2024-01-05T09:20:00Z" << 10;
    QTest::newRow("summer") << "2024-07-05 10:20"
                            << "2024-07-05T08:20:00Z" << 10;
    QTest::newRow("twelve-hour form") << "7/5/24, 9:05 PM"
                                      << "2024-07-05T19:05:00Z" << 21;
    QTest::newRow("before 1970") << "06/01/1950 12:00"
                                 << "1950-06-01T10:00:00Z" << 12;
  }
  void csvPatternTimesUseTheRule() {
    QFETCH(QString, text);
    QFETCH(QString, instant);
    QFETCH(int, hour);
    const std::optional<Date> date = CSVChatImporter::parseDate(text);
    QVERIFY(date);
    QCOMPARE(Iso8601::format(*date), instant);
    QCOMPARE(LocalCalendar().hour(*date), hour);
  }

  void textsAndCountsUseTheRule_data() {
    QTest::addColumn<Date>("from");
    QTest::addColumn<Date>("date");
    QTest::addColumn<QString>("context");
    QTest::newRow("summer evening") << utc("2024-05-24T18:00:00Z") << utc("2024-07-01T19:14:00Z")
                                    << "(a monday. 9:14 PM. 38 days in.)";
    // 02:30 on 31 March does not exist there: a day on from 02:30 is 03:30.
    QTest::newRow("into the skipped hour")
        << utc("2024-03-30T01:30:00Z") << utc("2024-03-31T01:29:00Z") << "(a sunday. 3:29 AM. 0 days in.)";
    QTest::newRow("after the skipped hour")
        << utc("2024-03-30T01:30:00Z") << utc("2024-03-31T01:30:00Z") << "(a sunday. 3:30 AM. 1 days in.)";
  }
  void textsAndCountsUseTheRule() {
    QFETCH(Date, from);
    QFETCH(Date, date);
    QTEST(FirstsAnalyzer::context(date, from), "context");
  }
};

MURMELA_TEST(RuleZoneTest)
#include "RuleZoneTest.moc"
