#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace murmela {

// The stages a processing run reports, in order. The raw value of a stage is
// its display text (ending in three full stops).
enum class AnalysisStage { readingMessages, aggregating, anonymizing, analyzingTone, generatingSummary };

// "Reading messages...", "Counting & aggregating...", "Anonymizing messages...",
// "Analyzing tone...", "Generating summary...".
QString rawValue(AnalysisStage stage);
// Exact, case-sensitive match of the five raw values.
std::optional<AnalysisStage> analysisStageFromRawValue(const QString& raw);
// The five stages in declaration order.
const QList<AnalysisStage>& allAnalysisStages();

}  // namespace murmela
