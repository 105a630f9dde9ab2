#include "privacy/PrivacyFilterSetupState.h"

namespace murmela {

QList<PrivacyFilterSubStep> PrivacyFilterSubStep::initialList() {
  return {
      {QStringLiteral("host"), QStringLiteral("Checking Apple Silicon"), State::pending, std::nullopt},
      {QStringLiteral("runtime"), QStringLiteral("Installing Murmela privacy filter"), State::pending, std::nullopt},
      {QStringLiteral("test"), QStringLiteral("Testing privacy filter"), State::pending, std::nullopt},
  };
}

}  // namespace murmela
