#pragma once

#include "analysis/AnalysisStage.h"
#include "data/IntelligenceChoice.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace murmela {

// One phase of the processing checklist: its fixed text (pending or done)
// and the status lines it cycles through while it is the current phase.
struct PhaseSpec {
  QString summary;
  QStringList activePool;

  bool operator==(const PhaseSpec&) const = default;
};

// One checklist entry as the screen shows it.
struct PhaseEntry {
  AnalysisStage stage = AnalysisStage::readingMessages;
  PhaseSpec spec;
  bool done = false;
  bool active = false;

  // The pool's line at `rotationIndex` (wrapped) while active, else the summary.
  QString displayLabel(int rotationIndex) const;
};

// The checklist of a run: reading, tallying, anonymizing (hybrid only),
// reading the tone and writing the story, in that order. `messageCount`
// appears grouped in the locale's way; at 0 or below the texts that hold it
// take their variants without a number. The entry of the current stage is
// active and the ones before it done; a stage the list does not hold (the
// anonymizing stage in cloud mode) makes the first entry active.
QList<PhaseEntry> processingPhases(AnalysisStage current, qint64 messageCount, IntelligenceChoice choice);

// The position of the active entry.
int activePhaseIndex(const QList<PhaseEntry>& phases);

}  // namespace murmela
