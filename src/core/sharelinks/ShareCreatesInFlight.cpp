#include "sharelinks/ShareCreatesInFlight.h"

#include "common/MurmelaError.h"

namespace murmela {

ShareCreatesInFlight::Claim::~Claim() {
  if (owner_) owner_->release(key_);
}

ShareCreatesInFlight& ShareCreatesInFlight::shared() {
  // Never destroyed: a worker may still be waiting in it while the process ends.
  static ShareCreatesInFlight* const registry = new ShareCreatesInFlight;
  return *registry;
}

ShareCreatesInFlight::Claim ShareCreatesInFlight::claim(const QString& contactHandle, const QString& contentHash,
                                                        std::stop_token stop) {
  // The hash is hexadecimal, so the first line break ends it: no two pairs
  // share a key.
  QString key = contentHash + QLatin1Char('\n') + contactHandle;
  if (stop.stop_requested()) throw CancellationError();
  std::unique_lock guard(lock_);
  // Counted only while it really waits: a free pair is taken without the
  // lock being let go.
  ++waiting_;
  // Wakes at a release, or at once when a stop is requested (the wait
  // registers a stop callback that notifies this condition).
  const bool free = released_.wait(guard, stop, [&] { return !claimed_.contains(key); });
  --waiting_;
  if (!free) throw CancellationError();
  claimed_.insert(key);
  return Claim(this, std::move(key));
}

int ShareCreatesInFlight::waitingCount() const {
  std::lock_guard guard(lock_);
  return waiting_;
}

void ShareCreatesInFlight::release(const QString& key) {
  {
    std::lock_guard guard(lock_);
    claimed_.remove(key);
  }
  released_.notify_all();
}

}  // namespace murmela
