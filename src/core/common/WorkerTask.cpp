#include "common/WorkerTask.h"

namespace murmela {

QThreadPool& makeLastingPool(int maxThreadCount) {
  auto* pool = new QThreadPool;
  pool->setMaxThreadCount(maxThreadCount);
  pool->setExpiryTimeout(30000);
  return *pool;
}

}  // namespace murmela
