#include "common/FileError.h"
#include "common/LocalCalendar.h"
#include "data/FakeReportLoader.h"
#include "data/MurmelaResources.h"
#include "data/ReportJson.h"
#include "data/WrappedDataError.h"
#include "support/TestEnvironment.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <memory>
#include <numeric>

using namespace murmela;

Q_DECLARE_METATYPE(std::optional<murmela::FakeDataFixture>)

namespace {

qint64 heatmapTotal(const WrappedReport& report) {
  qint64 total = 0;
  for (const QList<qint64>& row : report.messagesByHourByDayOfWeek)
    total += std::accumulate(row.cbegin(), row.cend(), qint64(0));
  return total;
}

bool isBlank(const QString& text) { return text.trimmed().isEmpty(); }

// Checks what holds for every report the analysis could have made.
void checkConsistent(const WrappedReport& report) {
  QCOMPARE(report.messagesByHourByDayOfWeek.size(), 7);
  for (const QList<qint64>& row : report.messagesByHourByDayOfWeek) QCOMPARE(row.size(), 24);
  QCOMPARE(heatmapTotal(report), report.totalMessages);
  QCOMPARE(std::accumulate(report.messagesByYear.cbegin(), report.messagesByYear.cend(), qint64(0)),
           report.totalMessages);
  QCOMPARE(report.messagesPerPerson.me + report.messagesPerPerson.them, report.totalMessages);
  QVERIFY(report.activeDays <= report.totalDays);
  QVERIFY(report.firstMessageDate < report.lastMessageDate);
  QCOMPARE(
      report.totalDays,
      LocalCalendar(QTimeZone("America/New_York")).daysBetween(report.firstMessageDate, report.lastMessageDate) + 1);
  QVERIFY(qFuzzyCompare(report.initiationRate.me + report.initiationRate.them, 1.0));
  QVERIFY(report.relationshipConfidence > 0 && report.relationshipConfidence <= 1);
  for (qsizetype i = 1; i < report.sentimentByMonth.size(); ++i)
    QVERIFY(report.sentimentByMonth[i - 1].month < report.sentimentByMonth[i].month);
  for (const MonthlySentiment& month : report.sentimentByMonth) QVERIFY(month.score >= -1 && month.score <= 1);
  for (qsizetype i = 1; i < report.otherFirsts.size(); ++i)
    QVERIFY(report.otherFirsts[i - 1].date <= report.otherFirsts[i].date);
  for (qsizetype i = 1; i < report.argumentEvents.size(); ++i)
    QVERIFY(report.argumentEvents[i - 1].date < report.argumentEvents[i].date);
  for (const auto* list : {&report.topPhrasesPerPerson.me, &report.topPhrasesPerPerson.them,
                           &report.dialectTermsPerPerson.me, &report.dialectTermsPerPerson.them}) {
    QVERIFY(list->size() <= 10);
    for (qsizetype i = 1; i < list->size(); ++i) QVERIFY(list->at(i - 1).count >= list->at(i).count);
  }
  QVERIFY(report.topEmojis.size() <= 12);
  qint64 listed = 0;
  for (const CountedString& emoji : report.topEmojis) listed += emoji.count;
  QVERIFY(listed <= report.totalEmojiCount);
  QVERIFY(!isBlank(report.closerParagraph));
  QVERIFY(report.closerParagraph.contains(report.participantNames.them));
}

}  // namespace

class FakeReportLoaderTest : public QObject {
  Q_OBJECT

  std::unique_ptr<test::TestEnvironment> environment_;

 private Q_SLOTS:
  void initTestCase() { environment_ = std::make_unique<test::TestEnvironment>(); }
  void cleanupTestCase() { environment_.reset(); }

