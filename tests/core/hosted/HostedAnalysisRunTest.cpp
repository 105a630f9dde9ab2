#include "FakeHybridAnonymizer.h"
#include "net/TransportError.h"
#include "common/FixedDecimal.h"
#include "hosted/ClientMetrics.h"
#include "hosted/HostedAnalysisClient.h"
#include "hosted/HostedAnalysisError.h"
#include "hosted/HostedMessages.h"
#include "privacy/anonymization/PrivacyScriptAnonymizer.h"
#include "support/BackendTestSupport.h"
#include "support/ReportSamples.h"
#include "support/ScriptedHttpServer.h"
#include "support/TestEnvironment.h"
#include "support/TestRegistry.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTest>

#include <functional>
#include <memory>
#include <thread>

using namespace murmela;
using namespace murmela::test;

namespace {

const QByteArray kRegisterPath = "/v1/register";
const QByteArray kStepPath = "/v1/analysis-step";
const QString kMe = QStringLiteral("Marta");
const QString kThem = QStringLiteral("Zoltan");
const QString kToken = QStringLiteral("tok-run");

// Messages alternating between the two, the other participant first, a
// minute apart from 2024-03-01T12:00:00Z.
ImportedChat chatOf(const QStringList& texts) {
  ImportedChat chat;
  chat.meName = kMe;
  chat.otherName = kThem;
  chat.contact.handle = QStringLiteral("+15550100");
  for (qsizetype i = 0; i < texts.size(); ++i) {
    Message message;
    message.id = i + 1;
    message.text = texts[i];
    message.date = Date::fromUnix(1709294400.0 + 60.0 * static_cast<double>(i));
    message.isFromMe = i % 2 == 1;
    message.handle = chat.contact.handle;
    chat.messages.append(message);
  }
  return chat;
}

QStringList repeatedTexts(qsizetype count, qsizetype length) {
  return QStringList(count, QString(length, QLatin1Char('x')));
}

QByteArray compact(const QJsonObject& object) { return QJsonDocument(object).toJson(QJsonDocument::Compact); }

// A scripted backend: registration hands out kToken; every analysis step is
// answered by the function for its "step".
struct StepBackend {
  using Answer = std::function<ScriptedResponse(const QJsonObject& request)>;

  Answer chunk = [](const QJsonObject& request) {
    const QJsonObject payload = request.value("payload").toObject();
    return ScriptedResponse::json(
        200, compact({{"result", QJsonObject{{"chunk", payload.value("chunk_index")},
                                             {"messages", payload.value("messages").toArray().size()}}}}));
  };
  Answer synthesize = [](const QJsonObject&) {
    return ScriptedResponse::json(
        200, R"({"result":{"relationshipType":"family","summary":"PERSON_2 and PERSON_1 laughed","count":3},
                 "metadata":{"run_id":"b-1","ai_provider":"dev","elapsed_seconds":1.5}})");
  };
  Answer insights = [](const QJsonObject&) {
    return ScriptedResponse::json(200, R"({"result":{"heatmapPeakInsight":"PERSON_2 owns Tuesday nights.",
        "yearShapeInsight":"y","wordDebutResponseInsight":"w","argumentInsight":"a","positiveSentimentPeakInsight":"p",
        "responseTimeShiftInsight":"r","firstsSelection":{"headline":{"phrase":"PERSON_2's cat","timestamp":"2024-03-01T12:00:00Z"}}}})");
  };

  void mount(ScriptedHttpServer& server) {
    server.setDefault(kRegisterPath, ScriptedResponse::json(200, R"({"auth_token":"tok-run"})"));
    server.setHandler(kStepPath, [this](const RecordedRequest& recorded) {
      const QJsonObject request = QJsonDocument::fromJson(recorded.body).object();
      const QString step = request.value("step").toString();
      if (step == "chunk_analysis") return chunk(request);
      if (step == "synthesize") return synthesize(request);
      return insights(request);
    });
  }
};

QList<QJsonObject> stepRequests(const ScriptedHttpServer& server) {
  QList<QJsonObject> steps;
  for (const RecordedRequest& request : server.requests(kStepPath))
    steps.append(QJsonDocument::fromJson(request.body).object());
  return steps;
}

QJsonObject payloadOf(const QJsonObject& step) { return step.value("payload").toObject(); }

QString show(const ProcessingProgress& progress) {
  return rawValue(progress.stage) + " " + fixedDecimal(progress.fraction, 4) + " " +
         (progress.estimatedRemainingSeconds ? fixedDecimal(*progress.estimatedRemainingSeconds, 2) : QString("none"));
}

