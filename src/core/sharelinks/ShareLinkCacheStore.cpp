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
#include <QJsonArray>

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
  saveEntries(std::move(contents.entries), contents.unusableFile);
}

void ShareLinkCacheStore::markRevoked(const QString& shareID) {
  std::lock_guard guard(fileLock());
  const std::optional<FileLock> acrossProcesses = lockAcrossProcesses(false);
  Contents contents = loadEntries();
  const auto found = std::find_if(contents.entries.begin(), contents.entries.end(),
                                  [&](const ShareCacheEntry& entry) { return entry.shareID == shareID; });
  if (found == contents.entries.end()) return;
  found->revoked = true;
  saveEntries(std::move(contents.entries), false);
}

ShareLinkCacheStore::Contents ShareLinkCacheStore::loadEntries() const {
  const std::optional<QString> path = cacheFilePath();
  if (!path || !FileSystem::itemExists(*path)) return {};
  QByteArray bytes;
  try {
    // Never waits on a pipe or a device, and never reads without end.
    bytes = readRegularFile(*path, kMaxFileBytes);
  } catch (const FileError&) {
    return {{}, true};
  }
  try {
    const Json::ObjectReader reader(Json::parseObject(bytes, kFileName), kFileName);
    return {Json::mapArray(reader.array(QStringLiteral("shares")), reader.pathOf(QStringLiteral("shares")),
                           [](const QJsonValue& value, const QString& at) {
                             return shareCacheEntryFromJson(Json::toObject(value, at), at);
                           }),
            false};
  } catch (const Json::DecodingError&) {
    return {{}, true};
  }
}

void ShareLinkCacheStore::saveEntries(QList<ShareCacheEntry> entries, bool moveAsideFirst) const {
  if (const std::optional<QString> failure = writeEntries(std::move(entries), moveAsideFirst))
    AnalysisLogger::log(QStringLiteral("Share cache write failed: ") + *failure);
}

std::optional<QString> ShareLinkCacheStore::writeEntries(QList<ShareCacheEntry> entries, bool moveAsideFirst) const {
  const std::optional<QString> folder = AppPaths::appFolder();
  if (!folder) return QStringLiteral("There is no application folder.");
  if (const std::error_code error = FileSystem::createPrivateFolders(*folder)) return FileSystem::describe(error);
  const QString path = QDir(*folder).filePath(kFileName);

  sortNewestFirst(entries);
  QJsonArray shares;
  for (const ShareCacheEntry& entry : entries) shares.append(toJson(entry));
  QByteArray bytes;
  try {
    bytes = Json::write(QJsonObject{{QStringLiteral("shares"), shares}}, Json::Layout::Pretty);
  } catch (const Json::EncodingError& error) {
    return error.description();
  }

  if (moveAsideFirst) {
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
