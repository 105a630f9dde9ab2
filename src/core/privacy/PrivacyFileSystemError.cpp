#include "privacy/PrivacyFileSystemError.h"

namespace murmela {

PrivacyFileSystemError::PrivacyFileSystemError(QString action, const std::error_code& reason)
    : description_(QStringLiteral("Could not ") + action + QStringLiteral(": ") +
                   QString::fromLocal8Bit(reason.message().c_str())),
      errorValue_(reason.value()) {}

}  // namespace murmela
