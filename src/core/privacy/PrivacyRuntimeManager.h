#pragma once

#include "privacy/PrivacyRuntimeDownload.h"
#include "privacy/PrivacyRuntimeInstall.h"

#include <QString>
#include <QUrl>

#include <exception>
#include <functional>
#include <optional>
#include <system_error>

class QObject;

namespace murmela {

// Finds, installs and removes the privacy runtime under "privacy-runtime" in
// the application folder:
//   current/                  the active runtime
//   previous/                 the former one, only while a swap is under way
//   install-<UUID>/payload/   one install's unpacked archive (removed after it)
//   downloads/                downloaded archives (kept)
//   hf-cache/                 the model cache the runtime's Python is pointed at
// A failed install never destroys a working runtime. A value type: copy it
// freely; it holds only its configuration.
class PrivacyRuntimeManager {
 public:
  static constexpr const char* kRuntimeVersion = "0.1.1";
  static constexpr const char* kArchiveFileName = "MurmelaPrivacyRuntime-0.1.1-macos-arm64.tar.gz";
  static constexpr const char* kArchiveEnvironmentVariable = "MURMELA_PRIVACY_RUNTIME_ARCHIVE";
  static constexpr const char* kDefaultDownloadBase = "https://downloads.murmela.app/privacy-runtime";
  static constexpr int kUnpackTimeoutMs = 30 * 60 * 1000;

  // Moves a file or folder; returns the failure, or an empty error code.
  using MoveItem = std::function<std::error_code(const QString& from, const QString& to)>;
  using ProgressHandler = PrivacyRuntimeDownload::ProgressHandler;
  using InstallCompletion = std::function<void(std::optional<PrivacyRuntimeInstall>, std::exception_ptr)>;
  using DownloadCompletion = std::function<void(std::optional<QString> archive, std::exception_ptr)>;

  struct Options {
    QString downloadBase = QString::fromLatin1(kDefaultDownloadBase);  // the archive's URL without its file name
    MoveItem moveItem;  // empty: a plain rename
    int unpackTimeoutMs = kUnpackTimeoutMs;
  };

  PrivacyRuntimeManager();
  explicit PrivacyRuntimeManager(Options options);

  // "privacy-runtime" in the application folder; absent when there is none.
  std::optional<QString> runtimeBaseDirectory() const;
  // The download base followed by the fixed archive name.
  QUrl remoteArchiveURL() const;

  // The installed runtime, validated ("current"). Throws PrivacyRuntimeError.
  PrivacyRuntimeInstall installedRuntime() const;
  // The archive named by MURMELA_PRIVACY_RUNTIME_ARCHIVE (relative to the
  // current folder), if anything exists at that path; unset or empty: none.
  std::optional<QString> localRuntimeArchiveCandidate() const;
  // Removes the whole runtime folder; never fails.
  void resetInstalledRuntime() const;
  // Removes what downloads that were killed left in "downloads"; never fails.
  void removeAbandonedDownloads() const;

  // The installed runtime if it validates; else an install from the local
  // archive; else a download and an install of it. Unpacking and moving run
  // on the privacy worker pool; `completion` runs once on `context`'s thread
  // (never before this returns), unless `context` is destroyed first.
  // `onDownloadProgress` is called only while downloading.
  void installOrResolveRuntime(QObject* context, ProgressHandler onDownloadProgress,
                               InstallCompletion completion) const;
  // Downloads the archive into "downloads" (replacing an earlier one) and
  // answers its path. Errors are PrivacyRuntimeError::downloadFailed.
  void downloadRuntimeArchive(QObject* context, ProgressHandler onProgress, DownloadCompletion completion) const;

  // Blocking steps (call them off the GUI thread).
  // Unpacks `archive` with /usr/bin/tar into a staging folder, finds and
  // validates the runtime in it and swaps it in as "current".
  void installRuntime(const QString& archive) const;
  PrivacyRuntimeInstall validateRuntime(const QString& root) const;
  // The payload itself when it holds "manifest.json", else its one visible
  // entry that holds one; otherwise PrivacyRuntimeError::manifestMissing.
  QString runtimeRoot(const QString& payload) const;
  // `relative` split at "/" (empty pieces dropped, nothing interpreted) and
  // appended to `root`; no pieces: the root itself.
  static QString relativePath(const QString& relative, const QString& root);

 private:
  QString requireBaseDirectory() const;
  std::error_code move(const QString& from, const QString& to) const;
  void installDownloaded(QObject* context, const QString& archive, InstallCompletion completion) const;

  Options options_;
};

}  // namespace murmela
