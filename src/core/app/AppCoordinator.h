#pragma once

#include "analysis/ProcessingProgress.h"
#include "app/AppScreen.h"
#include "app/CoordinatorServices.h"
#include "app/PastWrap.h"
#include "app/ProcessingRun.h"
#include "app/WorkerPool.h"
#include "data/ContactSummary.h"
#include "data/FakeReportLoader.h"
#include "data/IntelligenceChoice.h"
#include "data/PermissionSnapshot.h"
#include "privacy/HybridPrivacyCapability.h"
#include "sharelinks/ShareCacheEntry.h"

#include <QList>
#include <QObject>
#include <QString>

#include <chrono>
#include <exception>
#include <optional>
#include <stop_token>

namespace murmela {

// A CSV chat import waiting to run (the debug road; nothing starts one).
struct PendingCSVDebugImport {
  QString filePath;
  QString myName;
};

// The application's one state object, on the GUI thread for the whole
// process. It holds everything the screens show, decides the first screen,
// moves the user between the screens, and runs one analysis at a time from
// the chosen conversation to a saved report on the results screen.
//
// Every published field is a property whose change signal is emitted on each
// assignment. Blocking work runs on the coordinator's own worker threads and
// comes back as queued calls; operations return at once. Work that finishes
// after the user has moved on keeps what it fetched but leaves the screen
// alone, and a run that was replaced or stopped writes nothing at all.
class AppCoordinator : public QObject {
  Q_OBJECT
  Q_PROPERTY(murmela::AppScreen screen READ screen WRITE setScreen NOTIFY screenChanged)
  Q_PROPERTY(std::optional<murmela::PermissionSnapshot> permissions READ permissions WRITE setPermissions NOTIFY
                 permissionsChanged)
  Q_PROPERTY(QList<murmela::ContactSummary> contacts READ contacts NOTIFY contactsChanged)
  Q_PROPERTY(std::optional<QString> contactLoadingError READ contactLoadingError WRITE setContactLoadingError NOTIFY
                 contactLoadingErrorChanged)
  Q_PROPERTY(murmela::ProcessingProgress processingProgress READ processingProgress NOTIFY processingProgressChanged)
  Q_PROPERTY(std::optional<QString> processingError READ processingError WRITE setProcessingError NOTIFY
                 processingErrorChanged)
  Q_PROPERTY(QString analysisLog READ analysisLog NOTIFY analysisLogChanged)
  Q_PROPERTY(QList<murmela::PastWrap> pastWraps READ pastWraps WRITE setPastWraps NOTIFY pastWrapsChanged)
  Q_PROPERTY(std::optional<QString> currentShareContactHandle READ currentShareContactHandle NOTIFY
                 currentShareContactHandleChanged)
  Q_PROPERTY(QList<murmela::ShareCacheEntry> activeShares READ activeShares NOTIFY activeSharesChanged)
  Q_PROPERTY(std::optional<QString> shareRevocationError READ shareRevocationError WRITE setShareRevocationError NOTIFY
                 shareRevocationErrorChanged)
  Q_PROPERTY(bool hasAcceptedTerms READ hasAcceptedTerms WRITE setHasAcceptedTerms NOTIFY hasAcceptedTermsChanged)
  Q_PROPERTY(murmela::IntelligenceChoice intelligenceChoice READ intelligenceChoice NOTIFY intelligenceChoiceChanged)
  Q_PROPERTY(murmela::HybridPrivacyCapability hybridCapability READ hybridCapability NOTIFY hybridCapabilityChanged)
  Q_PROPERTY(std::optional<QString> hybridUnavailableReason READ hybridUnavailableReason NOTIFY hybridCapabilityChanged)
  Q_PROPERTY(std::optional<QString> hybridSetupError READ hybridSetupError WRITE setHybridSetupError NOTIFY
                 hybridSetupErrorChanged)
  Q_PROPERTY(bool pythonInstallHelpVisible READ pythonInstallHelpVisible WRITE setPythonInstallHelpVisible NOTIFY
                 pythonInstallHelpVisibleChanged)
  Q_PROPERTY(qint64 lastProcessedMessageCount READ lastProcessedMessageCount NOTIFY lastProcessedMessageCountChanged)
  Q_PROPERTY(QString processingDisplayName READ processingDisplayName NOTIFY processingDisplayNameChanged)
  Q_PROPERTY(bool skipsPermissionGate READ skipsPermissionGate CONSTANT)

