#pragma once

#include <QFutureWatcher>
#include <QObject>
#include <QPromise>
#include <QThreadPool>

#include <exception>
#include <functional>
#include <memory>
#include <optional>

namespace murmela {

// A pool of worker threads of its own (not the global pool) that is never
// destroyed: QThreadPool's destructor waits for running jobs, and quitting must
// not wait on a job that hangs.
QThreadPool& makeLastingPool(int maxThreadCount);

// What a job on a worker ended with: its value, or the exception it threw.
template <typename T>
struct WorkerOutcome {
  std::optional<T> value;
  std::exception_ptr error;
};

// Runs `work` (returning T, or throwing) on `pool` and hands the outcome to
// `done` on `receiver`'s thread, as a queued call that keeps the order of
// completions. Nothing is delivered once `receiver` is gone (the watcher that
// carries the outcome is its child); the work itself still runs to its end.
template <typename T>
void runOnWorker(QThreadPool& pool, QObject* receiver, std::function<T()> work,
                 std::function<void(WorkerOutcome<T>)> done) {
  auto promise = std::make_shared<QPromise<WorkerOutcome<T>>>();
  auto* watcher = new QFutureWatcher<WorkerOutcome<T>>(receiver);
  QObject::connect(watcher, &QFutureWatcherBase::finished, receiver, [watcher, done = std::move(done)] {
    watcher->deleteLater();
    const QFuture<WorkerOutcome<T>> future = watcher->future();
    done(future.resultCount() > 0 ? future.result() : WorkerOutcome<T>{std::nullopt, nullptr});
  });
  watcher->setFuture(promise->future());
  promise->start();
  pool.start([promise, work = std::move(work)] {
    WorkerOutcome<T> outcome;
    try {
      outcome.value = work();
    } catch (...) {
      outcome.error = std::current_exception();
    }
    promise->addResult(std::move(outcome));
    promise->finish();
  });
}

// The same for work without a value: `done` receives the exception, or null.
inline void runOnWorker(QThreadPool& pool, QObject* receiver, std::function<void()> work,
                        std::function<void(std::exception_ptr)> done) {
  runOnWorker<bool>(
      pool, receiver,
      [work = std::move(work)] {
        work();
        return true;
      },
      [done = std::move(done)](WorkerOutcome<bool> outcome) { done(outcome.error); });
}

}  // namespace murmela
