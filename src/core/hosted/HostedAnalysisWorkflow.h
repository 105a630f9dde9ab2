#pragma once

#include <QString>

#include <optional>

namespace murmela {

// How a hosted run treats the conversation: anonymized on the device first
// (hybrid mode) or sent with the participants' names (cloud mode). The raw
// value is the "workflow" of every analysis step.
enum class HostedAnalysisWorkflow { hybridPrivacy, fullClaude };

QString rawValue(HostedAnalysisWorkflow workflow);  // "hybrid_privacy" / "full_claude"
std::optional<HostedAnalysisWorkflow> hostedAnalysisWorkflowFromRawValue(const QString& raw);

}  // namespace murmela
