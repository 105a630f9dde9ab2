#pragma once

#include "common/AppPaths.h"
#include "common/FileSystem.h"
#include "sharelinks/ShareCacheEntry.h"
#include "support/NetworkTestSupport.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>

namespace murmela::test {

// 2024-06-01T12:00:00Z, the tests' "now".
inline constexpr Date kNow = Date::fromUnix(1717243200);

// A live entry made an hour before kNow that expires in a day.
inline ShareCacheEntry shareEntry(const QString& shareID, const QString& handle = QStringLiteral("+15550001111"),
                                  const QString& hash = QStringLiteral("hash-1")) {
  ShareCacheEntry entry;
  entry.shareID = shareID;
  entry.contentHash = hash;
  entry.contactHandle = handle;
  entry.contactDisplay = QStringLiteral("Sam");
  entry.shareURL = QUrl(QStringLiteral("https://murmela.test/s/") + shareID);
  entry.createdAt = kNow.addingSeconds(-3600);
  entry.expiresAt = kNow.addingSeconds(86400);
  return entry;
}

inline QString cacheFile() { return *AppPaths::inAppFolder(QStringLiteral("shares.json")); }

inline QByteArray readFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void writeFile(const QString& path, const QByteArray& bytes) {
  FileSystem::createFolders(QFileInfo(path).absolutePath());
  QFile file(path);
  if (file.open(QIODevice::WriteOnly)) file.write(bytes);
}

// Empties the application folder.
inline void clearAppFolder() {
  FileSystem::removeQuietly(*AppPaths::appFolder());
  FileSystem::createFolders(*AppPaths::appFolder());
}

}  // namespace murmela::test
