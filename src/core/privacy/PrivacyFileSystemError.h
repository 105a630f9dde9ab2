#pragma once

#include "common/MurmelaError.h"

#include <system_error>

namespace murmela {

// A file-system step of the privacy runtime failed (creating a folder,
// listing the unpacked archive, moving an install aside). Passed on as it is,
// not wrapped in the installer's own error.
class PrivacyFileSystemError : public MurmelaError {
 public:
  // "Could not <action>: <reason>", e.g. "Could not create folder /a/b: Permission denied".
  PrivacyFileSystemError(QString action, const std::error_code& reason);

  QString typeName() const override { return QStringLiteral("PrivacyFileSystemError"); }
  QString description() const override { return description_; }
  int code() const override { return errorValue_; }

 private:
  QString description_;
  int errorValue_ = 0;
};

}  // namespace murmela
