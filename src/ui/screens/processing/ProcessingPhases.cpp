#include "screens/processing/ProcessingPhases.h"

#include "common/LocaleFormat.h"

namespace murmela {

QString PhaseEntry::displayLabel(int rotationIndex) const {
  if (!active || spec.activePool.isEmpty()) return spec.summary;
  const qsizetype count = spec.activePool.size();
  return spec.activePool.at(((rotationIndex % count) + count) % count);
}

QList<PhaseEntry> processingPhases(AnalysisStage current, qint64 messageCount, IntelligenceChoice choice) {
  const bool counted = messageCount > 0;
  const QString n = counted ? LocaleFormat::groupedInteger(messageCount) : QString();

  QList<PhaseEntry> phases;
  phases.append(
      {AnalysisStage::readingMessages,
       {counted ? QStringLiteral("Loading ") + n + QStringLiteral(" messages") : QStringLiteral("Loading messages"),
        {QStringLiteral("Cracking things open\u2026"), QStringLiteral("Pulling threads loose\u2026"),
         counted ? QStringLiteral("Decoding ") + n + QStringLiteral(" little things\u2026")
                 : QStringLiteral("Decoding little things\u2026")}}});
  phases.append(
      {AnalysisStage::aggregating,
       {QStringLiteral("Tallying the receipts"),
        {QStringLiteral("Tallying the receipts\u2026"), QStringLiteral("Doing math you don't want to do\u2026"),
         QStringLiteral("Counting words, hours, days\u2026")}}});
  if (choice == IntelligenceChoice::hybrid) {
    phases.append({AnalysisStage::anonymizing,
                   {counted ? QStringLiteral("Anonymizing ") + n + QStringLiteral(" messages")
                            : QStringLiteral("Anonymizing messages"),
                    {counted ? QStringLiteral("Anonymizing ") + n + QStringLiteral(" messages\u2026")
                             : QStringLiteral("Anonymizing messages\u2026"),
                     QStringLiteral("Putting names in witness protection\u2026"),
                     QStringLiteral("Giving everyone a fake mustache\u2026"),
                     QStringLiteral("Scrubbing PII and checking it twice\u2026")}}});
  }
  phases.append(
      {AnalysisStage::analyzingTone,
       {QStringLiteral("Reading between the lines"),
        {QStringLiteral("Reading between the lines\u2026"), QStringLiteral("Asking the AI what 'k' means\u2026"),
         QStringLiteral("Translating \"fine\" into actual feelings\u2026"), QStringLiteral("Gauging vibes\u2026")}}});
  phases.append({AnalysisStage::generatingSummary,
                 {QStringLiteral("Writing your story"),
                  {QStringLiteral("Writing your story\u2026"), QStringLiteral("Putting a bow on it\u2026")}}});

  int currentIndex = 0;
  for (int i = 0; i < phases.size(); ++i) {
    if (phases[i].stage == current) {
      currentIndex = i;
      break;
    }
  }
  for (int i = 0; i < phases.size(); ++i) {
    phases[i].done = i < currentIndex;
    phases[i].active = i == currentIndex;
  }
  return phases;
}

int activePhaseIndex(const QList<PhaseEntry>& phases) {
  for (int i = 0; i < phases.size(); ++i)
    if (phases[i].active) return i;
  return 0;
}

}  // namespace murmela
