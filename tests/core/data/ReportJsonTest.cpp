#include "data/ReportJson.h"
#include "support/ReportSamples.h"
#include "support/TestRegistry.h"

#include <QJsonDocument>
#include <QTest>

#include <cmath>

using namespace murmela;

namespace {

QJsonObject asObject(const QByteArray& bytes) { return QJsonDocument::fromJson(bytes).object(); }

QByteArray withChange(const WrappedReport& report, const std::function<void(QJsonObject&)>& change) {
  QJsonObject object = ReportJson::toJson(report);
  change(object);
  return QJsonDocument(object).toJson();
}

bool rejects(const QByteArray& bytes) {
  try {
    ReportJson::decode(bytes);
    return false;
  } catch (const Json::DecodingError&) {
    return true;
  }
}

}  // namespace

class ReportJsonTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void roundTripIsByteIdentical() {
    for (const WrappedReport& report : {test::fullReport(), test::minimalReport()}) {
      const QByteArray first = ReportJson::encode(report);
      const QByteArray second = ReportJson::encode(ReportJson::decode(first));
      QCOMPARE(second, first);
      // Compact form of the same document.
      const QByteArray compact = ReportJson::encode(report, Json::Layout::Compact);
      QVERIFY(!compact.contains('\n'));
      QCOMPARE(ReportJson::encode(ReportJson::decode(compact), Json::Layout::Compact), compact);
    }
  }

  void writtenForm() {
    const QByteArray bytes = ReportJson::encode(test::fullReport());
    QVERIFY(bytes.contains('\n'));  // pretty-printed
    QVERIFY(bytes.contains(R"(Zo\u00eb)") || bytes.contains("Zoë"));
    QVERIFY(bytes.contains(R"(\/ \"Z\")"));  // the slash escaped
    QVERIFY(!bytes.contains("Zoë / "));
    QVERIFY(bytes.contains(R"("firstMessageDate": "2023-01-01T00:00:00Z")"));
    // Members come out sorted, years ascending.
    QVERIFY(bytes.indexOf("\"activeDays\"") < bytes.indexOf("\"apologyCount\""));
    QVERIFY(bytes.indexOf("\"2023\"") < bytes.indexOf("\"2024\""));
    const QJsonObject object = asObject(bytes);
    QCOMPARE(object.size(), 30);
    QCOMPARE(object.value("messagesByYear").toObject().value("2023").toInteger(), 1000);
  }

  void absentOptionalsAreLeftOut() {
    const QByteArray bytes = ReportJson::encode(test::minimalReport());
    const QJsonObject object = asObject(bytes);
    QCOMPARE(object.size(), 26);
    for (const char* key : {"signaturePhrase", "firstDistinctiveTerm", "longestReplyGap", "insightCopy"}) {
      QVERIFY(!object.contains(key));
    }
    const WrappedReport back = ReportJson::decode(bytes);
    QVERIFY(!back.signaturePhrase && !back.firstDistinctiveTerm && !back.longestReplyGap && !back.insightCopy);
  }

  void nullOptionalsReadAsAbsent() {
    const QByteArray bytes = withChange(test::minimalReport(), [](QJsonObject& o) {
      for (const char* key : {"signaturePhrase", "firstDistinctiveTerm", "longestReplyGap", "insightCopy"})
        o.insert(key, QJsonValue::Null);
    });
    const WrappedReport back = ReportJson::decode(bytes);
    QVERIFY(!back.signaturePhrase && !back.firstDistinctiveTerm && !back.longestReplyGap && !back.insightCopy);
    QCOMPARE(ReportJson::encode(back), ReportJson::encode(test::minimalReport()));
  }

  void fullReportFieldsSurvive() {
    const WrappedReport back = ReportJson::decode(ReportJson::encode(test::fullReport()));
    QCOMPARE(back.participantNames.them, QStringLiteral("Zoë / \"Z\""));
    QCOMPARE(back.relationshipType, RelationshipType::romantic);
    QCOMPARE(back.messagesByHourByDayOfWeek[2][21], 40);
    QCOMPARE(back.signaturePhrase->flavorLine, QStringLiteral("Said like a promise."));
    QCOMPARE(back.initiationRate.them, 0.625);
    QCOMPARE(back.argumentEvents[0].triggerTerms, QStringList({"whatever", "fine"}));
    QCOMPARE(back.insightCopy->argumentInsight, QStringLiteral("One storm, then calm."));
    QCOMPARE(back.longestReplyGap->replyDate, Date::fromUnix(1680086000));
  }

  void datesAreWrittenToTheWholeSecond() {
    WrappedReport report = test::minimalReport();
    report.firstMessageDate = Date::fromUnix(1672531200.75);
    const WrappedReport back = ReportJson::decode(ReportJson::encode(report));
    QCOMPARE(back.firstMessageDate, Date::fromUnix(1672531200));
  }

  void leadingFeffInStringsSurvives_data() {
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<QString>("them");
    QTest::addColumn<QString>("closer");
    const WrappedReport full = test::fullReport();
    const QByteArray raw = withChange(full, [](QJsonObject& o) {
      o.insert("participantNames", QJsonObject{{"me", "You"}, {"them", QStringLiteral("\uFEFFSam")}});
      o.insert("closerParagraph", QStringLiteral("\uFEFF"));
    });
    // QStringLiteral: a QString made from UTF-8 bytes would drop the U+FEFF.
    const QString them = QStringLiteral("\uFEFFSam");
    const QString closer = QStringLiteral("\uFEFF");
    QTest::newRow("raw in values") << raw << them << closer;
    QTest::newRow("and a document mark") << QByteArray("\xEF\xBB\xBF") + raw << them << closer;
    QByteArray escaped = raw;
    escaped.replace("\xEF\xBB\xBF", "\\ufeff");
    QTest::newRow("escaped") << escaped << them << closer;
  }
  void leadingFeffInStringsSurvives() {
    QFETCH(QByteArray, document);
    const WrappedReport report = ReportJson::decode(document);
    QTEST(report.participantNames.them, "them");
    QTEST(report.closerParagraph, "closer");
    // And the text written from it reads back the same.
    QCOMPARE(ReportJson::decode(ReportJson::encode(report)).participantNames.them, report.participantNames.them);
  }

  void rejectedDocuments_data() {
    QTest::addColumn<QByteArray>("bytes");
    const WrappedReport full = test::fullReport();
    const auto remove = [&](const char* key) { return withChange(full, [key](QJsonObject& o) { o.remove(key); }); };
    QTest::newRow("missing closerParagraph") << remove("closerParagraph");
    QTest::newRow("missing heatmap") << remove("messagesByHourByDayOfWeek");
    QTest::newRow("missing nested flavorLine") << withChange(full, [](QJsonObject& o) {
      QJsonObject s = o.value("signaturePhrase").toObject();
      s.remove("flavorLine");
      o.insert("signaturePhrase", s);
    });
    QTest::newRow("missing nested streak day count") << withChange(full, [](QJsonObject& o) {
      QJsonObject s = o.value("longestStreak").toObject();
      s.remove("days");
      o.insert("longestStreak", s);
    });
    QTest::newRow("wrong-case type") << withChange(full,
                                                   [](QJsonObject& o) { o.insert("relationshipType", "Romantic"); });
    QTest::newRow("unknown type") << withChange(full, [](QJsonObject& o) { o.insert("relationshipType", "friend"); });
    QTest::newRow("fractional date") << withChange(
        full, [](QJsonObject& o) { o.insert("firstMessageDate", "2023-01-01T00:00:00.500Z"); });
    QTest::newRow("zone-less date") << withChange(
        full, [](QJsonObject& o) { o.insert("lastMessageDate", "2023-01-01T00:00:00"); });
    QTest::newRow("year not digits") << withChange(full, [](QJsonObject& o) {
      o.insert("messagesByYear", QJsonObject{{"twenty", 1}});
    });
    QTest::newRow("year with a line feed") << withChange(full, [](QJsonObject& o) {
      o.insert("messagesByYear", QJsonObject{{"2025\n", 1}});
    });
    QTest::newRow("year with a blank") << withChange(full, [](QJsonObject& o) {
      o.insert("messagesByYear", QJsonObject{{" 2025", 1}});
    });
    QTest::newRow("one year named twice") << withChange(full, [](QJsonObject& o) {
      o.insert("messagesByYear", QJsonObject{{"2025", 1}, {"02025", 2}});
    });
    QTest::newRow("date with a line feed")
        << withChange(full, [](QJsonObject& o) { o.insert("firstMessageDate", "2023-01-01T00:00:00Z\n"); });
    QTest::newRow("date before year 1") << withChange(
        full, [](QJsonObject& o) { o.insert("firstMessageDate", "0001-01-01T00:30:00+01:00"); });
    QTest::newRow("date after year 9999")
        << withChange(full, [](QJsonObject& o) { o.insert("lastMessageDate", "9999-12-31T23:30:00-01:00"); });
    QTest::newRow("fractional count") << withChange(full, [](QJsonObject& o) { o.insert("totalMessages", 12.5); });
    QTest::newRow("string for a number") << withChange(
        full, [](QJsonObject& o) { o.insert("relationshipConfidence", "0.5"); });
    QTest::newRow("null required") << withChange(full,
                                                 [](QJsonObject& o) { o.insert("closerParagraph", QJsonValue::Null); });
    QTest::newRow("bad element deep in a list") << withChange(full, [](QJsonObject& o) {
      o.insert("argumentEvents", QJsonArray{QJsonObject{{"date", "2023-01-01T00:00:00Z"}}});
    });
    QTest::newRow("top level array") << QByteArray("[]");
    QTest::newRow("U+FEFF between members") << QByteArray("{\xEF\xBB\xBF\"activeDays\": 1}");
    QTest::newRow("not json") << QByteArray("{\"activeDays\": ");
  }
  void rejectedDocuments() {
    QFETCH(QByteArray, bytes);
    QVERIFY(rejects(bytes));
  }

  void extraMembersAreIgnored() {
    const QByteArray bytes = withChange(test::fullReport(), [](QJsonObject& o) {
      o.insert("somethingNew", 1);
      QJsonObject names = o.value("participantNames").toObject();
      names.insert("nickname", "Z");
      o.insert("participantNames", names);
    });
    QCOMPARE(ReportJson::encode(ReportJson::decode(bytes)), ReportJson::encode(test::fullReport()));
  }

  void integralDoublesAndOffsetsAreRead() {
    const QByteArray bytes = withChange(test::fullReport(), [](QJsonObject& o) {
      o.insert("relationshipConfidence", 1);
      o.insert("totalMessages", 1234.0);
      o.insert("firstMessageDate", "2023-01-01T02:00:00+02:00");
    });
    const WrappedReport back = ReportJson::decode(bytes);
    QCOMPARE(back.relationshipConfidence, 1.0);
    QCOMPARE(back.totalMessages, 1234);
    QCOMPARE(back.firstMessageDate, Date::fromUnix(1672531200));
  }

  void nonFiniteNumbersRefuseToWrite() {
    WrappedReport report = test::fullReport();
    report.relationshipConfidence = std::nan("");
    QVERIFY_THROWS_EXCEPTION(Json::EncodingError, ReportJson::encode(report));
    report = test::fullReport();
    report.sentimentByMonth[1].score = -INFINITY;
    QVERIFY_THROWS_EXCEPTION(Json::EncodingError, ReportJson::encode(report, Json::Layout::Compact));
  }

  void encodingIsStable() {
    WrappedReport a = test::fullReport();
    WrappedReport b = a;
    b.messagesByYear.clear();
    b.messagesByYear.insert(2024, 234);
    b.messagesByYear.insert(2023, 1000);
    QCOMPARE(ReportJson::encode(a), ReportJson::encode(b));
  }
};

MURMELA_TEST(ReportJsonTest)
#include "ReportJsonTest.moc"
