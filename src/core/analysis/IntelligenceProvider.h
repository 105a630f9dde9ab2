#pragma once

#include <QString>

#include <exception>

namespace murmela {

// A pluggable text-generation provider that the generative steps of the
// analysis ask for short JSON or plain-text answers. The application ships
// none; the slot (IntelligenceRuntime) stays empty and the on-device
// heuristics decide. Implementations must be safe to call from the analysis
// worker thread.
class IntelligenceProvider {
 public:
  virtual ~IntelligenceProvider();

  // Short display name, written to the analysis log.
  virtual QString name() const = 0;
  // Identifier of the model behind the provider (informational; the analysis
  // does not read it).
  virtual QString modelIdentifier() const = 0;
  // The reply to one prompt, producing at most maxTokens tokens. Blocks the
  // calling thread; throws (preferably a MurmelaError) when no reply can be had.
  virtual QString generate(const QString& prompt, qint64 maxTokens) = 0;
};

// The one-line description of what generate() threw, for the log: a
// MurmelaError's description, otherwise what().
QString describeProviderError(const std::exception& error);

}  // namespace murmela
