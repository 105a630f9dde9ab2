#include "hosted/HostedAnalysisWorkflow.h"

namespace murmela {

QString rawValue(HostedAnalysisWorkflow workflow) {
  switch (workflow) {
    case HostedAnalysisWorkflow::hybridPrivacy: return QStringLiteral("hybrid_privacy");
    case HostedAnalysisWorkflow::fullClaude: return QStringLiteral("full_claude");
  }
  return QStringLiteral("full_claude");
}

std::optional<HostedAnalysisWorkflow> hostedAnalysisWorkflowFromRawValue(const QString& raw) {
  if (raw == QLatin1String("hybrid_privacy")) return HostedAnalysisWorkflow::hybridPrivacy;
  if (raw == QLatin1String("full_claude")) return HostedAnalysisWorkflow::fullClaude;
  return std::nullopt;
}

}  // namespace murmela
