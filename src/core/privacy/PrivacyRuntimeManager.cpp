#include "privacy/PrivacyRuntimeManager.h"

#include "common/AppPaths.h"
#include "common/FileSystem.h"
#include "json/JsonCodec.h"
#include "privacy/PrivacyFileSystemError.h"
#include "privacy/PrivacyRuntimeError.h"
#include "privacy/RuntimeDownloadStaging.h"
#include "privacy/PrivacyWorker.h"
#include "privacy/ProcessRunner.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QObject>
#include <QUuid>

#include <filesystem>

namespace murmela {
namespace {

namespace fs = std::filesystem;

using FileSystem::fsPath;
using FileSystem::isExecutableFile;
using FileSystem::itemExists;
using FileSystem::removeQuietly;

QString childPath(const QString& folder, const QString& name) { return folder + QLatin1Char('/') + name; }

void createFolder(const QString& path) {
  if (const std::error_code error = FileSystem::createPrivateFolders(path))
    throw PrivacyFileSystemError(QStringLiteral("create folder ") + path, error);
}

QString moveDescription(const QString& from, const QString& to, const std::error_code& error) {
  return QStringLiteral("Could not move %1 to %2: %3").arg(from, to, FileSystem::describe(error));
}

}  // namespace

PrivacyRuntimeManager::PrivacyRuntimeManager() : PrivacyRuntimeManager(Options{}) {}

PrivacyRuntimeManager::PrivacyRuntimeManager(Options options) : options_(std::move(options)) {}

std::optional<QString> PrivacyRuntimeManager::runtimeBaseDirectory() const {
  return AppPaths::inAppFolder(QStringLiteral("privacy-runtime"));
}

QString PrivacyRuntimeManager::requireBaseDirectory() const {
  const std::optional<QString> base = runtimeBaseDirectory();
  if (!base) {
    throw PrivacyFileSystemError(QStringLiteral("locate the application folder"),
                                 std::make_error_code(std::errc::no_such_file_or_directory));
  }
  return *base;
}

void PrivacyRuntimeManager::removeAbandonedDownloads() const {
  const std::optional<QString> base = runtimeBaseDirectory();
  if (!base) return;
  RuntimeDownloadStaging::removeAbandoned(
      childPath(childPath(*base, QStringLiteral("downloads")), QLatin1String(kArchiveFileName)));
}

QUrl PrivacyRuntimeManager::remoteArchiveURL() const {
  QString base = options_.downloadBase;
  while (base.endsWith(QLatin1Char('/'))) base.chop(1);
  return QUrl(base + QLatin1Char('/') + QLatin1String(kArchiveFileName));
}

std::error_code PrivacyRuntimeManager::move(const QString& from, const QString& to) const {
  if (options_.moveItem) return options_.moveItem(from, to);
  std::error_code error;
  fs::rename(fsPath(from), fsPath(to), error);
  return error;
}

PrivacyRuntimeInstall PrivacyRuntimeManager::installedRuntime() const {
  return validateRuntime(childPath(requireBaseDirectory(), QStringLiteral("current")));
}

PrivacyRuntimeInstall PrivacyRuntimeManager::validateRuntime(const QString& root) const {
  const QString manifestPath = childPath(root, QStringLiteral("manifest.json"));
  if (!QFileInfo::exists(manifestPath)) throw PrivacyRuntimeError::manifestMissing(manifestPath);

  PrivacyRuntimeManifest manifest;
  QFile file(manifestPath);
  if (!file.open(QIODevice::ReadOnly)) throw PrivacyRuntimeError::manifestInvalid(file.errorString());
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) throw PrivacyRuntimeError::manifestInvalid(file.errorString());
  try {
    manifest = PrivacyRuntimeManifest::decode(bytes);
  } catch (const Json::DecodingError& error) {
    throw PrivacyRuntimeError::manifestInvalid(error.description());
  }
  if (manifest.runtimeVersion != QLatin1String(kRuntimeVersion)) {
    throw PrivacyRuntimeError::manifestInvalid(
        QStringLiteral("Expected runtime %1, found %2.").arg(QLatin1String(kRuntimeVersion), manifest.runtimeVersion));
  }

