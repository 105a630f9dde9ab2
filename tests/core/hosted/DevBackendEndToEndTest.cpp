// One conversation from a Messages database through the on-device pipeline,
// the hosted run against the development backend and the merge, to a report
// that is stored and read back.
#include "DevBackend.h"
#include "FakeHybridAnonymizer.h"
#include "support/BackendTestSupport.h"
#include "analysis/WrappedAnalysisPipeline.h"
#include "data/ImportedChat.h"
#include "data/MessagesDatabaseReader.h"
#include "data/ReportJson.h"
#include "hosted/HostedAnalysisClient.h"
#include "hosted/HostedResultMerge.h"
#include "support/DevBackendMount.h"
#include "support/SampleChat.h"
#include "support/ScriptedHttpServer.h"
#include "support/TestEnvironment.h"
#include "support/TestRegistry.h"

#include <QTest>

#include <memory>

using namespace murmela;
using namespace murmela::test;

namespace {

constexpr qsizetype kMessageCount = 4000;

}  // namespace

class DevBackendEndToEndTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() {
    prepareHostedTests();
    environment_ = std::make_unique<TestEnvironment>();
    SampleChatOptions options;
    options.messageCount = kMessageCount;
    sample_ = makeSampleChat(options);
    databasePath_ = environment_->path("chat.db");
    writeSampleChatDatabase(sample_, databasePath_);
  }
  void cleanupTestCase() { environment_.reset(); }

  void conversationBecomesACompleteStoredReport_data() {
    QTest::addColumn<int>("workflow");
    QTest::newRow("cloud") << int(HostedAnalysisWorkflow::fullClaude);
    QTest::newRow("hybrid") << int(HostedAnalysisWorkflow::hybridPrivacy);
  }
  void conversationBecomesACompleteStoredReport() {
    QFETCH(int, workflow);
    const auto mode = static_cast<HostedAnalysisWorkflow>(workflow);

    // Read the conversation back from the database.
    const MessagesDatabaseReader reader(databasePath_);
    const QList<ContactSummary> partners = reader.fetchContactSummaries();
    const auto found = std::find_if(partners.begin(), partners.end(),
                                    [this](const ContactSummary& summary) { return summary.handle == sample_.handle; });
    QVERIFY(found != partners.end());
    QCOMPARE(partners.first().handle, sample_.handle);  // the busiest conversation comes first
    ContactSummary partner = *found;
    partner.displayName = sample_.otherName;
    const ImportedChat chat = makeImportedChat(partner, reader.fetchMessages(partner.handle));
    QCOMPARE(chat.messages.size(), kMessageCount);
    QCOMPARE(chat.messages.last().text, sample_.messages.last().text);

    // On the device.
    WrappedAnalysisPipeline::Options options;
    options.photosShared = reader.countAttachments(partner.handle);
    QVERIFY(*options.photosShared > 0);
    const WrappedReport local = WrappedAnalysisPipeline().buildReport(chat, {}, {}, options);
    QVERIFY(!local.insightCopy);

    // Hosted, against the development backend.
    devbackend::DevBackend backend;
    ScriptedHttpServer server;
    mountDevBackend(server, backend);
    const auto anonymizer = std::make_shared<FakeHybridAnonymizer>();
    QList<ProcessingProgress> progress;
    const HostedAnalysisResult result =
        HostedAnalysisClient(anonymizer, server.baseUrl(), "1.0")
            .analyze(chat, local, mode, [&progress](const ProcessingProgress& p) { progress.append(p); });
    QVERIFY(server.requests("/v1/analysis-step").size() >= 4);  // at least two chunks
    QCOMPARE(backend.registrationCount(), 1);
    QCOMPARE(progress.last(), (ProcessingProgress{AnalysisStage::generatingSummary, 0.92, 8.0}));
    for (qsizetype i = 1; i < progress.size(); ++i) QVERIFY(progress[i].fraction >= progress[i - 1].fraction);
    QCOMPARE(anonymizer->anonymizeCalls, mode == HostedAnalysisWorkflow::hybridPrivacy ? 1 : 0);

    // Merged: the hosted findings where the backend gave them, the rest local.
    const WrappedReport report = applyingHostedAnalysis(local, result);
    QVERIFY(result.insightCopy);
    QVERIFY(report.insightCopy);
    QCOMPARE(report.insightCopy->heatmapPeakInsight, result.insightCopy->heatmapPeakInsight);
    QVERIFY(!report.insightCopy->heatmapPeakInsight.trimmed().isEmpty());
    QCOMPARE(rawValue(report.relationshipType), result.synthesis.value("relationshipType").stringValue().value_or("?"));
    QCOMPARE(report.relationshipConfidence,
             result.synthesis.value("relationshipConfidence").numberValue().value_or(-1));
    QVERIFY(report.signaturePhrase && !report.signaturePhrase->phrase.trimmed().isEmpty());
    QVERIFY(report.firstDistinctiveTerm && !report.firstDistinctiveTerm->context.isEmpty());
    QVERIFY(!report.otherFirsts.isEmpty());
    QVERIFY(!report.argumentEvents.isEmpty());
    QCOMPARE(report.totalMessages, kMessageCount);
    QCOMPARE(report.photosShared, *options.photosShared);
    QCOMPARE(report.participantNames.them, sample_.otherName);
    QVERIFY(!report.closerParagraph.isEmpty());
    // Names were put back: no placeholder survives into the report.
    const QByteArray stored = ReportJson::encode(report);
    QVERIFY(!stored.contains(FakeHybridAnonymizer::kMe.toUtf8()) &&
            !stored.contains(FakeHybridAnonymizer::kThem.toUtf8()));

    // Stored and read back unchanged.
    const WrappedReport reread = ReportJson::decode(stored);
    QCOMPARE(ReportJson::encode(reread), stored);
    QVERIFY(reread.insightCopy);
    QCOMPARE(reread.argumentEvents.size(), report.argumentEvents.size());
  }

 private:
  std::unique_ptr<TestEnvironment> environment_;
  SampleChat sample_;
  QString databasePath_;
};

MURMELA_TEST(DevBackendEndToEndTest)
#include "DevBackendEndToEndTest.moc"
