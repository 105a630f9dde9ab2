#pragma once

#include "privacy/LocalHostCheck.h"
#include "privacy/PrivacyRuntimeManager.h"

#include <QString>

namespace murmela {

// Whether hybrid mode (anonymizing on the device) can run on this machine,
// and why not. detect() answers only `available` (with a short status text of
// the runtime) or `requiresAppleSilicon`; the other cases exist for the
// reasons the application shows.
class HybridPrivacyCapability {
 public:
  enum class Kind { available, pythonTooOld, pythonTooNew, requiresAppleSilicon, pythonMissing };

  static HybridPrivacyCapability available(QString pythonVersion) { return {Kind::available, std::move(pythonVersion)}; }
  static HybridPrivacyCapability pythonTooOld(QString version) { return {Kind::pythonTooOld, std::move(version)}; }
  static HybridPrivacyCapability pythonTooNew(QString version) { return {Kind::pythonTooNew, std::move(version)}; }
  static HybridPrivacyCapability requiresAppleSilicon() { return {Kind::requiresAppleSilicon, {}}; }
  static HybridPrivacyCapability pythonMissing() { return {Kind::pythonMissing, {}}; }

  Kind kind() const { return kind_; }
  // The status text of `available`, the version of the two version cases.
  const QString& payload() const { return payload_; }
  bool isAvailable() const { return kind_ == Kind::available; }

  bool operator==(const HybridPrivacyCapability&) const = default;

  // Not Apple Silicon: requiresAppleSilicon, whatever is installed.
  // Otherwise available with the installed runtime's text ("0.1.1 · Python
  // 3.12.4"), or "ready to install" when a local archive is named, or
  // "setup required". Never fails.
  static HybridPrivacyCapability detect();
  static HybridPrivacyCapability detect(const PrivacyRuntimeManager& manager, const HostProbe& probe);

 private:
  HybridPrivacyCapability(Kind kind, QString payload) : kind_(kind), payload_(std::move(payload)) {}

  Kind kind_;
  QString payload_;
};

}  // namespace murmela
