#include "ShareTestSupport.h"
#include "backend/BackendDefaults.h"
#include "net/TransportError.h"
#include "common/AppSettings.h"
#include "data/ReportJson.h"
#include "sharelinks/ShareContentHash.h"
#include "sharelinks/ShareCreatesInFlight.h"
#include "sharelinks/ShareLinkClient.h"
#include "sharelinks/ShareLinkError.h"
#include "sharelinks/ShareLinkWorker.h"
#include "support/ReportSamples.h"
#include "support/ScriptedHttpServer.h"
#include "support/TestEnvironment.h"
#include "support/TestRegistry.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QTest>
#include <QThread>

#include <atomic>
#include <memory>

using namespace murmela;
using namespace murmela::test;
using namespace std::chrono_literals;

namespace {

const QByteArray kLinkAnswer =
    R"({"share_id":"s1","share_url":"https://murmela.test/s/s1","content_hash":"backend-hash","expires_at":"2024-07-01T12:00:00Z","extra":1})";

ScriptedResponse linkAnswer(const QString& expiresAt = "2024-07-01T12:00:00Z") {
  QByteArray body = kLinkAnswer;
  body.replace("2024-07-01T12:00:00Z", expiresAt.toUtf8());
  return ScriptedResponse::json(201, body);
}

// A new link with the report's own content hash, held until the test lets it go.
ScriptedResponse heldOwnLink() {
  ScriptedResponse held =
      ScriptedResponse::json(201, QByteArray(kLinkAnswer).replace("backend-hash", shareContentHash(fullReport()).toUtf8()));
  held.held = true;
  return held;
}

// Appends "<name>: sent", "cached", "cancelled" or "failed" when a create ends.
auto noteEnding(QStringList& ended, const QString& name) {
  return [&ended, name](WorkerOutcome<ShareLinkGenerationResult> outcome) {
    QString how = outcome.value ? (outcome.value->fromLocalCache ? "cached" : "sent") : "failed";
    try {
      if (outcome.error) std::rethrow_exception(outcome.error);
    } catch (const CancellationError&) {
      how = "cancelled";
    } catch (...) {
    }
    ended.append(name + ": " + how);
  };
}

// What a call ended with: the link, or the error's description and screen text.
struct Outcome {
  std::optional<ShareLinkGenerationResult> result;
  std::optional<ShareLinkError> error;
};

template <typename Call>
Outcome outcomeOf(Call&& call) {
  try {
    return {call(), std::nullopt};
  } catch (const ShareLinkError& error) {
    return {std::nullopt, error};
  }
}

}  // namespace

