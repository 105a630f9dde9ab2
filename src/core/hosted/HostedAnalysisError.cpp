#include "hosted/HostedAnalysisError.h"

namespace murmela {

QString HostedAnalysisError::description() const {
  switch (kind_) {
    case Kind::invalidResponse: return QStringLiteral("Hosted analysis returned an invalid response: ") + text_;
    case Kind::httpFailed: return QStringLiteral("Hosted analysis HTTP %1: ").arg(status_) + text_;
    case Kind::privacyFilterUnavailable: return QStringLiteral("Privacy filter is not ready: ") + text_;
    case Kind::privacyAnonymizationFailed: return QStringLiteral("Privacy anonymization failed: ") + text_;
  }
  return text_;
}

}  // namespace murmela
