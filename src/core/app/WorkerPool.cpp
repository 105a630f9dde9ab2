#include "app/WorkerPool.h"

#include <QMetaObject>
#include <QThreadPool>

#include <vector>

namespace murmela {
namespace {

constexpr std::chrono::milliseconds kDestructionWait{30000};

// Pools whose jobs outlived a shutdown: kept until the process ends.
std::mutex& abandonedLock() {
  static std::mutex lock;
  return lock;
}

std::vector<QThreadPool*>& abandonedPools() {
  static auto* pools = new std::vector<QThreadPool*>();
  return *pools;
}

}  // namespace

WorkerPool::WorkerPool(QObject* receiver, int maxThreads)
    : mailbox_(std::make_shared<Mailbox>()), pool_(new QThreadPool()) {
  mailbox_->receiver = receiver;
  pool_->setMaxThreadCount(maxThreads);
  post_ = [mailbox = mailbox_](std::function<void()> call) {
    // Posting under the lock: the receiver cannot be detached (and then
    // destroyed) between the check and the queued call.
    std::lock_guard guard(mailbox->lock);
    if (mailbox->receiver) QMetaObject::invokeMethod(mailbox->receiver, std::move(call), Qt::QueuedConnection);
  };
}

WorkerPool::~WorkerPool() {
  if (pool_) shutdown(kDestructionWait);
}

void WorkerPool::run(std::function<void()> job) {
  if (!pool_) return;
  pool_->start(std::move(job));
}

bool WorkerPool::waitForIdle(std::chrono::milliseconds timeout) {
  return !pool_ || pool_->waitForDone(static_cast<int>(timeout.count()));
}

bool WorkerPool::shutdown(std::chrono::milliseconds timeout) {
  {
    std::lock_guard guard(mailbox_->lock);
    mailbox_->receiver = nullptr;
  }
  if (!pool_) return true;
  pool_->clear();  // jobs that have not started yet never will
  const bool finished = pool_->waitForDone(static_cast<int>(timeout.count()));
  // A pool whose job still runs is left behind: destroying it would wait for
  // that job without bound.
  if (finished) {
    delete pool_;
  } else {
    std::lock_guard guard(abandonedLock());
    abandonedPools().push_back(pool_);
  }
  pool_ = nullptr;
  return finished;
}

}  // namespace murmela
