#include "net/HttpTransport.h"
#include "shell/SystemProxies.h"
#include "support/ScriptedHttpServer.h"
#include "support/TestRegistry.h"

#include <QNetworkProxy>
#include <QScopeGuard>
#include <QTest>
#include <QUrl>

using namespace murmela;
using namespace murmela::test;

class SystemProxiesTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy); }
  void cleanup() {
    setProxyLookup({});
    QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
  }

  void routeOfEachKind_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QByteArray>("address");
    QTest::newRow("http") << int(QNetworkProxy::HttpProxy) << QByteArray("http://proxy.example:3128");
    QTest::newRow("socks 5, names resolved by the proxy")
        << int(QNetworkProxy::Socks5Proxy) << QByteArray("socks5h://proxy.example:3128");
    QTest::newRow("none: a direct connection") << int(QNetworkProxy::NoProxy) << QByteArray();
  }
  void routeOfEachKind() {
    QFETCH(int, type);
    QFETCH(QByteArray, address);
    QNetworkProxy::setApplicationProxy(
        QNetworkProxy(QNetworkProxy::ProxyType(type), QStringLiteral("proxy.example"), 3128, QStringLiteral("me"),
                      QStringLiteral("secret")));
    const std::optional<ProxyRoute> route = systemProxyLookup()(QUrl(QStringLiteral("https://backend.example/v1")));
    QVERIFY(route);
    QCOMPARE(route->address, address);
  }

  // The desktop's proxy carries the backend's requests once the lookup is installed.
  void theDesktopProxyCarriesTheRequest() {
    ScriptedHttpServer proxy;
    proxy.setFallback([](const RecordedRequest&) { return ScriptedResponse::text(200, "via proxy"); });
    QNetworkProxy::setApplicationProxy(
        QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), proxy.port()));
    setProxyLookup(systemProxyLookup());
    HttpRequest request = jsonPost(QStringLiteral("http://murmela.invalid"), QStringLiteral("/x"), "{}", {}, 10.0);
    QCOMPARE(HttpTransport::perform(request).body, QByteArray("via proxy"));
    QCOMPARE(proxy.requests().value(0).target, QByteArray("http://murmela.invalid/x"));
  }
};

MURMELA_TEST(SystemProxiesTest)
#include "SystemProxiesTest.moc"
