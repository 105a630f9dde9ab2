#pragma once

#include "app/AppCoordinator.h"
#include "app/CoordinatorServices.h"
#include "support/FakeContactStore.h"
#include "support/TestEnvironment.h"

#include <QList>
#include <QStringList>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

namespace murmela::test {

// Holds a worker until the test lets it go.
class Gate {
 public:
  void open();
  void wait();

 private:
  std::mutex lock_;
  std::condition_variable opened_;
  bool open_ = false;
};

// The Messages database as the coordinator reads it, in memory. Hooks run on
// the worker before each read (and may block or throw). Its readings read
// it; `readingsLeft` counts those not yet ended.
class FakeConversationReader : public ConversationReader,
                               public std::enable_shared_from_this<FakeConversationReader> {
 public:
  MessageList messages;
  qint64 attachments = 0;
  bool countFails = false;
  QList<ContactSummary> summaries;
  std::function<void(const QString& handle)> beforeFetch;
  std::function<void()> beforeSummaries;

  mutable std::atomic<int> fetches{0};
  mutable std::atomic<int> summaryReads{0};
  mutable std::atomic<int> readingsBegun{0};
  mutable std::atomic<int> readingsLeft{0};

  std::shared_ptr<ConversationReading> beginReading() const override;
  MessageList fetchMessages(const QString& handle) const;
  qint64 countAttachments(const QString& handle) const;
  QList<ContactSummary> fetchContactSummaries() const;
};

// Records every usage event.
class RecordingAnalytics : public AnalyticsEvents {
 public:
  struct Created {
    HostedAnalysisWorkflow workflow;
    qint64 totalMessages;
    double durationSeconds;
  };

  std::atomic<int> installs{0};
  QList<IntelligenceChoice> choices() const;
  QList<Created> created() const;

  void appInstalledIfNeeded(std::stop_token) override { ++installs; }
  void modeChosen(IntelligenceChoice choice, std::stop_token) override;
  void murmelaCreated(HostedAnalysisWorkflow workflow, const WrappedReport& report, double durationSeconds,
                      std::stop_token) override;

 private:
  mutable std::mutex lock_;
  QList<IntelligenceChoice> choices_;
  QList<Created> created_;
};

// A setup the test finishes by hand; a start while one runs joins it.
class FakePrivacySetup : public PrivacySetupDriver {
 public:
  bool ready = false;
  int starts = 0;
  int resets = 0;
  std::function<void()> onReset;

  bool isReady() const override { return ready; }
  void start(Completion completion) override;
  void resetState() override;
  bool isRunning() const { return !waiting_.isEmpty(); }
  // Ends the running setup; every joined caller hears of it.
  void finish(std::exception_ptr error = nullptr);

 private:
  QList<Completion> waiting_;
};

class RecordingPaneOpener : public SettingsPaneOpener {
 public:
  QList<QUrl> opened;
  void openPane(const QUrl& pane) override { opened.append(pane); }
};

// Every neighbour of the coordinator as a fake, with defaults for a machine
// where everything works: permissions granted, hybrid available, the real
// on-device pipeline, a hosted run that answers at once with nothing new.
// Must outlive the coordinator built from services().
class FakeNeighbours {
 public:
  FakeNeighbours();

  CoordinatorServices services();

  QStringList launchArguments{QStringLiteral("murmela")};
  bool skipsPermissionGate = false;

  std::shared_ptr<FakeConversationReader> reader = std::make_shared<FakeConversationReader>();
  std::shared_ptr<FakeContactStore> contactStore = std::make_shared<FakeContactStore>();

  PermissionSnapshot snapshot{true, ContactAccessStatus::authorized()};
  std::function<void()> beforeProbe;  // worker
  std::atomic<int> probes{0};

  // Run on the worker before the (real) pipeline and the hosted step; may
  // block or throw.
  std::function<void(std::stop_token)> beforePipeline;
  std::function<void(std::stop_token)> beforeHosted;
  // The hosted step's own progress reports, published as they are.
  QList<ProcessingProgress> hostedProgress;
  std::atomic<int> hostedRuns{0};
  std::optional<HostedAnalysisWorkflow> hostedWorkflow;  // of the last run
  qint64 hostedPhotos = -1;                              // photosShared of the report the hosted step saw

  std::shared_ptr<RecordingAnalytics> analytics = std::make_shared<RecordingAnalytics>();
  std::shared_ptr<FakePrivacySetup> setup = std::make_shared<FakePrivacySetup>();

  // Answered in turn; the last one repeats.
  QList<HybridPrivacyCapability> capabilities{HybridPrivacyCapability::available(QStringLiteral("0.1.1"))};
  int capabilityChecks = 0;

  QList<ShareCacheEntry> shares;                       // what the cache lists
  std::function<void(const QString& shareID)> revoke;  // worker; the default marks it revoked
  QStringList revokedIDs() const;

  QStringList copied;
  std::shared_ptr<RecordingPaneOpener> paneOpener = std::make_shared<RecordingPaneOpener>();

  Date clock = Date::fromUnix(1767225600.0);  // 2026-01-01T00:00:00Z
  std::optional<QString> reportsDir;          // none: the library of the application folder

 private:
  mutable std::mutex lock_;
  QStringList revoked_;
};

// A coordinator over fakes, in a fresh application folder and user defaults.
// Call prepareAppTests() in initTestCase first.
struct CoordinatorHarness {
  TestEnvironment environment;
  FakeNeighbours fakes;
  std::unique_ptr<AppCoordinator> coordinator;

  AppCoordinator& make() {
    coordinator = std::make_unique<AppCoordinator>(fakes.services());
    return *coordinator;
  }
};

// Makes the shared analysis log while the application folder is still the
// test's own home (not a temporary folder that goes away).
void prepareAppTests();

// The kind of the screen shown, by name.
QString screenName(const AppCoordinator& coordinator);

// A message of `length` plain characters.
Message textMessage(qint64 id, qsizetype length, bool fromMe = false);

}  // namespace murmela::test
