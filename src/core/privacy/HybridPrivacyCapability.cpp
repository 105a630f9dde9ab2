#include "privacy/HybridPrivacyCapability.h"

namespace murmela {

HybridPrivacyCapability HybridPrivacyCapability::detect() {
  return detect(PrivacyRuntimeManager(), LocalHostCheck::systemMachineName);
}

HybridPrivacyCapability HybridPrivacyCapability::detect(const PrivacyRuntimeManager& manager, const HostProbe& probe) {
  if (!LocalHostCheck::isAppleSilicon(probe)) return requiresAppleSilicon();
  try {
    return available(manager.installedRuntime().manifest.runtimeText());
  } catch (...) {
    // Not installed or not valid: say how it would get there.
  }
  if (manager.localRuntimeArchiveCandidate()) return available(QStringLiteral("ready to install"));
  return available(QStringLiteral("setup required"));
}

}  // namespace murmela
