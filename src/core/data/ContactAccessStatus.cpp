#include "data/ContactAccessStatus.h"

namespace murmela {

ContactAccessStatus ContactAccessStatus::fromRawValue(qint64 raw) {
  switch (raw) {
    case 0: return notDetermined();
    case 1: return restricted();
    case 2: return denied();
    case 3: return authorized();
    default: return unknown(QStringLiteral("authorization status %1").arg(raw));
  }
}

}  // namespace murmela
