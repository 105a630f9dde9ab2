#pragma once

#include "common/Date.h"

#include <QJsonObject>
#include <QString>
#include <QUrl>

namespace murmela {

// One share link this install created, as kept in shares.json and listed on
// the home screen. Identity is the backend's share identifier.
struct ShareCacheEntry {
  QString shareID;
  QString contentHash;    // the backend's content hash for the link
  QString contactHandle;  // the partner's handle, or "report:" + contentHash
  QString contactDisplay;
  QUrl shareURL;
  Date createdAt;
  Date expiresAt;
  bool revoked = false;

  QString id() const { return shareID; }
  bool sameIdentity(const ShareCacheEntry& other) const { return shareID == other.shareID; }
  friend bool operator==(const ShareCacheEntry&, const ShareCacheEntry&) = default;
};

// Snake-case keys, all eight required when reading; dates are whole-second UTC
// "Z" strings when written. fromJson throws Json::DecodingError.
QJsonObject toJson(const ShareCacheEntry& entry);
ShareCacheEntry shareCacheEntryFromJson(const QJsonObject& object, const QString& path);

}  // namespace murmela
