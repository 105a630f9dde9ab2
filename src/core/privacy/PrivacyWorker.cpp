#include "privacy/PrivacyWorker.h"

namespace murmela::PrivacyWorker {

QThreadPool& pool() {
  static QThreadPool& instance = makeLastingPool(2);
  return instance;
}

}  // namespace murmela::PrivacyWorker
