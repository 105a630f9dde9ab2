#include "sharing/ShareLeadGenerator.h"
#include "support/TestRegistry.h"

#include <QTest>

using namespace murmela;

Q_DECLARE_METATYPE(murmela::WrappedReport)
Q_DECLARE_METATYPE(murmela::ShareMode)

namespace {

Date utc(int year, int month, int day, int hour = 12, int minute = 0) {
  return Date::fromQDateTime(QDateTime(QDate(year, month, day), QTime(hour, minute), QTimeZone::utc()));
}

// Three years and a bit of "Sam", with every optional present.
WrappedReport sam() {
  WrappedReport report;
  report.participantNames = {QStringLiteral("You"), QStringLiteral("Sam")};
  report.totalMessages = 12345;
  report.firstMessageDate = utc(2021, 3, 1);
  report.lastMessageDate = utc(2024, 3, 5);
  report.totalEmojiCount = 1500;
  report.photosShared = 230;
  report.signaturePhrase = SignaturePhrase{QStringLiteral("love you"), 1017, {}};
  // 03:30 UTC is the evening before in New York.
  report.firstDistinctiveTerm = FirstDistinctiveTerm{QStringLiteral("babe"), utc(2021, 3, 4, 3, 30), {}};
  report.apologyCount = {4, 4};
  report.initiationRate = {0.625, 0.375};
  report.responseTimeByYear = {{2022, 4000.0, 10.0}, {2023, 90.0, 20.0}};
  report.argumentEvents = {ArgumentEvent{}, ArgumentEvent{}};
  report.longestStreak = {1234, {}};
  report.longestSilence = {56, {}};
  return report;
}

template <typename Change>
WrappedReport samWith(Change change) {
  WrappedReport report = sam();
  change(report);
  return report;
}

}  // namespace

class ShareCaptionsTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void captions_data() {
    QTest::addColumn<WrappedReport>("report");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("expected");
    const QString us = QStringLiteral("en_US");
    const WrappedReport base = sam();

    QTest::newRow("0 grouped in en_US") << base << 0 << us << "12,345 messages with Sam over 3 years";
    QTest::newRow("0 grouped in de_DE") << base << 0 << "de_DE"
                                        << "12.345 messages with Sam over 3 years";
    QTest::newRow("0 under a year: 1 years") << samWith([](WrappedReport& r) { r.lastMessageDate = utc(2022, 2, 27); })
                                             << 0 << us << "12,345 messages with Sam over 1 years";
    QTest::newRow("1 every count grouped") << samWith([](WrappedReport& r) { r.photosShared = 2300; }) << 1 << us
                                           << "12,345 messages, 1,500 emojis, 2,300 photos with Sam";
    QTest::newRow("2 signature phrase") << base << 2 << us << "apparently we've said \"love you\" 1,017 times";
    QTest::newRow("2 without one") << samWith([](WrappedReport& r) { r.signaturePhrase.reset(); }) << 2 << us
                                   << "the words I use most with Sam";
    QTest::newRow("3") << base << 3 << us << "my texting habits with Sam are extremely predictable";
    QTest::newRow("4 under a year") << samWith([](WrappedReport& r) { r.lastMessageDate = utc(2021, 9, 1); }) << 4 << us
                                    << "1 years of texting with Sam, visualized";
    QTest::newRow("5 date in the local zone") << base << 5 << us << "the first \"babe\" was Mar 3, 2021";
    QTest::newRow("5 without a term") << samWith([](WrappedReport& r) { r.firstDistinctiveTerm.reset(); }) << 5 << us
                                      << "the first time we said the things";
    QTest::newRow("6 I said more: I owe") << samWith([](WrappedReport& r) {
      r.apologyCount = {5, 3};
    }) << 6 << us << "the receipts are in. I owe Sam an apology";
    QTest::newRow("6 they said more: owes me") << samWith([](WrappedReport& r) {
      r.apologyCount = {3, 5};
    }) << 6 << us << "the receipts are in. Sam owes me an apology";
    QTest::newRow("6 even") << base << 6 << us << "the receipts are in. we're even on apologies";
    QTest::newRow("7 0.625 rounds half up to 63") << base << 7 << us << "I started 63% of our conversations";
    QTest::newRow("7 not a number") << samWith([](WrappedReport& r) { r.initiationRate.me = qQNaN(); }) << 7 << us
                                    << "I started 0% of our conversations";
    QTest::newRow("9 only the last year: 90 s is 2") << base << 9 << us << "median 2 minutes to reply";
    QTest::newRow("9 89 s is 1") << samWith([](WrappedReport& r) { r.responseTimeByYear.last().me = 89.0; }) << 9 << us
                                 << "median 1 minutes to reply";
    QTest::newRow("9 no years") << samWith([](WrappedReport& r) { r.responseTimeByYear.clear(); }) << 9 << us
                                << "my texting tempo, year by year";
    QTest::newRow("10 two") << base << 10 << us << "we had 2 arguments. here's when";
    QTest::newRow("10 none") << samWith([](WrappedReport& r) { r.argumentEvents.clear(); }) << 10 << us
                             << "no big arguments. mostly just texts";
    QTest::newRow("11") << base << 11 << us << "the sentiment chart of 3 years";
    QTest::newRow("12 days never grouped") << base << 12 << "de_DE"
                                           << "longest streak: 1234 days. longest silence: 56 days";
    QTest::newRow("13") << base << 13 << us << "12,345 messages, 3 years, in one paragraph";
    QTest::newRow("14 falls back") << base << 14 << us << "12,345 messages with Sam";
    QTest::newRow("-1 falls back") << base << -1 << us << "12,345 messages with Sam";
  }
  void captions() {
    QFETCH(WrappedReport, report);
    QFETCH(int, index);
    QFETCH(QString, locale);
    QFETCH(QString, expected);
    QCOMPARE(ShareLeadGenerator::lead(index, report, QLocale(locale), QTimeZone("America/New_York")), expected);
  }

  void composedText_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<ShareMode>("mode");
    QTest::addColumn<QString>("expected");
    const QString deck = QStringLiteral("I wrapped-up my 12,345-message chat with Sam via murmela.app.");
    QTest::newRow("this slide") << 3 << ShareMode::thisSlide
                                << "I wrapped-up my 12,345-message chat with Sam with murmela.app. my texting habits "
                                   "with Sam are extremely predictable.";
    QTest::newRow("this slide, outside the deck")
        << 20 << ShareMode::thisSlide
        << "I wrapped-up my 12,345-message chat with Sam with murmela.app. 12,345 messages with Sam.";
    QTest::newRow("slideshow, slide 4") << 3 << ShareMode::slideshow << deck;
    QTest::newRow("slideshow, slide 10, the same") << 9 << ShareMode::slideshow << deck;
  }
  void composedText() {
    QFETCH(int, index);
    QFETCH(ShareMode, mode);
    QFETCH(QString, expected);
    QCOMPARE(ShareLeadGenerator::composedShareText(index, sam(), mode, QLocale(QStringLiteral("en_US")),
                                                   QTimeZone("America/New_York")),
             expected);
  }
};

MURMELA_TEST(ShareCaptionsTest)
#include "ShareCaptionsTest.moc"
