// The hosted analysis run: HostedAnalysisClient::analyze.
#include "hosted/HostedAnalysisClient.h"

#include "backend/BackendRegistration.h"
#include "common/AnalysisLogger.h"
#include "common/FixedDecimal.h"
#include "common/MurmelaError.h"
#include "common/UnicodeText.h"
#include "hosted/AnalysisStepBody.h"
#include "hosted/ClientMetrics.h"
#include "hosted/HostedAnalysisError.h"
#include "hosted/HostedInsightCopy.h"
#include "hosted/HostedMessages.h"
#include "hosted/HostedRunEstimates.h"
#include "hosted/HostedWireRecords.h"

#include <QElapsedTimer>
#include <QUuid>

#include <algorithm>
#include <exception>

namespace murmela {
namespace {

using Object = JSONValue::Object;
using Array = JSONValue::Array;

using HostedRunEstimates::kMarginSeconds;
constexpr double kAnonymizationStartFraction = 0.46;
constexpr double kHybridBaseFraction = 0.68;
constexpr double kCloudBaseFraction = 0.5;
constexpr double kChunkPhaseEndFraction = 0.82;
constexpr double kAfterChunksRemainingSeconds = 12.0;
constexpr double kAfterSynthesisFraction = 0.92;
constexpr double kAfterSynthesisRemainingSeconds = 8.0;

const QString kLogPrefix = QStringLiteral("HostedAnalysis: ");
const QString kDash = QStringLiteral(" \u2014 ");

// Seconds since the clock started, "1.25s".
QString elapsed(const QElapsedTimer& clock) {
  return fixedDecimal(static_cast<double>(clock.nsecsElapsed()) / 1e9, 2) + QLatin1Char('s');
}

void log(const QString& message) { AnalysisLogger::log(kLogPrefix + message); }

qsizetype characterCount(std::span<const HostedChatMessage> messages) {
  qsizetype total = 0;
  for (const HostedChatMessage& message : messages) total += UnicodeText::graphemeCount(message.text);
  return total;
}

std::span<const HostedChatMessage> span(const HostedMessageList& messages, qsizetype begin, qsizetype end) {
  return std::span<const HostedChatMessage>(messages.constData() + begin, static_cast<size_t>(end - begin));
}

QString describeOrNotAvailable(const Object& metadata, const QString& key) {
  const auto it = metadata.constFind(key);
  return it == metadata.cend() ? QStringLiteral("n/a") : it->compactDescription();
}

// Everything a run carries from one step to the next.
class Run {
 public:
  Run(const HostedAnalysisClient& client, HostedAnalysisWorkflow workflow,
      const HostedAnalysisClient::ProgressCallback& progress, std::stop_token stop)
      : client_(client),
        workflow_(workflow),
        progress_(progress),
        stop_(std::move(stop)),
        runID_(QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper()) {}

  const QString& runID() const { return runID_; }

  void report(AnalysisStage stage, double fraction, double remainingSeconds) const {
    if (progress_) progress_(ProcessingProgress{stage, fraction, remainingSeconds});
  }

  void registerInstall() {
    QElapsedTimer clock;
    clock.start();
    try {
      token_ = client_
                   .post<RegisterResponse>(HostedAnalysisClient::kRegisterPath,
                                           BackendRegistration::makeRequest(client_.appVersion()), std::nullopt,
                                           HostedAnalysisClient::kRegistrationTimeoutSeconds,
                                           HostedAnalysisClient::kRegisterAnswerBytes, stop_)
                   .authToken;
    } catch (const std::exception& error) {
      log(QStringLiteral("register FAILED after ") + elapsed(clock) + kDash + HostedAnalysisClient::describe(error));
      throw;
    }
    log(QStringLiteral("register OK in ") + elapsed(clock) +
        QStringLiteral(" tokenLen=%1").arg(UnicodeText::graphemeCount(token_)));
  }

