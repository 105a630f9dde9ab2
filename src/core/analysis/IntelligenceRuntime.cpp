#include "analysis/IntelligenceRuntime.h"

#include "common/AnalysisLogger.h"

#include <mutex>

namespace murmela::IntelligenceRuntime {
namespace {

// Both made on first use, exactly once.
std::mutex& slotLock() {
  static std::mutex lock;
  return lock;
}

std::shared_ptr<IntelligenceProvider>& slot() {
  static std::shared_ptr<IntelligenceProvider> provider;
  return provider;
}

}  // namespace

void configure(std::shared_ptr<IntelligenceProvider> provider) {
  {
    std::lock_guard guard(slotLock());
    slot() = provider;
  }
  // The name is read after the lock is released: a provider's name() must not
  // be able to block the slot.
  const QString name = provider ? provider->name() : QStringLiteral("none");
  AnalysisLogger::log(QStringLiteral("Intelligence provider configured: ") + name);
}

std::shared_ptr<IntelligenceProvider> provider() {
  std::lock_guard guard(slotLock());
  return slot();
}

}  // namespace murmela::IntelligenceRuntime
