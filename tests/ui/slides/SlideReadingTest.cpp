#include "SlideRecording.h"
#include "deck/SlideReading.h"
#include "deck/charts/ChartDescription.h"
#include "support/TestRegistry.h"
#include "theme/FontRegistry.h"

#include <QRegularExpression>
#include <QTest>

using namespace murmela;
using namespace murmela::test;

namespace {

// The accounts the charts give in place of their marks: not drawn as such.
bool isChartAccount(const QString& text) {
  static const QRegularExpression account(
      QStringLiteral("^(Messages per (year|weekday)|Median reply time per year|Mood by month|\\d+ arguments?\\b)"));
  return account.match(text).hasMatch();
}

// Texts as glyph runs draw them: runs split anywhere, blanks and emoji
// presentation selectors not drawn.
QString glyphs(QString text) {
  static const QRegularExpression unseen(QStringLiteral("[\\s|\\x{FE0F}]"));
  return text.remove(unseen);
}

}  // namespace

class SlideReadingTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { FontRegistry::registerFonts(); }

  // Every slide of every demo report reads as something, title first, and
  // every word read (but a chart's account) is a word the slide draws.
  void readingIsWhatIsDrawn_data() {
    QTest::addColumn<QString>("fixture");
    QTest::addColumn<int>("index");
    for (const char* fixture : {"rich", "minimal", "friendship"})
      for (int index = 0; index < LongDeckSlide::kCount; ++index)
        QTest::addRow("%s, slide %d", fixture, index + 1) << QString::fromLatin1(fixture) << index;
  }
  void readingIsWhatIsDrawn() {
    QFETCH(QString, fixture);
    QFETCH(int, index);
    const WrappedReport report = demoReport(fixture);
    const LongDeckSlide slide{report, index, true, std::nullopt};
    const QList<ShownText> reading = slideReading(slide);
    QVERIFY(!reading.isEmpty());
    const QString drawn = glyphs(recordSlide(slide)->allText());
    QVERIFY(!isChartAccount(reading.first().text));
    QVERIFY(reading.first().heading);
    for (const ShownText& item : reading) {
      if (isChartAccount(item.text)) continue;
      for (const QString& word : item.text.split(QLatin1Char(' ')))
        QVERIFY2(drawn.contains(glyphs(word)), qPrintable(QStringLiteral("\"%1\" of \"%2\"").arg(word, item.text)));
    }
  }

  // A chart's account names each value it draws.
  void chartAccounts_data() {
    QTest::addColumn<QString>("account");
    QTest::addColumn<QString>("expected");
    const QRectF frame(0, 0, 334, 240);
    QTest::newRow("years") << describeYearBars(layoutYearBars({{{2021, 1204}, {2022, 0}, {2023, 3310}}}, frame))
                           << "Messages per year: 2021, 1,204; 2022, 0; 2023, 3,310.";
    QTest::newRow("no years") << describeYearBars(layoutYearBars({}, frame)) << "Messages per year.";
    QTest::newRow("reply times")
        << describeResponseLineChart(layoutResponseLineChart({{{2023, 90.0, 1800.0}, {2024, 29.0, 0.0}}, "Maya"}, frame))
        << "Median reply time per year: '23, YOU 2m, MAYA 30m; '24, YOU 0m, MAYA 0m.";
    QTest::newRow("no arguments")
        << describeArgumentTimeline(layoutArgumentTimeline({{}, Date::fromUnix(1.6e9), {}}, frame))
        << "";  // the chart's own empty text, as drawn
  }
  void chartAccounts() {
    QFETCH(QString, account);
    QFETCH(QString, expected);
    if (expected.isEmpty()) {
      QVERIFY(!account.isEmpty());
      QVERIFY(!isChartAccount(account));
    } else {
      QCOMPARE(account, expected);
    }
  }

  // What a slide reads: whole quotes, no decorations, the headline apart
  // from its aside, and charts that say what their marks single out.
  void readsAsSpoken_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("item");
    QTest::newRow("a quote drawn in pieces") << 1 << QString::fromUtf8("“did you eat yet” 212");
    QTest::newRow("the headline, apart from its aside")
        << 5 << QString::fromUtf8("October 1, 2021\n(a friday. 10:47 PM. 13 days in.)");
    QTest::newRow("heatmap: hours, legend and the outlined peak")
        << 3
        << "SAT, 5,828, most at 10 PM. Colour runs from QUIET to LOUD. Outlined, the busiest two hours: THU from 10 "
           "PM, 1,743 messages.";
    QTest::newRow("arguments: the ringed one")
        << 10 << "4 arguments on a time line, 2021 to 2025. The biggest, ringed: 203 messages, AUG 2023.";
    QTest::newRow("mood: which month is which")
        << 11 << "Mood by month, 2021 to 2025. Lowest month: AUGUST 2023. Warmest month: JUNE 2024.";
    QTest::newRow("no glyphs around a heading") << 2 << "\nTOP EMOJI";
  }
  void readsAsSpoken() {
    QFETCH(int, index);
    QFETCH(QString, item);
    const LongDeckSlide slide{demoReport(QStringLiteral("rich")), index, true, std::nullopt};
    QString texts;
    for (const ShownText& shown : slideReading(slide)) texts += shown.text + QLatin1Char('\n');
    QVERIFY2(texts.contains(item + QLatin1Char('\n')), qPrintable(texts));
  }
};

MURMELA_TEST(SlideReadingTest)
#include "SlideReadingTest.moc"
