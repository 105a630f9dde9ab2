// One analysis the way the application runs it: a Messages database named
// at launch, the real reader and on-device pipeline, the hosted client on the
// development backend, to a saved report listed first among the past reports.
#include "DevBackend.h"
#include "app/AppCoordinator.h"
#include "data/MessagesDatabaseReader.h"
#include "data/ReportJson.h"
#include "hosted/HostedAnalysisClient.h"
#include "privacy/anonymization/PrivacyScriptAnonymizer.h"
#include "sharelinks/ShareLinkClient.h"
#include "support/DevBackendMount.h"
#include "support/FakeNeighbours.h"
#include "support/ReportSamples.h"
#include "support/SampleChat.h"
#include "support/ScriptedHttpServer.h"
#include "support/TestRegistry.h"

#include <QNetworkProxy>
#include <QTest>

#include <memory>

using namespace murmela;
using namespace murmela::test;

namespace {

constexpr qsizetype kMessageCount = 1500;
constexpr int kRunTimeoutMs = 120000;

}  // namespace

class CoordinatorEndToEndTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() {
    prepareAppTests();
    QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
  }

  void conversationToSavedReport() {
    CoordinatorHarness harness;
    SampleChatOptions options;
    options.messageCount = kMessageCount;
    const SampleChat sample = makeSampleChat(options);
    const QString database = harness.environment.path(QStringLiteral("chat.db"));
    writeSampleChatDatabase(sample, database);
    const qint64 attachments = MessagesDatabaseReader(database).countAttachments(sample.handle);

    devbackend::DevBackend backend;
    ScriptedHttpServer server;
    mountDevBackend(server, backend);

    FakeNeighbours& fakes = harness.fakes;
    CoordinatorServices services =
        makeProductionServices({QStringLiteral("murmela"), QStringLiteral("-messagesDB"), database});
    const QString baseUrl = server.baseUrl();
    services.hostedAnalysis =
        [baseUrl](const ImportedChat& chat, const WrappedReport& report, HostedAnalysisWorkflow workflow,
                  const std::function<void(const ProcessingProgress&)>& progress, std::stop_token stop) {
          return HostedAnalysisClient(std::make_shared<PrivacyScriptAnonymizer>(), baseUrl, QStringLiteral("1.0"))
              .analyze(chat, report, workflow, progress, stop);
        };
    services.analytics = fakes.analytics;
    services.privacySetup = fakes.setup;
    services.detectHybridCapability = [] { return HybridPrivacyCapability::requiresAppleSilicon(); };
    services.activeShares = [] { return QList<ShareCacheEntry>(); };
    QVERIFY(services.skipsPermissionGate);
    AppCoordinator coordinator(std::move(services));

    coordinator.bootIfNeeded();
    QCOMPARE(screenName(coordinator), QStringLiteral("welcome"));
    coordinator.setHasAcceptedTerms(true);
    coordinator.getStarted();
    coordinator.confirmIntelligenceChoice();  // cloud: hybrid cannot run here
    QCOMPARE(screenName(coordinator), QStringLiteral("contactPicker"));
    coordinator.loadContactsIfNeeded();
    QTRY_VERIFY(!coordinator.contacts().isEmpty());
    ContactSummary partner = coordinator.contacts().first();
    QCOMPARE(partner.handle, sample.handle);
    partner.displayName = sample.otherName;  // the name the user confirms

    coordinator.startProcessing(partner);
    QTRY_VERIFY_WITH_TIMEOUT(screenName(coordinator) != QStringLiteral("processing"), kRunTimeoutMs);
    QVERIFY2(!coordinator.processingError(), qPrintable(coordinator.processingError().value_or(QString())));
    QCOMPARE(screenName(coordinator), QStringLiteral("results"));

    const WrappedReport& shown = *coordinator.screen().report();
    QCOMPARE(shown.totalMessages, kMessageCount);
    QCOMPARE(shown.participantNames.them, sample.otherName);
    QCOMPARE(shown.photosShared, attachments);
    QVERIFY(shown.insightCopy && !shown.insightCopy->heatmapPeakInsight.trimmed().isEmpty());
    QCOMPARE(coordinator.currentShareContactHandle(), std::optional<QString>(sample.handle));
    QCOMPARE(backend.registrationCount(), 1);

    QVERIFY(!coordinator.pastWraps().isEmpty());
    QCOMPARE(ReportJson::encode(coordinator.pastWraps().first().report), ReportJson::encode(shown));
    QTRY_COMPARE(fakes.analytics->created().size(), 1);
    QCOMPARE(fakes.analytics->created().first().workflow, HostedAnalysisWorkflow::fullClaude);
  }

  // The production share parts: the cache lists a link made on the backend
  // that "-shareAPIBaseURL" names, and a revocation goes there and leaves the
  // list.
  void sharesOnTheNamedBackend() {
    CoordinatorHarness harness;
    devbackend::DevBackend backend;
    ScriptedHttpServer server;
    mountDevBackend(server, backend);
    ShareLinkClient client(server.baseUrl(), QStringLiteral("1.0"));
    client.setNetworkRetryDelay(std::chrono::milliseconds(0));
    QVERIFY(!client.createShareLink(fullReport(), QStringLiteral("+15551234567")).fromLocalCache);

    AppCoordinator coordinator(
        makeProductionServices({QStringLiteral("murmela"), QStringLiteral("-shareAPIBaseURL"), server.baseUrl()}));
    coordinator.refreshActiveShares();
    QTRY_COMPARE(coordinator.activeShares().size(), 1);
    const ShareCacheEntry entry = coordinator.activeShares().first();
    coordinator.revokeShare(entry);
    QTRY_VERIFY(coordinator.activeShares().isEmpty());
    QVERIFY(!coordinator.shareRevocationError());
    QCOMPARE(server.requests(ShareLinkClient::revokePath(entry.shareID).toUtf8()).size(), 1);
  }
};

MURMELA_TEST(CoordinatorEndToEndTest)
#include "CoordinatorEndToEndTest.moc"
