#include "DevBackend.h"
#include "DevHttpServer.h"
#include "backend/BackendRegistration.h"
#include "common/Iso8601.h"
#include "common/LocalCalendar.h"
#include "data/RelationshipType.h"
#include "data/ReportJson.h"
#include "hosted/ClientMetrics.h"
#include "hosted/HostedAnalysisClient.h"
#include "hosted/HostedAnalysisError.h"
#include "hosted/HostedInsightCopy.h"
#include "hosted/HostedMessages.h"
#include "privacy/anonymization/PrivacyScriptAnonymizer.h"
#include "support/BackendTestSupport.h"
#include "support/DevBackendMount.h"
#include "support/ReportSamples.h"
#include "support/ScriptedHttpServer.h"
#include "support/TestRegistry.h"

#include <QCryptographicHash>
#include <QTest>

#include <future>
#include <set>

using namespace murmela;
using namespace murmela::devbackend;
using namespace murmela::test;

namespace {

const QString kRun = QStringLiteral("0F8E2C1A-0000-4000-8000-000000000001");

const QStringList kFillers = {
    "how was work",         "pretty busy afternoon",   "what's for dinner",      "pasta again honestly",
    "did you see the game", "missed it, traffic",      "call me later",          "sure, after six",
    "new podcast episode",  "send the link",           "running late sorry",     "no rush at all",
    "bought fresh bread",   "save me a slice",         "weather looks grim",     "bring an umbrella",
    "finished that book",   "ending was wild",         "gym tonight?",           "legs still sore",
    "coffee tomorrow?",     "usual place works",       "watched the documentary", "penguins were adorable",
    "printer jammed again", "classic office chaos",    "planting tomatoes",      "water them daily",
    "train delayed",        "typical monday",          "found cheap flights",    "where to though",
    "painting the hallway", "pick a calm colour",      "concert tickets sold",   "next tour maybe",
    "cooked curry tonight", "recipe please",           "lost my keys",           "check the jacket"};

// 360 messages over two years: a recurring phrase, a tense stretch that is
// repaired, a few milestones and a photo.
ImportedChat sampleChat() {
  ImportedChat chat;
  chat.meName = "Ana";
  chat.otherName = "Sam";
  const Date start = Date::fromUnix(1672574400);  // 2023-01-01T12:00:00Z
  for (int i = 0; i < 360; ++i) {
    Message message;
    message.id = i + 1;
    message.date = start.addingSeconds(i * 2 * 86400.0 + (i % 7) * 3600.0);
    message.isFromMe = i % 2 == 0;
    message.handle = "+15550100";
    message.text = kFillers[i % kFillers.size()];
    if (i % 12 == 5) message.text = "see you at the lake tomorrow?";
    if (i == 3) message.text = "good morning sunshine";
    if (i == 40) message.text = "i love you, you know that";
    if (i == 77) {
      message.text = "look at this";
      message.hasPhoto = true;
    }
    const QStringList stretch = {"ugh seriously, you never listen", "whatever, I'm upset too", "this is so annoying",
                                 "I'm not okay with this", "sorry, my bad", "all good, love you"};
    if (i >= 200 && i < 206) message.text = stretch[i - 200];
    chat.messages.append(message);
  }
  return chat;
}

WrappedReport sampleReport(const ImportedChat& chat) {
  WrappedReport report;
  report.messagesByHourByDayOfWeek = QList<QList<qint64>>(7, QList<qint64>(24, 0));
  const LocalCalendar calendar;
  for (const Message& message : chat.messages) {
    ++report.messagesByHourByDayOfWeek[calendar.weekdayRow(message.date)][calendar.hour(message.date)];
    ++report.messagesByYear[calendar.year(message.date)];
  }
  report.responseTimeByYear = {{2023, 600, 1800}, {2024, 300, 240}};
  report.sentimentByMonth = {{Date::fromUnix(1675227600), 0.2}, {Date::fromUnix(1680321600), 0.6}};
  return report;
}

DevRequest post(const QByteArray& path, const QJsonObject& body, const QString& token = {}) {
  DevRequest request{"POST", path, {{"Content-Type", "application/json"}}, Json::write(QJsonValue(body), Json::Layout::Compact)};
  if (!token.isEmpty()) request.headers.append({"Authorization", "Bearer " + token.toUtf8()});
  return request;
}

QString registerWith(DevBackend& backend, const QString& installID = "macos-11111111-2222-3333-4444-555555555555") {
  const DevResponse answer = backend.handle(post("/v1/register", RegisterRequest{installID, "1.0"}.toJson()));
  return RegisterResponse::fromJson(Json::parseObject(answer.body, "response")).authToken;
}

AnalysisStepRequest step(const QString& name, const QString& requestName, JSONValue::Object payload) {
  AnalysisStepRequest request;
  request.clientRequestID = kRun + ":" + requestName;
  request.workflow = "full_claude";
  request.step = name;
  request.appVersion = "1.0";
  request.participants = {"Ana", "Sam"};
  request.payload = std::move(payload);
  return request;
}

JSONValue messageArray(const HostedMessageList& messages) {
  JSONValue::Array array;
  for (const HostedChatMessage& message : messages) array.append(message.toJSONValue());
  return JSONValue::array(array);
}

JSONValue::Object chunkPayload(const HostedMessageList& chunk, qsizetype i, qsizetype n) {
  const auto number = [](double value) { return JSONValue::number(value); };
  return {{"chunk_index", number(double(i + 1))},
          {"chunk_count", number(double(n))},
          {"start_message_index", number(double(chunk.first().index))},
          {"end_message_index", number(double(chunk.last().index))},
          {"start_timestamp", JSONValue::string(chunk.first().timestamp)},
          {"end_timestamp", JSONValue::string(chunk.last().timestamp)},
          {"messages", messageArray(chunk)}};
}

// Sends one step and reads the answer with the client's own records.
AnalysisStepResponse send(DevBackend& backend, const QString& token, const AnalysisStepRequest& request) {
  const DevResponse answer = backend.handle(post("/v1/analysis-step", request.toJson(), token));
  if (answer.status != 200) throw std::runtime_error(answer.body.toStdString());
  return AnalysisStepResponse::fromJson(Json::parseObject(answer.body, "response"));
}

QString text(const JSONValue::Object& object, const QString& key) { return object.value(key).stringValue().value_or("<none>"); }

}  // namespace

class DevBackendTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { prepareHostedTests(); }

  // The whole analysis of a real conversation, read back with the client's records.
  void analysisStepsAnswerConsistentlyWithTheMessagesSent() {
    DevBackend backend;
    const QString token = registerWith(backend);
    const ImportedChat chat = sampleChat();
    const HostedMessageList hosted = truncateHostedMessages(makeHostedMessages(chat, HostedAnalysisWorkflow::fullClaude));
    const QList<HostedMessageList> chunks = chunk(hosted, 4000, 100, 10);
    QVERIFY(chunks.size() >= 4);

    JSONValue::Array chunkResults;
    for (qsizetype i = 0; i < chunks.size(); ++i) {
      const AnalysisStepResponse response =
          send(backend, token, step("chunk_analysis", QString("chunk-%1").arg(i + 1), chunkPayload(chunks[i], i, chunks.size())));
      QCOMPARE(text(*response.metadata, "ai_provider"), QString("murmela-dev-backend"));
      QCOMPARE(response.result.value("messageCount"), JSONValue::number(double(chunks[i].size())));
      chunkResults.append(JSONValue::object(response.result));
    }

    const AnalysisStepRequest synthesisRequest = step("synthesize", "synthesize", {{"chunk_results", JSONValue::array(chunkResults)}});
    const AnalysisStepResponse synthesized = send(backend, token, synthesisRequest);
    const JSONValue::Object& synthesis = synthesized.result;
    QVERIFY(relationshipTypeFromRawValue(text(synthesis, "relationshipType")));
    const double confidence = *synthesis.value("relationshipConfidence").numberValue();
    QVERIFY(confidence >= 0 && confidence <= 1);

    // The signature phrase is the lake line; its evidence is every message that holds it, once.
    const JSONValue::Object phrase = *synthesis.value("signaturePhrase").objectValue();
    const QString said = text(phrase, "phrase");
    QCOMPARE(said, QString("see you at the lake"));  // the longest of the equally frequent phrases
    std::set<qint64> expected;
    for (const HostedChatMessage& message : hosted)
      if (message.text.toLower().contains(said)) expected.insert(message.index);
    std::set<qint64> evidence;
    for (const JSONValue& index : *phrase.value("evidenceMessageIndexes").arrayValue()) evidence.insert(qint64(*index.numberValue()));
    QCOMPARE(phrase.value("evidenceMessageIndexes").arrayValue()->size(), qsizetype(evidence.size()));
    QVERIFY(evidence == expected);
    QCOMPARE(evidence.size(), size_t(29));  // every 12th message but the photo
    QVERIFY(!text(phrase, "reason").isEmpty());

    // One tense stretch (messages 201 to 204), repaired right after.
    const JSONValue::Array events = *synthesis.value("conflictEvents").arrayValue();
    QCOMPARE(events.size(), 1);
    const JSONValue::Object event = *events[0].objectValue();
    QCOMPARE(event.value("startMessageIndex"), JSONValue::number(201));
    QCOMPARE(event.value("endMessageIndex"), JSONValue::number(204));
    QCOMPARE(text(event, "startTimestamp"), hosted[200].timestamp);
    QCOMPARE(text(event, "endTimestamp"), hosted[203].timestamp);
    QCOMPARE(text(event, "repairStatus"), QString("repaired"));
    QVERIFY(!text(event, "title").isEmpty() && !text(event, "coreIssue").isEmpty());

    // The same request gives the same answer.
    QCOMPARE(backend.handle(post("/v1/analysis-step", synthesisRequest.toJson(), token)).body,
             backend.handle(post("/v1/analysis-step", synthesisRequest.toJson(), token)).body);

    const JSONValue::Object insightsPayload = {{"messages", messageArray(hosted)},
                                               {"synthesis", JSONValue::object(synthesis)},
                                               {"client_metrics", clientMetrics(sampleReport(chat), chat.messages)}};
    const AnalysisStepResponse insights = send(backend, token, step("insight_copy", "insights", insightsPayload));
    QCOMPARE(text(*insights.metadata, "run_id"), text(*synthesized.metadata, "run_id"));
    const std::optional<ReportInsightCopy> copy = reportInsightCopy(insights.result);
    QVERIFY(copy);
    for (const QString& sentence : {copy->heatmapPeakInsight, copy->yearShapeInsight, copy->wordDebutResponseInsight,
                                    copy->argumentInsight, copy->positiveSentimentPeakInsight, copy->responseTimeShiftInsight})
      QVERIFY2(!sentence.trimmed().isEmpty(), qPrintable(insights.toJson().value("result").toString()));
    QVERIFY(copy->argumentInsight.startsWith("1 tense moment"));
    QVERIFY(copy->responseTimeShiftInsight.startsWith("Sam's replies went from 30 minutes in 2023 to 4 minutes in 2024"));

    // Firsts point at the first message that says them.
    const JSONValue::Object firsts = *insights.result.value("firstsSelection").objectValue();
    const JSONValue::Object headline = *firsts.value("headline").objectValue();
    QCOMPARE(text(headline, "phrase"), said);
    QCOMPARE(text(headline, "timestamp"), hosted[*expected.begin() - 1].timestamp);
    QVERIFY(HostedAnalysisTimestamp::parse(text(headline, "timestamp")));
    QStringList others;
    for (const JSONValue& first : *firsts.value("otherFirsts").arrayValue()) {
      const JSONValue::Object fields = *first.objectValue();
      const qint64 index = qint64(*fields.value("messageIndex").numberValue());
      QCOMPARE(text(fields, "timestamp"), hosted[index - 1].timestamp);
      others.append(text(fields, "phrase") + "@" + QString::number(index));
    }
    QCOMPARE(others, QStringList({"good morning@4", "i love you@41", "first photo@78"}));
  }

  // A body read straight from its bytes is answered as one read through a
  // JSON document (a schema version written 1.0 sends it that way).
  void stepsReadFromTheBytesAreAnsweredAsThoroughlyReadOnes() {
    DevBackend backend;
    const QString token = registerWith(backend);
    const ImportedChat chat = sampleChat();
    const HostedMessageList hosted = makeHostedMessages(chat, HostedAnalysisWorkflow::fullClaude);
    const QList<HostedMessageList> chunks = chunk(hosted, 4000, 100, 10);
    const JSONValue synthesis = JSONValue::object(
        {{"signaturePhrase", JSONValue::object({{"phrase", JSONValue::string("see you at the lake")}})}});
    for (const AnalysisStepRequest& request :
         {step("chunk_analysis", "chunk-2", chunkPayload(chunks[1], 1, chunks.size())),
          step("insight_copy", "insights",
               {{"messages", messageArray(hosted)},
                {"synthesis", synthesis},
                {"client_metrics", clientMetrics(sampleReport(chat), chat.messages)}})}) {
      DevRequest fast = post("/v1/analysis-step", request.toJson(), token);
      DevRequest thorough = fast;
      thorough.body.replace(R"("schema_version":1,)", R"("schema_version":1.0,)");
      QVERIFY(thorough.body != fast.body);
      const DevResponse answer = backend.handle(fast);
      QCOMPARE(answer.status, 200);
      QCOMPARE(answer.body, backend.handle(thorough).body);
    }
  }

  void errorsAreAnsweredInTheBackendForm_data() {
    QTest::addColumn<QByteArray>("method");
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QByteArray>("contentType");
    QTest::addColumn<QString>("auth");  // "none", "bad" or "good"
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    const QByteArray json = "application/json";
    const QByteArray stepBody =
        R"({"schema_version":1,"client_request_id":"R:chunk-1","workflow":"full_claude","step":"chunk_analysis",)"
        R"("app_version":"1","participants":{"me":"A","them":"B"},"payload":{"chunk_index":1,"chunk_count":1,)"
        R"("start_message_index":1,"end_message_index":1,"start_timestamp":"","end_timestamp":""}})";
    QTest::newRow("unknown path") << QByteArray("POST") << QByteArray("/v1/nothing") << json << "good" << QByteArray("{}") << 404
                                  << "No such endpoint";
    QTest::newRow("GET") << QByteArray("GET") << QByteArray("/v1/register") << json << "none" << QByteArray() << 405 << "Use POST";
    QTest::newRow("not JSON") << QByteArray("POST") << QByteArray("/v1/register") << QByteArray("text/plain") << "none"
                              << QByteArray("{}") << 415 << "Content-Type";
    QTest::newRow("other platform")
        << QByteArray("POST") << QByteArray("/v1/register") << json << "none"
        << QByteArray(R"({"install_id":"macos-X","app_version":"1","platform":"linux"})") << 400 << "Unsupported platform";
    QTest::newRow("no install id") << QByteArray("POST") << QByteArray("/v1/register") << json << "none" << QByteArray("{}")
                                   << 400 << "body.install_id";
    QTest::newRow("step without token") << QByteArray("POST") << QByteArray("/v1/analysis-step") << json << "none" << stepBody
                                        << 401 << "Missing bearer token";
    QTest::newRow("step with unknown token") << QByteArray("POST") << QByteArray("/v1/analysis-step") << json << "bad"
                                             << stepBody << 401 << "Invalid or expired token";
    QTest::newRow("schema 2") << QByteArray("POST") << QByteArray("/v1/analysis-step") << json << "good"
                              << QByteArray(stepBody).replace(R"("schema_version":1)", R"("schema_version":2)") << 400
                              << "schema_version";
    QTest::newRow("unknown workflow") << QByteArray("POST") << QByteArray("/v1/analysis-step") << json << "good"
                                      << QByteArray(stepBody).replace("full_claude", "local") << 400 << "Unknown workflow";
    QTest::newRow("unknown step") << QByteArray("POST") << QByteArray("/v1/analysis-step") << json << "good"
                                  << QByteArray(stepBody).replace("chunk_analysis", "insights") << 400 << "Unknown step";
    QTest::newRow("chunk without messages") << QByteArray("POST") << QByteArray("/v1/analysis-step") << json << "good"
                                            << stepBody << 400 << "payload.messages";
    const auto withMessage = [&](const QByteArray& message) {
      return QByteArray(stepBody).replace(R"("end_timestamp":"")", R"("end_timestamp":"","messages":[)" + message + "]");
    };
    QTest::newRow("message without index")
        << QByteArray("POST") << QByteArray("/v1/analysis-step") << json << "good"
        << withMessage(R"({"sender":"A","timestamp":"2024-01-01T00:00:00Z","text":"x","has_photo":false})") << 400
        << "missing required member at payload.messages[0].index";
    QTest::newRow("message with a local time")
        << QByteArray("POST") << QByteArray("/v1/analysis-step") << json << "good"
        << withMessage(R"({"index":1,"sender":"A","timestamp":"2024-01-01T00:00:00","text":"x","has_photo":false})")
        << 400 << "payload.messages[0].timestamp";
    QTest::newRow("unknown event") << QByteArray("POST") << QByteArray("/v1/events/opened") << json << "good"
                                   << QByteArray("{}") << 404 << "No such endpoint";
    QTest::newRow("choice without mode")
        << QByteArray("POST") << QByteArray("/v1/events/choice") << json << "good"
        << QByteArray(R"({"app_version":"1","macos_version":"x","chip_family":"y"})") << 400 << "body.mode";
    QTest::newRow("created with a snake-case type")
        << QByteArray("POST") << QByteArray("/v1/events/murmela_created") << json << "good"
        << QByteArray(R"({"mode":"cloud","message_count":3,"relationship_type":"close_friend","duration_ms":5,)"
                      R"("app_version":"1","macos_version":"x","chip_family":"y"})")
        << 400 << "Unknown relationship_type";
    QTest::newRow("share without report") << QByteArray("POST") << QByteArray("/v1/shares") << json << "good"
                                          << QByteArray(R"({"contact_display":"Sam"})") << 400 << "body.report";
    QTest::newRow("revoke of an unknown share") << QByteArray("POST") << QByteArray("/v1/shares/s404/revoke") << json << "good"
                                                << QByteArray("{}") << 404 << "No share";
  }

  void errorsAreAnsweredInTheBackendForm() {
    QFETCH(QByteArray, method);
    QFETCH(QByteArray, path);
    QFETCH(QByteArray, contentType);
    QFETCH(QString, auth);
    QFETCH(QByteArray, body);
    QFETCH(int, status);
    QFETCH(QString, message);
    DevBackend backend;
    const QString token = registerWith(backend);
    DevRequest request{method, path, {{"Content-Type", contentType}}, body};
    if (auth == "good") request.headers.append({"Authorization", "Bearer " + token.toUtf8()});
    if (auth == "bad") request.headers.append({QByteArray("Authorization"), QByteArray("Bearer dev-forged")});
    const DevResponse answer = backend.handle(request);
    QCOMPARE(answer.status, status);
    const BackendErrorDetail detail = BackendErrorEnvelope::fromJson(Json::parseObject(answer.body, "error")).detail;
    QCOMPARE(detail.statusCode, std::optional<qint64>(status));
    QVERIFY(detail.diagnosticID && detail.diagnosticID->startsWith("dev-diag-"));
    QVERIFY2(detail.message && detail.message->contains(message), qPrintable(detail.message.value_or("<none>")));
    if (path == "/v1/analysis-step" && status == 400) QVERIFY(detail.runID);
  }

  void eventsAreAccepted() {
    DevBackend backend;
    const QString token = registerWith(backend);
    const QJsonObject base{{"app_version", "1"}, {"macos_version", "Debian 12"}, {"chip_family", "Intel"}};
    QJsonObject choice = base;
    choice.insert("mode", "hybrid");
    QJsonObject created = base;
    for (const auto& [key, value] : {std::pair<QString, QJsonValue>{"mode", "cloud"},
                                     {"message_count", 120},
                                     {"relationship_type", "closeFriend"},
                                     {"duration_ms", 2000}})
      created.insert(key, value);
    for (const auto& [path, body] : {std::pair<QByteArray, QJsonObject>{"/v1/events/app_installed", base},
                                     {"/v1/events/choice", choice},
                                     {"/v1/events/murmela_created", created}}) {
      const DevResponse answer = backend.handle(post(path, body, token));
      QCOMPARE(answer.status, 200);
      QCOMPARE(answer.body, QByteArray(R"({"ok":true})"));
    }
    QCOMPARE(backend.events(), QStringList({"app_installed", "choice", "murmela_created"}));
  }

  void shareLinksAreCreatedLimitedAndRevoked() {
    Date now = Date::fromUnix(1717243200);  // 2024-06-01T12:00:00Z
    DevBackend::Options options;
    options.publicBaseUrl = "http://dev.test/";
    options.dailyShareLimit = 2;
    options.clock = [&now] { return now; };
    DevBackend backend(options);
    const QString token = registerWith(backend);
    const WrappedReport report = test::fullReport();
    const QJsonObject body{{"report", ReportJson::toJson(report)},
                           {"contact_display", report.participantNames.them},
                           {"relationship_type", rawValue(report.relationshipType)}};

    const DevResponse created = backend.handle(post("/v1/shares", body, token));
    QCOMPARE(created.status, 201);
    const Json::ObjectReader link(Json::parseObject(created.body, "share"), "share");
    const QString id = link.string("share_id");
    QCOMPARE(link.string("share_url"), "http://dev.test/s/" + id);
    // The same hash the application computes for the report.
    QCOMPARE(link.string("content_hash"),
             QString(QCryptographicHash::hash(ReportJson::encode(report, Json::Layout::Compact), QCryptographicHash::Sha256).toHex()));
    QCOMPARE(link.string("expires_at"), QString("2024-07-01T12:00:00Z"));

    QCOMPARE(backend.handle(post("/v1/shares", body, token)).status, 201);
    const DevResponse limited = backend.handle(post("/v1/shares", body, token));
    QCOMPARE(limited.status, 429);
    QCOMPARE(Json::ObjectReader(Json::parseObject(limited.body, "e"), "e").object("detail").integer("limit"), 2);
    now = now.addingSeconds(86400);
    QCOMPARE(backend.handle(post("/v1/shares", body, token)).status, 201);

    const QByteArray revokePath = "/v1/shares/" + id.toUtf8() + "/revoke";
    const QString stranger = registerWith(backend, "macos-99999999-2222-3333-4444-555555555555");
    QCOMPARE(backend.handle(post(revokePath, {}, stranger)).status, 404);
    const DevResponse revoked = backend.handle(post(revokePath, {}, token));
    QCOMPARE(revoked.status, 200);
    QCOMPARE(revoked.body, QByteArray(R"({"ok":true})"));
  }

  // The client's exchange against the backend mounted on the scripted server.
  void clientTalksToTheMountedBackend() {
    ScriptedHttpServer server;
    DevBackend backend;
    mountDevBackend(server, backend);
    const HostedAnalysisClient client(std::make_shared<PrivacyScriptAnonymizer>(), server.baseUrl(), "1.0");
    const QString token =
        client.post<RegisterResponse>(HostedAnalysisClient::kRegisterPath, RegisterRequest{"macos-ABC", "1.0"}, std::nullopt, 30, 1 << 16)
            .authToken;
    const HostedMessageList hosted = makeHostedMessages(sampleChat(), HostedAnalysisWorkflow::fullClaude).mid(0, 20);
    const AnalysisStepResponse response = client.post<AnalysisStepResponse>(
        HostedAnalysisClient::kAnalysisStepPath, step("chunk_analysis", "chunk-1", chunkPayload(hosted, 0, 1)), token, 900, 1 << 17);
    QCOMPARE(response.result.value("messageCount"), JSONValue::number(20));

    try {
      client.post<AnalysisStepResponse>(HostedAnalysisClient::kAnalysisStepPath, step("synthesize", "synthesize", {}),
                                        QString("forged"), 900, 1 << 22);
      QFAIL("a forged token must be refused");
    } catch (const HostedAnalysisError& error) {
      QCOMPARE(error.status(), 401);
      QVERIFY2(error.text().startsWith("diagnosticID=dev-diag-0001 status=401 message=Invalid or expired token {"),
               qPrintable(error.text()));
    }
  }

  // The executable's own HTTP front, served from this thread while the call waits.
  void httpFrontServesTheBackend() {
    DevBackend backend;
    DevHttpServer front(backend);
    QVERIFY(front.listen(QHostAddress::LocalHost, 0));
    QStringList served;
    front.setRequestLog([&served](const QString& line) { served.append(line); });
    // The front serves on this thread's event loop; the client blocks a worker.
    auto token = std::async(std::launch::async, [port = front.port()] {
      return BackendRegistration::registerInstall(QString("http://127.0.0.1:%1").arg(port), "1.0");
    });
    QTRY_VERIFY(token.wait_for(std::chrono::seconds(0)) == std::future_status::ready);
    QVERIFY(token.get().startsWith("dev-"));
    QCOMPARE(backend.registrationCount(), 1);
    QCOMPARE(served.size(), 1);
    QVERIFY(served[0].startsWith("POST /v1/register -> 200"));
  }
};

MURMELA_TEST(DevBackendTest)
#include "DevBackendTest.moc"
