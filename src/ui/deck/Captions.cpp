#include "deck/Captions.h"

namespace murmela {

std::optional<QString> insightText(const std::optional<QString>& sentence) {
  if (!sentence) return std::nullopt;
  const QString trimmed = sentence->trimmed();
  if (trimmed.isEmpty()) return std::nullopt;
  return trimmed;
}

std::optional<QString> hostedInsight(const WrappedReport& report, InsightField field) {
  if (!report.insightCopy) return std::nullopt;
  return insightText((*report.insightCopy).*field);
}

}  // namespace murmela
