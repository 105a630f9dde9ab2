#include "backend/BackendWireRecords.h"
#include "json/JsonCodec.h"
#include "hosted/HostedInsightCopy.h"
#include "hosted/HostedWireRecords.h"
#include "support/BackendTestSupport.h"
#include "support/TestRegistry.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

#include <functional>

using namespace murmela;
using namespace murmela::test;

namespace {

const QByteArray kSixInsights = R"({"heatmapPeakInsight":"a","yearShapeInsight":"b","wordDebutResponseInsight":"c",
  "argumentInsight":"d","positiveSentimentPeakInsight":"e","responseTimeShiftInsight":"f","firstsSelection":{}})";

}  // namespace

class WireRecordsTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:

  void stepResponses_data() {
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("outcome");
    QTest::addColumn<bool>("hasMetadata");
    QTest::newRow("no metadata") << QByteArray(R"({"result":{}})") << "ok" << false;
    QTest::newRow("null metadata") << QByteArray(R"({"result":{},"metadata":null})") << "ok" << false;
    QTest::newRow("metadata") << QByteArray(R"({"result":{"a":1},"metadata":{"run_id":"r"}})") << "ok" << true;
    QTest::newRow("no result") << QByteArray(R"({"metadata":{}})") << "response.result" << false;
    QTest::newRow("null result") << QByteArray(R"({"result":null})") << "response.result" << false;
    QTest::newRow("result is an array") << QByteArray(R"({"result":[]})") << "response.result" << false;
    QTest::newRow("metadata is a number") << QByteArray(R"({"result":{},"metadata":3})") << "response.metadata" << false;
  }

  void stepResponses() {
    QFETCH(QByteArray, body);
    QFETCH(QString, outcome);
    QFETCH(bool, hasMetadata);
    AnalysisStepResponse response;
    QCOMPARE(decodeOutcome([&] { response = AnalysisStepResponse::fromJson(jsonObject(body)); }), outcome);
    QCOMPARE(response.metadata.has_value(), hasMetadata);
  }

  void requestEnvelopesUseSnakeCaseKeys() {
    AnalysisStepRequest request;
    request.clientRequestID = "R:synthesize";
    request.workflow = "hybrid_privacy";
    request.step = "synthesize";
    request.appVersion = "1.0";
    request.participants = {"P1", "P2"};
    request.payload = {{"chunk_results", JSONValue::array({JSONValue::object({{"k", JSONValue::boolean(true)}})})}};
    const QJsonObject json = request.toJson();
    QCOMPARE(json.keys(), QStringList({"app_version", "client_request_id", "participants", "payload", "schema_version", "step",
                                       "workflow"}));
    QCOMPARE(json.value("schema_version").toInteger(), 1);
    const AnalysisStepRequest back = AnalysisStepRequest::fromJson(json);
    QCOMPARE(back.participants, request.participants);
    QCOMPARE(back.payload, request.payload);
    const QJsonObject registration = RegisterRequest{"macos-X", "1.0"}.toJson();
    QCOMPARE(registration.keys(), QStringList({"app_version", "install_id", "platform"}));
    QCOMPARE(registration.value("platform").toString(), QString("macos"));
  }

  void insightCopy_data() {
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("present");
    QTest::newRow("all six and more") << kSixInsights << true;
    QByteArray missing = kSixInsights;
    missing.replace(R"("argumentInsight":"d",)", "");
    QTest::newRow("argumentInsight missing") << missing << false;
    QByteArray number = kSixInsights;
    number.replace(R"("argumentInsight":"d")", R"("argumentInsight":4)");
    QTest::newRow("argumentInsight a number") << number << false;
    QByteArray null = kSixInsights;
    null.replace(R"("argumentInsight":"d")", R"("argumentInsight":null)");
    QTest::newRow("argumentInsight null") << null << false;
  }

  void insightCopy() {
    QFETCH(QByteArray, body);
    QFETCH(bool, present);
    const std::optional<ReportInsightCopy> copy = reportInsightCopy(JSONValue::objectFromJson(jsonObject(body)));
    QCOMPARE(copy.has_value(), present);
    if (present) {
      QCOMPARE(copy->heatmapPeakInsight, QString("a"));
      QCOMPARE(copy->argumentInsight, QString("d"));
      QCOMPARE(copy->responseTimeShiftInsight, QString("f"));
    }
  }

  void blankInsightsAreKeptAsTheyAre() {
    JSONValue::Object six;
    for (const char* key : {"heatmapPeakInsight", "yearShapeInsight", "wordDebutResponseInsight", "argumentInsight",
                            "positiveSentimentPeakInsight", "responseTimeShiftInsight"})
      six.insert(key, JSONValue::string(""));
    six.insert("yearShapeInsight", JSONValue::string("  padded  "));
    const std::optional<ReportInsightCopy> copy = reportInsightCopy(six);
    QVERIFY(copy);
    QCOMPARE(copy->heatmapPeakInsight, QString());
    QCOMPARE(copy->yearShapeInsight, QString("  padded  "));
  }
};

MURMELA_TEST(WireRecordsTest)
#include "WireRecordsTest.moc"
