#pragma once

#include <QElapsedTimer>
#include <QFile>
#include <QObject>
#include <QPointer>
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
// destination ("<destination>.download-<UUID>") so the archive is never held
// in memory: at most kReadBufferBytes wait between the network and the file,
// whatever the speed of either. The request names the application as its
// User-Agent, as every backend call does. Lives on the thread that started it (which needs an event loop).
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

  static PrivacyRuntimeDownload* start(const QUrl& source, const QString& destination, ProgressHandler onProgress,
                                       Completion completion, QObject* parent);
  ~PrivacyRuntimeDownload() override;

  const QString& stagingPath() const { return stagingPath_; }

 private:
  PrivacyRuntimeDownload(const QUrl& source, const QString& destination, ProgressHandler onProgress,
                         Completion completion, QObject* parent);
  void begin();
  void receive();
  void finish();
  void fail(const QString& text);
  void complete(std::optional<QString> stagedFile, std::exception_ptr error);

  const QUrl source_;
  const QString stagingPath_;
  ProgressHandler onProgress_;
  Completion completion_;
  QElapsedTimer startedAt_;
  QFile staging_;
  QByteArray chunk_;
  QNetworkAccessManager* network_ = nullptr;
  QPointer<QNetworkReply> reply_;
  qint64 written_ = 0;
  bool completed_ = false;
};

}  // namespace murmela
