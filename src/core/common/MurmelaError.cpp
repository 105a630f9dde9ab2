#include "common/MurmelaError.h"

namespace murmela {

const char* MurmelaError::what() const noexcept {
  try {
    if (what_.isEmpty()) what_ = userFacingText().toUtf8();
    return what_.constData();
  } catch (...) {
    return "MurmelaError";
  }
}

QString describeError(const std::exception& error) {
  if (const auto* known = dynamic_cast<const MurmelaError*>(&error)) return known->description();
  return QString::fromUtf8(error.what());
}

QString describeError(const std::exception_ptr& error) {
  try {
    if (error) std::rethrow_exception(error);
  } catch (const std::exception& caught) {
    return describeError(caught);
  } catch (...) {
  }
  return QStringLiteral("unknown error");
}

}  // namespace murmela
