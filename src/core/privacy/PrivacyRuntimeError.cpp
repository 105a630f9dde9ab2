#include "privacy/PrivacyRuntimeError.h"

namespace murmela {

QString PrivacyRuntimeError::description() const {
  switch (kind_) {
    case Kind::downloadFailed: return QStringLiteral("Could not download Murmela privacy runtime: ") + text_;
    case Kind::installFailed: return QStringLiteral("Could not install Murmela privacy runtime: ") + text_;
    case Kind::manifestMissing:
      return QStringLiteral("Privacy runtime manifest is missing at ") + text_ + QStringLiteral(".");
    case Kind::manifestInvalid: return QStringLiteral("Privacy runtime manifest is invalid: ") + text_;
    case Kind::executableMissing:
      return QStringLiteral("Privacy runtime Python executable is missing at ") + text_ + QStringLiteral(".");
    case Kind::modelMissing:
      return QStringLiteral("Privacy runtime model files are missing at ") + text_ + QStringLiteral(".");
  }
  return text_;
}

QString PrivacyRuntimeError::describe(const std::exception_ptr& error) {
  if (!error) return {};
  try {
    std::rethrow_exception(error);
  } catch (const MurmelaError& known) {
    return known.description();
  } catch (const std::exception& other) {
    return QString::fromLocal8Bit(other.what());
  } catch (...) {
    return QStringLiteral("An unknown error occurred.");
  }
}

}  // namespace murmela
