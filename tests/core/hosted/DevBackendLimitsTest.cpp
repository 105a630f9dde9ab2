#include "DevBackend.h"
#include "DevHttpServer.h"
#include "backend/BackendWireRecords.h"
#include "json/JsonCodec.h"
#include "data/ReportJson.h"
#include "support/BackendTestSupport.h"
#include "support/ReportSamples.h"
#include "support/TestRegistry.h"

#include <QTcpSocket>
#include <QTest>

#include <memory>

using namespace murmela;
using namespace murmela::devbackend;
using namespace murmela::test;

namespace {

DevRequest post(const QByteArray& path, const QByteArray& body, const QString& token) {
  return {"POST", path, {{"Content-Type", "application/json"}, {"Authorization", "Bearer " + token.toUtf8()}}, body};
}

QString registerWith(DevBackend& backend) {
  const QByteArray body =
      Json::write(RegisterRequest{"macos-11111111-2222-3333-4444-555555555555", "1.0"}.toJson(), Json::Layout::Compact);
  const DevResponse answer = backend.handle({"POST", "/v1/register", {{"Content-Type", "application/json"}}, body});
  return RegisterResponse::fromJson(Json::parseObject(answer.body, "response")).authToken;
}

// One analysis step around a payload written as JSON text.
QByteArray stepBody(const char* step, const QByteArray& payload) {
  return R"({"schema_version":1,"client_request_id":"R:x","workflow":"full_claude","step":")" + QByteArray(step) +
         R"(","app_version":"1","participants":{"me":"A","them":"B"},"payload":)" + payload + "}";
}

BackendErrorDetail errorDetail(const DevResponse& answer) {
  return BackendErrorEnvelope::fromJson(Json::parseObject(answer.body, "error")).detail;
}

// A client socket on the test's own thread, read as the server answers.
struct Client {
  std::unique_ptr<QTcpSocket> socket = std::make_unique<QTcpSocket>();
  QByteArray received;

  explicit Client(quint16 port) {
    QObject::connect(socket.get(), &QTcpSocket::readyRead, [this] { received += socket->readAll(); });
    socket->connectToHost(QHostAddress::LocalHost, port);
  }
  bool closed() const { return socket->state() == QAbstractSocket::UnconnectedState; }
};

}  // namespace

class DevBackendLimitsTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { prepareHostedTests(); }

  // Counts that overflow and indexes no conversation holds are refused as
  // requests, not cast or summed into a crash.
  void impossibleNumbersAreRefused_data() {
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("message");
    const auto chunks = [](const QByteArray& result) {
      return stepBody("synthesize", R"({"chunk_results":[)" + result + "," + result + "]}");
    };
    QTest::newRow("signals past the largest double")
        << chunks(R"({"relationshipSignals":{"romantic":1e308}})") << "add up to more than a number holds";
    QTest::newRow("tone past the largest double")
        << chunks(R"({"tone":{"positive":1e308,"negative":1e308}})") << "add up to more than a number holds";
    QTest::newRow("conflict index 1e300")
        << chunks(R"({"conflictCandidates":[{"startMessageIndex":1e300,"endMessageIndex":2}]})")
        << "conflictCandidates.startMessageIndex";
    QTest::newRow("phrase index 1e300") << chunks(
                                               R"({"phraseCandidates":[{"phrase":"a b","messageIndexes":[1,1e300]}]})")
                                        << "phraseCandidates.messageIndexes";
    QTest::newRow("fractional last index") << chunks(R"({"lastMessageIndex":2.5})") << "lastMessageIndex";
    const QByteArray insights =
        R"({"messages":[{"index":1,"sender":"A","timestamp":"2024-01-01T00:00:00Z","text":"hi","has_photo":false}],)"
        R"("synthesis":{},"client_metrics":%1})";
    QTest::newRow("heatmap count 1e300") << stepBody("insight_copy",
                                                     QByteArray(insights).replace(
                                                         "%1", R"({"heatmapPeak":{"messageCount":1e300}})"))
                                         << "heatmapPeak.messageCount";
    QTest::newRow("peak year 1e300") << stepBody("insight_copy",
                                                 QByteArray(insights).replace("%1", R"({"peakYear":1e300})"))
                                     << "peakYear";
    QTest::newRow("reply year 1e19") << stepBody("insight_copy",
                                                 QByteArray(insights).replace(
                                                     "%1", R"({"responseTimeByYear":[{"year":1e19,"them":5}]})"))
                                     << "responseTimeByYear.year";
  }
  void impossibleNumbersAreRefused() {
    QFETCH(QByteArray, body);
    QFETCH(QString, message);
    DevBackend backend;
    const DevResponse answer = backend.handle(post("/v1/analysis-step", body, registerWith(backend)));
    QCOMPARE(answer.status, 400);
    const BackendErrorDetail detail = errorDetail(answer);
    QVERIFY2(detail.message && detail.message->contains(message), qPrintable(detail.message.value_or("<none>")));
  }

  void anyHandlerFailureIsAnsweredInTheErrorForm() {
    DevBackend::Options options;
    options.onRequest = [](const DevRequest& request) {
      if (request.path == "/v1/events/choice") throw Json::EncodingError(QStringLiteral("$.result.sum"));
      if (request.path == "/v1/events/app_installed") throw std::runtime_error("disk full");
    };
    DevBackend backend(options);
    for (const QByteArray& path : {QByteArray("/v1/events/choice"), QByteArray("/v1/events/app_installed")}) {
      const DevResponse answer = backend.handle(post(path, "{}", "any"));
      QCOMPARE(answer.status, 500);
      const BackendErrorDetail detail = errorDetail(answer);
      QCOMPARE(detail.statusCode, std::optional<qint64>(500));
      QVERIFY(detail.diagnosticID);
      QVERIFY2(detail.message && detail.message->startsWith("Internal error"), qPrintable(detail.message.value_or("")));
    }
    // And it keeps serving.
    QVERIFY(!registerWith(backend).isEmpty());
  }

  // The share_url the backend hands out opens a page that names the share.
  void shareLinkOpensAPage() {
    DevBackend::Options options;
    options.publicBaseUrl = QStringLiteral("http://dev.test");
    options.clock = [] { return Date::fromUnix(1717243200); };  // 2024-06-01T12:00:00Z
    DevBackend backend(options);
    const QString token = registerWith(backend);
    const QString contact = QStringLiteral("<Sam & \"Jo\" O'Neil>");
    const QJsonObject share{{"report", ReportJson::toJson(test::fullReport())},
                            {"contact_display", contact},
                            {"relationship_type", "casual"}};
    const DevResponse created = backend.handle(post("/v1/shares", Json::write(share, Json::Layout::Compact), token));
    QCOMPARE(created.status, 201);
    const Json::ObjectReader link(Json::parseObject(created.body, "share"), "share");
    const QString id = link.string("share_id");
    const QByteArray pagePath = link.string("share_url").mid(QStringLiteral("http://dev.test").size()).toUtf8();
    QCOMPARE(pagePath, "/s/" + id.toUtf8());

    const DevResponse page = backend.handle({"GET", pagePath, {}, {}});
    QCOMPARE(page.status, 200);
    QCOMPARE(page.contentType, QByteArray("text/html; charset=utf-8"));
    const QString html = QString::fromUtf8(page.body);
    QVERIFY2(html.contains("&lt;Sam &amp; &quot;Jo&quot; O&#39;Neil&gt;"), qPrintable(html));
    QVERIFY(!html.contains(contact));
    QVERIFY(html.contains(id));
    QVERIFY(html.contains(link.string("expires_at")));

    QCOMPARE(backend.handle({"POST", pagePath, {}, {}}).status, 405);
    QCOMPARE(backend.handle({"GET", "/s/s000000000000", {}, {}}).status, 404);
    QCOMPARE(backend.handle(post("/v1/shares/" + id.toUtf8() + "/revoke", "{}", token)).status, 200);
    const DevResponse gone = backend.handle({"GET", pagePath, {}, {}});
    QCOMPARE(gone.status, 410);
    QVERIFY(!QString::fromUtf8(gone.body).contains("Sam"));
  }

  // One connection against a front with short limits: silence ends it (with
  // a 408 once a request was under way), and a body beyond the limit is
  // refused before it is read.
  void guardedConnections_data() {
    QTest::addColumn<int>("idleTimeoutMs");
    QTest::addColumn<qint64>("maxBodyBytes");
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<QByteArray>("answer");  // how the answer begins; empty: none
    const qint64 roomy = DevHttpServer::Limits{}.maxBodyBytes;
    QTest::newRow("nothing sent") << 50 << roomy << QByteArray() << QByteArray();
    QTest::newRow("half a request") << 50 << roomy << QByteArray("POST /v1/register HTTP/1.1\r\nContent-")
                                    << QByteArray("HTTP/1.1 408");
    QTest::newRow("body cut short") << 50 << roomy
                                    << QByteArray("POST /v1/register HTTP/1.1\r\nContent-Length: 10\r\n\r\n{}")
                                    << QByteArray("HTTP/1.1 408");
    QTest::newRow("body beyond the limit")
        << 30'000 << qint64(1000)
        << QByteArray("POST /v1/register HTTP/1.1\r\nContent-Type: application/json\r\nContent-Length: 1001\r\n\r\n")
        << QByteArray("HTTP/1.1 413");
  }
  void guardedConnections() {
    QFETCH(int, idleTimeoutMs);
    QFETCH(qint64, maxBodyBytes);
    QFETCH(QByteArray, sent);
    QFETCH(QByteArray, answer);
    DevBackend backend;
    DevHttpServer::Limits limits;
    limits.idleTimeoutMs = idleTimeoutMs;
    limits.maxBodyBytes = maxBodyBytes;
    DevHttpServer server(backend, limits);
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    Client client(server.port());
    QTRY_COMPARE(client.socket->state(), QAbstractSocket::ConnectedState);
    if (!sent.isEmpty()) client.socket->write(sent);
    QTRY_VERIFY(client.closed());
    QVERIFY2(client.received.startsWith(answer), client.received.constData());
    if (answer.isEmpty()) QVERIFY(client.received.isEmpty());
    QCOMPARE(backend.registrationCount(), 0);
    QTRY_COMPARE(server.openConnections(), 0);
  }

  void connectionsBeyondTheLimitAreTurnedAway() {
    DevBackend backend;
    DevHttpServer::Limits limits;
    limits.maxConnections = 2;
    DevHttpServer server(backend, limits);
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    Client first(server.port());
    Client second(server.port());
    QTRY_COMPARE(server.openConnections(), 2);
    Client third(server.port());
    QTRY_VERIFY(third.closed());
    QVERIFY2(third.received.startsWith("HTTP/1.1 503"), third.received.constData());
    QVERIFY(!first.closed() && !second.closed());
    // Once one goes, a new one is served again.
    first.socket->abort();
    QTRY_COMPARE(server.openConnections(), 1);
    Client fourth(server.port());
    QTRY_COMPARE(fourth.socket->state(), QAbstractSocket::ConnectedState);
    fourth.socket->write("GET /s/none HTTP/1.1\r\n\r\n");
    QTRY_VERIFY(fourth.received.startsWith("HTTP/1.1 404"));
  }
};

MURMELA_TEST(DevBackendLimitsTest)
#include "DevBackendLimitsTest.moc"
