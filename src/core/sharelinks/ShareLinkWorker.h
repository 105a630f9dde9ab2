#pragma once

#include "common/WorkerTask.h"
#include "sharelinks/ShareCacheEntry.h"
#include "sharelinks/ShareLinkCacheStore.h"
#include "sharelinks/ShareLinkClient.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QThreadPool>

#include <exception>
#include <functional>
#include <optional>
#include <stop_token>

namespace murmela::ShareLinkWorker {

// The share links' own worker threads: the client's blocking calls and the
// cache's file work run here, never on the GUI thread. Not the global pool,
// and never waited for when the application quits.
QThreadPool& pool();

// Runs `work` on the pool; `done` gets the outcome on `receiver`'s thread
// (nothing once `receiver` is gone).
template <typename T>
void run(QObject* receiver, std::function<T()> work, std::function<void(WorkerOutcome<T>)> done) {
  runOnWorker<T>(pool(), receiver, std::move(work), std::move(done));
}
void run(QObject* receiver, std::function<void()> work, std::function<void(std::exception_ptr)> done);

// client.createShareLink(report, contactHandle) on the pool. While it runs
// (a slow backend, a wait for another create of the same link) its thread is
// not counted against the pool's two: it never holds up listings, revokes or
// other creates.
void createShareLink(QObject* receiver, ShareLinkClient client, WrappedReport report,
                     std::optional<QString> contactHandle,
                     std::function<void(WorkerOutcome<ShareLinkGenerationResult>)> done, std::stop_token stop = {});
// client.revokeShareLink(shareID) on the pool; `done` gets the error, or null.
void revokeShareLink(QObject* receiver, ShareLinkClient client, QString shareID,
                     std::function<void(std::exception_ptr)> done, std::stop_token stop = {});
// store.activeShares() on the pool.
void activeShares(QObject* receiver, std::function<void(QList<ShareCacheEntry>)> done,
                  ShareLinkCacheStore& store = ShareLinkCacheStore::shared());

}  // namespace murmela::ShareLinkWorker