  const QString python = childPath(root, QStringLiteral("python/bin/python3"));
  if (!isExecutableFile(python)) throw PrivacyRuntimeError::executableMissing(python);

  const QString model = relativePath(manifest.modelPath, root);
  if (!QFileInfo::exists(model)) throw PrivacyRuntimeError::modelMissing(model);

  PrivacyRuntimeInstall install;
  install.rootDirectory = root;
  install.manifest = std::move(manifest);
  install.pythonExecutable = python;
  install.modelURL = model;
  install.cacheDirectory = childPath(requireBaseDirectory(), QStringLiteral("hf-cache"));
  return install;
}

QString PrivacyRuntimeManager::relativePath(const QString& relative, const QString& root) {
  QString path = root;
  for (const QString& piece : relative.split(QLatin1Char('/'), Qt::SkipEmptyParts)) path = childPath(path, piece);
  return path;
}

std::optional<QString> PrivacyRuntimeManager::localRuntimeArchiveCandidate() const {
  const QString value = qEnvironmentVariable(kArchiveEnvironmentVariable);
  if (value.isEmpty()) return std::nullopt;
  const QString path = QDir::current().absoluteFilePath(value);
  // What a link points at must exist: a dangling link is no archive.
  if (!QFileInfo::exists(path)) return std::nullopt;
  return path;
}

void PrivacyRuntimeManager::resetInstalledRuntime() const {
  if (const std::optional<QString> base = runtimeBaseDirectory()) removeQuietly(*base);
}

QString PrivacyRuntimeManager::runtimeRoot(const QString& payload) const {
  const QString payloadManifest = childPath(payload, QStringLiteral("manifest.json"));
  if (QFileInfo::exists(payloadManifest)) return payload;

  std::error_code error;
  fs::directory_iterator entries(fsPath(payload), error);
  if (error) throw PrivacyFileSystemError(QStringLiteral("list ") + payload, error);
  QStringList roots;
  for (const fs::directory_entry& entry : entries) {
    const QString name = QFile::decodeName(entry.path().filename().string().c_str());
    if (name.startsWith(QLatin1Char('.'))) continue;  // hidden entries never count
    const QString candidate = childPath(payload, name);
    if (QFileInfo::exists(childPath(candidate, QStringLiteral("manifest.json")))) roots.append(candidate);
  }
  if (roots.size() != 1) throw PrivacyRuntimeError::manifestMissing(payloadManifest);
  return roots.first();
}

void PrivacyRuntimeManager::installRuntime(const QString& archive) const {
  const QString base = requireBaseDirectory();
  createFolder(base);

  const QString staging =
      childPath(base, QStringLiteral("install-") + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper());
  const QString payload = childPath(staging, QStringLiteral("payload"));
  createFolder(payload);
  struct StagingCleanup {
    QString path;
    ~StagingCleanup() { removeQuietly(path); }
  } cleanup{staging};

  const ProcessOutput unpacked = ProcessRunner::runCapturing(
      QStringLiteral("/usr/bin/tar"), {QStringLiteral("-xzf"), archive, QStringLiteral("-C"), payload}, std::nullopt,
      QString(), options_.unpackTimeoutMs);
  if (unpacked.exitCode != 0) throw PrivacyRuntimeError::installFailed(unpacked.output);

  const QString root = runtimeRoot(payload);
  validateRuntime(root);

  const QString current = childPath(base, QStringLiteral("current"));
  const QString previous = childPath(base, QStringLiteral("previous"));
  removeQuietly(previous);
  if (itemExists(current)) {
    if (const std::error_code error = move(current, previous)) {
      throw PrivacyFileSystemError(QStringLiteral("move %1 to %2").arg(current, previous), error);
    }
  }
  if (const std::error_code error = move(root, current)) {
    if (itemExists(previous)) move(previous, current);
    throw PrivacyRuntimeError::installFailed(moveDescription(root, current, error));
  }
  removeQuietly(previous);
}

