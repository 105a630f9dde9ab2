// The processing run of the coordinator: its start on the GUI thread, the
// worker's part (ProcessingRun and the saving of the report), and its end,
// published on the GUI thread.
#include "app/AppCoordinator.h"

#include "common/AnalysisLogger.h"
#include "common/AppSettings.h"
#include "common/MurmelaError.h"

namespace murmela {
namespace {

// Saves a finished run's report and lists the library again, on the run's
// worker: the file is synced to disk, which may take a while. Onboarding is
// complete even when the save fails.
AppCoordinator::ReportSaving persistGeneratedReport(const WrappedReport& report, const SavedReportLibrary& library,
                                                    Date savedAt) {
  AppCoordinator::ReportSaving saving;
  AppSettings::shared().setValue(AppCoordinator::kHasCompletedOnboardingKey, true);
  try {
    library.save(report, savedAt);
    saving.wraps = library.load();
  } catch (const std::exception& error) {
    saving.failure = AppCoordinator::kSaveFailedPrefix + murmela::describeError(error);
    AnalysisLogger::log(*saving.failure);
  }
  return saving;
}

}  // namespace

void AppCoordinator::startProcessing(const ContactSummary& contact) {
  refreshHybridCapability();
  const HostedAnalysisWorkflow workflow = intelligenceChoice_ == IntelligenceChoice::hybrid
                                              ? HostedAnalysisWorkflow::hybridPrivacy
                                              : HostedAnalysisWorkflow::fullClaude;
  stopRun();
  AnalysisLogger::shared().clearLines();
  setAnalysisLog(QString());
  setProcessingProgress(ProcessingProgress{});
  setProcessingError(std::nullopt);
  setLastProcessedMessageCount(contact.messageCount);
  setProcessingDisplayName(contact.displayName && !contact.displayName->isEmpty() ? *contact.displayName
                                                                                  : contact.handle);
  setScreen(AppScreen::processing());
  const Date startDate = services_.now();

  processingTask_ = ProcessingTask{++runCount_, std::stop_source()};
  const quint64 id = processingTask_->id;
  const ProcessingRun work{services_.pipeline, services_.hostedAnalysis};
  // The worker never touches the coordinator: `this` is only used inside the
  // posted calls, which run on the GUI thread and only while it exists. Each
  // of them writes only while this run is still the current one.
  workers_.run([this, work, contact, workflow, startDate, id, reading = reading(), library = services_.reportLibrary,
                now = services_.now, post = workers_.post(), stop = processingTask_->stop.get_token()]() mutable {
    const auto publish = [this, id, &post](const ProcessingProgress& progress) {
      post([this, id, progress] {
        if (isCurrentRun(id)) setProcessingProgress(progress);
      });
    };
    // Read: the analysis needs the database no more.
    const auto read = [this, id, &post] {
      post([this, id] {
        if (isCurrentRun(id)) endReading();
      });
    };
    ProcessingOutcome outcome = work.execute(contact, workflow, std::move(reading), read, publish, stop);
    // A run stopped by now saves nothing.
    ReportSaving saving;
    if (outcome.kind == ProcessingOutcome::Kind::finished && !stop.stop_requested())
      saving = persistGeneratedReport(*outcome.report, library, now());
    post([this, id, outcome = std::move(outcome), saving = std::move(saving), workflow, handle = contact.handle,
          startDate] { finishRun(id, outcome, saving, workflow, handle, startDate); });
  });
}

void AppCoordinator::stopRun() {
  if (!processingTask_) return;
  processingTask_->stop.request_stop();
  processingTask_.reset();
}

void AppCoordinator::finishRun(quint64 id, const ProcessingOutcome& outcome, const ReportSaving& saving,
                               HostedAnalysisWorkflow workflow, const QString& handle, Date startDate) {
  if (!isCurrentRun(id)) return;
  const QString log = AnalysisLogger::shared().joinedLines();
  switch (outcome.kind) {
    case ProcessingOutcome::Kind::finished: {
      const WrappedReport& report = *outcome.report;
      setCurrentShareContactHandle(handle);
      setAnalysisLog(log);
      if (saving.failure) {
        setProcessingError(saving.failure);
      } else {
        setPastWraps(saving.wraps);
      }
      setScreen(AppScreen::results(report));
      const double duration = services_.now().secondsSince(startDate);
      trackInBackground([workflow, report, duration](AnalyticsEvents& analytics, std::stop_token stop) {
        analytics.murmelaCreated(workflow, report, duration, stop);
      });
      return;
    }
    case ProcessingOutcome::Kind::failed:
      setProcessingError(outcome.errorText);
      setAnalysisLog(log);
      setScreen(AppScreen::contactPicker());
      return;
    case ProcessingOutcome::Kind::cancelled:
      setAnalysisLog(log);
      setScreen(AppScreen::contactPicker());
      return;
  }
}

}  // namespace murmela
