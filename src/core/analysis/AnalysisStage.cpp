#include "analysis/AnalysisStage.h"

namespace murmela {

QString rawValue(AnalysisStage stage) {
  switch (stage) {
    case AnalysisStage::readingMessages:
      return QStringLiteral("Reading messages...");
    case AnalysisStage::aggregating:
      return QStringLiteral("Counting & aggregating...");
    case AnalysisStage::anonymizing:
      return QStringLiteral("Anonymizing messages...");
    case AnalysisStage::analyzingTone:
      return QStringLiteral("Analyzing tone...");
    case AnalysisStage::generatingSummary:
      return QStringLiteral("Generating summary...");
  }
  return QStringLiteral("Reading messages...");
}

std::optional<AnalysisStage> analysisStageFromRawValue(const QString& raw) {
  for (AnalysisStage stage : allAnalysisStages())
    if (rawValue(stage) == raw) return stage;
  return std::nullopt;
}

const QList<AnalysisStage>& allAnalysisStages() {
  static const QList<AnalysisStage> all{AnalysisStage::readingMessages, AnalysisStage::aggregating,
                                        AnalysisStage::anonymizing, AnalysisStage::analyzingTone,
                                        AnalysisStage::generatingSummary};
  return all;
}

}  // namespace murmela