  // Posts one analysis step; `stepName` names it in the log ("chunk 2/5",
  // "synthesize", "insights") and `requestName` in the metadata line. The
  // answer takes at most `maxAnswerBytes`, the bound of this step.
  // The body is written straight to bytes by `payload`; `expectedBytes` sizes it.
  Object postStep(const QString& step, const QString& requestName, const QString& stepName, qint64 maxAnswerBytes,
                  const AnalysisStepBody::PayloadWriter& payload, qsizetype expectedBytes = 0) {
    AnalysisStepRequest request;
    request.clientRequestID = runID_ + QLatin1Char(':') + requestName;
    request.workflow = rawValue(workflow_);
    request.step = step;
    request.appVersion = client_.appVersion();
    request.participants = participants_;

    QElapsedTimer clock;
    clock.start();
    AnalysisStepResponse response;
    try {
      response = client_.postEncoded<AnalysisStepResponse>(
          HostedAnalysisClient::kAnalysisStepPath, AnalysisStepBody::encode(request, payload, expectedBytes), token_,
          HostedAnalysisClient::kAnalysisStepTimeoutSeconds, maxAnswerBytes, stop_);
    } catch (const std::exception& error) {
      log(stepName + QStringLiteral(" FAILED after ") + elapsed(clock) + kDash + HostedAnalysisClient::describe(error));
      throw;
    }
    if (response.metadata) {
      const Object& metadata = *response.metadata;
      log(QStringLiteral("backend metadata runID=") + runID_ + QStringLiteral(" request=") + requestName +
          QStringLiteral(" keys=") + sortedKeys(metadata) + QStringLiteral(" backendRunID=") +
          describeOrNotAvailable(metadata, QStringLiteral("run_id")) + QStringLiteral(" provider=") +
          describeOrNotAvailable(metadata, QStringLiteral("ai_provider")) + QStringLiteral(" elapsed=") +
          describeOrNotAvailable(metadata, QStringLiteral("elapsed_seconds")));
    }
    log(stepName + QStringLiteral(" OK in ") + elapsed(clock) + QStringLiteral(" keys=") + sortedKeys(response.result));
    return std::move(response.result);
  }

  void setParticipants(HostedParticipants participants) { participants_ = std::move(participants); }
  const std::stop_token& stopToken() const { return stop_; }

