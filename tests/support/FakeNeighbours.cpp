#include "support/FakeNeighbours.h"

#include "common/AnalysisLogger.h"
#include "data/WrappedDataError.h"
#include "hosted/HostedAnalysisResult.h"

#include <algorithm>
#include <utility>

namespace murmela::test {

void Gate::open() {
  {
    std::lock_guard guard(lock_);
    open_ = true;
  }
  opened_.notify_all();
}

void Gate::wait() {
  std::unique_lock guard(lock_);
  opened_.wait(guard, [this] { return open_; });
}

namespace {

class FakeReading : public ConversationReading {
 public:
  explicit FakeReading(std::shared_ptr<const FakeConversationReader> reader) : reader_(std::move(reader)) {
    ++reader_->readingsBegun;
    ++reader_->readingsLeft;
  }
  ~FakeReading() override { --reader_->readingsLeft; }
  MessageList fetchMessages(const QString& handle) override { return reader_->fetchMessages(handle); }
  qint64 countAttachments(const QString& handle) override { return reader_->countAttachments(handle); }
  QList<ContactSummary> fetchContactSummaries() override { return reader_->fetchContactSummaries(); }

 private:
  std::shared_ptr<const FakeConversationReader> reader_;
};

}  // namespace

std::shared_ptr<ConversationReading> FakeConversationReader::beginReading() const {
  return std::make_shared<FakeReading>(shared_from_this());
}

MessageList FakeConversationReader::fetchMessages(const QString& handle) const {
  ++fetches;
  if (beforeFetch) beforeFetch(handle);
  MessageList fetched = messages;
  for (Message& message : fetched) message.handle = handle;
  return fetched;
}

qint64 FakeConversationReader::countAttachments(const QString&) const {
  if (countFails) throw WrappedDataError::databaseQueryFailed(QStringLiteral("no attachment table"));
  return attachments;
}

QList<ContactSummary> FakeConversationReader::fetchContactSummaries() const {
  ++summaryReads;
  if (beforeSummaries) beforeSummaries();
  return summaries;
}

QList<IntelligenceChoice> RecordingAnalytics::choices() const {
  std::lock_guard guard(lock_);
  return choices_;
}

QList<RecordingAnalytics::Created> RecordingAnalytics::created() const {
  std::lock_guard guard(lock_);
  return created_;
}

void RecordingAnalytics::modeChosen(IntelligenceChoice choice, std::stop_token) {
  std::lock_guard guard(lock_);
  choices_.append(choice);
}

void RecordingAnalytics::murmelaCreated(HostedAnalysisWorkflow workflow, const WrappedReport& report,
                                        double durationSeconds, std::stop_token) {
  std::lock_guard guard(lock_);
  created_.append({workflow, report.totalMessages, durationSeconds});
}

void FakePrivacySetup::start(Completion completion) {
  ++starts;
  waiting_.append(std::move(completion));
}

void FakePrivacySetup::resetState() {
  ++resets;
  if (onReset) onReset();
}

void FakePrivacySetup::finish(std::exception_ptr error) {
  const QList<Completion> waiting = std::exchange(waiting_, {});
  if (!error) ready = true;
  for (const Completion& completion : waiting) completion(error);
}

FakeNeighbours::FakeNeighbours() {
  revoke = [this](const QString& shareID) {
    std::lock_guard guard(lock_);
    revoked_.append(shareID);
  };
}

QStringList FakeNeighbours::revokedIDs() const {
  std::lock_guard guard(lock_);
  return revoked_;
}

CoordinatorServices FakeNeighbours::services() {
  CoordinatorServices services;
  services.launchArguments = launchArguments;
  services.skipsPermissionGate = skipsPermissionGate;
  services.reader = reader;
  services.probePermissions = [this] {
    ++probes;
    if (beforeProbe) beforeProbe();
    return snapshot;
  };
  services.contactResolver = std::make_shared<ContactResolver>(contactStore);
  services.pipeline = [this](const ImportedChat& chat, const WrappedAnalysisPipeline::ProgressCallback& progress,
                             std::stop_token stop, WrappedAnalysisPipeline::Options options) {
    if (beforePipeline) beforePipeline(stop);
    return WrappedAnalysisPipeline().buildReport(chat, progress, stop, options);
  };
  services.hostedAnalysis = [this](
                                const ImportedChat&, const WrappedReport& baseReport, HostedAnalysisWorkflow workflow,
                                const std::function<void(const ProcessingProgress&)>& progress, std::stop_token stop) {
    ++hostedRuns;
    hostedWorkflow = workflow;
    hostedPhotos = baseReport.photosShared;
    if (beforeHosted) beforeHosted(stop);
    for (const ProcessingProgress& report : hostedProgress) progress(report);
    return HostedAnalysisResult{};
  };
  services.analytics = analytics;
  services.privacySetup = setup;
  services.detectHybridCapability = [this] {
    const qsizetype index = std::min<qsizetype>(capabilityChecks++, capabilities.size() - 1);
    return capabilities.at(index);
  };
  services.revokeShareLink = [this](const QString& shareID, std::stop_token) { revoke(shareID); };
  services.activeShares = [this] {
    std::lock_guard guard(lock_);
    QList<ShareCacheEntry> active;
    for (const ShareCacheEntry& entry : shares)
      if (!revoked_.contains(entry.shareID)) active.append(entry);
    return active;
  };
  services.copyToClipboard = [this](const QString& text) { copied.append(text); };
  services.settingsPaneOpener = paneOpener;
  services.now = [this] { return clock; };
  if (reportsDir) services.reportLibrary = SavedReportLibrary(*reportsDir);
  return services;
}

void prepareAppTests() { AnalysisLogger::shared(); }

QString screenName(const AppCoordinator& coordinator) { return rawValue(coordinator.screen().kind()); }

Message textMessage(qint64 id, qsizetype length, bool fromMe) {
  Message message;
  message.id = id;
  message.text = QString(length, QLatin1Char('a'));
  message.date = Date::fromUnix(1700000000.0 + 3600.0 * static_cast<double>(id));
  message.isFromMe = fromMe;
  return message;
}

}  // namespace murmela::test
