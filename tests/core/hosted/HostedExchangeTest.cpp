#include "backend/BackendWireRecords.h"
#include "hosted/HostedAnalysisClient.h"
#include "hosted/HostedAnalysisError.h"
#include "hosted/HostedWireRecords.h"
#include "net/TransportError.h"
#include "support/BackendTestSupport.h"
#include "support/ScriptedHttpServer.h"
#include "support/TestRegistry.h"

#include <QJsonDocument>
#include <QRegularExpression>
#include <QTest>

#include <cmath>
#include <stdexcept>

using namespace murmela;
using namespace murmela::test;

namespace {

const QString kStepPath = HostedAnalysisClient::kAnalysisStepPath;

AnalysisStepRequest stepRequest() {
  AnalysisStepRequest request;
  request.clientRequestID = "RUN-1:chunk-1";
  request.workflow = "full_claude";
  request.step = "chunk_analysis";
  request.appVersion = "1.0";
  request.participants = {"You", "Sam"};
  request.payload = {{"chunk_index", JSONValue::number(1)}, {"note", JSONValue::string("a/b")}};
  return request;
}

// Posts one analysis step and returns the error it throws.
HostedAnalysisError failingStep(const ScriptedHttpServer& server) {
  try {
    HostedAnalysisClient(nullptr, server.baseUrl(), "1.0")
        .post<AnalysisStepResponse>(kStepPath, stepRequest(), QString("tok"), 900, 1 << 17);
  } catch (const HostedAnalysisError& error) {
    return error;
  }
  throw std::logic_error("the step did not fail with a HostedAnalysisError");
}

// "elapsed=1.25s" / "after 0.03s" carry a measured duration.
QRegularExpression linePattern(const QString& before, const QString& after) {
  return QRegularExpression("^" + QRegularExpression::escape(before) + R"(\d+\.\d\ds)" + QRegularExpression::escape(after) +
                            "$");
}

}  // namespace

class HostedExchangeTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { prepareHostedTests(); }

  void successfulStepSendsTheEnvelopeAndLogsTwoLines() {
    ScriptedHttpServer server;
    const QByteArray answer = R"({"result":{"b":1,"a":[true]},"metadata":{"run_id":"r-1"},"x":0})";
    server.setDefault(kStepPath.toUtf8(), ScriptedResponse::json(200, answer));
    LogCapture log;
    const AnalysisStepResponse response =
        HostedAnalysisClient(nullptr, server.baseUrl(), "1.0")
            .post<AnalysisStepResponse>(kStepPath, stepRequest(), QString("tok"), 900, 1 << 17);
    QCOMPARE(sortedKeys(response.result), QString("a,b"));
    QCOMPARE(response.metadata->value("run_id"), JSONValue::string("r-1"));

    const RecordedRequest sent = server.requests().value(0);
    QCOMPARE(sent.header("Authorization"), QByteArray("Bearer tok"));
    QCOMPARE(sent.header("Content-Type"), QByteArray("application/json"));
    const AnalysisStepRequest echoed = AnalysisStepRequest::fromJson(QJsonDocument::fromJson(sent.body).object());
    QCOMPARE(echoed.clientRequestID, QString("RUN-1:chunk-1"));
    QCOMPARE(echoed.payload, stepRequest().payload);

    const QStringList lines = log.lines();
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[0], QString("HTTP POST /v1/analysis-step bodyBytes=%1 timeout=900s authed=true").arg(sent.body.size()));
    QVERIFY2(linePattern(QString("HTTP POST /v1/analysis-step status=200 bytes=%1 elapsed=").arg(answer.size()), "")
                 .match(lines[1])
                 .hasMatch(),
             qPrintable(lines[1]));
  }

  void registrationSendsNoTokenAndReadsTheToken() {
    ScriptedHttpServer server;
    server.setDefault("/v1/register", ScriptedResponse::json(201, R"({"auth_token":"t-9","expires_in":60,"extra":{}})"));
    LogCapture log;
    const RegisterResponse response =
        HostedAnalysisClient(nullptr, server.baseUrl(), "1.0")
            .post<RegisterResponse>("/v1/register", RegisterRequest{"macos-X", "1.0"}, std::nullopt, 30, 1 << 16);
    QCOMPARE(response.authToken, QString("t-9"));
    QVERIFY(!server.requests().value(0).hasHeader("Authorization"));
    QVERIFY(log.lines().value(0).endsWith(" timeout=30s authed=false"));
  }

  void failureStatusesCarryTheBackendDiagnostic_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("diagnostic");  // as logged
    QTest::addColumn<QString>("errorBody");
    const QByteArray busy = R"({"detail":{"message":"busy","status_code":429,"diagnostic_id":"d-1","run_id":"r-9"}})";
    const QString busyDiagnostic = "backendRunID=r-9 diagnosticID=d-1 status=429 message=busy";
    QTest::newRow("429 with full detail") << 429 << busy << busyDiagnostic << busyDiagnostic + " " + busy;
    QTest::newRow("500 plain text") << 500 << QByteArray("upstream exploded") << "none" << "upstream exploded";
    QTest::newRow("400 empty detail") << 400 << QByteArray(R"({"detail":{}})") << "" << R"( {"detail":{}})";
    QTest::newRow("502 detail is a string") << 502 << QByteArray(R"({"detail":"bad gateway"})") << "none"
                                           << R"({"detail":"bad gateway"})";
    QTest::newRow("401 is no different") << 401 << QByteArray(R"({"detail":{"message":"nope"}})") << "message=nope"
                                         << R"(message=nope {"detail":{"message":"nope"}})";
    QTest::newRow("body not UTF-8") << 503 << QByteArray("\xff\xfe") << "none" << "";
  }

  void failureStatusesCarryTheBackendDiagnostic() {
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(QString, diagnostic);
    QFETCH(QString, errorBody);
    ScriptedHttpServer server;
    server.setDefault(kStepPath.toUtf8(), ScriptedResponse::json(status, body));
    LogCapture log;
    const HostedAnalysisError error = failingStep(server);
    QCOMPARE(error.kind(), HostedAnalysisError::Kind::httpFailed);
    QCOMPARE(error.status(), status);
    QCOMPARE(error.description(), QString("Hosted analysis HTTP %1: ").arg(status) + errorBody);
    const QString bodyText = body == "\xff\xfe" ? QString() : QString::fromUtf8(body);
    const QString line = log.lines().value(1);
    QVERIFY2(linePattern(QString("HTTP POST /v1/analysis-step status=%1 bytes=%2 elapsed=").arg(status).arg(body.size()),
                         " backendDiagnostic=" + diagnostic + " body=" + bodyText)
                 .match(line)
                 .hasMatch(),
             qPrintable(line));
  }

  void longFailureBodyIsShortenedInTheLogOnly() {
    ScriptedHttpServer server;
    const QString body = QString(5000, QChar(0x00E9));  // 5000 characters, 10000 bytes
    server.setDefault(kStepPath.toUtf8(), ScriptedResponse::text(500, body.toUtf8()));
    LogCapture log;
    const HostedAnalysisError error = failingStep(server);
    QCOMPARE(error.text(), body);
    QVERIFY(log.lines().value(1).endsWith(" body=" + body.left(2000)));
    QVERIFY(!log.lines().value(1).endsWith(body.left(2001)));
  }

  void undecodableSuccessBodyIsAnInvalidResponse_data() {
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("preview");
    QTest::newRow("empty body") << QByteArray() << "";
    QTest::newRow("no result") << QByteArray(R"({"metadata":{}})") << R"({"metadata":{}})";
    QByteArray cut(999, 'a');
    cut += "\xc3\xa9 and more";  // the 1000th byte starts a two-byte character
    QTest::newRow("preview cut inside a character") << cut << "";
    QByteArray clean(1000, 'b');
    clean += "\xc3\xa9";
    QTest::newRow("preview of exactly 1000 bytes") << clean << QString(1000, 'b');
  }

  void undecodableSuccessBodyIsAnInvalidResponse() {
    QFETCH(QByteArray, body);
    QFETCH(QString, preview);
    ScriptedHttpServer server;
    server.setDefault(kStepPath.toUtf8(), ScriptedResponse::json(200, body));
    LogCapture log;
    const HostedAnalysisError error = failingStep(server);
    QCOMPARE(error.kind(), HostedAnalysisError::Kind::invalidResponse);
    QVERIFY2(error.description().startsWith("Hosted analysis returned an invalid response: "), qPrintable(error.description()));
    QVERIFY(error.description().endsWith(" at response " + preview) ||
            error.description().endsWith(" at response.result " + preview));
    const QString line = log.lines().value(1);
    QVERIFY2(line.startsWith(QString("HTTP POST /v1/analysis-step DECODE FAILURE status=200 bytes=%1 elapsed=").arg(body.size())),
             qPrintable(line));
    QVERIFY(line.contains(" decodeError=DecodingError(path: response"));
    QVERIFY(line.endsWith(" bodyPreview=" + preview));
  }

  void refusedConnectionIsATransportFailure() {
    const QString base = refusingBaseUrl();
    LogCapture log;
    try {
      HostedAnalysisClient(nullptr, base, "1.0")
          .post<RegisterResponse>("/v1/register", RegisterRequest{"macos-X", "1.0"}, std::nullopt, 30, 1 << 16);
      QFAIL("expected a transport failure");
    } catch (const TransportError& error) {
      QCOMPARE(error.kind(), TransportError::Kind::cannotConnect);
    }
    const QString line = log.lines().value(1);
    QVERIFY2(linePattern("HTTP POST /v1/register TRANSPORT FAILURE after ",
                         " \u2014 type=TransportError domain=MurmelaCore.TransportError code=1 msg=Could not connect to the "
                         "server. url=" + base + "/v1/register underlying=libcurl/7 Couldn't connect to server")
                 .match(line)
                 .hasMatch(),
             qPrintable(line));
  }

  void unencodableBodyIsNeitherSentNorLogged() {
    ScriptedHttpServer server;
    AnalysisStepRequest request = stepRequest();
    request.payload.insert("bad", JSONValue::number(std::nan("")));
    LogCapture log;
    QVERIFY_THROWS_EXCEPTION(Json::EncodingError,
                             HostedAnalysisClient(nullptr, server.baseUrl(), "1.0")
                                 .post<AnalysisStepResponse>(kStepPath, request, QString("t"), 900, 1 << 17));
    QVERIFY(log.lines().isEmpty());
    QCOMPARE(server.requestCount(), 0);
  }

  void describeNamesTypeDomainCodeAndMessage_data() {
    QTest::addColumn<QString>("which");
    QTest::addColumn<QString>("described");
    QTest::newRow("http failure") << "http"
                                  << "type=HostedAnalysisError domain=MurmelaCore.HostedAnalysisError code=1 "
                                     "msg=Hosted analysis HTTP 500: oops";
    QTest::newRow("privacy not ready") << "privacy"
                                       << "type=HostedAnalysisError domain=MurmelaCore.HostedAnalysisError code=2 "
                                          "msg=Privacy filter is not ready: run setup";
    QTest::newRow("cancellation") << "cancel"
                                  << "type=CancellationError domain=MurmelaCore.CancellationError code=1 "
                                     "msg=The operation was cancelled.";
    QTest::newRow("time-out") << "timeout"
                              << "type=TransportError domain=MurmelaCore.TransportError code=0 msg=The request timed out. "
                                 "url=http://h/v1/x underlying=libcurl/28 Timeout was reached";
    QTest::newRow("foreign exception") << "std" << "type=runtime_error domain=std code=0 msg=boom";
  }

  void describeNamesTypeDomainCodeAndMessage() {
    QFETCH(QString, which);
    QFETCH(QString, described);
    const auto describe = [](const std::exception& error) { return HostedAnalysisClient::describe(error); };
    QString text;
    if (which == "http") text = describe(HostedAnalysisError::httpFailed(500, "oops"));
    if (which == "privacy") text = describe(HostedAnalysisError::privacyFilterUnavailable("run setup"));
    if (which == "cancel") text = describe(CancellationError());
    if (which == "timeout") text = describe(TransportError(TransportError::Kind::timedOut, "http://h/v1/x", 28, "Timeout was reached"));
    if (which == "std") text = describe(std::runtime_error("boom"));
    QCOMPARE(text, described);
  }

  void errorTexts_data() {
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("expected");
    QTest::newRow("invalid") << HostedAnalysisError::invalidResponse("Missing HTTP response").description()
                             << "Hosted analysis returned an invalid response: Missing HTTP response";
    QTest::newRow("http") << HostedAnalysisError::httpFailed(429, "busy").description() << "Hosted analysis HTTP 429: busy";
    QTest::newRow("unavailable") << HostedAnalysisError::privacyFilterUnavailable("x").description()
                                 << "Privacy filter is not ready: x";
    QTest::newRow("anonymization") << HostedAnalysisError::privacyAnonymizationFailed("y").description()
                                   << "Privacy anonymization failed: y";
    QTest::newRow("shown to the user") << HostedAnalysisError::httpFailed(500, "z").userFacingText()
                                       << "[HostedAnalysisError] Hosted analysis HTTP 500: z";
  }

  void errorTexts() {
    QFETCH(QString, description);
    QFETCH(QString, expected);
    QCOMPARE(description, expected);
  }
};

MURMELA_TEST(HostedExchangeTest)
#include "HostedExchangeTest.moc"
