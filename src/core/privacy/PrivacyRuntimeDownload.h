#pragma once

#include <QObject>
#include <QString>
#include <QUrl>

#include <exception>
#include <functional>
#include <memory>
#include <optional>

namespace murmela {

// How far a runtime archive download has come.
struct PrivacyRuntimeDownloadProgress {
  qint64 downloadedBytes = 0;        // written to disk so far
  std::optional<qint64> totalBytes;  // absent when the server names no length
  double bytesPerSecond = 0;         // average since the download started

  // One reading: `expectedBytes` below 1 means unknown; the speed uses at
  // least 0.1 s of elapsed time so the first readings stay finite.
  static PrivacyRuntimeDownloadProgress reading(qint64 writtenBytes, qint64 expectedBytes, double elapsedSeconds);

  bool operator==(const PrivacyRuntimeDownloadProgress&) const = default;
};

// One download of a runtime archive, streamed to a staging file next to its
// destination (see RuntimeDownloadStaging) so the archive is never held in
// memory. The transfer runs through the application's HTTP transport
// (runHttpExchange) on a privacy worker thread, blocking it: each piece
// libcurl receives is written to the file before the next is read, so memory
// stays bounded over HTTP/1.1 and HTTP/2 alike, however slow the disk or the
// thread that started the download. HTTP/2 is used where the server's TLS
// offers it; a few redirects are followed (kMaxRedirects). An error status
// fails at its headers, as does an announced length above kMaxArchiveBytes or
// one the disk has no room for; the room is checked again as the file grows,
// and a body of no announced length stops at the ceiling. A server that sends
// nothing for the idle time-out, or too little for the least rate, fails it.
// Starting removes the staging files that downloads which are gone left next
// to the destination. The request names the application as its User-Agent, as
// every backend call does.
// Progress and the completion run on the thread that started the download
// (which needs an event loop); a receiver that is held up gets the latest
// reading when it is free again, never a queue of them. The completion runs
// exactly once, never before start() returns, with the staging file or a
// PrivacyRuntimeError::downloadFailed; a failed download leaves no staging
// file behind. Destroying the download (or its parent) before its completion
// has run stops the transfer promptly (also while the name is still being
// resolved), removes the staging file and delivers nothing.
class PrivacyRuntimeDownload : public QObject {
  Q_OBJECT

 public:
  using ProgressHandler = std::function<void(const PrivacyRuntimeDownloadProgress&)>;
  using Completion = std::function<void(std::optional<QString> stagedFile, std::exception_ptr error)>;

  static constexpr int kIdleTimeoutMs = 60000;
  // The least rate: fewer bytes than this in a whole window fails the
  // download as too slow (one byte now and then would otherwise keep it
  // running for good).
  static constexpr qint64 kLeastBytes = 64000;
  static constexpr int kLeastRateWindowMs = 60000;
  // A mirror may redirect once or twice; a loop fails after this many.
  static constexpr int kMaxRedirects = 5;
  // No runtime archive comes near this; past it a server is sending something else.
  static constexpr qint64 kMaxArchiveBytes = qint64(4) << 30;
  // How often, in bytes written, the room left on the disk is looked at again.
  static constexpr qint64 kSpaceCheckBytes = 64 << 20;

  // How a download is bounded. Tests shorten the windows and trust their own server.
  struct Limits {
    int idleTimeoutMs = kIdleTimeoutMs;
    qint64 leastBytes = kLeastBytes;
    int leastRateWindowMs = kLeastRateWindowMs;
    QString certificateAuthorities;  // a PEM file trusted in place of the system's; empty: the system's
  };

  static PrivacyRuntimeDownload* start(const QUrl& source, const QString& destination, ProgressHandler onProgress,
                                       Completion completion, QObject* parent, Limits limits);
  static PrivacyRuntimeDownload* start(const QUrl& source, const QString& destination, ProgressHandler onProgress,
                                       Completion completion, QObject* parent) {
    return start(source, destination, std::move(onProgress), std::move(completion), parent, Limits());
  }
  ~PrivacyRuntimeDownload() override;

  const QString& stagingPath() const;

 private:
  struct Run;  // what the download shares with its worker

  PrivacyRuntimeDownload(std::shared_ptr<Run> run, ProgressHandler onProgress, Completion completion, QObject* parent);
  static void transfer(const std::shared_ptr<Run>& run);
  void reportProgress();
  void finish(std::exception_ptr error);

  std::shared_ptr<Run> run_;
  ProgressHandler onProgress_;
  Completion completion_;
  qint64 reported_ = 0;
  bool completed_ = false;
};

}  // namespace murmela