 public:
  static inline const QString kHasAcceptedTermsKey = QStringLiteral("hasAcceptedTerms");
  static inline const QString kHasCompletedOnboardingKey = QStringLiteral("hasCompletedOnboarding");
  static inline const QString kDefaultDisplayName = QStringLiteral("your person");
  static inline const QString kRevocationFailedText =
      QStringLiteral("Couldn't revoke share link. Try again in a moment.");
  static inline const QString kSaveFailedPrefix = QStringLiteral("Saved report could not be added to your library: ");
  // How long quitting waits for a run to stop before it leaves it behind.
  static constexpr std::chrono::milliseconds kShutdownTimeout{3000};

  // "~/Library/Messages/chat.db" with the tilde expanded: the database read
  // unless another is named at launch, and the file touched before the Full
  // Disk Access settings open.
  static QString defaultMessagesDatabasePath();

  // Reads "hasAcceptedTerms", then detects the hybrid capability (which may
  // turn the hybrid choice into cloud). Starts nothing.
  explicit AppCoordinator(CoordinatorServices services, QObject* parent = nullptr);
  // Stops the run and waits (bounded) for the worker threads.
  ~AppCoordinator() override;

  // ---- Published state -------------------------------------------------
  const AppScreen& screen() const { return screen_; }
  void setScreen(const AppScreen& screen);
  const std::optional<PermissionSnapshot>& permissions() const { return permissions_; }
  void setPermissions(const std::optional<PermissionSnapshot>& permissions);
  const QList<ContactSummary>& contacts() const { return contacts_; }
  const std::optional<QString>& contactLoadingError() const { return contactLoadingError_; }
  void setContactLoadingError(const std::optional<QString>& text);
  const ProcessingProgress& processingProgress() const { return processingProgress_; }
  const std::optional<QString>& processingError() const { return processingError_; }
  void setProcessingError(const std::optional<QString>& text);
  const QString& analysisLog() const { return analysisLog_; }
  const QList<PastWrap>& pastWraps() const { return pastWraps_; }
  void setPastWraps(const QList<PastWrap>& wraps);
  const std::optional<QString>& currentShareContactHandle() const { return currentShareContactHandle_; }
  const QList<ShareCacheEntry>& activeShares() const { return activeShares_; }
  const std::optional<QString>& shareRevocationError() const { return shareRevocationError_; }
  void setShareRevocationError(const std::optional<QString>& text);
  bool hasAcceptedTerms() const { return hasAcceptedTerms_; }
  // Also stores the value under "hasAcceptedTerms".
  void setHasAcceptedTerms(bool accepted);
  IntelligenceChoice intelligenceChoice() const { return intelligenceChoice_; }
  const HybridPrivacyCapability& hybridCapability() const { return hybridCapability_; }
  // Why hybrid mode cannot run here; none while it can.
  std::optional<QString> hybridUnavailableReason() const;
  const std::optional<QString>& hybridSetupError() const { return hybridSetupError_; }
  void setHybridSetupError(const std::optional<QString>& text);
  bool pythonInstallHelpVisible() const { return pythonInstallHelpVisible_; }
  void setPythonInstallHelpVisible(bool visible);
  qint64 lastProcessedMessageCount() const { return lastProcessedMessageCount_; }
  const QString& processingDisplayName() const { return processingDisplayName_; }
  bool skipsPermissionGate() const { return services_.skipsPermissionGate; }
  const QStringList& launchArguments() const { return services_.launchArguments; }

  // Read by the runtime help sheet; nothing here changes them.
  const std::optional<QString>& pythonSystemInstallError() const { return pythonSystemInstallError_; }
  bool pythonSystemInstallSucceeded() const { return pythonSystemInstallSucceeded_; }
  const std::optional<PendingCSVDebugImport>& pendingCSVDebugImport() const { return pendingCSVDebugImport_; }
  // The folder of saved reports the home screen lists (it reloads pastWraps from it each time it shows).
  const SavedReportLibrary& reportLibrary() const { return services_.reportLibrary; }
  void setPendingCSVDebugImport(std::optional<PendingCSVDebugImport> pending) {
    pendingCSVDebugImport_ = std::move(pending);
  }

