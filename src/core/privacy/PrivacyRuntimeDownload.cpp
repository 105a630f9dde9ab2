#include "privacy/PrivacyRuntimeDownload.h"

#include "common/HttpReply.h"
#include "privacy/PrivacyRuntimeError.h"

#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslConfiguration>
#include <QUuid>

#include <algorithm>

namespace murmela {
namespace {

bool isSuccess(int status) { return status >= 200 && status <= 299; }

}  // namespace

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
                                                      QObject* parent, const QList<QSslCertificate>& trusted) {
  auto* download =
      new PrivacyRuntimeDownload(source, destination, std::move(onProgress), std::move(completion), parent);
  download->begin(destination, trusted);
  return download;
}

PrivacyRuntimeDownload::PrivacyRuntimeDownload(const QUrl& source, const QString& destination,
                                               ProgressHandler onProgress, Completion completion, QObject* parent)
    : QObject(parent),
      source_(source),
      staging_(destination + QStringLiteral(".download-") +
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
  staging_.discard();
}

void PrivacyRuntimeDownload::begin(const QString& destination, const QList<QSslCertificate>& trusted) {
  // A download killed before it could clean up leaves its staging file; no
  // later download would ever reuse it.
  RuntimeDownloadStaging::removeAbandoned(destination);
  if (const QString failure = staging_.create(); !failure.isEmpty()) {
    // The caller gets its answer after start() has returned, as for every other outcome.
    QMetaObject::invokeMethod(this, [this, failure] { fail(failure); }, Qt::QueuedConnection);
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
  // Qt's HTTP/2 reads a body as fast as it comes, whatever the read buffer
  // size, so an https server that offers HTTP/2 could fill memory. HTTP/1.1
  // only, and h2 kept out of the TLS offer as well.
  request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
  QSslConfiguration tls = request.sslConfiguration();
  tls.setAllowedNextProtocols({QByteArray(QSslConfiguration::NextProtocolHttp1_1)});
  tls.addCaCertificates(trusted);
  request.setSslConfiguration(tls);
  reply_ = network_->get(request);
  // The network waits for the disk: past this many unread bytes Qt stops
  // reading the socket until receive() has written them out.
  reply_->setReadBufferSize(kReadBufferBytes);
  connect(reply_, &QNetworkReply::metaDataChanged, this, &PrivacyRuntimeDownload::inspectHeaders);
  connect(reply_, &QNetworkReply::readyRead, this, &PrivacyRuntimeDownload::receive);
  connect(reply_, &QNetworkReply::finished, this, &PrivacyRuntimeDownload::finish);
}

std::optional<qint64> PrivacyRuntimeDownload::announcedLength() const {
  const QVariant length = reply_->header(QNetworkRequest::ContentLengthHeader);
  return length.isValid() ? std::optional<qint64>(length.toLongLong()) : std::nullopt;
}

bool PrivacyRuntimeDownload::failOnStatus() {
  const QVariant status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute);
  if (!status.isValid() || isSuccess(status.toInt())) return false;
  fail(source_.toString() + QStringLiteral(" returned HTTP ") + QString::number(status.toInt()));
  return true;
}

bool PrivacyRuntimeDownload::failOnSpace(qint64 remaining) {
  const std::optional<qint64> free = RuntimeDownloadStaging::freeBytes(staging_.folder());
  if (!free || *free >= remaining) return false;
  fail(RuntimeDownloadStaging::notEnoughSpace(staging_.folder(), remaining, *free));
  return true;
}

void PrivacyRuntimeDownload::inspectHeaders() {
  if (completed_ || !reply_) return;
  // Qt follows a redirect itself and never hands over its body.
  const QVariant status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute);
  if (status.toInt() / 100 == 3 && reply_->hasRawHeader("Location")) return;
  // An error answer is said at once: its body, however long, is no archive.
  if (failOnStatus()) return;
  const std::optional<qint64> length = announcedLength();
  if (!length) return;
  if (*length > kMaxArchiveBytes) return fail(tooLarge());
  failOnSpace(*length);
}

void PrivacyRuntimeDownload::receive() {
  if (completed_ || !reply_ || failOnStatus()) return;
  // Read in pieces through one buffer: nothing larger than a piece is made.
  if (chunk_.isEmpty()) chunk_.resize(kChunkBytes);
  qint64 received = 0;
  while (reply_->bytesAvailable() > 0) {
    const qint64 count = reply_->read(chunk_.data(), chunk_.size());
    if (count <= 0) break;
    if (written_ + received + count > kMaxArchiveBytes) return fail(tooLarge());
    if (const QString failure = staging_.write(chunk_.constData(), count); !failure.isEmpty()) return fail(failure);
    received += count;
  }
  if (received == 0) return;
  written_ += received;
  const std::optional<qint64> length = announcedLength();
  // The disk may fill under the download: what is still to come must fit.
  if (length && written_ >= nextSpaceCheck_) {
    nextSpaceCheck_ = written_ + kSpaceCheckBytes;
    if (failOnSpace(*length - written_)) return;
  }
  if (onProgress_) {
    const double elapsed = startedAt_.nsecsElapsed() / 1e9;
    onProgress_(PrivacyRuntimeDownloadProgress::reading(written_, length.value_or(-1), elapsed));
  }
}

void PrivacyRuntimeDownload::finish() {
  if (completed_ || !reply_) return;
  receive();
  if (completed_) return;

  // A status decides first (a non-2xx answer also sets an error), then a
  // transport error (which also covers a body cut short after a 200).
  if (failOnStatus()) return;
  if (reply_->error() != QNetworkReply::NoError) {
    // Nothing of ours aborts a running reply, so a cancellation is the idle timeout.
    fail(reply_->error() == QNetworkReply::OperationCanceledError ? QStringLiteral("The request timed out.")
                                                                   : reply_->errorString());
    return;
  }
  // Qt 6.4 does not always report a connection that closed before the
  // announced length arrived; a cut archive must not pass as a whole one.
  const std::optional<qint64> length = announcedLength();
  if (length && *length != written_) {
    fail(QStringLiteral("The download ended after %1 of %2 bytes.").arg(written_).arg(*length));
    return;
  }
  if (const QString failure = staging_.close(); !failure.isEmpty()) return fail(failure);
  if (!QFileInfo::exists(staging_.path())) {
    fail(QStringLiteral("Download finished without a file."));
    return;
  }
  complete(staging_.path(), nullptr);
}

QString PrivacyRuntimeDownload::tooLarge() {
  return QStringLiteral("The download is larger than a runtime archive can be (%1 GiB).").arg(kMaxArchiveBytes >> 30);
}

void PrivacyRuntimeDownload::fail(const QString& text) {
  complete(std::nullopt, std::make_exception_ptr(PrivacyRuntimeError::downloadFailed(text)));
}

void PrivacyRuntimeDownload::complete(std::optional<QString> stagedFile, std::exception_ptr error) {
  if (completed_) return;
  completed_ = true;
  if (reply_) {
    reply_->disconnect(this);
    // Queued: the reply may be inside one of its own signals (a status said
    // at its headers), and Qt goes on with that answer after the slot returns.
    if (reply_->isRunning()) QMetaObject::invokeMethod(reply_, &QNetworkReply::abort, Qt::QueuedConnection);
    reply_->deleteLater();
  }
  if (error) staging_.discard();
  Completion completion = std::move(completion_);
  completion_ = nullptr;
  deleteLater();
  if (completion) completion(std::move(stagedFile), error);
}

}  // namespace murmela
