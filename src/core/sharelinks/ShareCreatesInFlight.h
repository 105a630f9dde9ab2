#pragma once

#include <QSet>
#include <QString>

#include <condition_variable>
#include <mutex>
#include <stop_token>
#include <utility>

namespace murmela {

// The share-link creates under way in this process, one per contact handle
// and content hash. A create claims its pair before it looks in the cache and
// keeps the claim until its link is recorded there (or it failed), so a second
// create for the same pair waits for the first and then finds the first one's
// link in the cache instead of making a second link. Creates for other pairs
// never wait: only the claimed pair is held, never a lock shared with others.
class ShareCreatesInFlight {
 public:
  // Held while one create for a pair is under way; releasing it (on
  // destruction) wakes the creates waiting for that pair.
  class Claim {
   public:
    Claim(Claim&& other) noexcept : owner_(std::exchange(other.owner_, nullptr)), key_(std::move(other.key_)) {}
    Claim(const Claim&) = delete;
    Claim& operator=(const Claim&) = delete;
    Claim& operator=(Claim&&) = delete;
    ~Claim();

   private:
    friend class ShareCreatesInFlight;
    Claim(ShareCreatesInFlight* owner, QString key) : owner_(owner), key_(std::move(key)) {}

    ShareCreatesInFlight* owner_;
    QString key_;
  };

  // The one registry of the process.
  static ShareCreatesInFlight& shared();

  // Claims the pair, first waiting while another create holds it. A stop
  // requested before the claim or during the wait throws CancellationError,
  // during the wait at once.
  Claim claim(const QString& contactHandle, const QString& contentHash, std::stop_token stop);

  // How many creates are waiting for a pair that another one holds.
  int waitingCount() const;

 private:
  void release(const QString& key);

  mutable std::mutex lock_;
  std::condition_variable_any released_;
  QSet<QString> claimed_;
  int waiting_ = 0;
};

}  // namespace murmela