 private:
  const HostedAnalysisClient& client_;
  HostedAnalysisWorkflow workflow_;
  const HostedAnalysisClient::ProgressCallback& progress_;
  std::stop_token stop_;
  QString runID_;
  QString token_;
  HostedParticipants participants_;
};

}  // namespace

HostedAnalysisResult HostedAnalysisClient::analyze(const ImportedChat& chat, const WrappedReport& baseReport,
                                                   HostedAnalysisWorkflow workflow, const ProgressCallback& progress,
                                                   std::stop_token stop) const {
  const bool hybrid = workflow == HostedAnalysisWorkflow::hybridPrivacy;
  Run run(*this, workflow, progress, std::move(stop));
  log(QStringLiteral("starting workflow=") + rawValue(workflow) + QStringLiteral(" runID=") + run.runID() +
      QStringLiteral(" baseURL=") + baseUrl_ + QStringLiteral(" appVersion=") + appVersion_ +
      QStringLiteral(" messages=%1").arg(chat.messages.size()) + QStringLiteral(" me=") + chat.meName +
      QStringLiteral(" them=") + chat.otherName);

  run.registerInstall();

  const qint64 totalCharacters = HostedRunEstimates::characterCount(chat.messages);
  const double anonymizationEstimate = HostedRunEstimates::anonymizationSeconds(totalCharacters);
  const double analysisEstimate = HostedRunEstimates::analysisSeconds(totalCharacters);

  HostedMessageList messages;
  HostedParticipants participants;
  QMap<QString, QString> reverseNameMap;
  double baseFraction = kCloudBaseFraction;
  if (hybrid) {
    run.report(AnalysisStage::anonymizing, kAnonymizationStartFraction,
               anonymizationEstimate + analysisEstimate + kMarginSeconds);
    QElapsedTimer clock;
    clock.start();
    PrivacyAnonymizationContext context;
    try {
      if (!anonymizer_)
        throw HostedAnalysisError::privacyFilterUnavailable(QStringLiteral("No on-device anonymizer is available."));
      context = anonymizer_->anonymize(chat, anonymizationEstimate, analysisEstimate, progress, run.stopToken());
    } catch (const std::exception& error) {
      log(QStringLiteral("anonymize FAILED after ") + elapsed(clock) + kDash + describe(error));
      throw;
    }
    log(QStringLiteral("anonymize OK in ") + elapsed(clock));
    messages = truncateHostedMessages(std::move(context.messages));
    participants = context.participants;
    reverseNameMap = std::move(context.reverseNameMap);
    baseFraction = kHybridBaseFraction;
  } else {
    messages = truncateHostedMessages(makeHostedMessages(chat, workflow));
    participants = {chat.meName, chat.otherName};
  }
  run.setParticipants(participants);

  const QList<HostedChunkBounds> chunks =
      chunkBounds(messages, kMaxChunkCharacters, kMaxChunkMessages, kChunkOverlapMessages);
  log(QStringLiteral("prepared payload messages=%1 totalChars=%2 chunks=%3 maxChunkChars=%4 maxChunkMessages=%5")
          .arg(messages.size())
          .arg(characterCount(span(messages, 0, messages.size())))
          .arg(chunks.size())
          .arg(kMaxChunkCharacters)
          .arg(kMaxChunkMessages) +
      QStringLiteral(" participants=me:") + participants.me + QStringLiteral("/them:") + participants.them +
      QStringLiteral(" usedPrivacy=") + (hybrid ? QStringLiteral("true") : QStringLiteral("false")));

  Array chunkResults;
  const qsizetype count = chunks.size();
  for (qsizetype i = 0; i < count; ++i) {
    if (run.stopToken().stop_requested()) throw CancellationError();
    const double done = static_cast<double>(i) / static_cast<double>(count);
    run.report(AnalysisStage::analyzingTone, baseFraction + (kChunkPhaseEndFraction - baseFraction) * done,
               analysisEstimate * (1.0 - done) + kMarginSeconds);

    const std::span<const HostedChatMessage> current = span(messages, chunks[i].begin, chunks[i].end);
    const QString stepName = QStringLiteral("chunk %1/%2").arg(i + 1).arg(count);
    log(stepName + QStringLiteral(" starting messages=%1 chars=%2 firstIdx=%3 lastIdx=%4")
                       .arg(current.size())
                       .arg(characterCount(current))
                       .arg(current.empty() ? 0 : current.front().index)
                       .arg(current.empty() ? 0 : current.back().index));
    chunkResults.append(JSONValue::object(run.postStep(QStringLiteral("chunk_analysis"),
                                                       QStringLiteral("chunk-%1").arg(i + 1), stepName,
                                                       kChunkAnswerBytes, AnalysisStepBody::chunkPayload(current, i, count),
                                                       AnalysisStepBody::expectedBytes(current))));
  }
  run.report(AnalysisStage::analyzingTone, kChunkPhaseEndFraction, kAfterChunksRemainingSeconds);

  log(QStringLiteral("synthesize starting chunkResults=%1").arg(chunkResults.size()));
  const Object synthesisPayload{{QStringLiteral("chunk_results"), JSONValue::array(std::move(chunkResults))}};
  Object synthesis = run.postStep(QStringLiteral("synthesize"), QStringLiteral("synthesize"),
                                  QStringLiteral("synthesize"), kSynthesisAnswerBytes,
                                  AnalysisStepBody::objectPayload(synthesisPayload));
  run.report(AnalysisStage::generatingSummary, kAfterSynthesisFraction, kAfterSynthesisRemainingSeconds);

  log(QStringLiteral("insights starting"));
  const JSONValue metrics = clientMetrics(baseReport, chat.messages);
  const std::span<const HostedChatMessage> all = span(messages, 0, messages.size());
  Object insights =
      run.postStep(QStringLiteral("insight_copy"), QStringLiteral("insights"), QStringLiteral("insights"),
                   kInsightsAnswerBytes, AnalysisStepBody::insightsPayload(all, synthesis, metrics), AnalysisStepBody::expectedBytes(all));

  if (hybrid && !reverseNameMap.isEmpty()) {
    synthesis = anonymizer_->rehydrate(synthesis, reverseNameMap);
    insights = anonymizer_->rehydrate(insights, reverseNameMap);
  }

  HostedAnalysisResult result;
  result.insightCopy = reportInsightCopy(insights);
  if (!result.insightCopy)
    log(QStringLiteral("WARNING insightCopy decode returned nil; insightsKeys=") + sortedKeys(insights));
  log(QStringLiteral("completed runID=") + run.runID());
  const auto selection = insights.constFind(QStringLiteral("firstsSelection"));
  if (selection != insights.cend()) result.firstsSelection = *selection;
  result.synthesis = std::move(synthesis);
  return result;
}

}  // namespace murmela
