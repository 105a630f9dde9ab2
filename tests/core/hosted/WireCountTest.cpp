#include "HostedTestSupport.h"
#include "hosted/AnalyticsClient.h"
#include "hosted/HostedAnalysisClient.h"
#include "share/ShareLinkCacheStore.h"
#include "share/ShareLinkClient.h"
#include "support/ReportSamples.h"
#include "support/ScriptedHttpServer.h"
#include "support/TestEnvironment.h"
#include "support/TestRegistry.h"

#include <QTest>

#include <memory>

using namespace murmela;
using namespace murmela::test;
using namespace std::chrono_literals;

// A backend whose connections on one path close right after the request is
// read: every attempt a client makes must reach the wire exactly once, and
// nothing below the client may send it again.
class WireCountTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() {
    prepareHostedTests();
    environment_ = std::make_unique<TestEnvironment>();
  }
  void cleanupTestCase() { environment_.reset(); }

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
        HostedAnalysisClient(server.baseUrl(), "1.0")
            .analyze(ImportedChat{}, fullReport(), HostedAnalysisWorkflow::fullClaude, [](const ProcessingProgress&) {});
      if (operation == "event") AnalyticsClient(server.baseUrl(), "1.0").trackModeChosen(IntelligenceChoice::cloud);
    } catch (const std::exception&) {
      // The failure itself is each client's own concern, tested with it.
    }
    const QList<RecordedRequest> arrivals = server.requests(dropped);
    QCOMPARE(arrivals.size(), sent);
    if (sent == 2) QVERIFY(arrivals[1].arrivedAt - arrivals[0].arrivedAt >= 650ms);
  }

 private:
  std::unique_ptr<TestEnvironment> environment_;
};

MURMELA_TEST(WireCountTest)
#include "WireCountTest.moc"
