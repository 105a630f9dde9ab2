// Contacts and permissions, share links, and the reset to first run.
#include "app/AppCoordinator.h"
#include "common/AnalysisLogger.h"
#include "common/AppPaths.h"
#include "common/AppSettings.h"
#include "common/FileError.h"
#include "data/WrappedDataError.h"
#include "privacy/PrivacyFilterSetup.h"
#include "sharelinks/ShareLinkError.h"
#include "support/FakeNeighbours.h"
#include "support/ReportSamples.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <sys/stat.h>

#include <memory>
#include <stdexcept>

using namespace murmela;
using namespace murmela::test;

namespace {

ContactSummary summary(const QString& handle, std::optional<QString> name = std::nullopt) {
  ContactSummary contact;
  contact.handle = handle;
  contact.displayName = std::move(name);
  contact.messageCount = 3;
  return contact;
}

StoreContact storeContact(const QString& given, const QString& phone) {
  StoreContact contact;
  contact.givenName = given;
  contact.phoneNumbers = {phone};
  return contact;
}

ShareCacheEntry share(const QString& id) {
  ShareCacheEntry entry;
  entry.shareID = id;
  entry.contactDisplay = QStringLiteral("Sam");
  return entry;
}

QString optionalText(const std::optional<QString>& text) { return text ? *text : QStringLiteral("none"); }

// As long as the text of a private copy that found no room.
const QString kLongCause = QStringLiteral(
    "Not enough free space in /home/someone/.cache/murmela-app/database-copies: a private copy of the database "
    "needs 425 MB and 12 MB are free. Free some space there, or copy the database with its -wal file to a folder "
    "you can write and open that copy. The database is read from a private copy because its folder cannot be "
    "written (unable to open database file).");

}  // namespace

class CoordinatorActivityTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { prepareAppTests(); }
  void init() { harness_ = std::make_unique<CoordinatorHarness>(); }
  void cleanup() { harness_.reset(); }

  // ---- Contacts and permissions ------------------------------------------------

  void requestContactsAccess_data() {
    QTest::addColumn<int>("status");  // ContactAccessStatus::Kind
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("paneOpened");
    QTest::newRow("not determined: ask, then probe") << int(ContactAccessStatus::Kind::notDetermined) << true << false;
    QTest::newRow("denied: the settings") << int(ContactAccessStatus::Kind::denied) << false << true;
    QTest::newRow("authorized: the settings") << int(ContactAccessStatus::Kind::authorized) << false << true;
  }
  void requestContactsAccess() {
    QFETCH(int, status);
    QFETCH(bool, asked);
    QFETCH(bool, paneOpened);
    FakeNeighbours& fakes = harness_->fakes;
    fakes.contactStore->status = status == int(ContactAccessStatus::Kind::notDetermined)
                                     ? ContactAccessStatus::notDetermined()
                                 : status == int(ContactAccessStatus::Kind::denied) ? ContactAccessStatus::denied()
                                                                                    : ContactAccessStatus::authorized();
    AppCoordinator& coordinator = harness_->make();
    coordinator.requestContactsAccess();
    QCOMPARE(!fakes.paneOpener->opened.isEmpty(), paneOpened);
    if (asked) {
      QTRY_COMPARE(coordinator.permissions(), fakes.snapshot);
      QCOMPARE(fakes.contactStore->requests.load(), 1);
      QVERIFY(fakes.paneOpener->opened.isEmpty());
    } else {
      QCOMPARE(fakes.paneOpener->opened, QList<QUrl>{SettingsPaneOpener::contactsPrivacyPane()});
      QCOMPARE(fakes.contactStore->requests.load(), 0);
      QCOMPARE(fakes.probes.load(), 0);
      QVERIFY(!coordinator.permissions());
    }
  }

  void fullDiskAccessSettings() {
    harness_->fakes.skipsPermissionGate = true;
    AppCoordinator& coordinator = harness_->make();
    // A pipe at the database path blocks neither the window nor a worker.
    const QString database = AppCoordinator::defaultMessagesDatabasePath();
    QVERIFY(QDir().mkpath(QFileInfo(database).path()) && ::mkfifo(QFile::encodeName(database).constData(), 0600) == 0);
    coordinator.openFullDiskAccessSettings();
    QVERIFY(coordinator.waitForBackgroundWork(std::chrono::seconds(5)));
    QFile::remove(database);
    QCOMPARE(harness_->fakes.paneOpener->opened, QList<QUrl>{SettingsPaneOpener::fullDiskAccessPane()});
    QCOMPARE(harness_->fakes.paneOpener->opened.first().toString(),
             QStringLiteral("x-apple.systempreferences:com.apple.preference.security?Privacy_AllFiles"));
    QCOMPARE(AppCoordinator::defaultMessagesDatabasePath(),
             QDir::homePath() + QStringLiteral("/Library/Messages/chat.db"));
  }

  void loadContacts_data() {
    QTest::addColumn<bool>("authorized");
    QTest::addColumn<QStringList>("names");  // "-" for none
    QTest::newRow("names from the contacts") << true << QStringList{"Anna", "-", "Kim"};
    QTest::newRow("contacts denied: handles only") << false << QStringList{"-", "-", "-"};
  }
  void loadContacts() {
    QFETCH(bool, authorized);
    QFETCH(QStringList, names);
    FakeNeighbours& fakes = harness_->fakes;
    // The reader's order (most messages first) is kept; a stored name is replaced.
    fakes.reader->summaries = {summary("+15551230001"), summary("bob@example.com", QStringLiteral("stale")),
                               summary("+15551230003")};
    fakes.contactStore->status = authorized ? ContactAccessStatus::authorized() : ContactAccessStatus::denied();
    fakes.contactStore->contacts = {storeContact("Anna", "(555) 123-0001"), storeContact("Kim", "+1 555 123 0003")};
    AppCoordinator& coordinator = harness_->make();
    coordinator.loadContactsIfNeeded();
    QTRY_COMPARE(coordinator.contacts().size(), 3);
    QStringList shown;
    for (const ContactSummary& contact : coordinator.contacts()) shown.append(contact.displayName.value_or("-"));
    QCOMPARE(shown, names);
    QCOMPARE(coordinator.contacts().at(1).handle, QStringLiteral("bob@example.com"));
    coordinator.loadContactsIfNeeded();  // a list is there: nothing is read
    QVERIFY(coordinator.waitForBackgroundWork(std::chrono::seconds(30)));
    QCOMPARE(fakes.reader->summaryReads.load(), 1);
  }

  // Probes that a hung mount never answers, clicked four times: the picker's
  // list still loads.
  void hungProbesLeaveThePickerAlone() {
    FakeNeighbours& fakes = harness_->fakes;
    fakes.reader->summaries = {summary("+15551230001")};
    Gate hung;
    fakes.beforeProbe = [&hung] { hung.wait(); };
    AppCoordinator& coordinator = harness_->make();
    for (int click = 0; click < 4; ++click) coordinator.refreshPermissions();
    coordinator.loadContacts();
    QTRY_COMPARE(coordinator.contacts().size(), 1);
    QTRY_COMPARE(fakes.probes.load(), 2);  // no more threads than two wait on the mount
    hung.open();
    QVERIFY(coordinator.waitForBackgroundWork(std::chrono::seconds(30)));
    QCOMPARE(fakes.probes.load(), 4);
  }

  void loadContactsFailure_data() {
    QTest::addColumn<bool>("databaseFails");
    QTest::addColumn<QString>("error");
    QTest::newRow("database") << true << WrappedDataError::databaseOpenFailed(kLongCause).description();
    QTest::newRow("contacts") << false << FakeContactStoreError().description();
  }
  void loadContactsFailure() {
    QFETCH(bool, databaseFails);
    QFETCH(QString, error);
    FakeNeighbours& fakes = harness_->fakes;
    fakes.reader->summaries = {summary("+15551230001")};
    AppCoordinator& coordinator = harness_->make();
    coordinator.loadContacts();
    QTRY_COMPARE(coordinator.contacts().size(), 1);
    if (databaseFails) {
      fakes.reader->beforeSummaries = [] { throw WrappedDataError::databaseOpenFailed(kLongCause); };
    } else {
      fakes.contactStore->failEnumeration = true;
    }
    fakes.reader->summaries = {};
    coordinator.loadContacts();
    QTRY_COMPARE(coordinator.contactLoadingError(), std::optional<QString>(error));
    QCOMPARE(coordinator.contacts().size(), 1);  // the earlier list stays
    AnalysisLogger::shared().waitForPendingWrites();  // the whole text, also in the file
    QVERIFY(QString::fromUtf8(readFileBytes(*AnalysisLogger::shared().logFileURL())).contains(error));
    Gate hold;
    fakes.reader->beforeSummaries = [&hold] { hold.wait(); };
    coordinator.loadContacts();
    QVERIFY(!coordinator.contactLoadingError());  // cleared when the load starts
    hold.open();
    QTRY_VERIFY(coordinator.contacts().isEmpty() || coordinator.contactLoadingError());
  }

  // ---- Share links -------------------------------------------------------------

  void revokeShare_data() {
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QString>("shown");  // "none" for no error
    const QString fixed = AppCoordinator::kRevocationFailedText;
    QTest::newRow("success") << ""
                             << "none";
    QTest::newRow("404") << "404"
                         << "Share link HTTP 404: share not found";
    QTest::newRow("network failure") << "0"
                                     << "Share link HTTP 0: offline";
    QTest::newRow("rate limited") << "rate" << ShareLinkError::rateLimited(20).userFacingMessage();
    QTest::newRow("500") << "500" << fixed;
    QTest::newRow("undecodable 200") << "invalid" << fixed;
    QTest::newRow("unauthorized") << "unauthorized" << fixed;
    QTest::newRow("another error") << "std" << fixed;
  }
  void revokeShare() {
    QFETCH(QString, failure);
    QFETCH(QString, shown);
    FakeNeighbours& fakes = harness_->fakes;
    fakes.shares = {share("keep"), share("gone")};
    AppCoordinator& coordinator = harness_->make();
    coordinator.refreshActiveShares();
    QTRY_COMPARE(coordinator.activeShares().size(), 2);
    coordinator.setShareRevocationError(QStringLiteral("earlier"));

    const auto defaultRevoke = fakes.revoke;
    fakes.revoke = [failure, defaultRevoke](const QString& id) {
      if (failure == "404") throw ShareLinkError::httpFailed(404, QStringLiteral("share not found"));
      if (failure == "0") throw ShareLinkError::httpFailed(0, QStringLiteral("offline"));
      if (failure == "rate") throw ShareLinkError::rateLimited(20);
      if (failure == "500") throw ShareLinkError::httpFailed(500, QStringLiteral("boom"));
      if (failure == "invalid") throw ShareLinkError::invalidResponse(QStringLiteral("not JSON"));
      if (failure == "unauthorized") throw ShareLinkError::unauthorized();
      if (failure == "std") throw std::runtime_error("disk full");
      defaultRevoke(id);
    };
    Gate hold;
    const auto revoke = fakes.revoke;
    fakes.revoke = [&hold, revoke](const QString& id) {
      hold.wait();
      revoke(id);
    };
    coordinator.revokeShare(share("gone"));
    QVERIFY(!coordinator.shareRevocationError());  // cleared before anything is sent
    hold.open();
    if (failure.isEmpty()) {
      QTRY_COMPARE(coordinator.activeShares().size(), 1);
      QCOMPARE(coordinator.activeShares().first().shareID, QStringLiteral("keep"));
      QCOMPARE(fakes.revokedIDs(), QStringList{"gone"});
    } else {
      QTRY_VERIFY(coordinator.shareRevocationError());
      QTRY_COMPARE(coordinator.activeShares().size(), 2);  // the link stays listed
    }
    QCOMPARE(optionalText(coordinator.shareRevocationError()), shown);
  }

  // ---- Reset to first run --------------------------------------------------------

  void resetFields_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::newRow("screen") << "screen"
                            << "welcome";
    QTest::newRow("permissions") << "permissions"
                                 << "none";
    QTest::newRow("contacts") << "contacts"
                              << "0";
    QTest::newRow("contactLoadingError") << "contactLoadingError"
                                         << "none";
    QTest::newRow("analysisLog") << "analysisLog"
                                 << "";
    QTest::newRow("processingError") << "processingError"
                                     << "none";
    QTest::newRow("processingProgress") << "processingProgress"
                                        << "0 0 none";
    QTest::newRow("lastProcessedMessageCount") << "lastProcessedMessageCount"
                                               << "0";
    QTest::newRow("processingDisplayName") << "processingDisplayName"
                                           << "your person";
    QTest::newRow("hybridSetupError") << "hybridSetupError"
                                      << "none";
    QTest::newRow("hasAcceptedTerms") << "hasAcceptedTerms"
                                      << "false";
    QTest::newRow("pastWraps") << "pastWraps"
                               << "0";
    QTest::newRow("activeShares") << "activeShares"
                                  << "0";
    QTest::newRow("currentShareContactHandle") << "currentShareContactHandle"
                                               << "none";
    QTest::newRow("intelligenceChoice") << "intelligenceChoice"
                                        << "hybrid";
    QTest::newRow("stored terms") << "stored hasAcceptedTerms"
                                  << "absent";
    QTest::newRow("stored onboarding") << "stored hasCompletedOnboarding"
                                       << "absent";
    QTest::newRow("install identifier") << "stored installID"
                                        << "absent";
    QTest::newRow("privacy setup") << "setup resets"
                                   << "1";
  }
  void resetFields() {
    QFETCH(QString, field);
    QFETCH(QString, value);
    populate();
    if (QTest::currentTestFailed()) return;
    AppCoordinator& coordinator = *harness_->coordinator;
    coordinator.resetAppToFirstRun();
    QCOMPARE(render(coordinator, field), value);
  }

  void resetWithoutHybridChoosesCloud() {
    harness_->fakes.capabilities = {HybridPrivacyCapability::requiresAppleSilicon()};
    AppCoordinator& coordinator = harness_->make();
    coordinator.resetAppToFirstRun();
    QCOMPARE(coordinator.intelligenceChoice(), IntelligenceChoice::cloud);
  }

  // With the real privacy setup: the log file starts again with no line from
  // before the reset, while saved reports and shares.json stay.
  void resetKeepsReportsAndStartsTheLogAgain() {
    const QString logFile = *AnalysisLogger::shared().logFileURL();
    const QString appFolder = QFileInfo(QFileInfo(logFile).absolutePath()).absolutePath();
    AppPaths::overrideAppFolder(appFolder);
    QDir(appFolder + QStringLiteral("/reports")).removeRecursively();
    PrivacyFilterSetup setup;
    harness_->fakes.setup = nullptr;
    CoordinatorServices services = harness_->fakes.services();
    services.privacySetup = std::make_shared<PrivacyFilterSetupDriver>(setup);
    AppCoordinator coordinator(services);

    SavedReportLibrary().save(minimalReport(), Date::now());
    QFile shares(appFolder + QStringLiteral("/shares.json"));
    QVERIFY(shares.open(QIODevice::WriteOnly));
    shares.write("[]");
    shares.close();

    // Enough lines that the log's writer is still busy with them when the
    // reset removes the folder.
    for (int i = 0; i < 3000; ++i) AnalysisLogger::log(QStringLiteral("line before the reset"));
    coordinator.resetAppToFirstRun();
    AnalysisLogger::log(QStringLiteral("line after the reset"));
    AnalysisLogger::shared().waitForPendingWrites();

    QFile log(logFile);
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QByteArray written = log.readAll();
    QVERIFY(written.contains("line after the reset"));
    QVERIFY(!written.contains("line before the reset"));
    QVERIFY(QFileInfo::exists(shares.fileName()));
    coordinator.goHome();
    QCOMPARE(coordinator.pastWraps().size(), 1);
    QDir(appFolder + QStringLiteral("/reports")).removeRecursively();
  }

 private:
  // A coordinator with something in every field the reset clears.
  void populate() {
    FakeNeighbours& fakes = harness_->fakes;
    fakes.shares = {share("s1")};
    fakes.reader->messages = {textMessage(1, 10), textMessage(2, 12, true)};
    fakes.reader->summaries = {summary("+15551230001")};
    AppSettings::shared().setValue(QStringLiteral("installID"), QStringLiteral("macos-TEST"));
    AppCoordinator& coordinator = harness_->make();
    coordinator.bootIfNeeded();
    QTRY_COMPARE(coordinator.activeShares().size(), 1);
    QTRY_VERIFY(coordinator.permissions());
    coordinator.setHasAcceptedTerms(true);
    coordinator.loadContacts();
    QTRY_COMPARE(coordinator.contacts().size(), 1);
    coordinator.startProcessing(summary("+15551230001", QStringLiteral("Sam")));
    QTRY_COMPARE(screenName(coordinator), QStringLiteral("results"));
    coordinator.selectIntelligence(IntelligenceChoice::cloud);
    coordinator.setContactLoadingError(QStringLiteral("x"));
    coordinator.setProcessingError(QStringLiteral("x"));
    coordinator.setHybridSetupError(QStringLiteral("x"));
  }

  QString render(const AppCoordinator& c, const QString& field) const {
    const AppSettings& settings = AppSettings::shared();
    const auto stored = [&settings](const QString& key) {
      return settings.contains(key) ? settings.value(key).toString() : QStringLiteral("absent");
    };
    if (field == "screen") return screenName(c);
    if (field == "permissions") return c.permissions() ? QStringLiteral("some") : QStringLiteral("none");
    if (field == "contacts") return QString::number(c.contacts().size());
    if (field == "contactLoadingError") return optionalText(c.contactLoadingError());
    if (field == "analysisLog") return c.analysisLog();
    if (field == "processingError") return optionalText(c.processingError());
    if (field == "processingProgress") {
      const ProcessingProgress& p = c.processingProgress();
      return QStringLiteral("%1 %2 %3")
          .arg(int(p.stage))
          .arg(p.fraction)
          .arg(p.estimatedRemainingSeconds ? QString::number(*p.estimatedRemainingSeconds) : QStringLiteral("none"));
    }
    if (field == "lastProcessedMessageCount") return QString::number(c.lastProcessedMessageCount());
    if (field == "processingDisplayName") return c.processingDisplayName();
    if (field == "hybridSetupError") return optionalText(c.hybridSetupError());
    if (field == "hasAcceptedTerms") return c.hasAcceptedTerms() ? QStringLiteral("true") : QStringLiteral("false");
    if (field == "pastWraps") return QString::number(c.pastWraps().size());
    if (field == "activeShares") return QString::number(c.activeShares().size());
    if (field == "currentShareContactHandle") return optionalText(c.currentShareContactHandle());
    if (field == "intelligenceChoice") return rawValue(c.intelligenceChoice());
    if (field.startsWith(QLatin1String("stored "))) return stored(field.mid(7));
    if (field == "setup resets") return QString::number(harness_->fakes.setup->resets);
    return QStringLiteral("unknown field");
  }

  std::unique_ptr<CoordinatorHarness> harness_;
};

MURMELA_TEST(CoordinatorActivityTest)
#include "CoordinatorActivityTest.moc"
