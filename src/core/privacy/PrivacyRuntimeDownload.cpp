#include "privacy/PrivacyRuntimeDownload.h"

#include "common/FileSystem.h"
#include "common/MurmelaError.h"
#include "net/HttpExchange.h"
#include "privacy/PrivacyRuntimeError.h"
#include "privacy/PrivacyWorker.h"
#include "privacy/RuntimeDownloadStaging.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QUuid>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <stop_token>

namespace murmela {
namespace {

QString tooLarge() {
  return QStringLiteral("The download is larger than a runtime archive can be (%1 GiB).")
      .arg(PrivacyRuntimeDownload::kMaxArchiveBytes >> 30);
}

PrivacyRuntimeError failure(const QString& text) { return PrivacyRuntimeError::downloadFailed(text); }

}  // namespace

PrivacyRuntimeDownloadProgress PrivacyRuntimeDownloadProgress::reading(qint64 writtenBytes, qint64 expectedBytes,
                                                                       double elapsedSeconds) {
  PrivacyRuntimeDownloadProgress progress;
  progress.downloadedBytes = writtenBytes;
  if (expectedBytes >= 1) progress.totalBytes = expectedBytes;
  progress.bytesPerSecond = static_cast<double>(writtenBytes) / std::max(elapsedSeconds, 0.1);
  return progress;
}

// The answer as the worker receives it, and what the worker and the download
// object share. The staging file is the worker's alone from its start until
// it sets workerDone; after that, the download object's.
struct PrivacyRuntimeDownload::Run : HttpAnswerReceiver {
  Run(QUrl from, const QString& destination, Limits bounds)
      : source(std::move(from)),
        staging(destination + QStringLiteral(".download-") +
                QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper()),
        limits(std::move(bounds)) {
    startedAt.start();
  }

  const QUrl source;
  RuntimeDownloadStaging staging;
  const Limits limits;
  QElapsedTimer startedAt;
  std::stop_source stop;
  std::atomic<qint64> written{0};
  std::atomic<qint64> announced{-1};  // the answer's length; -1: none
  std::atomic<bool> reportQueued{false};
  qint64 nextSpaceCheck = kSpaceCheckBytes;  // the worker's

  std::mutex lock;
  PrivacyRuntimeDownload* owner = nullptr;  // none once it is gone
  bool workerDone = false;

  // Queues `call` on the owner's thread while the owner lives. Posted under
  // the lock, so the owner cannot go in between; its end drops whatever is
  // still queued.
  void post(std::function<void(PrivacyRuntimeDownload&)> call) {
    const std::lock_guard hold(lock);
    if (!owner) return;
    QMetaObject::invokeMethod(
        owner, [target = owner, call = std::move(call)] { call(*target); }, Qt::QueuedConnection);
  }

  void failOnSpace(qint64 remaining) const {
    const std::optional<qint64> free = RuntimeDownloadStaging::freeBytes(staging.folder());
    if (free && *free < remaining)
      throw failure(RuntimeDownloadStaging::notEnoughSpace(staging.folder(), remaining, *free));
  }

  bool answerHeaders(int status, const HttpHeaders& headers) override {
    // An error answer is said at once: its body, however long, is no archive.
    if (status < 200 || status > 299)
      throw failure(source.toString() + QStringLiteral(" returned HTTP ") + QString::number(status));
    bool valid = false;
    const qint64 length = headerValue(headers, "Content-Length").toLongLong(&valid);
    if (!valid || length < 0) return true;
    announced.store(length);
    if (length > kMaxArchiveBytes) throw failure(tooLarge());
    failOnSpace(length);
    return true;
  }