void PrivacyRuntimeManager::installOrResolveRuntime(QObject* context, ProgressHandler onDownloadProgress,
                                                    InstallCompletion completion) const {
  const PrivacyRuntimeManager manager = *this;
  // First off the GUI thread: the installed runtime, else the local archive.
  // An empty value means neither, so the archive must be downloaded.
  PrivacyWorker::run<std::optional<PrivacyRuntimeInstall>>(
      context,
      [manager]() -> std::optional<PrivacyRuntimeInstall> {
        try {
          return manager.installedRuntime();
        } catch (...) {
          // Not installed or not valid: install it anew.
        }
        if (const std::optional<QString> archive = manager.localRuntimeArchiveCandidate()) {
          manager.installRuntime(*archive);
          return manager.installedRuntime();
        }
        return std::nullopt;
      },
      [manager, context, onDownloadProgress,
       completion](PrivacyWorker::Outcome<std::optional<PrivacyRuntimeInstall>> outcome) {
        if (outcome.error) return completion(std::nullopt, outcome.error);
        if (outcome.value && *outcome.value) return completion(**outcome.value, nullptr);
        manager.downloadRuntimeArchive(
            context, onDownloadProgress,
            [manager, context, completion](std::optional<QString> archive, std::exception_ptr error) {
              if (error) return completion(std::nullopt, error);
              manager.installDownloaded(context, *archive, completion);
            });
      });
}

void PrivacyRuntimeManager::installDownloaded(QObject* context, const QString& archive,
                                              InstallCompletion completion) const {
  const PrivacyRuntimeManager manager = *this;
  PrivacyWorker::run<PrivacyRuntimeInstall>(
      context,
      [manager, archive] {
        manager.installRuntime(archive);
        return manager.installedRuntime();
      },
      [completion](PrivacyWorker::Outcome<PrivacyRuntimeInstall> outcome) {
        completion(std::move(outcome.value), outcome.error);
      });
}

void PrivacyRuntimeManager::downloadRuntimeArchive(QObject* context, ProgressHandler onProgress,
                                                   DownloadCompletion completion) const {
  const auto failLater = [context, completion](const QString& text) {
    QMetaObject::invokeMethod(
        context,
        [completion, text] {
          completion(std::nullopt, std::make_exception_ptr(PrivacyRuntimeError::downloadFailed(text)));
        },
        Qt::QueuedConnection);
  };

  QString downloads;
  try {
    downloads = childPath(requireBaseDirectory(), QStringLiteral("downloads"));
    createFolder(downloads);
  } catch (const MurmelaError& error) {
    return failLater(error.description());
  }
  const QString destination = childPath(downloads, QLatin1String(kArchiveFileName));

  const PrivacyRuntimeManager manager = *this;
  PrivacyRuntimeDownload::start(
      remoteArchiveURL(), destination, std::move(onProgress),
      [manager, context, destination, completion](std::optional<QString> staged, std::exception_ptr error) {
        if (error) return completion(std::nullopt, error);
        // Replacing an earlier archive of a gigabyte or more is no work for the GUI thread.
        PrivacyWorker::run<QString>(
            context,
            [manager, staged = *staged, destination] {
              removeQuietly(destination);
              if (const std::error_code moveError = manager.move(staged, destination)) {
                removeQuietly(staged);
                throw PrivacyRuntimeError::downloadFailed(moveDescription(staged, destination, moveError));
              }
              return destination;
            },
            [completion](PrivacyWorker::Outcome<QString> outcome) {
              completion(std::move(outcome.value), outcome.error);
            });
      },
      context);
}

}  // namespace murmela
