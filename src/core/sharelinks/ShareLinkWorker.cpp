#include "sharelinks/ShareLinkWorker.h"

#include <QScopeGuard>

namespace murmela::ShareLinkWorker {

QThreadPool& pool() {
  static QThreadPool& instance = makeLastingPool(2);
  return instance;
}

void run(QObject* receiver, std::function<void()> work, std::function<void(std::exception_ptr)> done) {
  runOnWorker(pool(), receiver, std::move(work), std::move(done));
}

void createShareLink(QObject* receiver, ShareLinkClient client, WrappedReport report,
                     std::optional<QString> contactHandle,
                     std::function<void(WorkerOutcome<ShareLinkGenerationResult>)> done, std::stop_token stop) {
  run<ShareLinkGenerationResult>(
      receiver,
      [client = std::move(client), report = std::move(report), contactHandle = std::move(contactHandle),
       stop = std::move(stop)] {
        // A create can spend minutes on a slow backend, or waiting for another
        // create of the same link: meanwhile its thread does not count
        // against the pool, so listings and revokes still start at once.
        pool().releaseThread();
        const auto counted = qScopeGuard([] { pool().reserveThread(); });
        return client.createShareLink(report, contactHandle, stop);
      },
      std::move(done));
}

void revokeShareLink(QObject* receiver, ShareLinkClient client, QString shareID,
                     std::function<void(std::exception_ptr)> done, std::stop_token stop) {
  run(
      receiver,
      [client = std::move(client), shareID = std::move(shareID), stop = std::move(stop)] {
        client.revokeShareLink(shareID, stop);
      },
      std::move(done));
}

void activeShares(QObject* receiver, std::function<void(QList<ShareCacheEntry>)> done, ShareLinkCacheStore& store) {
  run<QList<ShareCacheEntry>>(
      receiver, [&store] { return store.activeShares(); },
      [done = std::move(done)](WorkerOutcome<QList<ShareCacheEntry>> outcome) {
        // The store never throws; an outcome without a value is an empty list.
        done(outcome.value.value_or(QList<ShareCacheEntry>()));
      });
}

}  // namespace murmela::ShareLinkWorker
