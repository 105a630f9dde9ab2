#include "privacy/PrivacyFilterError.h"

namespace murmela {

QString PrivacyFilterError::description() const {
  switch (kind_) {
    case Kind::runtimeUnavailable: return QStringLiteral("Murmela's local privacy runtime is not ready: ") + text_;
    case Kind::pythonTooOld:
      return QStringLiteral("Python 3.11, 3.12, or 3.13 is required. Found ") + text_ + QStringLiteral(".");
    case Kind::pythonTooNew:
      return QStringLiteral("Python ") + text_ +
             QStringLiteral(" is too new for the local privacy runtime. Install Python 3.12 or 3.13.");
    case Kind::venvCreationFailed: return QStringLiteral("Could not create Python environment: ") + text_;
    case Kind::pipInstallFailed: return QStringLiteral("Could not install MLX privacy runtime: ") + text_;
    case Kind::modelDownloadFailed: return QStringLiteral("Could not download the privacy filter: ") + text_;
    case Kind::smokeTestFailed: return QStringLiteral("Privacy filter smoke test failed: ") + text_;
    case Kind::notAppleSilicon: return QStringLiteral("The privacy filter requires an Apple Silicon Mac.");
    case Kind::pythonNotFound: return QStringLiteral("Python 3 is not installed. Install Python 3.12 or 3.13.");
  }
  return text_;
}

}  // namespace murmela
