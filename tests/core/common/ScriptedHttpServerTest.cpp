#include "support/ScriptedHttpServer.h"
#include "support/TestRegistry.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTest>

using namespace murmela::test;

namespace {

struct Answer {
  int status = 0;
  QNetworkReply::NetworkError error = QNetworkReply::NoError;
  QByteArray body;
};

Answer send(QNetworkAccessManager& manager, const QUrl& url, const QByteArray& postBody = {}) {
  QNetworkRequest request(url);
  request.setHeader(QNetworkRequest::ContentTypeHeader, "application/json");
  QNetworkReply* reply = postBody.isNull() ? manager.get(request) : manager.post(request, postBody);
  QEventLoop loop;
  QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
  loop.exec();
  Answer answer{reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), reply->error(), reply->readAll()};
  reply->deleteLater();
  return answer;
}

}  // namespace

// The stand-in server is what every network test relies on; these checks pin
// the behaviours those tests assume.
class ScriptedHttpServerTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy); }

  void queuedThenDefaultThenFallback() {
    ScriptedHttpServer server;
    QNetworkAccessManager manager;
    server.enqueue("/v1/x", ScriptedResponse::json(201, R"({"a":1})"));
    server.setDefault("/v1/x", ScriptedResponse::text(500, "later"));
    const Answer first = send(manager, server.url("/v1/x"), "{\"q\":2}");
    QCOMPARE(first.status, 201);
    QCOMPARE(first.body, QByteArray(R"({"a":1})"));
    const Answer second = send(manager, server.url("/v1/x"), "{}");
    QCOMPARE(second.status, 500);
    QCOMPARE(second.error, QNetworkReply::InternalServerError);
    QCOMPARE(second.body, QByteArray("later"));
    QCOMPARE(send(manager, server.url("/elsewhere?x=1")).status, 404);

    const QList<RecordedRequest> recorded = server.requests();
    QCOMPARE(recorded.size(), 3);
    QCOMPARE(recorded[0].method, QByteArray("POST"));
    QCOMPARE(recorded[0].body, QByteArray("{\"q\":2}"));
    QCOMPARE(recorded[0].header("content-type"), QByteArray("application/json"));
    QCOMPARE(recorded[2].path, QByteArray("/elsewhere"));
    QCOMPARE(recorded[2].target, QByteArray("/elsewhere?x=1"));
  }

  void handlersSeeTheRequest() {
    ScriptedHttpServer server;
    QNetworkAccessManager manager;
    server.setHandler("/echo", [](const RecordedRequest& request) { return ScriptedResponse::text(200, request.body); });
    QCOMPARE(send(manager, server.url("/echo"), "hello").body, QByteArray("hello"));
  }

  void chunkedAndLengthlessBodiesArriveWhole() {
    ScriptedHttpServer server;
    QNetworkAccessManager manager;
    const QByteArray body(100000, 'z');
    ScriptedResponse chunked = ScriptedResponse::text(200, body);
    chunked.chunkedWithoutLength = true;
    chunked.chunkSize = 8192;
    chunked.chunkIntervalMs = 1;
    server.enqueue("/file", chunked);
    ScriptedResponse lengthless = ScriptedResponse::text(200, body);
    lengthless.omitContentLength = true;
    server.enqueue("/file", lengthless);
    QCOMPARE(send(manager, server.url("/file")).body, body);
    QCOMPARE(send(manager, server.url("/file")).body, body);
  }

  void oneDropIsRetriedTwoFail() {
    // The network stack resends a request once when the connection drops
    // before any answer byte; two drops in a row make one failure.
    ScriptedHttpServer server;
    QNetworkAccessManager manager;
    server.enqueue("/flaky", ScriptedResponse::dropped());
    server.enqueue("/flaky", ScriptedResponse::text(200, "ok"));
    QCOMPARE(send(manager, server.url("/flaky"), "{}").body, QByteArray("ok"));
    server.enqueue("/down", ScriptedResponse::dropped());
    server.enqueue("/down", ScriptedResponse::dropped());
    const Answer failed = send(manager, server.url("/down"), "{}");
    QCOMPARE(failed.status, 0);
    QVERIFY(failed.error != QNetworkReply::NoError);
  }

  void delayedAnswerAndWaiting() {
    ScriptedHttpServer server;
    QNetworkAccessManager manager;
    server.enqueue("/slow", ScriptedResponse::text(200, "late").withDelay(150));
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(send(manager, server.url("/slow")).body, QByteArray("late"));
    QVERIFY(timer.elapsed() >= 140);
    QVERIFY(server.waitForRequestCount(1, 10));
    QVERIFY(!server.waitForRequestCount(2, 10));
  }
};

MURMELA_TEST(ScriptedHttpServerTest)
#include "ScriptedHttpServerTest.moc"
