#include "ShareTestSupport.h"
#include "common/MurmelaError.h"
#include "sharelinks/ShareContentHash.h"
#include "sharelinks/ShareCreatesInFlight.h"
#include "sharelinks/ShareLinkWorker.h"
#include "support/ReportSamples.h"
#include "support/ScriptedHttpServer.h"
#include "support/TestEnvironment.h"
#include "support/TestRegistry.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <memory>
#include <stop_token>

using namespace murmela;
using namespace murmela::test;
using namespace std::chrono_literals;

namespace {

const QString kHandle = QStringLiteral("+15550001111");

// A new link whose content hash is the report's own, so a later create for
// the same report finds it in the cache.
ScriptedResponse heldLink() {
  const QJsonObject body{{"share_id", "s1"},
                         {"share_url", "https://murmela.test/s/s1"},
                         {"content_hash", shareContentHash(fullReport())},
                         {"expires_at", "2024-07-01T12:00:00Z"}};
  return ScriptedResponse::json(201, QJsonDocument(body).toJson()).heldUntilReleased();
}

// Appends "<name>: sent <id>", "<name>: cached <id>", "<name>: cancelled" or
// "<name>: <error type>" to `endings` when the create ends.
std::function<void(WorkerOutcome<ShareLinkGenerationResult>)> noteEnding(QStringList& endings, const QString& name) {
  return [&endings, name](WorkerOutcome<ShareLinkGenerationResult> outcome) {
    QString ending;
    if (outcome.value) {
      ending = (outcome.value->fromLocalCache ? "cached " : "sent ") + outcome.value->link.shareID;
    } else {
      try {
        std::rethrow_exception(outcome.error);
      } catch (const MurmelaError& error) {
        ending = error.typeName() == "CancellationError" ? QString("cancelled") : error.typeName();
      }
    }
    endings.append(name + ": " + ending);
  };
}

}  // namespace

// Creates made while others are still on their way (a slow backend).
class ShareCreatesAtOnceTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() {
    prepareNetworkTests();
    environment_ = std::make_unique<TestEnvironment>();
  }
  void cleanupTestCase() { environment_.reset(); }
  void init() {
    clearAppFolder();
    server_ = std::make_unique<ScriptedHttpServer>();
    server_->setDefault("/v1/register", ScriptedResponse::json(200, R"({"auth_token":"t"})"));
    server_->setDefault("/v1/shares", heldLink());
  }
  void cleanup() { server_.reset(); }

  ShareLinkClient client() const {
    ShareLinkClient made(server_->baseUrl(), "1.0", store_);
    made.setNetworkRetryDelay(1ms);
    return made;
  }

  // Enough contacts that no fixed set of shared locks or threads could let
  // them all through: every create reaches the backend before any answer, and
  // a listing still runs meanwhile.
  void createsForOtherContactsAreSentAtOnce() {
    constexpr int kContacts = 17;
    QObject receiver;
    QStringList endings;
    for (int i = 0; i < kContacts; ++i)
      ShareLinkWorker::createShareLink(&receiver, client(), fullReport(), QString("+1555000%1").arg(i, 4, 10, QChar('0')),
                                       noteEnding(endings, "create"));
    QTRY_COMPARE(int(server_->requests("/v1/shares").size()), kContacts);

    bool listed = false;
    ShareLinkWorker::activeShares(&receiver, [&](QList<ShareCacheEntry>) { listed = true; }, store_);
    QTRY_VERIFY(listed);
    QVERIFY(endings.isEmpty());

    server_->releaseHeld();
    QTRY_COMPARE(endings, QStringList(kContacts, "create: sent s1"));
  }

  // A second create for the same contact and report waits for the first and
  // gets its link from the cache, sending nothing; a stop ends its wait before
  // the first is answered.
  void aSecondCreateForThePairWaitsForTheFirst_data() {
    QTest::addColumn<bool>("stopped");
    QTest::addColumn<QStringList>("endings");  // in name order
    QTest::newRow("answered from the cache") << false << QStringList{"first: sent s1", "second: cached s1"};
    QTest::newRow("stopped while it waits") << true << QStringList{"first: sent s1", "second: cancelled"};
  }
  void aSecondCreateForThePairWaitsForTheFirst() {
    QFETCH(bool, stopped);
    QFETCH(QStringList, endings);
    QObject receiver;
    QStringList ended;
    std::stop_source stop;
    ShareLinkWorker::createShareLink(&receiver, client(), fullReport(), kHandle, noteEnding(ended, "first"));
    QVERIFY(server_->waitForRequestCount(2));  // its registration and its create, unanswered
    ShareLinkWorker::createShareLink(&receiver, client(), fullReport(), kHandle, noteEnding(ended, "second"),
                                     stop.get_token());
    // Waiting, or (were it not to wait) on its way to the backend.
    QTRY_VERIFY(ShareCreatesInFlight::shared().waitingCount() == 1 || server_->requests("/v1/shares").size() > 1);

    if (stopped) {
      stop.request_stop();
      QTRY_COMPARE(ended, QStringList{"second: cancelled"});  // while the first is still unanswered
    }
    server_->releaseHeld();
    QTRY_COMPARE(ended.size(), 2);
    ended.sort();
    QCOMPARE(ended, endings);
    QCOMPARE(server_->requestCount(), 2);  // the second sent nothing
    QCOMPARE(ShareCreatesInFlight::shared().waitingCount(), 0);
  }

 private:
  std::unique_ptr<TestEnvironment> environment_;
  std::unique_ptr<ScriptedHttpServer> server_;
  mutable ShareLinkCacheStore store_{[] { return kNow; }};
};

MURMELA_TEST(ShareCreatesAtOnceTest)
#include "ShareCreatesAtOnceTest.moc"
