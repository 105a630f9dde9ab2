#include "app/ProcessingRun.h"

#include "analysis/IntelligenceRuntime.h"
#include "app/ProcessingProgressMapping.h"
#include "common/AnalysisLogger.h"
#include "common/MurmelaError.h"
#include "data/ImportedChat.h"
#include "hosted/HostedResultMerge.h"
#include "hosted/HostedRunEstimates.h"

#include <stdexcept>

namespace murmela {
namespace {

constexpr double kReadingFraction = 0.05;

void throwIfStopped(const std::stop_token& stop) {
  if (stop.stop_requested()) throw CancellationError();
}

ProcessingOutcome failedWith(const std::exception& error) {
  AnalysisLogger::log(QStringLiteral("Pipeline FAILED (real chat path) \u2014 ") + errorLogFields(error));
  return {ProcessingOutcome::Kind::failed, std::nullopt, bracketedErrorText(error)};
}

// A stop requested before the error surfaced makes it a cancellation, whatever
// the error says: a cancelled step may fail in its own words.
ProcessingOutcome ended(const std::exception_ptr& thrown, const std::stop_token& stop) {
  if (stop.stop_requested()) return {};
  try {
    std::rethrow_exception(thrown);
  } catch (const CancellationError&) {
    return {};
  } catch (const std::exception& error) {
    return failedWith(error);
  } catch (...) {
    return failedWith(std::runtime_error("unknown error"));
  }
}

}  // namespace

ProcessingOutcome ProcessingRun::execute(const ContactSummary& contact, HostedAnalysisWorkflow workflow,
                                         std::shared_ptr<ConversationReading> reading,
                                         const std::function<void()>& read, const Publish& publish,
                                         std::stop_token stop) const {
  try {
    publish({AnalysisStage::readingMessages, kReadingFraction, std::nullopt});
    MessageList messages = reading->fetchMessages(contact.handle);
    throwIfStopped(stop);
    qint64 attachments = 0;
    try {
      attachments = reading->countAttachments(contact.handle);
    } catch (...) {
      // The photo count is a detail of one slide: without it the report says 0.
    }
    reading.reset();
    if (read) read();
    throwIfStopped(stop);

    const ImportedChat chat = makeImportedChat(contact, std::move(messages));
    const qint64 characters = HostedRunEstimates::characterCount(chat.messages);
    const double baseEstimate = ProcessingProgressMapping::baseEstimateSeconds(characters, workflow);

    // No text-generation provider: every finding of the local analysis comes
    // from its heuristics.
    IntelligenceRuntime::configure(nullptr);
    WrappedAnalysisPipeline::Options options;
    options.photosShared = attachments;
    WrappedReport local = pipeline(
        chat,
        [&publish, baseEstimate](const ProcessingProgress& reported) {
          publish(ProcessingProgressMapping::pipelineProgress(reported, baseEstimate));
        },
        stop, options);
    local.photosShared = attachments;
    throwIfStopped(stop);

    const HostedAnalysisResult hosted = hostedAnalysis(chat, local, workflow, publish, stop);
    throwIfStopped(stop);
    return {ProcessingOutcome::Kind::finished, applyingHostedAnalysis(local, hosted), {}};
  } catch (...) {
    return ended(std::current_exception(), stop);
  }
}

}  // namespace murmela
