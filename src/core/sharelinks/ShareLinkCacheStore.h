#pragma once

#include "common/Date.h"
#include "sharelinks/ShareCacheEntry.h"

#include <QJsonArray>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace murmela {

// The application's record of every share link it created: "shares.json" in
// the application folder, {"shares": [...]}. Every operation reads the file
// afresh and every change rewrites it whole; nothing is kept in memory. One
// lock serialises the whole read-change-write of each operation across every
// store of the process, so any thread may call, and a lock on
// "shares.json.lock" does the same across processes. No operation throws.
//
// An entry that does not decode (a missing member, an address this build
// refuses) is left out alone: the others are listed and revocable as ever.
// It stays in the file as it was, after the entries that read, through every
// change, and is listed again once it reads (a build that accepts it, a hand
// that mends it). Each such entry is logged once per process. A file that
// cannot be read or parsed at all (not JSON, no
// "shares" array, too large, not a regular file) gives an empty list, and
// before a change overwrites it, it is moved aside as
// "shares.json.corrupt-<yyyyMMdd-HHmmss>", so the records of links that are
// still live are never lost.
class ShareLinkCacheStore {
 public:
  using Clock = std::function<Date()>;

  static inline const QString kFileName = QStringLiteral("shares.json");
  // The largest file read as the cache (some forty thousand links); anything
  // larger, and anything that is not a regular file, reads as unreadable.
  static constexpr qint64 kMaxFileBytes = 16 * 1024 * 1024;

  explicit ShareLinkCacheStore(Clock clock = {});

  // The one store of the process, on the system clock.
  static ShareLinkCacheStore& shared();

  // Unrevoked entries whose expiry is later than now, newest first (equal
  // creation times keep their file order).
  QList<ShareCacheEntry> activeShares() const;
  // The first entry in file order for this handle and content hash that is
  // unrevoked and unexpired.
  std::optional<ShareCacheEntry> cachedShare(const QString& contactHandle, const QString& contentHash) const;
  // Adds the entry. An older entry with the same share identifier goes; one
  // with the same handle and content hash goes only when it is revoked or
  // expired (a link that is still live keeps its record).
  void upsert(const ShareCacheEntry& entry);
  // Marks the first entry with this identifier revoked; writes nothing when
  // there is none.
  void markRevoked(const QString& shareID);

  // The store's current time.
  Date now() const;

  // The cache file, absent when there is no application folder.
  static std::optional<QString> cacheFilePath();

 private:
  struct Contents {
    QList<ShareCacheEntry> entries;
    QJsonArray unreadable;      // the entries that did not decode, as they were
    bool unusableFile = false;  // a file is there, but it did not read
  };

  Contents loadEntries() const;
  // Writes the entries, newest first, then the unreadable ones unchanged.
  // Logs "Share cache write failed: " and the reason when the write fails; the
  // file then keeps its previous content.
  void saveEntries(Contents contents) const;
  // The failure's text, or nothing once the file is written.
  std::optional<QString> writeEntries(Contents contents) const;

  Clock clock_;
};

}  // namespace murmela