  bool answerBody(const char* data, size_t size) override {
    const qint64 total = written.load() + static_cast<qint64>(size);
    if (total > kMaxArchiveBytes) throw failure(tooLarge());
    if (const QString text = staging.write(data, static_cast<qint64>(size)); !text.isEmpty()) throw failure(text);
    written.store(total);
    // The disk may fill under the download: what is still to come must fit.
    if (const qint64 length = announced.load(); length >= 0 && total >= nextSpaceCheck) {
      nextSpaceCheck = total + kSpaceCheckBytes;
      failOnSpace(length - total);
    }
    // One reading in flight at most: a receiver that is held up is not sent a
    // queue of them, and gets the latest when it is free.
    if (!reportQueued.exchange(true)) post([](PrivacyRuntimeDownload& download) { download.reportProgress(); });
    return true;
  }
};

PrivacyRuntimeDownload* PrivacyRuntimeDownload::start(const QUrl& source, const QString& destination,
                                                      ProgressHandler onProgress, Completion completion,
                                                      QObject* parent, Limits limits) {
  auto run = std::make_shared<Run>(source, destination, std::move(limits));
  auto* download = new PrivacyRuntimeDownload(run, std::move(onProgress), std::move(completion), parent);
  // A download killed before it could clean up leaves its staging file; no
  // later download would ever reuse it.
  RuntimeDownloadStaging::removeAbandoned(destination);
  if (const QString text = run->staging.create(); !text.isEmpty()) {
    run->staging.discard();
    run->workerDone = true;  // there is none
    // The caller gets its answer after start() has returned, as for every other outcome.
    QMetaObject::invokeMethod(
        download, [download, text] { download->finish(std::make_exception_ptr(failure(text))); }, Qt::QueuedConnection);
    return download;
  }
  PrivacyWorker::pool().start([run] { transfer(run); });
  return download;
}

PrivacyRuntimeDownload::PrivacyRuntimeDownload(std::shared_ptr<Run> run, ProgressHandler onProgress,
                                               Completion completion, QObject* parent)
    : QObject(parent), run_(std::move(run)), onProgress_(std::move(onProgress)), completion_(std::move(completion)) {
  run_->owner = this;
}

PrivacyRuntimeDownload::~PrivacyRuntimeDownload() {
  bool stagingIsOurs = false;
  {
    const std::lock_guard hold(run_->lock);
    run_->owner = nullptr;
    stagingIsOurs = run_->workerDone;
  }
  run_->stop.request_stop();
  // An outcome that was never delivered: its file goes with it, now. A worker
  // still running sees the stop and closes the file, but the process may end
  // first (a quit): its name goes here, the worker writes on to no name.
  if (stagingIsOurs && !completed_)
    run_->staging.discard();
  else if (!completed_)
    FileSystem::removeQuietly(run_->staging.path());
}

const QString& PrivacyRuntimeDownload::stagingPath() const { return run_->staging.path(); }

void PrivacyRuntimeDownload::transfer(const std::shared_ptr<Run>& run) {
  std::exception_ptr error;
  bool stopped = false;
  try {
    HttpExchangeOptions options;
    options.address = QString::fromLatin1(run->source.toEncoded());
    // The archive is already compressed; a decoded body would also make the
    // length and the progress meaningless.
    options.headers.append({QByteArrayLiteral("Accept-Encoding"), QByteArrayLiteral("identity")});
    options.allowHttp2 = true;
    options.idleTimeoutSeconds = run->limits.idleTimeoutMs / 1000.0;
    options.leastBytes = run->limits.leastBytes;
    options.leastRateSeconds = run->limits.leastRateWindowMs / 1000.0;
    options.certificateAuthorities = run->limits.certificateAuthorities;
    fetchFollowingRedirects(std::move(options), kMaxRedirects, *run, run->stop.get_token());
    if (const QString text = run->staging.close(); !text.isEmpty()) throw failure(text);
    if (!QFileInfo::exists(run->staging.path())) throw failure(QStringLiteral("Download finished without a file."));
  } catch (const CancellationError&) {
    stopped = true;
  } catch (const PrivacyRuntimeError&) {
    error = std::current_exception();
  } catch (...) {
    // The transport's own description ("The request timed out.", ...).
    error = std::make_exception_ptr(failure(describeError(std::current_exception())));
  }

  const std::lock_guard hold(run->lock);
  run->workerDone = true;
  if (stopped || error || !run->owner) run->staging.discard();
  if (stopped || !run->owner) return;
  QMetaObject::invokeMethod(
      run->owner, [target = run->owner, error] { target->finish(error); }, Qt::QueuedConnection);
}

void PrivacyRuntimeDownload::reportProgress() {
  run_->reportQueued.store(false);
  const qint64 written = run_->written.load();
  if (completed_ || written == reported_ || !onProgress_) return;
  reported_ = written;
  const double elapsed = static_cast<double>(run_->startedAt.nsecsElapsed()) / 1e9;
  onProgress_(PrivacyRuntimeDownloadProgress::reading(written, run_->announced.load(), elapsed));
}

void PrivacyRuntimeDownload::finish(std::exception_ptr error) {
  if (completed_) return;
  if (!error) reportProgress();  // the last reading, when it is still due
  completed_ = true;
  Completion completion = std::move(completion_);
  completion_ = nullptr;
  const std::optional<QString> staged = error ? std::nullopt : std::optional<QString>(run_->staging.path());
  deleteLater();
  // The completion may end this object's parent, and with it this object.
  if (completion) completion(staged, error);
}

}  // namespace murmela