// One run's outcome: the result, or the error as "[Type] description".
struct Outcome {
  std::optional<HostedAnalysisResult> result;
  QString error;
  QStringList progress;
  std::exception_ptr exception;
};

Outcome analyze(const HostedAnalysisClient& client, const ImportedChat& chat, HostedAnalysisWorkflow workflow,
                std::stop_token stop = {}, const std::function<void(const ProcessingProgress&)>& alsoOnProgress = {}) {
  Outcome outcome;
  try {
    outcome.result = client.analyze(
        chat, fullReport(), workflow,
        [&](const ProcessingProgress& progress) {
          outcome.progress.append(show(progress));
          if (alsoOnProgress) alsoOnProgress(progress);
        },
        std::move(stop));
  } catch (const MurmelaError& error) {
    outcome.error = error.userFacingText();
    outcome.exception = std::current_exception();
  }
  return outcome;
}

// "{d}" stands for a measured duration ("0.03s"), "{*}" for anything.
bool matchesTemplate(const QString& line, const QString& pattern) {
  QString regex = QRegularExpression::escape(pattern);
  regex.replace(QRegularExpression::escape("{d}"), R"(\d+\.\d\ds)");
  regex.replace(QRegularExpression::escape("{*}"), ".*");
  return QRegularExpression("^" + regex + "$").match(line).hasMatch();
}

QString firstMismatch(const QStringList& lines, const QStringList& patterns) {
  for (qsizetype i = 0; i < std::max(lines.size(), patterns.size()); ++i) {
    if (i >= lines.size()) return "missing line for: " + patterns[i];
    if (i >= patterns.size()) return "unexpected line: " + lines[i];
    if (!matchesTemplate(lines[i], patterns[i]))
      return "line " + QString::number(i) + ": " + lines[i] + "\n  expected: " + patterns[i];
  }
  return {};
}

const QString kUuidPattern = QStringLiteral("[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}");

QString runIDFrom(const QStringList& lines) {
  static const QRegularExpression starting("^HostedAnalysis: starting .* runID=(\\S+) ");
  for (const QString& line : lines)
    if (const QRegularExpressionMatch match = starting.match(line); match.hasMatch()) return match.captured(1);
  return {};
}

}  // namespace

class HostedAnalysisRunTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() {
    prepareHostedTests();
    environment_ = std::make_unique<TestEnvironment>();
  }
  void cleanupTestCase() { environment_.reset(); }

  void emptyChatSendsNoChunks() {
    StepBackend backend;
    ScriptedHttpServer server;
    backend.mount(server);
    LogCapture log;
    const Outcome outcome =
        analyze(HostedAnalysisClient(std::make_shared<PrivacyScriptAnonymizer>(), server.baseUrl(), "9.9"), chatOf({}),
                HostedAnalysisWorkflow::fullClaude);
    QCOMPARE(outcome.error, QString());
    QCOMPARE(outcome.progress, QStringList({"Analyzing tone... 0.8200 12.00", "Generating summary... 0.9200 8.00"}));

    const QList<QJsonObject> steps = stepRequests(server);
    QCOMPARE(steps.size(), 2);
    QCOMPARE(steps[0].value("step").toString(), QString("synthesize"));
    QCOMPARE(compact(payloadOf(steps[0])), QByteArray(R"({"chunk_results":[]})"));
    QCOMPARE(steps[1].value("step").toString(), QString("insight_copy"));
    QCOMPARE(payloadOf(steps[1]).value("messages").toArray(), QJsonArray());
    QVERIFY(
        log.lines().contains("HostedAnalysis: prepared payload messages=0 totalChars=0 chunks=0 maxChunkChars=120000 "
                             "maxChunkMessages=3000 participants=me:Marta/them:Zoltan usedPrivacy=false"));
  }

  void threeChunksReportTheirProgress() {
    // 100,000 characters (an analysis estimate of 13.95 s) in 6,000 short
    // messages: about 2,400 fit one chunk, so three chunks.
    const ImportedChat chat = chatOf(repeatedTexts(4000, 17) + repeatedTexts(2000, 16));
    StepBackend backend;
    ScriptedHttpServer server;
    backend.mount(server);
    const Outcome outcome =
        analyze(HostedAnalysisClient(std::make_shared<PrivacyScriptAnonymizer>(), server.baseUrl(), "9.9"), chat,
                HostedAnalysisWorkflow::fullClaude);
    QCOMPARE(outcome.error, QString());
    QCOMPARE(outcome.progress, QStringList({"Analyzing tone... 0.5000 21.95", "Analyzing tone... 0.6067 17.30",
                                            "Analyzing tone... 0.7133 12.65", "Analyzing tone... 0.8200 12.00",
                                            "Generating summary... 0.9200 8.00"}));

    // The chunks are the chunker's, with the run's limits.
    const QList<HostedMessageList> expected =
        chunk(makeHostedMessages(chat, HostedAnalysisWorkflow::fullClaude), 120000, 3000, 50);
    QCOMPARE(expected.size(), 3);
    const QList<QJsonObject> steps = stepRequests(server);
    QCOMPARE(steps.size(), 5);
    for (int i = 0; i < 3; ++i) {
      const QJsonObject payload = payloadOf(steps[i]);
      const HostedMessageList& sent = expected[i];
      QCOMPARE(payload.value("chunk_index").toInt(), i + 1);
      QCOMPARE(payload.value("chunk_count").toInt(), 3);
      QCOMPARE(payload.value("start_message_index").toInt(), sent.first().index);
      QCOMPARE(payload.value("end_message_index").toInt(), sent.last().index);
      QCOMPARE(payload.value("start_timestamp").toString(), sent.first().timestamp);
      QCOMPARE(payload.value("end_timestamp").toString(), sent.last().timestamp);
      const QJsonArray messages = payload.value("messages").toArray();
      QCOMPARE(messages.size(), sent.size());
      const QJsonObject first = messages.first().toObject();
      const Message& source = chat.messages[sent.first().index - 1];
      QCOMPARE(first.keys(), QStringList({"has_photo", "index", "sender", "text", "timestamp"}));
      QCOMPARE(first.value("index").toInt(), sent.first().index);
      QCOMPARE(first.value("sender").toString(), source.isFromMe ? kMe : kThem);
      QCOMPARE(first.value("timestamp").toString(), HostedAnalysisTimestamp::format(source.date));
      QCOMPARE(first.value("text").toString(), source.text);
    }

    // The synthesis gets the chunk results in order; the insights all
    // messages, the synthesis as received and the client metrics.
    const QJsonArray chunkResults = payloadOf(steps[3]).value("chunk_results").toArray();
    QCOMPARE(chunkResults.size(), 3);
    for (int i = 0; i < 3; ++i) QCOMPARE(chunkResults[i].toObject().value("chunk").toInt(), i + 1);
    const QJsonObject insights = payloadOf(steps[4]);
    QCOMPARE(insights.value("messages").toArray().size(), 6000);
    QCOMPARE(insights.value("synthesis").toObject().value("summary").toString(),
             QString("PERSON_2 and PERSON_1 laughed"));
    QCOMPARE(JSONValue::fromJson(insights.value("client_metrics")), clientMetrics(fullReport(), chat.messages));

    const HostedAnalysisResult& result = *outcome.result;
    QCOMPARE(result.synthesis.value("count"), JSONValue::number(3));
    QCOMPARE(result.synthesis.value("summary"),
             JSONValue::string("PERSON_2 and PERSON_1 laughed"));  // cloud: as received
    QVERIFY(result.insightCopy);
    QCOMPARE(result.insightCopy->heatmapPeakInsight, QString("PERSON_2 owns Tuesday nights."));
    QVERIFY(result.firstsSelection && result.firstsSelection->objectValue());
  }

  // Each call takes an answer of its own bound, not one byte more; the synthesis not one value past its
  // cap either, a member counting as two ({"result":{"a":[...]}} holds five values besides the numbers).
  void eachCallHasItsOwnBound_data() {
    QTest::addColumn<QString>("call");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<bool>("read");
    const auto padded = [](QByteArray head, int size) { return head + QByteArray(size - head.size() - 2, 'x') + "\"}"; };
    for (const auto& [call, bound] : {std::pair{"register", 64 << 10}, {"chunk_analysis", 128 << 10},
                                      {"synthesize", 4 << 20}, {"insight_copy", 64 << 10}}) {
      const QByteArray head = call == QString("register") ? "{\"auth_token\":\"t\",\"p\":\"" : "{\"result\":{},\"p\":\"";
      QTest::addRow("%s at its bound", call) << QString(call) << padded(head, bound) << true;
      QTest::addRow("%s one byte over", call) << QString(call) << padded(head, bound + 1) << false;
    }
    const int cap = (4 << 20) / 16;
    const auto numbers = [](int n) { return "{\"result\":{\"a\":[0" + QByteArray(",0").repeated(n - 1) + "]}}"; };
    QTest::newRow("synthesize at its value cap") << "synthesize" << numbers(cap - 5) << true;
    QTest::newRow("synthesize one value over") << "synthesize" << numbers(cap - 4) << false;
    QTest::newRow("synthesize, members past the cap")
        << "synthesize" << "{\"result\":{\"k\":0" + QByteArray(",\"k\":0").repeated(cap / 2) + "}}" << false;
  }
  void eachCallHasItsOwnBound() {
    QFETCH(QString, call);
    QFETCH(QByteArray, answer);
    QFETCH(bool, read);
    StepBackend backend;
    StepBackend::Answer unused;
    (call == "chunk_analysis" ? backend.chunk : call == "synthesize" ? backend.synthesize
                                            : call == "insight_copy" ? backend.insights : unused) =
        [&](const QJsonObject&) { return ScriptedResponse::json(200, answer); };
    ScriptedHttpServer server;
    backend.mount(server);
    if (call == "register") server.setDefault(kRegisterPath, ScriptedResponse::json(200, answer));
    const Outcome outcome = analyze(HostedAnalysisClient(nullptr, server.baseUrl()), chatOf({"hi"}), HostedAnalysisWorkflow::fullClaude);
    QCOMPARE(outcome.error.left(21), read ? QString() : "[HostedAnalysisError]");
  }

  void failingChunkEndsTheRun() {
    // Thirteen texts of 12,000 characters: each chunk holds all earlier
    // messages as overlap, so nine fill the first chunk and five chunks result.
    StepBackend backend;
    backend.chunk = [defaultChunk = backend.chunk](const QJsonObject& request) {
      if (payloadOf(request).value("chunk_index").toInt() == 2) return ScriptedResponse::text(500, "backend exploded");
      return defaultChunk(request);
    };
    ScriptedHttpServer server;
    backend.mount(server);
    LogCapture log;
    const Outcome outcome =
        analyze(HostedAnalysisClient(std::make_shared<PrivacyScriptAnonymizer>(), server.baseUrl(), "9.9"),
                chatOf(repeatedTexts(13, 12000)), HostedAnalysisWorkflow::fullClaude);
    QCOMPARE(outcome.error, QString("[HostedAnalysisError] Hosted analysis HTTP 500: backend exploded"));
    try {
      std::rethrow_exception(outcome.exception);
    } catch (const HostedAnalysisError& error) {
      QCOMPARE(error.kind(), HostedAnalysisError::Kind::httpFailed);
      QCOMPARE(error.status(), 500);
    }

    const QList<QJsonObject> steps = stepRequests(server);
    QCOMPARE(steps.size(), 2);
    QCOMPARE(payloadOf(steps[0]).value("chunk_count").toInt(), 5);
    const QStringList lines = log.lines();
    QCOMPARE(lines.filter(QRegularExpression("^HTTP POST /v1/analysis-step status=500 ")).size(), 1);
    const qsizetype failedAt = lines.indexOf(QRegularExpression("^HostedAnalysis: chunk 2/5 FAILED after .*"));
    QVERIFY(failedAt > 0);
    QVERIFY2(lines[failedAt - 1].startsWith("HTTP POST /v1/analysis-step status=500 "),
             qPrintable(lines[failedAt - 1]));
    QVERIFY2(
        matchesTemplate(lines[failedAt],
                        "HostedAnalysis: chunk 2/5 FAILED after {d} \u2014 type=HostedAnalysisError "
                        "domain=MurmelaCore.HostedAnalysisError code=1 msg=Hosted analysis HTTP 500: backend exploded"),
        qPrintable(lines[failedAt]));
    QCOMPARE(lines.last(), lines[failedAt]);
    QVERIFY(lines.filter("synthesize").isEmpty());
  }

  void runLogsEachStepAndNamesItsRequests() {
    // Ten texts of 12,000 characters make two chunks (1-9, then 1-10).
    StepBackend backend;
    backend.chunk = [defaultChunk = backend.chunk](const QJsonObject& request) {
      if (payloadOf(request).value("chunk_index").toInt() != 2) return defaultChunk(request);
      return ScriptedResponse::json(200, R"({"result":{"z":1,"a":2},"metadata":{"run_id":"b-2","extra":true}})");
    };
    ScriptedHttpServer server;
    backend.mount(server);
    LogCapture log;
    const Outcome outcome =
        analyze(HostedAnalysisClient(std::make_shared<PrivacyScriptAnonymizer>(), server.baseUrl(), "9.9"),
                chatOf(repeatedTexts(10, 12000)), HostedAnalysisWorkflow::fullClaude);
    QCOMPARE(outcome.error, QString());

    const QStringList lines = log.lines();
    const QString runID = runIDFrom(lines);
    QVERIFY2(QRegularExpression("^" + kUuidPattern + "$").match(runID).hasMatch(), qPrintable(runID));
    const QStringList expected = {
        "HostedAnalysis: starting workflow=full_claude runID=" + runID + " baseURL=" + server.baseUrl() +
            " appVersion=9.9 messages=10 me=Marta them=Zoltan",
        "HTTP POST /v1/register bodyBytes={*} timeout=30s authed=false",
        "HTTP POST /v1/register status=200 bytes=24 elapsed={d}",
        "HostedAnalysis: register OK in {d} tokenLen=7",
        "HostedAnalysis: prepared payload messages=10 totalChars=120000 chunks=2 maxChunkChars=120000 "
        "maxChunkMessages=3000 participants=me:Marta/them:Zoltan usedPrivacy=false",
        "HostedAnalysis: chunk 1/2 starting messages=9 chars=108000 firstIdx=1 lastIdx=9",
        "HTTP POST /v1/analysis-step bodyBytes={*} timeout=900s authed=true",
        "HTTP POST /v1/analysis-step status=200 {*}",
        "HostedAnalysis: chunk 1/2 OK in {d} keys=chunk,messages",
        "HostedAnalysis: chunk 2/2 starting messages=10 chars=120000 firstIdx=1 lastIdx=10",
        "HTTP POST /v1/analysis-step bodyBytes={*} timeout=900s authed=true",
        "HTTP POST /v1/analysis-step status=200 {*}",
        "HostedAnalysis: backend metadata runID=" + runID +
            " request=chunk-2 keys=extra,run_id backendRunID=b-2 provider=n/a elapsed=n/a",
        "HostedAnalysis: chunk 2/2 OK in {d} keys=a,z",
        "HostedAnalysis: synthesize starting chunkResults=2",
        "HTTP POST /v1/analysis-step bodyBytes={*} timeout=900s authed=true",
        "HTTP POST /v1/analysis-step status=200 {*}",
        "HostedAnalysis: backend metadata runID=" + runID +
            " request=synthesize keys=ai_provider,elapsed_seconds,run_id backendRunID=b-1 provider=dev elapsed=1.500",
        "HostedAnalysis: synthesize OK in {d} keys=count,relationshipType,summary",
        "HostedAnalysis: insights starting",
        "HTTP POST /v1/analysis-step bodyBytes={*} timeout=900s authed=true",
        "HTTP POST /v1/analysis-step status=200 {*}",
        "HostedAnalysis: insights OK in {d} keys=argumentInsight,firstsSelection,heatmapPeakInsight,"
        "positiveSentimentPeakInsight,responseTimeShiftInsight,wordDebutResponseInsight,yearShapeInsight",
        "HostedAnalysis: completed runID=" + runID,
    };
    const QString mismatch = firstMismatch(lines, expected);
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));

    // Request identifiers in order, and the same envelope on every step.
    const QList<QJsonObject> steps = stepRequests(server);
    QStringList ids, names;
    for (const QJsonObject& step : steps) {
      ids.append(step.value("client_request_id").toString());
      names.append(step.value("step").toString());
      QCOMPARE(step.value("schema_version").toDouble(), 1.0);
      QCOMPARE(step.value("workflow").toString(), QString("full_claude"));
      QCOMPARE(step.value("app_version").toString(), QString("9.9"));
      QCOMPARE(step.value("participants").toObject(), QJsonObject({{"me", kMe}, {"them", kThem}}));
    }
    QCOMPARE(ids, QStringList({runID + ":chunk-1", runID + ":chunk-2", runID + ":synthesize", runID + ":insights"}));
    QCOMPARE(names, QStringList({"chunk_analysis", "chunk_analysis", "synthesize", "insight_copy"}));
    for (const RecordedRequest& request : server.requests(kStepPath))
      QCOMPARE(request.header("Authorization"), "Bearer " + kToken.toUtf8());
    const RecordedRequest registration = server.requests(kRegisterPath).value(0);
    QVERIFY(!registration.hasHeader("Authorization"));
    QCOMPARE(QJsonDocument::fromJson(registration.body).object().value("platform").toString(), QString("macos"));
    QCOMPARE(server.requests().first().path, kRegisterPath);
  }

  void overlongTextIsTruncatedButEstimatedWhole() {
    StepBackend backend;
    ScriptedHttpServer server;
    backend.mount(server);
    LogCapture log;
    const Outcome outcome =
        analyze(HostedAnalysisClient(std::make_shared<PrivacyScriptAnonymizer>(), server.baseUrl(), "9.9"),
                chatOf({QString(70000, 'y'), "ok"}), HostedAnalysisWorkflow::fullClaude);
    QCOMPARE(outcome.error, QString());
    // 70,002 characters: 9.77 s of analysis, measured before truncation.
    QCOMPARE(outcome.progress.first(), QString("Analyzing tone... 0.5000 17.77"));
    const QString sent =
        payloadOf(stepRequests(server).first()).value("messages").toArray().first().toObject().value("text").toString();
    QCOMPARE(sent, QString(12000, 'y') + " [message truncated for analysis]");
    QCOMPARE(log.lines().filter("prepared payload messages=2 totalChars=12035 chunks=1 ").size(), 1);
  }

  void missingInsightIsAWarningNotAFailure() {
    StepBackend backend;
    backend.insights = [](const QJsonObject&) {
      return ScriptedResponse::json(200, R"({"result":{"heatmapPeakInsight":"h","yearShapeInsight":"y",
          "wordDebutResponseInsight":"w","argumentInsight":7,"positiveSentimentPeakInsight":"p","responseTimeShiftInsight":"r"}})");
    };
    ScriptedHttpServer server;
    backend.mount(server);
    LogCapture log;
    const Outcome outcome =
        analyze(HostedAnalysisClient(std::make_shared<PrivacyScriptAnonymizer>(), server.baseUrl(), "9.9"),
                chatOf({"hi", "hey"}), HostedAnalysisWorkflow::fullClaude);
    QCOMPARE(outcome.error, QString());
    QVERIFY(!outcome.result->insightCopy);
    QVERIFY(!outcome.result->firstsSelection);
    const QStringList lines = log.lines();
    QCOMPARE(lines.filter("WARNING").size(), 1);
    QCOMPARE(
        lines.at(lines.size() - 2),
        QString(
            "HostedAnalysis: WARNING insightCopy decode returned nil; insightsKeys=argumentInsight,heatmapPeakInsight,"
            "positiveSentimentPeakInsight,responseTimeShiftInsight,wordDebutResponseInsight,yearShapeInsight"));
    QVERIFY(lines.last().startsWith("HostedAnalysis: completed runID="));
  }

  void failedRegistrationSendsNoStep_data() {
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QString>("error");
    QTest::newRow("401") << false << "[HostedAnalysisError] Hosted analysis HTTP 401: nope";
    QTest::newRow("refused") << true << "[TransportError] {*}";
  }
  void failedRegistrationSendsNoStep() {
    QFETCH(bool, refused);
    QFETCH(QString, error);
    ScriptedHttpServer server;
    server.setDefault(kRegisterPath, ScriptedResponse::text(401, "nope"));
    LogCapture log;
    const QString baseUrl = refused ? refusingBaseUrl() : server.baseUrl();
    const Outcome outcome = analyze(HostedAnalysisClient(std::make_shared<PrivacyScriptAnonymizer>(), baseUrl, "9.9"),
                                    chatOf({"hi"}), HostedAnalysisWorkflow::fullClaude);
    QVERIFY2(matchesTemplate(outcome.error, error), qPrintable(outcome.error));
    QCOMPARE(server.requests(kStepPath).size(), 0);
    QVERIFY(outcome.progress.isEmpty());
    QVERIFY2(matchesTemplate(log.lines().last(), "HostedAnalysis: register FAILED after {d} \u2014 type={*}"),
             qPrintable(log.lines().last()));
  }

  void stopBeforeAChunkSendsNoMore() {
    StepBackend backend;
    ScriptedHttpServer server;
    backend.mount(server);
    std::stop_source source;
    LogCapture log;
    // Requested while the second chunk's progress is reported.
    const Outcome outcome =
        analyze(HostedAnalysisClient(std::make_shared<PrivacyScriptAnonymizer>(), server.baseUrl(), "9.9"),
                chatOf(repeatedTexts(10, 12000)), HostedAnalysisWorkflow::fullClaude, source.get_token(),
                [&source](const ProcessingProgress& progress) {
                  if (progress.fraction > 0.5 && progress.fraction < 0.82) source.request_stop();
                });
    QCOMPARE(outcome.error, QString("[CancellationError] The operation was cancelled."));
    QCOMPARE(stepRequests(server).size(), 1);
    QCOMPARE(outcome.progress.size(), 2);
    QVERIFY(log.lines().filter("synthesize").isEmpty());
  }

  void stopAbortsTheRequestInFlight() {
    StepBackend backend;
    backend.chunk = [](const QJsonObject&) { return ScriptedResponse::json(200, R"({"result":{}})").withDelay(5000); };
    ScriptedHttpServer server;
    backend.mount(server);
    std::stop_source source;
    std::thread stopper;
    QElapsedTimer clock;
    clock.start();
    const Outcome outcome =
        analyze(HostedAnalysisClient(std::make_shared<PrivacyScriptAnonymizer>(), server.baseUrl(), "9.9"),
                chatOf({"hi"}), HostedAnalysisWorkflow::fullClaude, source.get_token(), [&](const ProcessingProgress&) {
                  if (stopper.joinable()) return;
                  stopper = std::thread([&source] {
                    std::this_thread::sleep_for(std::chrono::milliseconds(300));
                    source.request_stop();
                  });
                });
    stopper.join();
    QCOMPARE(outcome.error, QString("[CancellationError] The operation was cancelled."));
    QVERIFY2(clock.elapsed() < 4000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(server.requests(kStepPath).size(), 1);
  }

  void hybridRunSendsNoRealName() {
    // 100 texts of 1,000 characters that mention both people: estimates of
    // 13.85 s (anonymization) and 13.95 s (analysis).
    QStringList texts;
    for (int i = 0; i < 100; ++i) {
      const QString line = (i % 2 ? "Zoltan, " : "tell marta ") + QString("it's %1 ").arg(i);
      texts.append(line + QString(1000 - line.size(), QLatin1Char('.')));
    }
    const ImportedChat chat = chatOf(texts);
    auto anonymizer = std::make_shared<FakeHybridAnonymizer>();
    StepBackend backend;
    ScriptedHttpServer server;
    backend.mount(server);
    LogCapture log;
    const Outcome outcome =
        analyze(HostedAnalysisClient(anonymizer, server.baseUrl(), "9.9"), chat, HostedAnalysisWorkflow::hybridPrivacy);
    QCOMPARE(outcome.error, QString());
    QCOMPARE(anonymizer->anonymizeCalls, 1);
    QCOMPARE(anonymizer->givenAnonymizationEstimate, 100000 * 0.0001385);
    QCOMPARE(anonymizer->givenAnalysisEstimate, 100000 * 0.0001395);
    QCOMPARE(outcome.progress, QStringList({"Anonymizing messages... 0.4600 35.80",
                                            "Anonymizing messages... 0.5650 21.95", "Analyzing tone... 0.6800 21.95",
                                            "Analyzing tone... 0.8200 12.00", "Generating summary... 0.9200 8.00"}));

    // Nothing that leaves the machine names them, except the figures computed
    // from the local report.
    QCOMPARE(server.requests().size(), 4);
    for (const RecordedRequest& request : server.requests()) {
      QJsonObject body = QJsonDocument::fromJson(request.body).object();
      QJsonObject payload = body.value("payload").toObject();
      payload.remove("client_metrics");
      body.insert("payload", payload);
      const QString sent = QString::fromUtf8(compact(body));
      QVERIFY2(!sent.contains(kMe, Qt::CaseInsensitive) && !sent.contains(kThem, Qt::CaseInsensitive),
               qPrintable(request.path + ": " + sent.left(300)));
    }
    const QList<QJsonObject> steps = stepRequests(server);
    QCOMPARE(steps[0].value("participants").toObject(), QJsonObject({{"me", "PERSON_1"}, {"them", "PERSON_2"}}));
    QCOMPARE(steps[0].value("workflow").toString(), QString("hybrid_privacy"));
    QVERIFY(payloadOf(steps[0])
                .value("messages")
                .toArray()
                .first()
                .toObject()
                .value("text")
                .toString()
                .startsWith("tell PERSON_1 it's 0"));
    QCOMPARE(JSONValue::fromJson(payloadOf(steps[2]).value("client_metrics")),
             clientMetrics(fullReport(), chat.messages));

    // The names come back into what the backend said.
    const HostedAnalysisResult& result = *outcome.result;
    QCOMPARE(result.synthesis.value("summary"), JSONValue::string("Zoltan and Marta laughed"));
    QCOMPARE(result.synthesis.value("count"), JSONValue::number(3));
    QCOMPARE(result.insightCopy->heatmapPeakInsight, QString("Zoltan owns Tuesday nights."));
    QCOMPARE(result.firstsSelection->objectValue()->value("headline").objectValue()->value("phrase"),
             JSONValue::string("Zoltan's cat"));

    const QStringList lines = log.lines();
    QCOMPARE(lines.filter(QRegularExpression("^HostedAnalysis: anonymize OK in \\d+\\.\\d\\ds$")).size(), 1);
    QCOMPARE(lines.filter(" participants=me:PERSON_1/them:PERSON_2 usedPrivacy=true").size(), 1);
  }

  void hybridRunWithoutNamesReturnsWhatCameBack() {
    auto anonymizer = std::make_shared<FakeHybridAnonymizer>();
    anonymizer->emptyMap = true;
    StepBackend backend;
    ScriptedHttpServer server;
    backend.mount(server);
    const Outcome outcome = analyze(HostedAnalysisClient(anonymizer, server.baseUrl(), "9.9"), chatOf({"hi", "hello"}),
                                    HostedAnalysisWorkflow::hybridPrivacy);
    QCOMPARE(outcome.error, QString());
    QCOMPARE(anonymizer->rehydrateCalls, 0);
    QCOMPARE(outcome.result->synthesis.value("summary"), JSONValue::string("PERSON_2 and PERSON_1 laughed"));
    QCOMPARE(outcome.result->insightCopy->heatmapPeakInsight, QString("PERSON_2 owns Tuesday nights."));
    // Both estimates at their floor of 8 seconds.
    QCOMPARE(outcome.progress.first(), QString("Anonymizing messages... 0.4600 24.00"));
  }

  void stopDuringAnonymizationEndsBeforeTheFirstChunk() {
    std::stop_source source;
    auto anonymizer = std::make_shared<FakeHybridAnonymizer>();
    anonymizer->duringAnonymize = [&source] { source.request_stop(); };
    StepBackend backend;
    ScriptedHttpServer server;
    backend.mount(server);
    LogCapture log;
    const Outcome outcome = analyze(HostedAnalysisClient(anonymizer, server.baseUrl(), "9.9"), chatOf({"hi"}),
                                    HostedAnalysisWorkflow::hybridPrivacy, source.get_token());
    QCOMPARE(outcome.error, QString("[CancellationError] The operation was cancelled."));
    QCOMPARE(server.requests(kStepPath).size(), 0);
    // The check before the chunk throws without a line of its own.
    QVERIFY2(log.lines().last().startsWith("HostedAnalysis: prepared payload "), qPrintable(log.lines().last()));
  }

  void anonymizationFailureEndsTheRun() {
    auto anonymizer = std::make_shared<FakeHybridAnonymizer>();
    anonymizer->failure = "Traceback: boom";
    StepBackend backend;
    ScriptedHttpServer server;
    backend.mount(server);
    LogCapture log;
    const Outcome outcome = analyze(HostedAnalysisClient(anonymizer, server.baseUrl(), "9.9"), chatOf({"hi"}),
                                    HostedAnalysisWorkflow::hybridPrivacy);
    QCOMPARE(outcome.error, QString("[HostedAnalysisError] Privacy anonymization failed: Traceback: boom"));
    QCOMPARE(server.requests(kStepPath).size(), 0);
    QVERIFY2(matchesTemplate(log.lines().last(),
                             "HostedAnalysis: anonymize FAILED after {d} \u2014 type=HostedAnalysisError "
                             "domain=MurmelaCore.HostedAnalysisError code=3 msg=Privacy anonymization "
                             "failed: Traceback: boom"),
             qPrintable(log.lines().last()));
  }

  void hybridWithoutAnAnonymizerFails() {
    StepBackend backend;
    ScriptedHttpServer server;
    backend.mount(server);
    const Outcome outcome =
        analyze(HostedAnalysisClient(std::make_shared<PrivacyScriptAnonymizer>(), server.baseUrl(), "9.9"),
                chatOf({"hi"}), HostedAnalysisWorkflow::hybridPrivacy);
    QVERIFY2(outcome.error.startsWith("[HostedAnalysisError] Privacy filter is not ready: "),
             qPrintable(outcome.error));
    QCOMPARE(server.requests(kStepPath).size(), 0);
  }

 private:
  std::unique_ptr<TestEnvironment> environment_;
};

MURMELA_TEST(HostedAnalysisRunTest)
#include "HostedAnalysisRunTest.moc"
