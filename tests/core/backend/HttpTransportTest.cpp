#include "support/BackendTestSupport.h"
#include "common/FileError.h"
#include "common/MurmelaError.h"
#include "hosted/HostedAnalysisClient.h"
#include "net/HttpTransport.h"
#include "net/TransportError.h"
#include "sharelinks/ShareLinkClient.h"
#include "support/ReportSamples.h"
#include "support/ScriptedHttpServer.h"
#include "support/TestEnvironment.h"
#include "support/TestRegistry.h"
#include "usage/AnalyticsClient.h"

#include <QElapsedTimer>
#include <QFile>
#include <QScopeGuard>
#include <QTest>
#include <QThread>

#include <chrono>
#include <limits>
#include <thread>

using namespace murmela;
using namespace murmela::test;

namespace {

HttpRequest post(const QString& baseUrl, const QString& path, double timeout = 10.0) {
  HttpRequest request;
  request.baseUrl = baseUrl;
  request.path = path;
  request.body = R"({"a":1})";
  request.headers.append({QByteArray("Content-Type"), QByteArray("application/json")});
  request.timeoutSeconds = timeout;
  return request;
}

// A line of /proc/self/status in KiB; `resetPeak` first sets VmHWM back to what is resident now.
double residentKiB(const QByteArray& name, bool resetPeak = false) {
  if (QFile clear("/proc/self/clear_refs"); resetPeak && clear.open(QIODevice::WriteOnly)) clear.write("5");
  const QByteArray text = readFileBytes("/proc/self/status");
  return text.mid(text.indexOf(name + ':') + name.size() + 1).trimmed().split(' ').value(0).toDouble();
}

}  // namespace

class HttpTransportTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() {
    prepareHostedTests();
    environment_ = std::make_unique<TestEnvironment>();
  }
  void cleanupTestCase() { environment_.reset(); }

  void joinsBaseAndPathAsStrings_data() {
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("joined");
    QTest::newRow("origin") << "http://h" << "/v1/x" << "http://h/v1/x";
    QTest::newRow("origin with slash") << "http://h/" << "/v1/x" << "http://h/v1/x";
    QTest::newRow("base path kept") << "https://h/api" << "/v1/x" << "https://h/api/v1/x";
    QTest::newRow("relative path") << "https://h/api/" << "v1/x" << "https://h/api/v1/x";
  }

  void joinsBaseAndPathAsStrings() {
    QFETCH(QString, base);
    QFETCH(QString, path);
    QFETCH(QString, joined);
    QCOMPARE(joinUrl(base, path), joined);
  }

  void baseWithPathReachesTheServerUnderThatPath() {
    ScriptedHttpServer server;
    server.setDefault("/api/v1/register", ScriptedResponse::json(200, "{}"));
    const HttpResponse response = HttpTransport::perform(post(server.baseUrl() + "/api", "/v1/register"));
    QCOMPARE(response.status, std::optional<int>(200));
    QCOMPARE(server.requests().value(0).path, QByteArray("/api/v1/register"));
  }

  // Any status is an answer, with its body, although Qt also flags 4xx/5xx as errors.
  void everyStatusIsAnAnswer_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    for (const int status : {200, 201, 204, 400, 401, 403, 404, 409, 429, 500, 502, 503}) {
      const QByteArray body = status == 204 ? QByteArray() : "answer " + QByteArray::number(status);
      QTest::newRow(QByteArray::number(status).constData()) << status << body;
    }
  }

  void everyStatusIsAnAnswer() {
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    ScriptedHttpServer server;
    server.setDefault("/x", ScriptedResponse::text(status, body).withHeader("X-Trace", "t-1").withHeader("Content-Encoding", ""));
    const HttpResponse response = HttpTransport::perform(post(server.baseUrl(), "/x"));
    QCOMPARE(response.status, std::optional<int>(status));
    QCOMPARE(response.body, body);
    QCOMPARE(response.header("x-trace"), QByteArray("t-1"));
    QCOMPARE(response.isSuccess(), status < 300);
    const RecordedRequest recorded = server.requests().value(0);
    QCOMPARE(recorded.method, QByteArray("POST"));
    QCOMPARE(recorded.body, QByteArray(R"({"a":1})"));
    QCOMPARE(recorded.header("Content-Type"), QByteArray("application/json"));
  }

  void chunkedBodyWithoutLengthArrivesWhole() {
    ScriptedHttpServer server;
    ScriptedResponse chunked = ScriptedResponse::json(200, QByteArray(60000, 'x'));
    chunked.chunkedWithoutLength = true;
    chunked.chunkSize = 4096;
    server.setDefault("/x", chunked);
    QCOMPARE(HttpTransport::perform(post(server.baseUrl(), "/x")).body.size(), 60000);
  }

  void failuresWithoutACompleteAnswer_data() {
    QTest::addColumn<QString>("scenario");
    QTest::addColumn<int>("kind");
    QTest::newRow("connection refused") << "refused" << int(TransportError::Kind::cannotConnect);
    // A drop is one failure: a second arrival would be answered 404.
    QTest::newRow("connection dropped") << "dropped" << int(TransportError::Kind::connectionLost);
    QTest::newRow("no answer in time") << "slow" << int(TransportError::Kind::timedOut);
    QTest::newRow("body stalls after the status") << "stalled body" << int(TransportError::Kind::timedOut);
    QTest::newRow("not a URL") << "bad url" << int(TransportError::Kind::badURL);
  }

  void failuresWithoutACompleteAnswer() {
    QFETCH(QString, scenario);
    QFETCH(int, kind);
    ScriptedHttpServer server;
    QString base = server.baseUrl();
    double timeout = 10.0;
    if (scenario == "refused") base = refusingBaseUrl();
    if (scenario == "dropped") {
      server.enqueue("/x", ScriptedResponse::dropped());
    }
    if (scenario == "slow") {
      server.setDefault("/x", ScriptedResponse::json(200, "{}").withDelay(3000));
      timeout = 0.3;
    }
    if (scenario == "stalled body") {
      ScriptedResponse stalled = ScriptedResponse::json(200, QByteArray(64, 'x'));
      stalled.chunkSize = 16;
      stalled.chunkIntervalMs = 3000;
      server.setDefault("/x", stalled);
      timeout = 0.3;
    }
    if (scenario == "bad url") base = "not a url";

    QElapsedTimer clock;
    clock.start();
    try {
      HttpTransport::perform(post(base, "/x", timeout));
      QFAIL("expected a transport failure");
    } catch (const TransportError& error) {
      QCOMPARE(int(error.kind()), kind);
      if (scenario != "bad url") QCOMPARE(error.failingUrl(), base + "/x");
    }
    QVERIFY2(clock.elapsed() < 2500, "a time-out must not wait for the server");
  }

  // A backend whose connections on one path close right after the request is
  // read: each attempt a client makes reaches the wire once, never resent below it.
  void eachAttemptGoesOnTheWireOnce_data() {
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QByteArray>("dropped");
    QTest::addColumn<int>("sent");  // the client's own attempts
    QTest::newRow("share create") << "create" << QByteArray("/v1/shares") << 2;
    QTest::newRow("share revoke") << "revoke" << QByteArray("/v1/shares/s1/revoke") << 2;
    QTest::newRow("share registration") << "create" << QByteArray("/v1/register") << 1;
    QTest::newRow("run registration") << "analyze" << QByteArray("/v1/register") << 1;
    QTest::newRow("analysis step") << "analyze" << QByteArray("/v1/analysis-step") << 1;
    QTest::newRow("usage registration") << "event" << QByteArray("/v1/register") << 1;
    QTest::newRow("usage event") << "event" << QByteArray("/v1/events/choice") << 1;
  }
  void eachAttemptGoesOnTheWireOnce() {
    QFETCH(QString, operation);
    QFETCH(QByteArray, dropped);
    QFETCH(int, sent);
    ScriptedHttpServer server;
    server.setDefault("/v1/register", ScriptedResponse::json(200, R"({"auth_token":"t"})"));
    server.setDefault(dropped, ScriptedResponse::dropped());
    ShareLinkCacheStore cache;
    try {
      if (operation == "create") ShareLinkClient(server.baseUrl(), "1.0", cache).createShareLink(fullReport(), {});
      if (operation == "revoke") ShareLinkClient(server.baseUrl(), "1.0", cache).revokeShareLink("s1");
      if (operation == "analyze")
        HostedAnalysisClient(nullptr, server.baseUrl(), "1.0")  // a cloud run anonymizes nothing
            .analyze(ImportedChat{}, fullReport(), HostedAnalysisWorkflow::fullClaude,
                     [](const ProcessingProgress&) {});
      if (operation == "event") AnalyticsClient(server.baseUrl(), "1.0").trackModeChosen(IntelligenceChoice::cloud);
    } catch (const std::exception&) {  // how each client fails is tested with the client
    }
    const QList<RecordedRequest> arrivals = server.requests(dropped);
    QCOMPARE(arrivals.size(), sent);
    if (sent == 2) QVERIFY(arrivals[1].arrivedAt - arrivals[0].arrivedAt >= std::chrono::milliseconds(650));
  }

  // A redirect is the answer: the call fails as for any other status, once on
  // the wire, and nothing reaches the host that the answer names.
  void redirectsAreAnswers_data() {
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<int>("status");  // negative: to the same address
    for (const QByteArray path : {"/v1/shares", "/v1/shares/s1/revoke", "/v1/register", "/v1/analysis-step"})
      for (const int status : {301, 302, 303, 307, 308, -307}) QTest::addRow("%s %d", path.data(), status) << path << status;
  }
  void redirectsAreAnswers() {
    QFETCH(QByteArray, path);
    QFETCH(int, status);
    ScriptedHttpServer server;
    ScriptedHttpServer other;
    server.setDefault("/v1/register", ScriptedResponse::json(200, R"({"auth_token":"t"})"));
    server.setDefault(path, ScriptedResponse::text(std::abs(status), "moved").withHeader(
                                "Location", (status < 0 ? server.url(path) : other.url(path)).toEncoded()));
    ShareLinkCacheStore cache;
    const ShareLinkClient shares(server.baseUrl(), "1.0", cache);
    QString error;
    try {
      if (path == "/v1/shares") shares.createShareLink(fullReport(), {});
      if (path.endsWith("/revoke")) shares.revokeShareLink("s1");
      if (!path.startsWith("/v1/shares"))
        HostedAnalysisClient(nullptr, server.baseUrl(), "1.0")
            .analyze(ImportedChat{}, fullReport(), HostedAnalysisWorkflow::fullClaude, [](const ProcessingProgress&) {});
    } catch (const MurmelaError& thrown) {
      error = '[' + thrown.typeName() + "] " + thrown.description();
    }
    const QString kind = path.startsWith("/v1/shares") ? "[ShareLinkError] Share link" : "[HostedAnalysisError] Hosted analysis";
    QCOMPARE(error, kind + QString(" HTTP %1: moved").arg(std::abs(status)));
    QCOMPARE(server.requests(path).size(), 1);
    QCOMPARE(other.requestCount(), 0);
    QCOMPARE(server.requests(path).value(0).header("User-Agent"), "Murmela/" + applicationVersion().toUtf8());
  }

  // An answer past the bound, counted after decoding, fails as a bad answer
  // while the process stays near the bound; so does one in an encoding that
  // was not offered (only gzip and deflate are).
  void oversizedAnswersFail_data() {
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<qint64>("copies");
    QTest::addColumn<QByteArray>("encoding");
    QTest::newRow("deflated to 24 MiB") << qCompress(QByteArray(24 << 20, 'a')).mid(4) << qint64(1) << QByteArray("deflate");
    QTest::newRow("endless") << QByteArray(1 << 18, 'a') << std::numeric_limits<qint64>::max() << QByteArray("identity");
    QTest::newRow("zstd, not offered") << QByteArray(1 << 10, 'a') << qint64(1) << QByteArray("zstd");
  }
  void oversizedAnswersFail() {
    QFETCH(QByteArray, body);
    QFETCH(qint64, copies);
    QFETCH(QByteArray, encoding);
    ScriptedHttpServer server;
    ScriptedResponse answer = ScriptedResponse::text(200, body).withHeader("Content-Encoding", encoding);
    answer.chunkedWithoutLength = true;
    answer.repeatBody = copies;
    server.setDefault("/x", answer);
    HttpRequest request = post(server.baseUrl(), "/x");
    request.maxAnswerBytes = 8 << 20;
    [[maybe_unused]] const double before = residentKiB("VmRSS", true);  // unread under AddressSanitizer
    QVERIFY_THROWS_EXCEPTION(TransportError, try { HttpTransport::perform(request); } catch (const TransportError& error) {
      if (error.isUnreadableAnswer() && error.kind() == TransportError::Kind::badServerResponse) throw;
    });
    QCOMPARE(server.requests("/x").value(0).header("Accept-Encoding"), QByteArray("gzip, deflate"));
#ifndef __SANITIZE_ADDRESS__  // its quarantine keeps freed buffers resident
    QVERIFY(before > 0 && residentKiB("VmHWM") - before < (8 + 6) << 10);
#endif
  }

  // The proxy is the one the environment names; this machine is reached directly.
  void theEnvironmentProxyCarriesTheRequest() {
    ScriptedHttpServer proxy;
    proxy.setFallback([](const RecordedRequest&) { return ScriptedResponse::text(200, "via proxy"); });
    ScriptedHttpServer local;
    local.setDefault("/x", ScriptedResponse::text(200, "direct"));
    const QByteArray noProxy = qgetenv("no_proxy"), noProxyUpper = qgetenv("NO_PROXY");
    qputenv("http_proxy", "http://127.0.0.1:" + QByteArray::number(proxy.port()));
    qunsetenv("no_proxy");
    qunsetenv("NO_PROXY");
    const auto restore = qScopeGuard([&] {
      qunsetenv("http_proxy");
      qputenv("no_proxy", noProxy);
      qputenv("NO_PROXY", noProxyUpper);
    });
    QCOMPARE(HttpTransport::perform(post("http://murmela.invalid", "/x")).body, QByteArray("via proxy"));
    QCOMPARE(proxy.requests().value(0).target, QByteArray("http://murmela.invalid/x"));
    QCOMPARE(HttpTransport::perform(post(local.baseUrl(), "/x")).body, QByteArray("direct"));
  }

  void stopDuringTheRequestIsCancellationNotTimeout() {
    ScriptedHttpServer server;
    server.setDefault("/x", ScriptedResponse::json(200, "{}").withDelay(5000));
    std::stop_source source;
    std::thread stopper([&source] {
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
      source.request_stop();
    });
    QElapsedTimer clock;
    clock.start();
    bool cancelled = false;
    try {
      HttpTransport::perform(post(server.baseUrl(), "/x", 30.0), source.get_token());
    } catch (const CancellationError&) {
      cancelled = true;
    }
    stopper.join();
    QVERIFY(cancelled);
    QVERIFY(clock.elapsed() < 3000);
    QCOMPARE(server.requestCount(), 1);
  }

  void stopBeforeTheCallSendsNothing() {
    ScriptedHttpServer server;
    std::stop_source source;
    source.request_stop();
    QVERIFY_THROWS_EXCEPTION(CancellationError, HttpTransport::perform(post(server.baseUrl(), "/x"), source.get_token()));
    QTest::qWait(100);
    QCOMPARE(server.requestCount(), 0);
  }

  // The hosted run calls it on a worker thread that runs no event loop of its own.
  void worksOnAWorkerThreadWithoutAnEventLoop() {
    ScriptedHttpServer server;
    server.setDefault("/x", ScriptedResponse::json(201, R"({"ok":true})"));
    std::optional<int> status;
    std::unique_ptr<QThread> worker(QThread::create([&] { status = HttpTransport::perform(post(server.baseUrl(), "/x")).status; }));
    worker->start();
    QVERIFY(worker->wait(10000));
    QCOMPARE(status, std::optional<int>(201));
  }

 private:
  std::unique_ptr<TestEnvironment> environment_;
};

MURMELA_TEST(HttpTransportTest)
#include "HttpTransportTest.moc"
