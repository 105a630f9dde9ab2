#include "support/BackendTestSupport.h"
#include "backend/HttpTransport.h"
#include "backend/TransportError.h"
#include "common/MurmelaError.h"
#include "support/ScriptedHttpServer.h"
#include "support/TestRegistry.h"

#include <QElapsedTimer>
#include <QTest>
#include <QThread>

#include <chrono>
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

}  // namespace

class HttpTransportTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { prepareHostedTests(); }

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
    server.setDefault("/x", ScriptedResponse::text(status, body).withHeader("X-Trace", "t-1"));
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
    ScriptedResponse chunked = ScriptedResponse::json(200, QByteArray(70000, 'x'));
    chunked.chunkedWithoutLength = true;
    chunked.chunkSize = 4096;
    server.setDefault("/x", chunked);
    QCOMPARE(HttpTransport::perform(post(server.baseUrl(), "/x")).body.size(), 70000);
  }

  void failuresWithoutACompleteAnswer_data() {
    QTest::addColumn<QString>("scenario");
    QTest::addColumn<int>("kind");
    QTest::newRow("connection refused") << "refused" << int(TransportError::Kind::cannotConnect);
    // The network layer resends a POST once after a drop: two drops are one failure.
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
};

MURMELA_TEST(HttpTransportTest)
#include "HttpTransportTest.moc"
