#pragma once

#include <QFutureWatcher>
#include <QObject>
#include <QPromise>
#include <QThreadPool>

#include <exception>
#include <functional>
#include <memory>
#include <optional>

namespace murmela::PrivacyWorker {

// The privacy runtime's own worker threads (unpacking, moving installs). Not
// the global pool, and never waited for when the application quits.
QThreadPool& pool();

template <typename T>
struct Outcome {
  std::optional<T> value;
  std::exception_ptr error;
};

// Runs `work` (returning T, or throwing) on the pool and hands the outcome to
// `done` on `context`'s thread. Nothing is delivered once `context` is gone.
template <typename T>
void run(QObject* context, std::function<T()> work, std::function<void(Outcome<T>)> done) {
  auto promise = std::make_shared<QPromise<Outcome<T>>>();
  auto* watcher = new QFutureWatcher<Outcome<T>>(context);
  QObject::connect(watcher, &QFutureWatcherBase::finished, context, [watcher, done = std::move(done)] {
    watcher->deleteLater();
    const QFuture<Outcome<T>> future = watcher->future();
    done(future.resultCount() > 0 ? future.result() : Outcome<T>{std::nullopt, nullptr});
  });
  watcher->setFuture(promise->future());
  promise->start();
  pool().start([promise, work = std::move(work)] {
    Outcome<T> outcome;
    try {
      outcome.value = work();
    } catch (...) {
      outcome.error = std::current_exception();
    }
    promise->addResult(std::move(outcome));
    promise->finish();
  });
}

}  // namespace murmela::PrivacyWorker
