#pragma once

#include "common/WorkerTask.h"

#include <QObject>
#include <QThreadPool>

#include <functional>

namespace murmela::PrivacyWorker {

// The privacy runtime's own worker threads (downloading, unpacking, moving installs). Not
// the global pool, and never waited for when the application quits.
QThreadPool& pool();

template <typename T>
using Outcome = WorkerOutcome<T>;

// Runs `work` (returning T, or throwing) on the pool and hands the outcome to
// `done` on `context`'s thread. Nothing is delivered once `context` is gone.
template <typename T>
void run(QObject* context, std::function<T()> work, std::function<void(Outcome<T>)> done) {
  runOnWorker<T>(pool(), context, std::move(work), std::move(done));
}

}  // namespace murmela::PrivacyWorker
