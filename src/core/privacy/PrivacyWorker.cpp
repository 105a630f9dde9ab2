#include "privacy/PrivacyWorker.h"

namespace murmela::PrivacyWorker {

QThreadPool& pool() {
  // Deliberately never destroyed: QThreadPool's destructor waits for running
  // jobs, and quitting must not wait on a hung unpack.
  static QThreadPool* const instance = [] {
    auto* created = new QThreadPool;
    created->setMaxThreadCount(2);
    created->setExpiryTimeout(30000);
    return created;
  }();
  return *instance;
}

}  // namespace murmela::PrivacyWorker