class ShareLinkClientTest : public QObject {
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
    registrations_ = std::make_shared<std::atomic<int>>(0);
    server_->setHandler("/v1/register", [count = registrations_](const RecordedRequest&) {
      return ScriptedResponse::json(200, QStringLiteral(R"({"auth_token":"token-%1"})").arg(++*count).toUtf8());
    });
  }
  void cleanup() { server_.reset(); }

  ShareLinkClient client() const {
    ShareLinkClient made(server_->baseUrl(), "1.0", store_);
    made.setNetworkRetryDelay(1ms);
    return made;
  }
  ShareLinkGenerationResult create(const std::optional<QString>& handle = QString("+15550001111")) const {
    return client().createShareLink(test::fullReport(), handle);
  }
  QByteArrayList bearers(const QByteArray& path = "/v1/shares") const {
    QByteArrayList out;
    for (const RecordedRequest& request : server_->requests(path)) out.append(request.header("Authorization"));
    return out;
  }

  void defaultBaseUrlTakesTheFirstUsableArgument_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("expected");  // empty: the built-in backend
    QTest::newRow("none") << QStringList{"murmela"} << QString();
    QTest::newRow("last argument") << QStringList{"murmela", "-shareAPIBaseURL"} << QString();
    QTest::newRow("not a URL") << QStringList{"murmela", "-shareAPIBaseURL", "not a url"} << QString();
    QTest::newRow("no host") << QStringList{"murmela", "-shareAPIBaseURL", "/api"} << QString();
    QTest::newRow("other scheme") << QStringList{"murmela", "-shareAPIBaseURL", "ftp://h.test"} << QString();
    QTest::newRow("with a path") << QStringList{"murmela", "-shareAPIBaseURL", "http://127.0.0.1:9/api"}
                                 << "http://127.0.0.1:9/api";
    QTest::newRow("twice") << QStringList{"-shareAPIBaseURL", "https://one.test", "-shareAPIBaseURL",
                                          "https://two.test"}
                           << "https://one.test";
  }
  void defaultBaseUrlTakesTheFirstUsableArgument() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, expected);
    QCOMPARE(ShareLinkClient::defaultBaseURL(arguments), expected.isEmpty() ? defaultBackendBaseUrl() : expected);
  }

  void aBaseUrlPathIsKept() {
    server_->setHandler("/api/v1/register",
                        [](const RecordedRequest&) { return ScriptedResponse::json(200, R"({"auth_token":"t"})"); });
    server_->enqueue("/api/v1/shares", linkAnswer());
    const QString base = ShareLinkClient::defaultBaseURL({"murmela", "-shareAPIBaseURL", server_->baseUrl() + "/api"});
    ShareLinkClient(base, "1.0", store_).createShareLink(test::fullReport(), std::nullopt);
    QList<QByteArray> paths;
    for (const RecordedRequest& request : server_->requests()) paths.append(request.path);
    QCOMPARE(paths, QList<QByteArray>({"/api/v1/register", "/api/v1/shares"}));
  }

  void theRequestsCarryTheirRecords() {
    server_->enqueue("/v1/shares", linkAnswer());
    const WrappedReport report = test::fullReport();
    client().createShareLink(report, QString("+15550001111"));

    const RecordedRequest registration = server_->requests("/v1/register").value(0);
    QCOMPARE(registration.method, QByteArray("POST"));
    QCOMPARE(registration.header("Content-Type"), QByteArray("application/json"));
    QVERIFY(!registration.hasHeader("Authorization"));
    const QJsonObject registerBody = QJsonDocument::fromJson(registration.body).object();
    QCOMPARE(registerBody.value("install_id").toString(), AppSettings::shared().value("installID").toString());
    QVERIFY(registerBody.value("install_id").toString().startsWith("macos-"));
    QCOMPARE(registerBody.value("app_version").toString(), "1.0");
    QCOMPARE(registerBody.value("platform").toString(), "macos");

    const RecordedRequest share = server_->requests("/v1/shares").value(0);
    QCOMPARE(share.header("Authorization"), QByteArray("Bearer token-1"));
    QCOMPARE(share.header("Content-Type"), QByteArray("application/json"));
    QVERIFY(share.body.contains('\n'));        // written as reports are: pretty ...
    QVERIFY(share.body.contains("Zoë \\/ "));  // ... with "\/"
    const QJsonObject body = QJsonDocument::fromJson(share.body).object();
    QCOMPARE(body.keys(), QStringList({"contact_display", "relationship_type", "report"}));
    QCOMPARE(body.value("contact_display").toString(), report.participantNames.them);
    QCOMPARE(body.value("relationship_type").toString(), "romantic");
    QCOMPARE(ReportJson::encode(ReportJson::fromJson(body.value("report").toObject())), ReportJson::encode(report));
  }

  void aCreateIsRecordedInTheCache_data() {
    QTest::addColumn<bool>("withHandle");
    QTest::addColumn<QString>("recordedHandle");
    QTest::newRow("with a handle") << true << "+15550001111";
    QTest::newRow("without one") << false << "report:backend-hash";
  }
  void aCreateIsRecordedInTheCache() {
    QFETCH(bool, withHandle);
    QFETCH(QString, recordedHandle);
    server_->enqueue("/v1/shares", linkAnswer());
    const ShareLinkGenerationResult result = create(withHandle ? std::optional<QString>("+15550001111") : std::nullopt);
    QVERIFY(!result.fromLocalCache);
    QCOMPARE(result.link.shareID, "s1");
    QCOMPARE(result.link.shareURL, QUrl("https://murmela.test/s/s1"));
    QCOMPARE(result.link.contentHash, "backend-hash");
    QCOMPARE(result.link.expiresAt, Date::fromUnix(1719835200));

    const QList<ShareCacheEntry> active = store_.activeShares();
    QCOMPARE(active.size(), 1);
    QCOMPARE(active.first().shareID, "s1");
    QCOMPARE(active.first().contentHash, "backend-hash");  // the backend's, not the local hash
    QCOMPARE(active.first().contactHandle, recordedHandle);
    QCOMPARE(active.first().contactDisplay, test::fullReport().participantNames.them);
    QCOMPARE(active.first().shareURL, result.link.shareURL);
    QCOMPARE(active.first().createdAt, kNow);
    QCOMPARE(active.first().expiresAt, result.link.expiresAt);
    QVERIFY(!active.first().revoked);
  }

  void aLiveCachedLinkIsReusedWithoutARequest_data() {
    QTest::addColumn<QString>("entryHandle");
    QTest::addColumn<bool>("sameHash");
    QTest::addColumn<double>("expiresIn");
    QTest::addColumn<bool>("askWithHandle");
    QTest::addColumn<bool>("reused");
    QTest::newRow("same handle and content") << "+15550001111" << true << 1.0 << true << true;
    QTest::newRow("expires now") << "+15550001111" << true << 0.0 << true << false;
    QTest::newRow("other content") << "+15550001111" << false << 86400.0 << true << false;
    QTest::newRow("no handle is never looked up") << "report:HASH" << true << 86400.0 << false << false;
  }
  void aLiveCachedLinkIsReusedWithoutARequest() {
    QFETCH(QString, entryHandle);
    QFETCH(bool, sameHash);
    QFETCH(double, expiresIn);
    QFETCH(bool, askWithHandle);
    QFETCH(bool, reused);
    const QString hash = sameHash ? shareContentHash(test::fullReport()) : QString("other");
    ShareCacheEntry entry = shareEntry("cached", QString(entryHandle).replace("HASH", hash), hash);
    entry.expiresAt = kNow.addingSeconds(expiresIn);
    store_.upsert(entry);
    server_->enqueue("/v1/shares", linkAnswer());

    const ShareLinkGenerationResult result =
        create(askWithHandle ? std::optional<QString>("+15550001111") : std::nullopt);
    QCOMPARE(result.fromLocalCache, reused);
    QCOMPARE(server_->requestCount(), reused ? 0 : 2);
    if (reused)
      QCOMPARE(result.link, (ShareLinkResult{entry.shareID, entry.shareURL, entry.contentHash, entry.expiresAt}));
    else
      QCOMPARE(result.link.shareID, "s1");
  }

  // Two creates for one contact and report at once (a second press while the
  // first is on its way) make one link: the second is answered from the cache.
  void createsAtOnceMakeOneLink() {
    const QByteArray answer = QByteArray(kLinkAnswer).replace("backend-hash", shareContentHash(fullReport()).toUtf8());
    server_->setDefault("/v1/shares", ScriptedResponse::json(201, answer).withDelay(300));
    ShareLinkGenerationResult second;
    std::thread other([&] { second = create(); });
    const ShareLinkGenerationResult first = create();
    other.join();
    QCOMPARE(server_->requests("/v1/shares").size(), 1);
    QVERIFY(first.link == second.link && first.fromLocalCache != second.fromLocalCache);
  }

  // Creates for more contacts than any fixed set of shared locks or threads
  // lets through all reach a backend that holds its answers, and a listing
  // still runs meanwhile.
  void createsForOtherContactsAreSentAtOnce() {
    server_->setDefault("/v1/shares", heldOwnLink());
    QObject receiver;
    QStringList ended;
    for (int i = 0; i < 17; ++i)
      ShareLinkWorker::createShareLink(&receiver, client(), fullReport(), QString::number(i), noteEnding(ended, "c"));
    QTRY_COMPARE(int(server_->requests("/v1/shares").size()), 17);
    bool listed = false;
    ShareLinkWorker::activeShares(&receiver, [&](QList<ShareCacheEntry>) { listed = true; }, store_);
    QTRY_VERIFY(listed && ended.isEmpty());
    server_->releaseHeld();
    QTRY_COMPARE(ended, QStringList(17, "c: sent"));
  }

  // A second create for the same contact and report waits for the first and
  // is answered from the cache; a stop ends its wait before the first's answer.
  void aSecondCreateForThePairWaitsForTheFirst_data() {
    QTest::addColumn<bool>("stopped");
    QTest::newRow("answered from the cache") << false;
    QTest::newRow("stopped while it waits") << true;
  }
  void aSecondCreateForThePairWaitsForTheFirst() {
    QFETCH(bool, stopped);
    server_->setDefault("/v1/shares", heldOwnLink());
    QObject receiver;
    QStringList ended;
    std::stop_source stop;
    ShareLinkWorker::createShareLink(&receiver, client(), fullReport(), "+1555", noteEnding(ended, "first"));
    QVERIFY(server_->waitForRequestCount(2));  // its registration and its create
    ShareLinkWorker::createShareLink(&receiver, client(), fullReport(), "+1555", noteEnding(ended, "second"),
                                     stop.get_token());
    // Waiting, or (were it not to wait) on its way to the backend.
    QTRY_VERIFY(ShareCreatesInFlight::shared().waitingCount() == 1 || server_->requests("/v1/shares").size() > 1);
    if (stopped) {
      stop.request_stop();
      QTRY_COMPARE(ended, QStringList{"second: cancelled"});
    }
    server_->releaseHeld();
    QTRY_COMPARE(ended.size(), 2);
    ended.sort();
    QCOMPARE(ended, QStringList({"first: sent", stopped ? "second: cancelled" : "second: cached"}));
    QCOMPARE(server_->requestCount(), 2);  // the second sent nothing
  }

  void aRefusedTokenIsReplacedOnce_data() {
    QTest::addColumn<QList<int>>("registerStatuses");  // scripted before the handler's 200s
    QTest::addColumn<QByteArray>("registerBody");
    QTest::addColumn<QList<int>>("shareStatuses");
    QTest::addColumn<int>("registrations");
    QTest::addColumn<QString>("description");  // empty: the link
    QTest::addColumn<QString>("shown");
    const QString generic = "Couldn't create share link. Try again in a moment.";
    QTest::newRow("401 then 200") << QList<int>{} << QByteArray() << QList<int>{401, 201} << 2 << QString()
                                  << QString();
    QTest::newRow("401 twice") << QList<int>{} << QByteArray() << QList<int>{401, 401} << 2
                               << "Share link authorization failed." << generic;
    QTest::newRow("401 then 429") << QList<int>{} << QByteArray() << QList<int>{401, 429} << 2
                                  << "You've created a lot of shares today. Try again tomorrow."
                                  << "You've created a lot of shares today. Try again tomorrow.";
    QTest::newRow("401 on registration") << QList<int>{401} << QByteArray("{}") << QList<int>{} << 1
                                         << "Share link authorization failed." << generic;
    QTest::newRow("500 on registration") << QList<int>{500} << QByteArray("down") << QList<int>{} << 1
                                         << "Share link HTTP 500: down" << generic;
    QTest::newRow("registration without token")
        << QList<int>{200} << QByteArray(R"({"token":"x"})") << QList<int>{} << 1
        << "Share link returned an invalid response: missing required member at "
           "response.auth_token {\"token\":\"x\"}"
        << generic;
  }
  void aRefusedTokenIsReplacedOnce() {
    QFETCH(QList<int>, registerStatuses);
    QFETCH(QByteArray, registerBody);
    QFETCH(QList<int>, shareStatuses);
    QFETCH(int, registrations);
    QFETCH(QString, description);
    QFETCH(QString, shown);
    for (int status : registerStatuses) server_->enqueue("/v1/register", ScriptedResponse::text(status, registerBody));
    for (int status : shareStatuses)
      server_->enqueue("/v1/shares", status == 201 ? linkAnswer() : ScriptedResponse::json(status, QByteArray(100 << 10, ' ') + "{}"));

    const Outcome outcome = outcomeOf([this] { return create(); });
    QCOMPARE(server_->requests("/v1/register").size(), registrations);
    QCOMPARE(server_->requests("/v1/shares").size(), shareStatuses.size());
    if (shareStatuses.size() == 2) QCOMPARE(bearers(), QByteArrayList({"Bearer token-1", "Bearer token-2"}));
    if (description.isEmpty()) {
      QVERIFY(outcome.result);
      QCOMPARE(outcome.result->link.shareID, "s1");
      return;
    }
    QVERIFY(outcome.error);
    QCOMPARE(outcome.error->errorDescription(), description);
    QCOMPARE(outcome.error->userFacingMessage(), shown);
    QVERIFY(store_.activeShares().isEmpty());  // a failed create records nothing
  }

  void aNetworkFailureIsRetriedOnceWithTheSameToken_data() {
    QTest::addColumn<int>("dropped");  // arrivals dropped before an answer
    QTest::addColumn<bool>("succeeds");
    QTest::newRow("one failure") << 1 << true;
    QTest::newRow("two failures") << 2 << false;
  }
  void aNetworkFailureIsRetriedOnceWithTheSameToken() {
    QFETCH(int, dropped);
    QFETCH(bool, succeeds);
    for (int i = 0; i < dropped; ++i) server_->enqueue("/v1/shares", ScriptedResponse::dropped());
    server_->enqueue("/v1/shares", linkAnswer());

    const Outcome outcome = outcomeOf([this] { return create(); });
    QCOMPARE(server_->requests("/v1/register").size(), 1);
    const QByteArrayList sent = bearers();
    QCOMPARE(sent.size(), succeeds ? dropped + 1 : dropped);
    QCOMPARE(sent, QByteArrayList(sent.size(), "Bearer token-1"));
    QCOMPARE(outcome.result.has_value(), succeeds);
    if (!succeeds) {
      QCOMPARE(outcome.error->kind(), ShareLinkError::Kind::httpFailed);
      QCOMPARE(outcome.error->status(), 0);
      QCOMPARE(outcome.error->userFacingMessage(), "Share link HTTP 0: Network failure");
    }
  }

  void theRetryWaitsSixHundredFiftyMilliseconds() {
    server_->enqueue("/v1/shares", ScriptedResponse::dropped());
    server_->enqueue("/v1/shares", linkAnswer());
    const ShareLinkClient real(server_->baseUrl(), "1.0", store_);
    QCOMPARE(real.networkRetryDelay(), 650ms);
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(real.createShareLink(test::fullReport(), std::nullopt).link.shareID, "s1");
    QVERIFY2(clock.elapsed() >= 650, qPrintable(QString::number(clock.elapsed())));
  }

  void aRegistrationWithoutAnAnswerIsNotRetried() {
    server_->enqueue("/v1/register", ScriptedResponse::dropped());
    QVERIFY_THROWS_EXCEPTION(TransportError, create());
    QCOMPARE(server_->requests("/v1/register").size(), 1);
    QVERIFY(server_->requests("/v1/shares").isEmpty());

    ShareLinkClient refused(refusingBaseUrl(), "1.0", store_);
    refused.setNetworkRetryDelay(24h);  // a retry would never end
    try {
      refused.createShareLink(test::fullReport(), std::nullopt);
      QFAIL("a refused connection must fail");
    } catch (const TransportError& error) {
      QCOMPARE(error.kind(), TransportError::Kind::cannotConnect);
    }
  }

  void statusesBecomeShareLinkErrors_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("description");
    QTest::addColumn<bool>("shownAsIs");  // else the generic text
    const QString limitText = "You've created a lot of shares today. Try again tomorrow.";
    QTest::newRow("429 with limit") << 429 << QByteArray(R"({"detail":{"message":"m","limit":20}})")
                                    << limitText + " Daily limit: 20." << true;
    QTest::newRow("429 empty") << 429 << QByteArray() << limitText << true;
    QTest::newRow("429 not JSON") << 429 << QByteArray("slow down") << limitText << true;
    QTest::newRow("429 detail without limit")
        << 429 << QByteArray(R"({"detail":{"message":"m"}})") << limitText << true;
    QTest::newRow("429 limit as text") << 429 << QByteArray(R"({"detail":{"limit":"20"}})") << limitText << true;
    QTest::newRow("429 with a page of 100 KiB") << 429 << QByteArray(100 << 10, 'x') << limitText << true;
    QTest::newRow("429 fractional limit") << 429 << QByteArray(R"({"detail":{"limit":20.5}})") << limitText << true;
    QTest::newRow("404") << 404 << QByteArray("not found") << "Share link HTTP 404: not found" << true;
    QTest::newRow("400 not UTF-8") << 400 << QByteArray("bad \xff") << "Share link HTTP 400: " << true;
    QTest::newRow("500") << 500 << QByteArray("boom") << "Share link HTTP 500: boom" << false;
    QTest::newRow("503") << 503 << QByteArray("busy") << "Share link HTTP 503: busy" << false;
    QTest::newRow("200 relative URL")
        << 200
        << QByteArray(R"({"share_id":"s","share_url":"/s/s","content_hash":"h","expires_at":"2024-07-01T12:00:00Z"})")
        << "Share link returned an invalid response: Invalid URL: /s/s at response.share_url "
           R"({"share_id":"s","share_url":"/s/s","content_hash":"h","expires_at":"2024-07-01T12:00:00Z"})"
        << false;
    QTest::newRow("200 not JSON")
        << 200 << QByteArray("<html>")
        << "Share link returned an invalid response: invalid JSON (illegal value at offset 1) "
           "at response <html>"
        << false;
  }
  void statusesBecomeShareLinkErrors() {
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(QString, description);
    QFETCH(bool, shownAsIs);
    server_->enqueue("/v1/shares", ScriptedResponse::text(status, body));
    const Outcome outcome = outcomeOf([this] { return create(); });
    QVERIFY(outcome.error);
    QCOMPARE(outcome.error->errorDescription(), description);
    QCOMPARE(outcome.error->userFacingMessage(),
             shownAsIs ? description : QString("Couldn't create share link. Try again in a moment."));
    QCOMPARE(server_->requests("/v1/shares").size(), 1);
  }

  void theExpiryIsAnInternetDateTime_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("unix");  // NaN: refused
    const double nan = std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("whole seconds") << "2024-07-01T12:00:00Z" << 1719835200.0;
    QTest::newRow("fraction") << "2024-07-01T12:00:00.250Z" << 1719835200.25;
    QTest::newRow("offset") << "2024-07-01T14:30:00+02:30" << 1719835200.0;
    QTest::newRow("negative offset") << "2024-07-01T08:00:00.5-04:00" << 1719835200.5;
    QTest::newRow("date only") << "2024-07-01" << nan;
    QTest::newRow("no zone") << "2024-07-01T12:00:00" << nan;
    QTest::newRow("space for T") << "2024-07-01 12:00:00Z" << nan;
    QTest::newRow("hour 24") << "2024-07-01T24:00:00Z" << nan;
  }
  void theExpiryIsAnInternetDateTime() {
    QFETCH(QString, text);
    QFETCH(double, unix);
    const ScriptedResponse answer = linkAnswer(text);
    server_->enqueue("/v1/shares", answer);
    const Outcome outcome = outcomeOf([this] { return create(); });
    if (!std::isnan(unix)) {
      QVERIFY(outcome.result);
      QCOMPARE(outcome.result->link.expiresAt, Date::fromUnix(unix));
      return;
    }
    QVERIFY(outcome.error);
    QCOMPARE(outcome.error->kind(), ShareLinkError::Kind::invalidResponse);
    QCOMPARE(outcome.error->errorDescription(), "Share link returned an invalid response: Invalid ISO-8601 date: " +
                                                    text + " at response.expires_at " + QString::fromUtf8(answer.body));
  }

  void revokeMarksTheEntryOnlyWhenTheBackendAgreed_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("revoked");
    QTest::newRow("ok true") << 200 << QByteArray(R"({"ok":true})") << true;
    QTest::newRow("ok false") << 200 << QByteArray(R"({"ok":false})") << true;
    QTest::newRow("empty body") << 200 << QByteArray() << false;
    QTest::newRow("ok as text") << 200 << QByteArray(R"({"ok":"true"})") << false;
    QTest::newRow("404") << 404 << QByteArray("not found") << false;
    QTest::newRow("500") << 500 << QByteArray("boom") << false;
  }
  void revokeMarksTheEntryOnlyWhenTheBackendAgreed() {
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(bool, revoked);
    store_.upsert(shareEntry("s1"));
    server_->enqueue("/v1/shares/s1/revoke", ScriptedResponse::text(status, body));
    bool threw = false;
    try {
      client().revokeShareLink("s1");
    } catch (const ShareLinkError&) {
      threw = true;
    }
    QCOMPARE(threw, !revoked);
    QCOMPARE(store_.activeShares().isEmpty(), revoked);
    const RecordedRequest sent = server_->requests("/v1/shares/s1/revoke").value(0);
    QCOMPARE(sent.header("Authorization"), QByteArray("Bearer token-1"));
    QCOMPARE(QJsonDocument::fromJson(sent.body).object(), QJsonObject());
    QVERIFY(QJsonDocument::fromJson(sent.body).isObject());
  }

  void aShareIdentifierIsOnePathSegment_data() {
    QTest::addColumn<QString>("shareID");
    QTest::addColumn<QByteArray>("path");  // empty: refused before any request
    QTest::newRow("ordinary") << "s1a2-b_3.c~" << QByteArray("/v1/shares/s1a2-b_3.c~/revoke");
    QTest::newRow("slash") << "a/b" << QByteArray("/v1/shares/a%2Fb/revoke");
    QTest::newRow("query and fragment") << "a?b#c" << QByteArray("/v1/shares/a%3Fb%23c/revoke");
    QTest::newRow("climbing") << "../../v1/register" << QByteArray("/v1/shares/..%2F..%2Fv1%2Fregister/revoke");
    QTest::newRow("percent") << "100%2F" << QByteArray("/v1/shares/100%252F/revoke");
    QTest::newRow("beyond ASCII") << "zoë" << QByteArray("/v1/shares/zo%C3%AB/revoke");
    QTest::newRow("dot dot") << ".." << QByteArray();
    QTest::newRow("dot") << "." << QByteArray();
    QTest::newRow("empty") << "" << QByteArray();
  }
  void aShareIdentifierIsOnePathSegment() {
    QFETCH(QString, shareID);
    QFETCH(QByteArray, path);
    store_.upsert(shareEntry(shareID));
    server_->setFallback([](const RecordedRequest&) { return ScriptedResponse::json(200, R"({"ok":true})"); });
    const Outcome outcome = outcomeOf([&] {
      client().revokeShareLink(shareID);
      return ShareLinkGenerationResult{};
    });
    if (path.isEmpty()) {
      QCOMPARE(outcome.error->kind(), ShareLinkError::Kind::invalidResponse);
      QCOMPARE(server_->requestCount(), 0);
      QCOMPARE(store_.activeShares().size(), 1);
      return;
    }
    QVERIFY(outcome.result);
    const QList<RecordedRequest> requests = server_->requests();
    QCOMPARE(requests.size(), 2);
    QCOMPARE(requests.at(1).target, path);
    QVERIFY(store_.activeShares().isEmpty());
  }

  void theWorkerDeliversOnTheReceiversThread() {
    server_->enqueue("/v1/shares", linkAnswer());
    server_->enqueue("/v1/shares/s9/revoke", ScriptedResponse::text(404, "gone"));
    QObject receiver;
    std::optional<WorkerOutcome<ShareLinkGenerationResult>> created;
    std::optional<std::exception_ptr> revoked;
    QThread* createdOn = nullptr;
    ShareLinkWorker::createShareLink(&receiver, client(), test::fullReport(), QString("+15550001111"),
                                     [&](WorkerOutcome<ShareLinkGenerationResult> outcome) {
                                       createdOn = QThread::currentThread();
                                       created = std::move(outcome);
                                     });
    ShareLinkWorker::revokeShareLink(&receiver, client(), "s9", [&](std::exception_ptr error) { revoked = error; });
    QTRY_VERIFY(created && revoked);
    QCOMPARE(createdOn, QThread::currentThread());
    QVERIFY(!created->error);
    QCOMPARE(created->value->link.shareID, "s1");
    try {
      std::rethrow_exception(*revoked);
    } catch (const ShareLinkError& error) {
      QCOMPARE(error.errorDescription(), "Share link HTTP 404: gone");
    }

    QList<ShareCacheEntry> listed;
    bool listedDone = false;
    ShareLinkWorker::activeShares(
        &receiver,
        [&](QList<ShareCacheEntry> entries) {
          listed = std::move(entries);
          listedDone = true;
        },
        store_);
    QTRY_VERIFY(listedDone);
    QCOMPARE(listed.size(), 1);
  }

  void aReceiverThatIsGoneGetsNothing() {
    server_->enqueue("/v1/shares", linkAnswer().withDelay(200));
    bool delivered = false;
    {
      QObject receiver;
      ShareLinkWorker::createShareLink(&receiver, client(), test::fullReport(), std::nullopt,
                                       [&](WorkerOutcome<ShareLinkGenerationResult>) { delivered = true; });
    }
    QVERIFY(ShareLinkWorker::pool().waitForDone(10000));
    QCoreApplication::processEvents();
    QVERIFY(!delivered);
    QCOMPARE(store_.activeShares().size(), 1);  // the link was still recorded
  }

  void aStopEndsTheCallButNotASentCreate() {
    std::stop_source stop;
    stop.request_stop();
    QVERIFY_THROWS_EXCEPTION(CancellationError,
                             client().createShareLink(test::fullReport(), std::nullopt, stop.get_token()));
    QCOMPARE(server_->requestCount(), 0);

    // A stop while the create is under way: the answer still lands in the cache.
    std::stop_source late;
    server_->setHandler("/v1/shares", [&late](const RecordedRequest&) {
      late.request_stop();
      return linkAnswer().withDelay(100);
    });
    QCOMPARE(client().createShareLink(test::fullReport(), std::nullopt, late.get_token()).link.shareID, "s1");
    QCOMPARE(store_.activeShares().size(), 1);
  }

 private:
  std::unique_ptr<TestEnvironment> environment_;
  std::unique_ptr<ScriptedHttpServer> server_;
  std::shared_ptr<std::atomic<int>> registrations_;
  mutable ShareLinkCacheStore store_{[] { return kNow; }};
};

MURMELA_TEST(ShareLinkClientTest)
#include "ShareLinkClientTest.moc"