  // ---- Boot and navigation ----------------------------------------------
  // Once per process: lists the saved reports, refreshes the active shares,
  // posts the install event, then shows the demo report named by "-fakeData",
  // or probes the permissions and shows welcome, home or permissions.
  void bootIfNeeded();
  void loadFakeData(FakeDataFixture fixture);
  // Only with the terms accepted: to the intelligence choice.
  void getStarted();
  // To the contact picker with the permission gate skipped, else to the
  // permissions screen (with a fresh probe arriving later).
  void continueToPermissions();
  // Stops the run, lists the saved reports, refreshes the shares, shows home.
  void goHome();
  // Stops the run, forgets its state, then (after a probe) shows the
  // intelligence choice or the permissions screen.
  void beginNewMurmelaFromHome();
  void openPastWrap(const PastWrap& wrap);
  // The run's log, else the log's lines in memory; nothing when both are empty.
  void copyAnalysisLog();
  // Probes the permissions on a worker and stores the snapshot, unless
  // another probe was started after this one.
  void refreshPermissions();
  // Detects the capability; a hybrid choice that cannot run becomes cloud.
  void refreshHybridCapability();
  // "type=… domain=… code=… msg=…".
  static QString describeError(const std::exception& error);

  // ---- The processing run ------------------------------------------------
  // What saving a finished run's report gave: the library listed again, or
  // why the save failed.
  struct ReportSaving {
    QList<PastWrap> wraps;
    std::optional<QString> failure;
  };
  // Stops any earlier run and starts one for `contact` (its confirmed display
  // name, when not empty, is the other participant's name).
  void startProcessing(const ContactSummary& contact);

  // ---- Intelligence choice and hybrid setup ---------------------------------
  void selectIntelligence(IntelligenceChoice choice);
  // Posts the "choice" event (with the choice as it stands once this returns)
  // and goes on as cloud or hybrid.
  void confirmIntelligenceChoice();
  // Goes on when the privacy filter is ready; otherwise shows the hybrid
  // setup while it runs, and moves on from there when it succeeds.
  void confirmHybridIntelligence();
  void showPythonInstallHelp();

  // ---- Contacts and permissions ---------------------------------------------
  // Asks for contacts access when the user has not answered yet (then probes
  // again); otherwise opens the contacts settings.
  void requestContactsAccess();
  void openFullDiskAccessSettings();
  void loadContactsIfNeeded();
  // Reads the conversation partners and their contact names on a worker.
  void loadContacts();

  // ---- Share links ----------------------------------------------------------
  void refreshActiveShares();
  void revokeShare(const ShareCacheEntry& entry);

  // ---- Reset ------------------------------------------------------------------
  // Back to the state of a first launch; saved reports and shares.json stay.
  void resetAppToFirstRun();

  // Stops the run (aborting its request and its child process) and waits up
  // to `timeout` for the worker threads; later results are dropped. The
  // application calls it when it is about to quit. True when all work ended.
  bool shutdown(std::chrono::milliseconds timeout = kShutdownTimeout);
  // Blocks until no background work runs, up to `timeout` (tests and tools);
  // what it posted arrives with the next turn of the event loop.
  bool waitForBackgroundWork(std::chrono::milliseconds timeout) {
    return workers_.waitForIdle(timeout) && probes_.waitForIdle(timeout);
  }

 Q_SIGNALS:
  void screenChanged();
  void permissionsChanged();
  void contactsChanged();
  void contactLoadingErrorChanged();
  void processingProgressChanged();
  void processingErrorChanged();
  void analysisLogChanged();
  void pastWrapsChanged();
  void currentShareContactHandleChanged();
  void activeSharesChanged();
  void shareRevocationErrorChanged();
  void hasAcceptedTermsChanged();
  void intelligenceChoiceChanged();
  void hybridCapabilityChanged();
  void hybridSetupErrorChanged();
  void pythonInstallHelpVisibleChanged();
  void lastProcessedMessageCountChanged();
  void processingDisplayNameChanged();

