#pragma once

#include "analysis/ProcessingProgress.h"
#include "analysis/WrappedAnalysisPipeline.h"
#include "app/SavedReportLibrary.h"
#include "app/SettingsPaneOpener.h"
#include "common/Date.h"
#include "data/ContactResolver.h"
#include "data/ContactStore.h"
#include "data/ContactSummary.h"
#include "data/ImportedChat.h"
#include "data/IntelligenceChoice.h"
#include "data/Message.h"
#include "data/PermissionSnapshot.h"
#include "data/WrappedReport.h"
#include "hosted/HostedAnalysisResult.h"
#include "hosted/HostedAnalysisWorkflow.h"
#include "privacy/HybridPrivacyCapability.h"
#include "sharelinks/ShareCacheEntry.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <exception>
#include <functional>
#include <memory>
#include <stop_token>

namespace murmela {

class PrivacyFilterSetup;

// One reading of the Messages database: the picker's list and the run that
// follows read through one, so that what they keep for it (a private copy of
// the database) serves both, and goes when the reading does. Called on
// workers, possibly two at once; each call may block on the disk and throws
// the data layer's errors.
class ConversationReading {
 public:
  virtual ~ConversationReading() = default;
  virtual MessageList fetchMessages(const QString& handle) = 0;
  virtual qint64 countAttachments(const QString& handle) = 0;
  virtual QList<ContactSummary> fetchContactSummaries() = 0;
};

// The Messages database, as the coordinator reads it.
class ConversationReader {
 public:
  virtual ~ConversationReader() = default;
  // A new reading; touches nothing until its first call (GUI thread).
  virtual std::shared_ptr<ConversationReading> beginReading() const = 0;
};

// The usage events. Called on a worker; each call blocks until the backend
// answered or gave up, or until `stop` is requested (the application is
// quitting), and never throws.
class AnalyticsEvents {
 public:
  virtual ~AnalyticsEvents() = default;
  virtual void appInstalledIfNeeded(std::stop_token stop) = 0;
  virtual void modeChosen(IntelligenceChoice choice, std::stop_token stop) = 0;
  virtual void murmelaCreated(HostedAnalysisWorkflow workflow, const WrappedReport& report, double durationSeconds,
                              std::stop_token stop) = 0;
};

// The privacy-filter setup as the coordinator drives it, on the GUI thread.
class PrivacySetupDriver {
 public:
  // Null on success; otherwise the error that stopped the setup.
  using Completion = std::function<void(std::exception_ptr error)>;

  virtual ~PrivacySetupDriver() = default;
  virtual bool isReady() const = 0;
  // Runs the setup, or joins the one running; `completion` is called on the
  // GUI thread after start() has returned.
  virtual void start(Completion completion) = 0;
  // Removes the installed runtime and its caches (the analysis log's folder
  // among them) and returns the setup to its first state.
  virtual void resetState() = 0;
};

// The driver of a PrivacyFilterSetup (the process's shared one in production).
class PrivacyFilterSetupDriver : public PrivacySetupDriver {
 public:
  explicit PrivacyFilterSetupDriver(PrivacyFilterSetup& setup) : setup_(setup) {}

  bool isReady() const override;
  void start(Completion completion) override;
  void resetState() override;

 private:
  PrivacyFilterSetup& setup_;
};

// Everything the coordinator talks to. Each neighbour is an interface or a
// function so that tests put fakes in its place; makeProductionServices()
// builds the real ones. The comment of each member says on which thread the
// coordinator calls it.
struct CoordinatorServices {
  // The on-device analysis (worker): see WrappedAnalysisPipeline::buildReport.
  using Pipeline = std::function<WrappedReport(const ImportedChat&, const WrappedAnalysisPipeline::ProgressCallback&,
                                               std::stop_token, WrappedAnalysisPipeline::Options)>;
  // One hosted run with a client built for it (worker); progress is reported
  // on the calling thread. Throws what the hosted client throws.
  using HostedAnalysis =
      std::function<HostedAnalysisResult(const ImportedChat&, const WrappedReport&, HostedAnalysisWorkflow,
                                         const std::function<void(const ProcessingProgress&)>&, std::stop_token)>;
  // Revokes one share link through the backend and marks it revoked in the
  // local cache (worker). Throws ShareLinkError or any other error.
  using ShareRevoker = std::function<void(const QString& shareID, std::stop_token)>;
  // The cached links that are neither revoked nor expired, newest first
  // (worker). Never throws.
  using ActiveSharesReader = std::function<QList<ShareCacheEntry>()>;

  QStringList launchArguments;
  // True when the Messages database was named at launch: the permission
  // screen is then left out.
  bool skipsPermissionGate = false;

  std::shared_ptr<ConversationReader> reader;                       // GUI; its readings: worker
  std::function<PermissionSnapshot()> probePermissions;             // worker
  std::shared_ptr<ContactResolver> contactResolver;                 // status and request: GUI; names: worker
  Pipeline pipeline;                                                // worker
  HostedAnalysis hostedAnalysis;                                    // worker
  std::shared_ptr<AnalyticsEvents> analytics;                       // worker
  std::shared_ptr<PrivacySetupDriver> privacySetup;                 // GUI
  std::function<HybridPrivacyCapability()> detectHybridCapability;  // GUI
  ShareRevoker revokeShareLink;                                     // worker
  ActiveSharesReader activeShares;                                  // worker
  std::function<void(const QString&)> copyToClipboard;              // GUI
  std::shared_ptr<SettingsPaneOpener> settingsPaneOpener;           // GUI
  std::function<Date()> now;                                        // any thread
  SavedReportLibrary reportLibrary;                                 // GUI
};

// What the desktop side of the application adds to the production services:
// the pieces that need a window system. Whatever is left empty does nothing.
struct DesktopIntegration {
  // The contacts store; empty: a vCard address book that never asks the user.
  std::shared_ptr<ContactStore> contactStore;
  std::shared_ptr<SettingsPaneOpener> settingsPaneOpener;
  std::function<void(const QString&)> copyToClipboard;
  // The backend of the analysis and the usage events; empty: the built-in
  // one. Only tests and tools set it: the application always uses the
  // backend it was built for.
  QString backendBaseUrl;
  // The privacy-filter setup and the hybrid capability check; empty: the
  // process's shared setup and the machine's own answer. Only tests set them.
  std::shared_ptr<PrivacySetupDriver> privacySetup;
  std::function<HybridPrivacyCapability()> detectHybridCapability;
};

// The services of the running application, from the process's launch
// arguments (program path first): the Messages database named after
// "-messagesDB" (then the permission screen is skipped) or the default one,
// the real reader, analysis, backend clients (share links on the backend
// that "-shareAPIBaseURL" names), the shared share-link cache, privacy setup
// and capability detection, and the saved-report folder of the application
// folder. Call on the GUI thread.
CoordinatorServices makeProductionServices(const QStringList& launchArguments, DesktopIntegration desktop = {});

}  // namespace murmela
