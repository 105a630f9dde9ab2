#pragma once

#include "analysis/IntelligenceRuntime.h"
#include "common/AnalysisLogger.h"
#include "support/ScriptedIntelligenceProvider.h"

#include <QStringList>

#include <memory>

namespace murmela::test {

// The analysis log's lines since the last clearLines(), without time stamps.
inline QStringList unstampedLogLines() {
  QStringList lines;
  for (const QString& line : AnalysisLogger::shared().lines()) {
    const qsizetype at = line.indexOf(QStringLiteral("] "));
    lines.append(at >= 0 ? line.mid(at + 2) : line);
  }
  return lines;
}

// Puts a scripted provider into the slot for one test and empties the slot
// (and the log) again afterwards; the configuration line is cleared.
class ScriptedProviderScope {
 public:
  ScriptedProviderScope() : provider_(std::make_shared<ScriptedIntelligenceProvider>()) {
    IntelligenceRuntime::configure(provider_);
    AnalysisLogger::shared().clearLines();
  }
  ~ScriptedProviderScope() { IntelligenceRuntime::configure(nullptr); }
  ScriptedProviderScope(const ScriptedProviderScope&) = delete;
  ScriptedProviderScope& operator=(const ScriptedProviderScope&) = delete;

  ScriptedIntelligenceProvider& operator*() const { return *provider_; }
  ScriptedIntelligenceProvider* operator->() const { return provider_.get(); }

 private:
  std::shared_ptr<ScriptedIntelligenceProvider> provider_;
};

}  // namespace murmela::test
