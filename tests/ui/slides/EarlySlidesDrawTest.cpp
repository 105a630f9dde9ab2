#include "EarlySlidesSupport.h"
#include "GalleryLongTexts.h"
#include "GalleryReports.h"
#include "support/TestRegistry.h"
#include "theme/FontRegistry.h"
#include "theme/MurmelaTheme.h"

#include <QTest>

using namespace murmela;
using namespace murmela::test;

namespace {

Date utcNoon(int year, int month, int day) {
  return Date::fromQDateTime(QDateTime(QDate(year, month, day), QTime(12, 0), QTimeZone::utc()));
}

// The demo reports, and the rich one changed the way the slides' edge cases need.
WrappedReport variant(const QString& name) {
  if (name == QLatin1String("minimal")) return demoReport(FakeDataFixture::minimal);
  if (name == QLatin1String("friendship")) return demoReport(FakeDataFixture::friendship);
  if (name == QLatin1String("long-texts")) return gallery::longTextsReport();
  WrappedReport report = demoReport(FakeDataFixture::rich);
  if (name == QLatin1String("no-phrase")) {
    report.signaturePhrase.reset();
  } else if (name == QLatin1String("quiet-heatmap")) {
    report.messagesByHourByDayOfWeek = QList<QList<qint64>>(7, QList<qint64>(24, 0));
    report.insightCopy.reset();
  } else if (name == QLatin1String("no-years")) {
    report.messagesByYear.clear();
    report.totalMessages = 0;
    report.firstMessageDate = utcNoon(2024, 3, 1);
    report.lastMessageDate = utcNoon(2024, 3, 2);
    report.insightCopy.reset();
  } else if (name == QLatin1String("blank-term")) {
    report.firstDistinctiveTerm->term = QStringLiteral(" \n\t ");
  } else if (name == QLatin1String("sorry-3-3")) {
    report.apologyCount = {3, 3};
  } else if (name == QLatin1String("sorry-0-0")) {
    report.apologyCount = {0, 0};
  } else if (name == QLatin1String("sorry-5-2")) {
    report.apologyCount = {5, 2};
  } else if (name == QLatin1String("rates-equal")) {
    report.initiationRate = {0.9, 0.9};
  } else if (name == QLatin1String("rates-33-67")) {
    report.initiationRate = {0.33, 0.67};
  } else if (name == QLatin1String("rates-30-70")) {
    report.initiationRate = {0.3, 0.7};
  } else if (name == QLatin1String("365-days")) {
    report.totalDays = 365;
  } else if (name == QLatin1String("1190-days")) {
    report.totalDays = 1190;
  }
  return report;
}

// The rich report with its hosted copy removed, blank, or padded with blanks.
WrappedReport withCopy(const QString& copy) {
  WrappedReport report = demoReport(FakeDataFixture::rich);
  if (copy == QLatin1String("none")) {
    report.insightCopy.reset();
  } else {
    const QString sentence =
        copy == QLatin1String("blank") ? QStringLiteral(" \n\t ") : QStringLiteral("\n  A hosted line.  \n");
    report.insightCopy = ReportInsightCopy{sentence, sentence, sentence, sentence, sentence, sentence};
  }
  return report;
}

}  // namespace

class EarlySlidesDrawTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() {
    QLocale::setDefault(QLocale(QStringLiteral("en_US")));
    FontRegistry::registerFonts();
  }

  // What each slide draws, in which colour, for the demo reports and the
  // reports its edge cases call for (fallbacks, ties of counts, rate bands).
  void drawsItsTexts_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("report");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QColor>("color");
    const QColor ink = MurmelaTheme::ink, soft = MurmelaTheme::inkSoft, sage = MurmelaTheme::sageDeep,
                 rose = MurmelaTheme::rose, cream = MurmelaTheme::cream;
    const auto row = [](int index, const char* report, const QString& text, const QColor& color) {
      QTest::addRow("%d %s %s", index + 1, report, qPrintable(text))
          << index << QString::fromLatin1(report) << text << color;
    };
    row(0, "rich", "You & Maya ", sage);
    row(0, "rich", "46,593", ink);
    row(0, "rich", "messages. ", rose);
    row(0, "rich", "SEPTEMBER 18, 2021 \u2014 MARCH 1, 2025 \u25CF 1,261 DAYS", soft);
    row(0, "minimal", "You & Jordan ", sage);
    row(0, "minimal", "FEBRUARY 20, 2025 \u2014 FEBRUARY 22, 2025 \u25CF 3 DAYS", soft);

    row(1, "rich", "The receipts.", ink);
    row(1, "rich", "all the small things, totaled up. ", sage);
    row(1, "rich", "MESSAGES DAYS", soft);
    row(1, "rich", "YEARS PHOTOS EMOJIS", soft);
    row(1, "rich", "46,593 1,261 3.5 1,386 6,212", ink);
    row(1, "rich", "\u201C did you eat yet\u201D 212", rose);
    row(1, "rich", "WHO SENT MORE", soft);
    row(1, "rich", "YOU 49%", cream);
    row(1, "rich", "MAYA 51%", ink);
    row(1, "rich", "22,874 sent 23,719 sent", soft);
    row(1, "minimal", "\u201C your phrase\u201D \u2014", rose);
    row(1, "minimal", "14 3 0.0 0 0", ink);
    row(1, "minimal", "JORDAN 58%", ink);
    row(1, "365-days", "365 1.0", ink);
    row(1, "1190-days", "1,190 3.3", ink);

    row(2, "rich", "you typed ", sage);
    row(2, "rich", "\u201Cdid you eat yet\u201D", ink);
    row(2, "rich", "212", rose);
    row(2, "rich", "TIMES (asked like clockwork, usually right around lunch) \u2726 TOP EMOJI \u2726", soft);
    row(2, "rich", "#1 #2 #3 ", rose);
    row(2, "minimal", "\u201Cyour phrase\u201D", ink);
    row(2, "minimal", "0", rose);
    row(2, "minimal", "TIMES (not enough signal yet) \u2726 TOP EMOJI \u2726", soft);
    row(2, "no-phrase", "\u201Cyour phrase\u201D", ink);

    row(3, "rich", "The 10 PM spike.", ink);
    row(3, "rich", "like clockwork \u2014 when the thread gets loud, the pattern shows up. ", sage);
    row(3, "rich", "10 PM \u2014 12 AM PEAK WINDOW", ink);
    row(3, "rich", "SUN MON TUE WED THU FRI SAT", soft);
    row(3, "rich", "Thursday nights from 10 to midnight", rose);
    row(3, "minimal", "The 6 PM spike.", ink);
    row(3, "minimal", "6 \u2014 8 PM PEAK WINDOW", ink);
    row(3, "minimal", "7 texts in that window on Thu. ", rose);
    row(3, "quiet-heatmap", "The 12 AM spike.", ink);
    row(3, "quiet-heatmap", "12 \u2014 2 AM", ink);
    row(3, "quiet-heatmap", "0 texts in that window on Sun. ", rose);

    row(4, "rich", "Messages, by year.", ink);
    row(4, "rich", "a story, in a bar chart. ", sage);
    row(4, "rich", "15,931 ", rose);
    row(4, "rich", "Every full year out-talked the one before it.", ink);
    row(4, "rich", "2021 \u2014 2025 \u00B7 46,593 TOTAL", soft);
    row(4, "minimal", "peaked in 2025. after that, the rhythm changed \u2014 but the thread kept going. ", ink);
    row(4, "minimal", "2025 \u2014 2025 \u00B7 14 TOTAL", soft);
    row(4, "no-years", "the shape is still forming. ", ink);
    row(4, "no-years", "2024 \u2014 2024 \u00B7 0 TOTAL", soft);

    row(5, "rich", "You called Maya ", sage);
    row(5, "rich", "\u201Cbabe\u201D", rose);
    row(5, "rich", "for the first time on October 1, 2021", ink);
    row(5, "rich", "(a friday. 10:47 PM. 13 days in.) ", soft);
    row(5, "rich", "OTHER FIRSTS", soft);
    row(5, "rich", "\u201Cmiss you\u201D", ink);
    row(5, "minimal", "No pet name debut.", sage);
    row(5, "minimal", "The first real milestones", rose);
    row(5, "minimal", "were hiding in the smaller phrases.", ink);
    row(5, "minimal", "OTHER FIRSTS", soft);
    row(5, "blank-term", "No pet name debut.", sage);

    row(6, "rich", "Who said more?", ink);
    row(6, "rich", "\u201Csorry\u201D", rose);
    row(6, "rich", "MAYA 187 YOU 214", ink);
    row(6, "rich", "working on it. champion of accountability. 401 APOLOGIES, ALL-TIME", soft);
    row(6, "minimal", "JORDAN 0 YOU 0", ink);
    row(6, "minimal",
        "equally gifted in the art of accountability. equally gifted in the art of accountability. "
        "0 APOLOGIES, ALL-TIME",
        soft);
    row(6, "sorry-3-3",
        "equally gifted in the art of accountability. equally gifted in the art of accountability. "
        "6 APOLOGIES, ALL-TIME",
        soft);
    row(6, "sorry-0-0", "equally gifted in the art of accountability. equally gifted", soft);
    row(6, "sorry-5-2", "working on it. champion of accountability. 7 APOLOGIES", soft);

    row(7, "rich", "You started it.", ink);
    row(7, "rich", "after 6 hours of silence, who breaks first? ", sage);
    row(7, "rich", "47%", ink);
    row(7, "rich", "YOU \u00B7 612 MAYA \u00B7 688", ink);
    row(7, "rich", "Maya misses you first, ", rose);
    row(7, "rich", "about half the time. ", ink);
    row(7, "minimal", "YOU \u00B7 1 JORDAN \u00B7 1", ink);
    row(7, "minimal", "you miss them first, ", rose);
    row(7, "rates-equal", "you miss them first, ", rose);
    row(7, "rates-equal", "almost always. ", ink);
    row(7, "rates-33-67", "Maya misses you first, ", rose);
    row(7, "rates-33-67", "two thirds of the time.", ink);
    row(7, "rates-30-70", "almost three quarters of the time. ", ink);
  }
  void drawsItsTexts() {
    QFETCH(int, index);
    QFETCH(QString, report);
    QFETCH(QString, text);
    QFETCH(QColor, color);
    const EarlySlideDrawing drawing = drawEarlySlide(index, variant(report));
    const QString drawn = drawnIn(*drawing.recorder, color);
    QVERIFY2(drawn.contains(text), qPrintable(drawn));
  }

  // A hosted sentence replaces the slide's own caption only when it is not
  // blank, and is shown trimmed; the word debut shows it as an added line.
  void hostedSentenceOrOwnCaption_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("copy");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("notShown");
    QTest::addColumn<QColor>("color");
    const QString hosted = QStringLiteral("A hosted line. ");
    const QString heatmapNote = QStringLiteral("1,743 texts in that window on Thu. ");
    const QString peak =
        QStringLiteral("peaked in 2024. after that, the rhythm changed \u2014 but the thread kept going. ");
    QTest::newRow("heatmap, no copy") << 3 << "none" << heatmapNote << hosted << QColor(MurmelaTheme::rose);
    QTest::newRow("heatmap, blank") << 3 << "blank" << heatmapNote << hosted << QColor(MurmelaTheme::rose);
    QTest::newRow("heatmap, hosted") << 3 << "padded" << hosted << heatmapNote << QColor(MurmelaTheme::rose);
    QTest::newRow("by year, no copy") << 4 << "none" << peak << hosted << QColor(MurmelaTheme::ink);
    QTest::newRow("by year, blank") << 4 << "blank" << peak << hosted << QColor(MurmelaTheme::ink);
    QTest::newRow("by year, hosted") << 4 << "padded" << hosted << peak << QColor(MurmelaTheme::ink);
    QTest::newRow("word debut, no copy") << 5 << "none" << QString() << "\u21B3" << QColor(MurmelaTheme::sageDeep);
    QTest::newRow("word debut, blank") << 5 << "blank" << QString() << "\u21B3" << QColor(MurmelaTheme::sageDeep);
    QTest::newRow("word debut, hosted") << 5 << "padded"
                                        << "\u21B3 " + hosted << QString() << QColor(MurmelaTheme::sageDeep);
  }
  void hostedSentenceOrOwnCaption() {
    QFETCH(int, index);
    QFETCH(QString, copy);
    QFETCH(QString, shown);
    QFETCH(QString, notShown);
    QFETCH(QColor, color);
    const EarlySlideDrawing drawing = drawEarlySlide(index, withCopy(copy));
    const QString drawn = drawnIn(*drawing.recorder, color);
    if (!shown.isEmpty()) QVERIFY2(drawn.contains(shown), qPrintable(drawn));
    if (!notShown.isEmpty()) QVERIFY2(!drawing.recorder->allText().contains(notShown), qPrintable(drawn));
  }

  // The emoji grid holds the first nine emojis, the panel the first five
  // other firsts, in their stored order.
  void listsKeepTheirFirstEntries_data() {
    QTest::addColumn<QString>("report");
    QTest::addColumn<int>("emojis");
    QTest::addColumn<int>("firsts");
    QTest::newRow("rich") << "rich" << 9 << 5;
    QTest::newRow("minimal") << "minimal" << 0 << 0;
    QTest::newRow("twelve emojis, seven firsts") << "long-texts" << 9 << 5;
  }
  void listsKeepTheirFirstEntries() {
    QFETCH(QString, report);
    QFETCH(int, emojis);
    QFETCH(int, firsts);
    const WrappedReport data = variant(report);
    const VocabularySlide::Layout vocabulary = VocabularySlide{data}.layout();
    QCOMPARE(vocabulary.emojis.size(), emojis);
    for (int i = 0; i < emojis; ++i) {
      QCOMPARE(vocabulary.emojis[i].count.shown(), QLocale().toString(data.topEmojis[i].count));
      QCOMPARE(vocabulary.emojis[i].badge.has_value(), i < 3);
    }
    const WordDebutSlide::Layout debut = WordDebutSlide{data}.layout();
    QCOMPARE(debut.firsts.size(), firsts);
    for (int i = 0; i < firsts; ++i)
      QVERIFY(debut.firsts[i].phrase.shown().startsWith(QStringLiteral("\u201C") + data.otherFirsts[i].phrase.left(8)));
  }

  // A count too wide for the cold open shrinks, to no less than 0.55 of its size, and is never cut.
  void coldOpenCountShrinksToFit_data() {
    QTest::addColumn<QString>("report");
    QTest::addColumn<bool>("shrunk");
    QTest::newRow("46,593") << "rich" << false;
    QTest::newRow("1,234,567,890") << "huge-counts" << true;
  }
  void coldOpenCountShrinksToFit() {
    QFETCH(QString, report);
    QFETCH(bool, shrunk);
    const ColdOpenSlide::Layout layout = ColdOpenSlide{gallery::report(report)}.layout();
    QCOMPARE(layout.count.scale() < 1.0, shrunk);
    QVERIFY(layout.count.scale() >= 0.55);
    QVERIFY(!layout.count.elided());
    QCOMPARE(layout.count.shown(), QLocale().toString(gallery::report(report).totalMessages));
  }

  void wordDebutDateIsUnderlinedInGold() {
    const EarlySlideDrawing drawing = drawEarlySlide(5, variant(QStringLiteral("rich")));
    const std::optional<PaintRecord> date = drawing.recorder->firstText(QStringLiteral("October 1, 2021"));
    QVERIFY(date);
    QVERIFY(date->font.underline());
  }
};

MURMELA_TEST(EarlySlidesDrawTest)
#include "EarlySlidesDrawTest.moc"
