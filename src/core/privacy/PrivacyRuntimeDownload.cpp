#include "privacy/PrivacyRuntimeDownload.h"

#include "common/HttpReply.h"
#include "privacy/PrivacyRuntimeError.h"

#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUuid>

#include <algorithm>

namespace murmela {

PrivacyRuntimeDownloadProgress PrivacyRuntimeDownloadProgress::reading(qint64 writtenBytes, qint64 expectedBytes,
                                                                       double elapsedSeconds) {
  PrivacyRuntimeDownloadProgress progress;
  progress.downloadedBytes = writtenBytes;
  if (expectedBytes >= 1) progress.totalBytes = expectedBytes;
  progress.bytesPerSecond = static_cast<double>(writtenBytes) / std::max(elapsedSeconds, 0.1);
  return progress;
}

PrivacyRuntimeDownload* PrivacyRuntimeDownload::start(const QUrl& source, const QString& destination,
                                                      ProgressHandler onProgress, Completion completion,
                                                      QObject* parent) {
  auto* download = new PrivacyRuntimeDownload(source, destination, std::move(onProgress), std::move(completion), parent);
  download->begin();
  return download;
}

PrivacyRuntimeDownload::PrivacyRuntimeDownload(const QUrl& source, const QString& destination,
                                               ProgressHandler onProgress, Completion completion, QObject* parent)
    : QObject(parent),
      source_(source),
      stagingPath_(destination + QStringLiteral(".download-") +
                   QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper()),
      onProgress_(std::move(onProgress)),
      completion_(std::move(completion)) {
  startedAt_.start();
}

PrivacyRuntimeDownload::~PrivacyRuntimeDownload() {
  if (completed_) return;
  completed_ = true;
  if (reply_) {
    reply_->disconnect(this);
    reply_->abort();
  }
  staging_.close();
  QFile::remove(stagingPath_);
}

void PrivacyRuntimeDownload::begin() {
  QFile::remove(stagingPath_);
  staging_.setFileName(stagingPath_);
  if (!staging_.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
    const QString text = QStringLiteral("Could not create %1: %2").arg(stagingPath_, staging_.errorString());
    // The caller gets its answer after start() has returned, as for every other outcome.
    QMetaObject::invokeMethod(this, [this, text] { fail(text); }, Qt::QueuedConnection);
    return;
  }

  network_ = new QNetworkAccessManager(this);
  QNetworkRequest request(source_);
  // The archive is already compressed; a transparently decoded body would
  // also make the length and the progress meaningless.
  request.setRawHeader("Accept-Encoding", "identity");
  request.setHeader(QNetworkRequest::UserAgentHeader, HttpReply::userAgent());
  request.setMaximumRedirectsAllowed(kMaxRedirects);
  request.setTransferTimeout(kIdleTimeoutMs);
  reply_ = network_->get(request);
  // The network waits for the disk: past this many unread bytes Qt stops
  // reading the socket until receive() has written them out.
  reply_->setReadBufferSize(kReadBufferBytes);
  connect(reply_, &QNetworkReply::readyRead, this, &PrivacyRuntimeDownload::receive);
  connect(reply_, &QNetworkReply::finished, this, &PrivacyRuntimeDownload::finish);
}

void PrivacyRuntimeDownload::receive() {
  if (completed_ || !reply_) return;
  // The body of an error answer is no part of any archive, and showing it as
  // download progress would tell the user the download went well.
  const QVariant status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute);
  const bool isArchive = !status.isValid() || (status.toInt() >= 200 && status.toInt() <= 299);
  // Read in pieces through one buffer: nothing larger than a piece is made.
  if (chunk_.isEmpty()) chunk_.resize(kChunkBytes);
  qint64 received = 0;
  while (reply_->bytesAvailable() > 0) {
    const qint64 count = reply_->read(chunk_.data(), chunk_.size());
    if (count <= 0) break;
    if (!isArchive) continue;
    if (staging_.write(chunk_.constData(), count) != count) {
      fail(QStringLiteral("Could not write %1: %2").arg(stagingPath_, staging_.errorString()));
      return;
    }
    received += count;
  }
  if (received == 0) return;
  written_ += received;
  if (onProgress_) {
    const QVariant length = reply_->header(QNetworkRequest::ContentLengthHeader);
    const qint64 expected = length.isValid() ? length.toLongLong() : -1;
    onProgress_(PrivacyRuntimeDownloadProgress::reading(written_, expected, startedAt_.nsecsElapsed() / 1e9));
  }
}

void PrivacyRuntimeDownload::finish() {
  if (completed_ || !reply_) return;
  receive();
  if (completed_) return;

  // A status decides first (a non-2xx answer also sets an error), then a
  // transport error (which also covers a body cut short after a 200).
  const QVariant status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute);
  if (status.isValid() && (status.toInt() < 200 || status.toInt() > 299)) {
    fail(source_.toString() + QStringLiteral(" returned HTTP ") + QString::number(status.toInt()));
    return;
  }
  if (reply_->error() != QNetworkReply::NoError) {
    // Nothing of ours aborts a running reply, so a cancellation is the idle timeout.
    fail(reply_->error() == QNetworkReply::OperationCanceledError ? QStringLiteral("The request timed out.")
                                                                   : reply_->errorString());
    return;
  }
  // Qt 6.4 does not always report a connection that closed before the
  // announced length arrived; a cut archive must not pass as a whole one.
  const QVariant length = reply_->header(QNetworkRequest::ContentLengthHeader);
  if (length.isValid() && length.toLongLong() != written_) {
    fail(QStringLiteral("The download ended after %1 of %2 bytes.").arg(written_).arg(length.toLongLong()));
    return;
  }
  if (!staging_.flush()) {
    fail(QStringLiteral("Could not write %1: %2").arg(stagingPath_, staging_.errorString()));
    return;
  }
  staging_.close();
  if (!QFileInfo::exists(stagingPath_)) {
    fail(QStringLiteral("Download finished without a file."));
    return;
  }
  complete(stagingPath_, nullptr);
}

void PrivacyRuntimeDownload::fail(const QString& text) {
  complete(std::nullopt, std::make_exception_ptr(PrivacyRuntimeError::downloadFailed(text)));
}

void PrivacyRuntimeDownload::complete(std::optional<QString> stagedFile, std::exception_ptr error) {
  if (completed_) return;
  completed_ = true;
  if (reply_) {
    reply_->disconnect(this);
    if (reply_->isRunning()) reply_->abort();
    reply_->deleteLater();
  }
  staging_.close();
  if (error) QFile::remove(stagingPath_);
  Completion completion = std::move(completion_);
  completion_ = nullptr;
  deleteLater();
  if (completion) completion(std::move(stagedFile), error);
}

}  // namespace murmela
