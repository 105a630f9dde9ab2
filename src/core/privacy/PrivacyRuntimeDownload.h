#pragma once

#include "privacy/RuntimeDownloadStaging.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QSslCertificate>
#include <QString>
#include <QUrl>

#include <exception>
#include <functional>
#include <memory>
#include <optional>

class QNetworkAccessManager;
class QNetworkReply;

namespace murmela {

// How far a runtime archive download has come.
struct PrivacyRuntimeDownloadProgress {
  qint64 downloadedBytes = 0;         // written to disk so far
  std::optional<qint64> totalBytes;   // absent when the server names no length
  double bytesPerSecond = 0;          // average since the download started

  // One reading: `expectedBytes` below 1 means unknown; the speed uses at
  // least 0.1 s of elapsed time so the first readings stay finite.
  static PrivacyRuntimeDownloadProgress reading(qint64 writtenBytes, qint64 expectedBytes, double elapsedSeconds);

  bool operator==(const PrivacyRuntimeDownloadProgress&) const = default;
};

// One download of a runtime archive, streamed to a staging file next to its
// destination (see RuntimeDownloadStaging) so the archive is never held in
// memory: at most kReadBufferBytes wait between the network and the file,
// whatever the speed of either, over plain HTTP and HTTPS alike (HTTP/1.1
// only). An error status fails at its headers, as does an announced length
// above kMaxArchiveBytes or one the disk has no room for; the room is checked
// again as the file grows. Starting removes the staging files that downloads
// which are gone left next to the destination. The request names the
// application as its User-Agent, as every backend call does. Lives on the
// thread that started it (which needs an event loop).
// The completion runs exactly once, on that thread, with the staging file or
// a PrivacyRuntimeError::downloadFailed; a failed download leaves no staging
// file behind. Destroying the download (or its parent) before it completes
// aborts it, removes the staging file and delivers nothing.
class PrivacyRuntimeDownload : public QObject {
  Q_OBJECT

 public:
  // May be called from any thread (today: the download's own).
  using ProgressHandler = std::function<void(const PrivacyRuntimeDownloadProgress&)>;
  using Completion = std::function<void(std::optional<QString> stagedFile, std::exception_ptr error)>;

  static constexpr int kIdleTimeoutMs = 60000;
  // A mirror may redirect once or twice; a loop fails after this many.
  static constexpr int kMaxRedirects = 5;
  // The most body bytes held in memory between the network and the file.
  static constexpr qint64 kReadBufferBytes = 2 << 20;
  // The piece read from the network and written to the file at a time.
  static constexpr qsizetype kChunkBytes = 256 << 10;
  // No runtime archive comes near this; past it a server is sending something else.
  static constexpr qint64 kMaxArchiveBytes = qint64(4) << 30;
  // How often, in bytes written, the room left on the disk is looked at again.
  static constexpr qint64 kSpaceCheckBytes = 64 << 20;

  // `trusted`: certificate authorities trusted beside the system's (a test's own server).
  static PrivacyRuntimeDownload* start(const QUrl& source, const QString& destination, ProgressHandler onProgress,
                                       Completion completion, QObject* parent,
                                       const QList<QSslCertificate>& trusted = {});
  ~PrivacyRuntimeDownload() override;

  const QString& stagingPath() const { return staging_.path(); }

 private:
  PrivacyRuntimeDownload(const QUrl& source, const QString& destination, ProgressHandler onProgress,
                         Completion completion, QObject* parent);
  void begin(const QString& destination, const QList<QSslCertificate>& trusted);
  void inspectHeaders();
  void receive();
  void finish();
  std::optional<qint64> announcedLength() const;
  // Each fails the download and answers true when its check does not pass.
  bool failOnStatus();
  bool failOnSpace(qint64 remaining);
  static QString tooLarge();
  void fail(const QString& text);
  void complete(std::optional<QString> stagedFile, std::exception_ptr error);

  const QUrl source_;
  RuntimeDownloadStaging staging_;
  ProgressHandler onProgress_;
  Completion completion_;
  QElapsedTimer startedAt_;
  QByteArray chunk_;
  QNetworkAccessManager* network_ = nullptr;
  QPointer<QNetworkReply> reply_;
  qint64 written_ = 0;
  qint64 nextSpaceCheck_ = 0;
  bool completed_ = false;
};

}  // namespace murmela
