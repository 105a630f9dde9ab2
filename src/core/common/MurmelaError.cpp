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

}  // namespace murmela