 private:
  // The last processing run, finished or not, until the next run, going
  // home, starting a new report or the reset stops it.
  struct ProcessingTask {
    quint64 id = 0;
    std::stop_source stop;
  };

  // Boot, navigation.
  void decideFirstScreen(quint64 screenMark, const PermissionSnapshot& snapshot);
  // Probes on a worker; the snapshot is stored unless a later probe was
  // started meanwhile, then `then` (if any) sees it either way.
  void probePermissions(std::function<void(const PermissionSnapshot&)> then);
  // Sets the screen unless it was set since `mark` (screenMark() then).
  bool setScreenIfUnchangedSince(quint64 mark, const AppScreen& screen);
  quint64 screenMark() const { return screenChanges_; }
  void trackInBackground(std::function<void(AnalyticsEvents&, std::stop_token)> event);

  // The reading of the database that the picker's list and the run share
  // (one private copy of the database serves both): the current one, or a
  // new one.
  std::shared_ptr<ConversationReading> reading();
  // Where a reading ends, and only here: when the screens that read the
  // database are left, once a run has read its conversation, and at the
  // reset. What it kept goes on a worker, once no read still holds it.
  void endReading();

  // The processing run.
  void stopRun();
  bool isCurrentRun(quint64 id) const { return processingTask_ && processingTask_->id == id; }
  // Publishes the end of a run (its report already saved by the worker).
  void finishRun(quint64 id, const ProcessingOutcome& outcome, const ReportSaving& saving,
                 HostedAnalysisWorkflow workflow, const QString& handle, Date startDate);

  // Intelligence, contacts.
  void presentHybridUnavailableRecovery();
  // Opens and maps the database file at `path` if it is a regular file (on a
  // worker: it may block on the disk).
  static void triggerFullDiskAccessRegistration(const QString& path);
  void openSettingsPane(const QUrl& pane);

  // Reset.
  void clearAppUserDefaults();

  void setContacts(const QList<ContactSummary>& contacts);
  void setProcessingProgress(const ProcessingProgress& progress);
  void setAnalysisLog(const QString& text);
  void setCurrentShareContactHandle(const std::optional<QString>& handle);
  void setActiveShares(const QList<ShareCacheEntry>& shares);
  void setIntelligenceChoice(IntelligenceChoice choice);
  void setHybridCapability(const HybridPrivacyCapability& capability);
  void setLastProcessedMessageCount(qint64 count);
  void setProcessingDisplayName(const QString& name);

  CoordinatorServices services_;

  AppScreen screen_;
  std::optional<PermissionSnapshot> permissions_;
  QList<ContactSummary> contacts_;
  std::optional<QString> contactLoadingError_;
  ProcessingProgress processingProgress_;
  std::optional<QString> processingError_;
  QString analysisLog_;
  QList<PastWrap> pastWraps_;
  std::optional<QString> currentShareContactHandle_;
  QList<ShareCacheEntry> activeShares_;
  std::optional<QString> shareRevocationError_;
  bool hasAcceptedTerms_ = false;
  IntelligenceChoice intelligenceChoice_ = IntelligenceChoice::hybrid;
  HybridPrivacyCapability hybridCapability_ = HybridPrivacyCapability::requiresAppleSilicon();
  std::optional<QString> hybridSetupError_;
  bool pythonInstallHelpVisible_ = false;
  qint64 lastProcessedMessageCount_ = 0;
  QString processingDisplayName_ = kDefaultDisplayName;

  std::optional<QString> pythonSystemInstallError_;
  bool pythonSystemInstallSucceeded_ = false;
  std::optional<PendingCSVDebugImport> pendingCSVDebugImport_;

  bool didBoot_ = false;
  quint64 permissionProbes_ = 0;  // probes started
  quint64 screenChanges_ = 0;
  std::shared_ptr<ConversationReading> reading_;
  std::optional<ProcessingTask> processingTask_;
  quint64 runCount_ = 0;
  std::stop_source lifetime_;  // requested at shutdown: ends revocations in flight
  WorkerPool workers_;
  // The permission probes and the file touch of "Open settings", on two
  // threads of their own: an open() that a hung mount never answers holds up
  // at most these two (later clicks wait in line, they add no thread), never
  // the picker or the run.
  WorkerPool probes_;
};

}  // namespace murmela
