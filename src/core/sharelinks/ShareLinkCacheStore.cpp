#include "sharelinks/ShareLinkCacheStore.h"

#include "common/AnalysisLogger.h"
#include "common/AppPaths.h"
#include "common/AtomicFile.h"
#include "common/FileError.h"
#include "common/FileLock.h"
#include "common/FileSystem.h"
#include "json/JsonCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>

#include <algorithm>
#include <mutex>

namespace murmela {
namespace {

// One file, one lock: held across each whole operation, whichever store runs it.
std::mutex& fileLock() {
  static std::mutex lock;
  return lock;
}

// Each read-change-write also holds "shares.json.lock" beside the file, so a
// second process (another instance, a tool) never writes over a change it did
// not read. Without a folder (or where it cannot be made) nothing is locked.
std::optional<FileLock> lockAcrossProcesses(bool makeFolder) {
  const std::optional<QString> folder = AppPaths::appFolder();
  if (!folder || (makeFolder ? bool(FileSystem::createPrivateFolders(*folder)) : !QFileInfo(*folder).isDir()))
    return std::nullopt;
  return std::optional<FileLock>(std::in_place, QDir(*folder).filePath(ShareLinkCacheStore::kFileName + ".lock"));
}

bool isLive(const ShareCacheEntry& entry, Date now) { return !entry.revoked && entry.expiresAt > now; }

void sortNewestFirst(QList<ShareCacheEntry>& entries) {
  std::stable_sort(entries.begin(), entries.end(),
                   [](const ShareCacheEntry& a, const ShareCacheEntry& b) { return a.createdAt > b.createdAt; });
}

// "<file>.corrupt-<stamp>", with "-2", "-3", ... when that name is taken.
QString asideName(const QString& file, Date now) {
  const QString base =
      file + QStringLiteral(".corrupt-") + now.toQDateTime().toLocalTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
  QString name = base;
  for (int suffix = 2; FileSystem::itemExists(name); ++suffix) name = base + QLatin1Char('-') + QString::number(suffix);
  return name;
}

// Logs an entry that does not decode the first time this process meets it.
// The line names where it failed, never the value: an address refused for
// its user name and password would carry both into the log.
void logUnreadableEntryOnce(const QJsonValue& value, const Json::DecodingError& error) {
  static QSet<QByteArray> logged;  // guarded by fileLock()
  const QByteArray compact = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
  const QByteArray key = QCryptographicHash::hash(compact, QCryptographicHash::Sha256);
  if (logged.contains(key)) return;
  logged.insert(key);
  AnalysisLogger::log(QStringLiteral("Share cache entry could not be read and is left out: ") + error.path());
}

}  // namespace

ShareLinkCacheStore::ShareLinkCacheStore(Clock clock) : clock_(std::move(clock)) {}

ShareLinkCacheStore& ShareLinkCacheStore::shared() {
  static ShareLinkCacheStore store;
  return store;
}

Date ShareLinkCacheStore::now() const { return clock_ ? clock_() : Date::now(); }

std::optional<QString> ShareLinkCacheStore::cacheFilePath() { return AppPaths::inAppFolder(kFileName); }

QList<ShareCacheEntry> ShareLinkCacheStore::activeShares() const {
  std::lock_guard guard(fileLock());
  const Date current = now();
  QList<ShareCacheEntry> active = loadEntries().entries;
  active.removeIf([&](const ShareCacheEntry& entry) { return !isLive(entry, current); });
  sortNewestFirst(active);
  return active;
}

std::optional<ShareCacheEntry> ShareLinkCacheStore::cachedShare(const QString& contactHandle,
                                                                const QString& contentHash) const {
  std::lock_guard guard(fileLock());
  const Date current = now();
  for (const ShareCacheEntry& entry : loadEntries().entries)
    if (entry.contactHandle == contactHandle && entry.contentHash == contentHash && isLive(entry, current))
      return entry;
  return std::nullopt;
}

void ShareLinkCacheStore::upsert(const ShareCacheEntry& entry) {
  std::lock_guard guard(fileLock());
  const std::optional<FileLock> acrossProcesses = lockAcrossProcesses(true);
  const Date current = now();
  Contents contents = loadEntries();
  contents.entries.removeIf([&](const ShareCacheEntry& old) {
    if (old.shareID == entry.shareID) return true;
    const bool sameContent = old.contactHandle == entry.contactHandle && old.contentHash == entry.contentHash;
    return sameContent && !isLive(old, current);
  });
  contents.entries.append(entry);
  saveEntries(std::move(contents));
}

void ShareLinkCacheStore::markRevoked(const QString& shareID) {
  std::lock_guard guard(fileLock());
  const std::optional<FileLock> acrossProcesses = lockAcrossProcesses(false);
  Contents contents = loadEntries();
  const auto found = std::find_if(contents.entries.begin(), contents.entries.end(),
                                  [&](const ShareCacheEntry& entry) { return entry.shareID == shareID; });
  if (found == contents.entries.end()) return;
  found->revoked = true;
  saveEntries(std::move(contents));
}

ShareLinkCacheStore::Contents ShareLinkCacheStore::loadEntries() const {
  const std::optional<QString> path = cacheFilePath();
  if (!path || !FileSystem::itemExists(*path)) return {};
  Contents unusable;
  unusable.unusableFile = true;
  QByteArray bytes;
  try {
    // Never waits on a pipe or a device, and never reads without end.
    bytes = readRegularFile(*path, kMaxFileBytes);
  } catch (const FileError&) {
    return unusable;
  }
  QJsonArray shares;
  try {
    shares = Json::ObjectReader(Json::parseObject(bytes, kFileName), kFileName).array(QStringLiteral("shares"));
  } catch (const Json::DecodingError&) {
    return unusable;
  }
  Contents contents;
  const QString at = kFileName + QStringLiteral(".shares[");
  for (qsizetype i = 0; i < shares.size(); ++i) {
    const QString path = at + QString::number(i) + QLatin1Char(']');
    try {
      contents.entries.append(shareCacheEntryFromJson(Json::toObject(shares.at(i), path), path));
    } catch (const Json::DecodingError& error) {
      logUnreadableEntryOnce(shares.at(i), error);
      contents.unreadable.append(shares.at(i));
    }
  }
  return contents;
}

void ShareLinkCacheStore::saveEntries(Contents contents) const {
  if (const std::optional<QString> failure = writeEntries(std::move(contents)))
    AnalysisLogger::log(QStringLiteral("Share cache write failed: ") + *failure);
}

std::optional<QString> ShareLinkCacheStore::writeEntries(Contents contents) const {
  const std::optional<QString> folder = AppPaths::appFolder();
  if (!folder) return QStringLiteral("There is no application folder.");
  if (const std::error_code error = FileSystem::createPrivateFolders(*folder)) return FileSystem::describe(error);
  const QString path = QDir(*folder).filePath(kFileName);

  sortNewestFirst(contents.entries);
  QJsonArray shares;
  for (const ShareCacheEntry& entry : contents.entries) shares.append(toJson(entry));
  for (const QJsonValue& unreadable : contents.unreadable) shares.append(unreadable);
  QByteArray bytes;
  try {
    bytes = Json::write(QJsonObject{{QStringLiteral("shares"), shares}}, Json::Layout::Pretty);
  } catch (const Json::EncodingError& error) {
    return error.description();
  }

  if (contents.unusableFile) {
    const QString aside = asideName(path, now());
    if (!QFile::rename(path, aside)) return QStringLiteral("The unreadable share cache could not be moved aside.");
    AnalysisLogger::log(QStringLiteral("Share cache could not be read; kept it as ") + QFileInfo(aside).fileName() +
                        QStringLiteral(" and started a new one"));
  }

  try {
    writeFileAtomically(path, bytes, NewFileAccess::ownerOnly);
  } catch (const FileError& error) {
    return error.description();
  }
  return std::nullopt;
}

}  // namespace murmela
