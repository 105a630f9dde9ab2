// The share-link client against the development backend, mounted on a
// scripted server: what the backend answers is what the client expects.
#include "DevBackend.h"
#include "ShareTestSupport.h"
#include "sharelinks/ShareContentHash.h"
#include "sharelinks/ShareLinkClient.h"
#include "sharelinks/ShareLinkError.h"
#include "support/DevBackendMount.h"
#include "support/ReportSamples.h"
#include "support/ScriptedHttpServer.h"
#include "support/TestEnvironment.h"
#include "support/TestRegistry.h"

#include <QTest>

#include <memory>

using namespace murmela;
using namespace murmela::test;

namespace {

QString failureOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const ShareLinkError& error) {
    return error.userFacingMessage();
  }
  return {};
}

}  // namespace

class ShareDevBackendTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() {
    prepareNetworkTests();
    environment_ = std::make_unique<TestEnvironment>();
  }
  void cleanupTestCase() { environment_.reset(); }

  void linksAreCreatedReusedLimitedAndRevoked() {
    ScriptedHttpServer server;
    devbackend::DevBackend::Options options;
    options.publicBaseUrl = server.baseUrl();
    options.dailyShareLimit = 2;
    options.clock = [] { return kNow; };
    devbackend::DevBackend backend(options);
    mountDevBackend(server, backend);
    ShareLinkCacheStore store([] { return kNow; });
    const ShareLinkClient client(server.baseUrl(), "1.0", store);
    const WrappedReport report = test::fullReport();

    const ShareLinkGenerationResult first = client.createShareLink(report, QString("+15550001111"));
    QVERIFY(!first.fromLocalCache);
    QCOMPARE(first.link.shareURL.toString(), server.baseUrl() + "/s/" + first.link.shareID);
    QCOMPARE(first.link.contentHash, shareContentHash(report));  // so the cache can find it again
    QCOMPARE(first.link.expiresAt, kNow.addingSeconds(30 * 86400.0));

    const qsizetype sent = server.requestCount();
    const ShareLinkGenerationResult again = client.createShareLink(report, QString("+15550001111"));
    QVERIFY(again.fromLocalCache);
    QCOMPARE(again.link, first.link);
    QCOMPARE(server.requestCount(), sent);

    const ShareLinkGenerationResult anonymous = client.createShareLink(report, std::nullopt);
    QVERIFY(anonymous.link.shareID != first.link.shareID);
    QCOMPARE(store.activeShares().size(), 2);
    QCOMPARE(store.activeShares().at(1).contactHandle, "report:" + shareContentHash(report));

    QCOMPARE(failureOf([&] { client.createShareLink(report, QString("+15559999999")); }),
             "You've created a lot of shares today. Try again tomorrow. Daily limit: 2.");

    client.revokeShareLink(first.link.shareID);
    QCOMPARE(store.activeShares().size(), 1);
    QCOMPARE(store.activeShares().first().shareID, anonymous.link.shareID);

    const QString unknown = failureOf([&] { client.revokeShareLink("a/b"); });
    QVERIFY2(unknown.startsWith("Share link HTTP 404: {") && unknown.contains(R"(No share \"a/b\" for this install)"),
             qPrintable(unknown));
    QCOMPARE(backend.registrationCount(), 5);  // one per call that reached the backend
  }

 private:
  std::unique_ptr<TestEnvironment> environment_;
};

MURMELA_TEST(ShareDevBackendTest)
#include "ShareDevBackendTest.moc"