  void launchArgumentFixture_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<std::optional<FakeDataFixture>>("fixture");
    const std::optional<FakeDataFixture> none;
    const auto rich = std::optional<FakeDataFixture>(FakeDataFixture::rich);
    const auto minimal = std::optional<FakeDataFixture>(FakeDataFixture::minimal);
    const auto friendship = std::optional<FakeDataFixture>(FakeDataFixture::friendship);
    QTest::newRow("no arguments") << QStringList{} << none;
    QTest::newRow("no flag") << QStringList{"murmela", "minimal"} << none;
    QTest::newRow("flag in another case") << QStringList{"murmela", "-fakedata", "minimal"} << none;
    QTest::newRow("last argument") << QStringList{"murmela", "-fakeData"} << rich;
    QTest::newRow("Minimal") << QStringList{"murmela", "-fakeData", "Minimal"} << minimal;
    QTest::newRow("friendship") << QStringList{"murmela", "-fakeData", "friendship"} << friendship;
    QTest::newRow("FRIENDSHIP") << QStringList{"murmela", "-fakeData", "FRIENDSHIP"} << friendship;
    QTest::newRow("rich") << QStringList{"murmela", "-fakeData", "rich"} << rich;
    QTest::newRow("unknown name") << QStringList{"murmela", "-fakeData", "family"} << rich;
    QTest::newRow("empty name") << QStringList{"murmela", "-fakeData", ""} << rich;
    QTest::newRow("only the first flag counts")
        << QStringList{"murmela", "-fakeData", "minimal", "-fakeData", "friendship"} << minimal;
    QTest::newRow("flag after flag") << QStringList{"murmela", "-fakeData", "-fakeData", "minimal"} << rich;
  }
  void launchArgumentFixture() {
    QFETCH(QStringList, arguments);
    QFETCH(std::optional<FakeDataFixture>, fixture);
    QCOMPARE(FakeReportLoader::launchArgumentFixture(arguments), fixture);
  }

  void namesOfTheFixtures() {
    QCOMPARE(rawValue(FakeDataFixture::rich), QStringLiteral("rich"));
    QCOMPARE(rawValue(FakeDataFixture::minimal), QStringLiteral("minimal"));
    QCOMPARE(rawValue(FakeDataFixture::friendship), QStringLiteral("friendship"));
    QCOMPARE(resourceName(FakeDataFixture::rich), QStringLiteral("fake_report"));
    QCOMPARE(resourceName(FakeDataFixture::minimal), QStringLiteral("fake_report_minimal"));
    QCOMPARE(resourceName(FakeDataFixture::friendship), QStringLiteral("fake_report_friendship"));
  }

  void richReportFillsEveryField() {
    const WrappedReport report = FakeReportLoader::load(FakeDataFixture::rich);
    checkConsistent(report);
    QCOMPARE(report.relationshipType, RelationshipType::romantic);
    QVERIFY(report.signaturePhrase && !isBlank(report.signaturePhrase->flavorLine));
    QVERIFY(report.firstDistinctiveTerm && !isBlank(report.firstDistinctiveTerm->context));
    QVERIFY(report.longestReplyGap);
    QCOMPARE(report.longestReplyGap->interval,
             report.longestReplyGap->replyDate.secondsSince(report.longestReplyGap->previousMessageDate));
    QVERIFY(report.insightCopy);
    const ReportInsightCopy& copy = *report.insightCopy;
    for (const QString& text : {copy.heatmapPeakInsight, copy.yearShapeInsight, copy.wordDebutResponseInsight,
                                copy.argumentInsight, copy.positiveSentimentPeakInsight, copy.responseTimeShiftInsight})
      QVERIFY(!isBlank(text));
    QVERIFY(report.messagesByYear.size() >= 3);
    QVERIFY(report.otherFirsts.size() >= 3);
    QVERIFY(report.argumentEvents.size() >= 2);
    QVERIFY(report.sentimentByMonth.size() >= 12);
    QVERIFY(report.responseTimeByYear.size() >= 3);
    QVERIFY(report.topEmojis.size() >= 5);
    QVERIFY(!report.topPhrasesPerPerson.me.isEmpty() && !report.dialectTermsPerPerson.them.isEmpty());
    // A clear peak: the busiest hour of the week stands well above the next one.
    QList<qint64> cells;
    for (const QList<qint64>& row : report.messagesByHourByDayOfWeek) cells.append(row);
    std::sort(cells.begin(), cells.end(), std::greater<>());
    QVERIFY(cells[0] > cells[1] * 5 / 4);
  }

  void minimalReportLeavesOptionalsAndListsOut() {
    const WrappedReport report = FakeReportLoader::load(FakeDataFixture::minimal);
    checkConsistent(report);
    QVERIFY(!report.signaturePhrase && !report.firstDistinctiveTerm && !report.longestReplyGap && !report.insightCopy);
    QVERIFY(report.topEmojis.isEmpty() && report.otherFirsts.isEmpty() && report.responseTimeByYear.isEmpty() &&
            report.sentimentByMonth.isEmpty() && report.argumentEvents.isEmpty());
    QVERIFY(report.topPhrasesPerPerson.me.isEmpty() && report.topPhrasesPerPerson.them.isEmpty());
    QVERIFY(report.dialectTermsPerPerson.me.isEmpty() && report.dialectTermsPerPerson.them.isEmpty());
    // The absent optionals are left out of the file, not written as null.
    const QJsonObject object =
        QJsonDocument::fromJson(readFileBytes(*MurmelaResources::bundle().url(QStringLiteral("fake_report_minimal"),
                                                                              QStringLiteral("json"))))
            .object();
    QCOMPARE(object.size(), 26);
  }

  void friendshipReportIsACloseFriend() {
    const WrappedReport report = FakeReportLoader::load(FakeDataFixture::friendship);
    checkConsistent(report);
    QCOMPARE(report.relationshipType, RelationshipType::closeFriend);
    QVERIFY(report.signaturePhrase && report.firstDistinctiveTerm);
    QCOMPARE(report.firstDistinctiveTerm->term, QStringLiteral("bestie"));
  }

  void missingFixtureIsNotFound() {
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("fake_report.json")));  // a folder is no fixture
    try {
      FakeReportLoader::load(FakeDataFixture::rich, ResourceBundle(dir.path()));
      QFAIL("loaded a missing fixture");
    } catch (const WrappedDataError& error) {
      QCOMPARE(error.kind(), WrappedDataError::Kind::fixtureNotFound);
      QCOMPARE(error.description(), QStringLiteral("Bundled fixture fake_report.json was not found."));
    }
  }

  void undecodableFixture_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("mentions");
    QFile rich(*MurmelaResources::bundle().url(QStringLiteral("fake_report"), QStringLiteral("json")));
    QVERIFY(rich.open(QIODevice::ReadOnly));
    QJsonObject object = QJsonDocument::fromJson(rich.readAll()).object();
    QVERIFY(!object.isEmpty());
    object.insert(QStringLiteral("firstMessageDate"), QStringLiteral("2021-09-18 14:26:41"));
    QTest::newRow("local date text") << QJsonDocument(object).toJson() << "firstMessageDate";
    object.insert(QStringLiteral("firstMessageDate"), 653682401.0);
    QTest::newRow("date as a number") << QJsonDocument(object).toJson() << "firstMessageDate";
    QTest::newRow("not JSON") << QByteArray("{\"totalMessages\": ") << "";
  }
  void undecodableFixture() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, mentions);
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("fake_report_friendship.json")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    try {
      FakeReportLoader::load(FakeDataFixture::friendship, ResourceBundle(dir.path()));
      QFAIL("decoded a broken fixture");
    } catch (const WrappedDataError& error) {
      QCOMPARE(error.kind(), WrappedDataError::Kind::fixtureDecodeFailed);
      QVERIFY(error.description().startsWith(QStringLiteral("Could not decode bundled fixture: ")));
      QVERIFY2(error.description().contains(mentions), qPrintable(error.description()));
    }
  }
};

MURMELA_TEST(FakeReportLoaderTest)
#include "FakeReportLoaderTest.moc"
