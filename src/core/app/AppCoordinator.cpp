#include "app/AppCoordinator.h"

#include "common/AnalysisLogger.h"
#include "common/AppSettings.h"
#include "common/MurmelaError.h"
#include "common/PathExpansion.h"
#include "data/PrivateDatabaseCopy.h"
#include "privacy/PrivacyRuntimeManager.h"

#include <QMetaObject>

#include <algorithm>

namespace murmela {
namespace {

bool isFine(const PermissionSnapshot& snapshot) {
  return snapshot.hasFullDiskAccess && snapshot.contactsStatus.isAuthorized();
}

constexpr std::chrono::milliseconds kDestructionWait{30000};

}  // namespace

QString AppCoordinator::defaultMessagesDatabasePath() {
  return expandingTildeInPath(QStringLiteral("~/Library/Messages/chat.db"));
}

AppCoordinator::AppCoordinator(CoordinatorServices services, QObject* parent)
    : QObject(parent), services_(std::move(services)), workers_(this), probes_(this, 2) {
  if (!services_.now) services_.now = [] { return Date::now(); };
  hasAcceptedTerms_ = AppSettings::shared().value(kHasAcceptedTermsKey, false).toBool();
  refreshHybridCapability();
}

AppCoordinator::~AppCoordinator() { shutdown(kDestructionWait); }

bool AppCoordinator::shutdown(std::chrono::milliseconds timeout) {
  lifetime_.request_stop();
  stopRun();
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  const bool workersEnded = workers_.shutdown(timeout);
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
  return probes_.shutdown(std::max(left, std::chrono::milliseconds(0))) && workersEnded;
}

// ---- Published state ------------------------------------------------------

void AppCoordinator::setScreen(const AppScreen& screen) {
  const auto readsDatabase = [](const AppScreen& shown) {
    return shown.is(AppScreen::Kind::contactPicker) || shown.is(AppScreen::Kind::processing);
  };
  // The picker and the run share one reading of the database; leaving both ends it.
  if (readsDatabase(screen_) && !readsDatabase(screen)) endReading();
  screen_ = screen;
  ++screenChanges_;
  Q_EMIT screenChanged();
}

std::shared_ptr<ConversationReading> AppCoordinator::reading() {
  if (!reading_ && services_.reader) reading_ = services_.reader->beginReading();
  return reading_;
}

void AppCoordinator::endReading() {
  if (!reading_) return;
  // The last holder removes a private copy from the disk: never on this thread.
  workers_.run([reading = std::move(reading_)]() mutable { reading.reset(); });
  reading_.reset();
}

bool AppCoordinator::setScreenIfUnchangedSince(quint64 mark, const AppScreen& screen) {
  if (screenChanges_ != mark) return false;
  setScreen(screen);
  return true;
}

void AppCoordinator::setPermissions(const std::optional<PermissionSnapshot>& permissions) {
  permissions_ = permissions;
  Q_EMIT permissionsChanged();
}

void AppCoordinator::setContacts(const QList<ContactSummary>& contacts) {
  contacts_ = contacts;
  Q_EMIT contactsChanged();
}

void AppCoordinator::setContactLoadingError(const std::optional<QString>& text) {
  contactLoadingError_ = text;
  Q_EMIT contactLoadingErrorChanged();
}

void AppCoordinator::setProcessingProgress(const ProcessingProgress& progress) {
  processingProgress_ = progress;
  Q_EMIT processingProgressChanged();
}

void AppCoordinator::setProcessingError(const std::optional<QString>& text) {
  processingError_ = text;
  Q_EMIT processingErrorChanged();
}

void AppCoordinator::setAnalysisLog(const QString& text) {
  analysisLog_ = text;
  Q_EMIT analysisLogChanged();
}

void AppCoordinator::setPastWraps(const QList<PastWrap>& wraps) {
  pastWraps_ = wraps;
  Q_EMIT pastWrapsChanged();
}

void AppCoordinator::setCurrentShareContactHandle(const std::optional<QString>& handle) {
  currentShareContactHandle_ = handle;
  Q_EMIT currentShareContactHandleChanged();
}

void AppCoordinator::setActiveShares(const QList<ShareCacheEntry>& shares) {
  activeShares_ = shares;
  Q_EMIT activeSharesChanged();
}

void AppCoordinator::setShareRevocationError(const std::optional<QString>& text) {
  shareRevocationError_ = text;
  Q_EMIT shareRevocationErrorChanged();
}

void AppCoordinator::setHasAcceptedTerms(bool accepted) {
  hasAcceptedTerms_ = accepted;
  Q_EMIT hasAcceptedTermsChanged();
  AppSettings::shared().setValue(kHasAcceptedTermsKey, accepted);
}

void AppCoordinator::setIntelligenceChoice(IntelligenceChoice choice) {
  intelligenceChoice_ = choice;
  Q_EMIT intelligenceChoiceChanged();
}

void AppCoordinator::setHybridCapability(const HybridPrivacyCapability& capability) {
  hybridCapability_ = capability;
  Q_EMIT hybridCapabilityChanged();
}

void AppCoordinator::setHybridSetupError(const std::optional<QString>& text) {
  hybridSetupError_ = text;
  Q_EMIT hybridSetupErrorChanged();
}

void AppCoordinator::setPythonInstallHelpVisible(bool visible) {
  pythonInstallHelpVisible_ = visible;
  Q_EMIT pythonInstallHelpVisibleChanged();
}

void AppCoordinator::setLastProcessedMessageCount(qint64 count) {
  lastProcessedMessageCount_ = count;
  Q_EMIT lastProcessedMessageCountChanged();
}

void AppCoordinator::setProcessingDisplayName(const QString& name) {
  processingDisplayName_ = name;
  Q_EMIT processingDisplayNameChanged();
}

// ---- Boot and navigation --------------------------------------------------

void AppCoordinator::bootIfNeeded() {
  if (didBoot_) return;
  didBoot_ = true;
  const quint64 mark = screenMark();

  setPastWraps(services_.reportLibrary.load());
  refreshActiveShares();
  // Private copies of the database and runtime downloads that a crash or a
  // kill left behind.
  workers_.run([] {
    PrivateDatabaseCopy::removeLeftovers(PrivateDatabaseCopy::Leftovers::abandoned);
    PrivacyRuntimeManager().removeAbandonedDownloads();
  });
  trackInBackground([](AnalyticsEvents& analytics, std::stop_token stop) { analytics.appInstalledIfNeeded(stop); });

  if (const std::optional<FakeDataFixture> fixture =
          FakeReportLoader::launchArgumentFixture(services_.launchArguments)) {
    loadFakeData(*fixture);
    return;
  }
  if (services_.skipsPermissionGate) {
    const PermissionSnapshot granted{true, ContactAccessStatus::authorized()};
    setPermissions(granted);
    decideFirstScreen(mark, granted);
    return;
  }
  probePermissions([this, mark](const PermissionSnapshot& snapshot) { decideFirstScreen(mark, snapshot); });
}

void AppCoordinator::decideFirstScreen(quint64 mark, const PermissionSnapshot& snapshot) {
  const bool onboarded = AppSettings::shared().value(kHasCompletedOnboardingKey, false).toBool();
  AppScreen first = AppScreen::permissions();
  if (!onboarded) {
    first = AppScreen::welcome();
  } else if (services_.skipsPermissionGate || isFine(snapshot)) {
    first = AppScreen::home();
  }
  setScreenIfUnchangedSince(mark, first);
}

void AppCoordinator::probePermissions(std::function<void(const PermissionSnapshot&)> then) {
  // Probes run side by side and may answer out of order: only the one started
  // last stores its snapshot, so an older answer never replaces a newer one.
  const quint64 probe = ++permissionProbes_;
  probes_.run([this, probe, run = services_.probePermissions, post = probes_.post(), then = std::move(then)] {
    const PermissionSnapshot snapshot = run();
    // `this` is used only in the posted call (GUI thread, coordinator alive).
    post([this, probe, then, snapshot] {
      if (probe == permissionProbes_) setPermissions(snapshot);
      if (then) then(snapshot);
    });
  });
}

void AppCoordinator::refreshPermissions() { probePermissions({}); }

void AppCoordinator::trackInBackground(std::function<void(AnalyticsEvents&, std::stop_token)> event) {
  if (!services_.analytics) return;
  // Quitting ends the event's exchange rather than waiting for its time-outs.
  workers_.run([analytics = services_.analytics, event = std::move(event), stop = lifetime_.get_token()] {
    event(*analytics, stop);
  });
}

void AppCoordinator::loadFakeData(FakeDataFixture fixture) {
  setCurrentShareContactHandle(std::nullopt);
  try {
    setScreen(AppScreen::results(FakeReportLoader::load(fixture)));
  } catch (const std::exception& error) {
    setProcessingError(murmela::describeError(error));
    setScreen(AppScreen::welcome());
  }
}

void AppCoordinator::getStarted() {
  if (!hasAcceptedTerms_) return;
  refreshHybridCapability();
  setScreen(AppScreen::intelligence());
}

void AppCoordinator::continueToPermissions() {
  if (services_.skipsPermissionGate) {
    setScreen(AppScreen::contactPicker());
    return;
  }
  setScreen(AppScreen::permissions());
  refreshPermissions();
}

void AppCoordinator::goHome() {
  stopRun();
  setPastWraps(services_.reportLibrary.load());
  refreshActiveShares();
  setScreen(AppScreen::home());
}

void AppCoordinator::beginNewMurmelaFromHome() {
  stopRun();
  setCurrentShareContactHandle(std::nullopt);
  setAnalysisLog(QString());
  setProcessingProgress(ProcessingProgress{});
  setProcessingError(std::nullopt);
  refreshHybridCapability();

  const quint64 mark = screenMark();
  if (services_.skipsPermissionGate) {
    QMetaObject::invokeMethod(
        this, [this, mark] { setScreenIfUnchangedSince(mark, AppScreen::intelligence()); }, Qt::QueuedConnection);
    return;
  }
  probePermissions([this, mark](const PermissionSnapshot& snapshot) {
    setScreenIfUnchangedSince(mark, isFine(snapshot) ? AppScreen::intelligence() : AppScreen::permissions());
  });
}

void AppCoordinator::openPastWrap(const PastWrap& wrap) {
  setCurrentShareContactHandle(std::nullopt);
  setAnalysisLog(QString());
  setProcessingError(std::nullopt);
  setScreen(AppScreen::results(wrap.report));
}

void AppCoordinator::copyAnalysisLog() {
  const QString text = analysisLog_.isEmpty() ? AnalysisLogger::shared().joinedLines() : analysisLog_;
  if (text.isEmpty() || !services_.copyToClipboard) return;
  services_.copyToClipboard(text);
}

void AppCoordinator::refreshHybridCapability() {
  setHybridCapability(services_.detectHybridCapability ? services_.detectHybridCapability()
                                                       : HybridPrivacyCapability::requiresAppleSilicon());
  if (!hybridCapability_.isAvailable() && intelligenceChoice_ == IntelligenceChoice::hybrid)
    setIntelligenceChoice(IntelligenceChoice::cloud);
}

QString AppCoordinator::describeError(const std::exception& error) { return errorLogFields(error); }

}  // namespace murmela
