#include "backend/BackendWireRecords.h"
#include "backend/JSONValue.h"
#include "common/JsonCodec.h"
#include "hosted/HostedInsightCopy.h"
#include "hosted/HostedWireRecords.h"
#include "privacy/anonymization/PrivacyAnonymizationRecords.h"
#include "support/BackendTestSupport.h"
#include "support/TestRegistry.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

#include <functional>

using namespace murmela;

namespace {

JSONValue parseValue(const QByteArray& text) {
  return JSONValue::fromJson(QJsonDocument::fromJson("[" + text + "]").array().at(0));
}

QJsonObject object(const QByteArray& text) { return QJsonDocument::fromJson(text).object(); }

// The path of the decoding error a reader throws, or "ok".
QString decodeOutcome(const std::function<void()>& read) {
  try {
    read();
    return "ok";
  } catch (const Json::DecodingError& error) {
    return error.path();
  }
}

const QByteArray kSixInsights = R"({"heatmapPeakInsight":"a","yearShapeInsight":"b","wordDebutResponseInsight":"c",
  "argumentInsight":"d","positiveSentimentPeakInsight":"e","responseTimeShiftInsight":"f","firstsSelection":{}})";

}  // namespace

class WireRecordsTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void jsonValueDecodesInItsOrder_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("written");
    using K = JSONValue::Kind;
    QTest::newRow("integer") << QByteArray("3") << int(K::number) << QByteArray("3");
    QTest::newRow("zero is a number") << QByteArray("0") << int(K::number) << QByteArray("0");
    QTest::newRow("one is a number") << QByteArray("1") << int(K::number) << QByteArray("1");
    QTest::newRow("fraction") << QByteArray("12.5") << int(K::number) << QByteArray("12.5");
    QTest::newRow("true") << QByteArray("true") << int(K::boolean) << QByteArray("true");
    QTest::newRow("false") << QByteArray("false") << int(K::boolean) << QByteArray("false");
    QTest::newRow("null") << QByteArray("null") << int(K::null) << QByteArray("null");
    QTest::newRow("string") << QByteArray(R"("a/b")") << int(K::string) << QByteArray(R"("a/b")");
    QTest::newRow("nested array") << QByteArray("[1,[true,null],{}]") << int(K::array) << QByteArray("[1,[true,null],{}]");
    QTest::newRow("nested object") << QByteArray(R"({"b":{"c":[]},"a":"x"})") << int(K::object)
                                   << QByteArray(R"({"a":"x","b":{"c":[]}})");
  }

  void jsonValueDecodesInItsOrder() {
    QFETCH(QByteArray, text);
    QFETCH(int, kind);
    QFETCH(QByteArray, written);
    const JSONValue value = parseValue(text);
    QCOMPARE(int(value.kind()), kind);
    QCOMPARE(Json::write(value.toJson(), Json::Layout::Compact, false), written);
    QCOMPARE(parseValue(written), value);
  }

  void jsonValueAccessors() {
    const JSONValue value = parseValue(R"({"n":3,"b":false,"s":"x","a":[1]})");
    const JSONValue::Object& members = *value.objectValue();
    QCOMPARE(members.value("n").numberValue(), std::optional<double>(3.0));
    QCOMPARE(members.value("n").boolValue(), std::nullopt);
    QCOMPARE(members.value("b").boolValue(), std::optional<bool>(false));
    QCOMPARE(members.value("s").stringValue(), std::optional<QString>("x"));
    QCOMPARE(members.value("a").arrayValue()->size(), 1);
    QVERIFY(members.value("missing").isNull());
    QCOMPARE(sortedKeys(members), QString("a,b,n,s"));
  }

  void compactDescription_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("description");
    QTest::newRow("number") << QByteArray("12.5") << "12.500";
    QTest::newRow("half-way number") << QByteArray("0.0625") << "0.062";
    QTest::newRow("object of three") << QByteArray(R"({"a":1,"b":2,"c":3})") << "object(3)";
    QTest::newRow("empty array") << QByteArray("[]") << "array(0)";
    QTest::newRow("string") << QByteArray(R"("n/a")") << "n/a";
    QTest::newRow("bool") << QByteArray("true") << "true";
    QTest::newRow("null") << QByteArray("null") << "null";
  }

  void compactDescription() {
    QFETCH(QByteArray, text);
    QFETCH(QString, description);
    QCOMPARE(parseValue(text).compactDescription(), description);
  }

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
    QCOMPARE(decodeOutcome([&] { response = AnalysisStepResponse::fromJson(object(body)); }), outcome);
    QCOMPARE(response.metadata.has_value(), hasMetadata);
  }

  void errorBodies_data() {
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("outcome");
    QTest::addColumn<QString>("summary");
    QTest::newRow("empty detail") << QByteArray(R"({"detail":{}})") << "ok" << "";
    QTest::newRow("full detail") << QByteArray(R"({"detail":{"message":"busy","status_code":429,"diagnostic_id":"d-1","run_id":"r-9"}})")
                                 << "ok" << "backendRunID=r-9 diagnosticID=d-1 status=429 message=busy";
    QTest::newRow("only a message") << QByteArray(R"({"detail":{"message":"m","run_id":null}})") << "ok" << "message=m";
    QTest::newRow("no detail") << QByteArray("{}") << "error.detail" << "";
    QTest::newRow("detail is null") << QByteArray(R"({"detail":null})") << "error.detail" << "";
    QTest::newRow("status code as text") << QByteArray(R"({"detail":{"status_code":"429"}})") << "error.detail.status_code" << "";
    QTest::newRow("status code with a fraction") << QByteArray(R"({"detail":{"status_code":429.5}})")
                                                 << "error.detail.status_code" << "";
  }

  void errorBodies() {
    QFETCH(QByteArray, body);
    QFETCH(QString, outcome);
    QFETCH(QString, summary);
    BackendErrorEnvelope envelope;
    QCOMPARE(decodeOutcome([&] { envelope = BackendErrorEnvelope::fromJson(object(body)); }), outcome);
    QCOMPARE(envelope.detail.summary(), summary);
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

  void anonymizationOutputs_data() {
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("outcome");
    const QByteArray message = R"({"index":1,"sender":"P1","timestamp":"2024-03-05T14:22:10Z","text":"hi","has_photo":false})";
    const QByteArray metadata = R"({"messageCount":1,"nameCount":2,"elapsedSeconds":0.5})";
    const auto output = [](const QByteArray& messages, const QByteArray& meta) {
      return R"({"participants":{"me":"P1","them":"P2"},"messages":[)" + messages +
             R"(],"reverseNameMap":{"P1":"Ana","P2":"Sam"},"metadata":)" + meta + "}";
    };
    QTest::newRow("complete") << output(message, metadata) << "ok";
    QTest::newRow("metadata without nameCount")
        << output(message, R"({"messageCount":1,"elapsedSeconds":0.5})") << "output.metadata.nameCount";
    QByteArray noPhoto = message;
    noPhoto.replace(R"(,"has_photo":false)", "");
    QTest::newRow("message without has_photo") << output(noPhoto, metadata) << "output.messages[0].has_photo";
    QByteArray fractional = message;
    fractional.replace(R"("index":1)", R"("index":1.5)");
    QTest::newRow("fractional index") << output(fractional, metadata) << "output.messages[0].index";
    QByteArray badMap = output(message, metadata);
    badMap.replace(R"("P2":"Sam")", R"("P2":7)");
    QTest::newRow("name that is not text") << badMap << "output.reverseNameMap.P2";
  }

  void anonymizationOutputs() {
    QFETCH(QByteArray, body);
    QFETCH(QString, outcome);
    PrivacyAnonymizationOutput output;
    QCOMPARE(decodeOutcome([&] { output = PrivacyAnonymizationOutput::fromJson(object(body)); }), outcome);
    if (outcome != "ok") return;
    QCOMPARE(output.reverseNameMap.value("P1"), QString("Ana"));
    QCOMPARE(output.metadata.elapsedSeconds, 0.5);
    QCOMPARE(PrivacyAnonymizationOutput::fromJson(output.toJson()).messages, output.messages);
  }

  void anonymizationInputKeys() {
    PrivacyAnonymizationInput input{{"Ana", "Sam"}, {{1, "Sam", "2024-03-05T14:22:10Z", "hi", true}}, "/models/pf"};
    const QJsonObject json = input.toJson();
    QCOMPARE(json.keys(), QStringList({"messages", "model", "participants"}));
    QCOMPARE(json.value("messages").toArray().at(0).toObject().keys(),
             QStringList({"has_photo", "index", "sender", "text", "timestamp"}));
    QCOMPARE(PrivacyAnonymizationInput::fromJson(json).messages, input.messages);
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
    const std::optional<ReportInsightCopy> copy = reportInsightCopy(JSONValue::objectFromJson(object(body)));
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
