#pragma once

#include "app/CoordinatorServices.h"
#include "data/ContactSummary.h"
#include "data/WrappedReport.h"
#include "hosted/HostedAnalysisWorkflow.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <stop_token>

namespace murmela {

// How a processing run ended.
struct ProcessingOutcome {
  enum class Kind { finished, failed, cancelled };
  Kind kind = Kind::cancelled;
  std::optional<WrappedReport> report;  // finished
  QString errorText;                    // failed: "[" + type name + "] " + description
};

// The worker's part of one processing run: read the conversation and its
// attachment count, build the chat, analyse it on the device, complete it
// through the hosted analysis and merge the two. The coordinator saves the
// report on the same worker and publishes what the screens see on the GUI
// thread.
struct ProcessingRun {
  using Publish = std::function<void(const ProcessingProgress&)>;

  CoordinatorServices::Pipeline pipeline;
  CoordinatorServices::HostedAnalysis hostedAnalysis;

  // Runs on the calling (worker) thread and publishes every progress report
  // through `publish`, on that thread and in order. The conversation is read
  // through `reading`, the coordinator's, which the run lets go of once it
  // has read it, and then says so through `read` (the owner may end the
  // reading: the analysis needs the database no more). A failed count of the
  // attachments counts as none; the count, not the messages' own photo flags,
  // is the report's photos shared. Any error of the reading, the analysis or
  // the hosted run ends the run: as cancelled when it is a CancellationError
  // or came after `stop` was requested, otherwise as failed, logged as
  // "Pipeline FAILED (real chat path) — " + the error's log fields.
  ProcessingOutcome execute(const ContactSummary& contact, HostedAnalysisWorkflow workflow,
                            std::shared_ptr<ConversationReading> reading, const std::function<void()>& read,
                            const Publish& publish, std::stop_token stop) const;
};

}  // namespace murmela
