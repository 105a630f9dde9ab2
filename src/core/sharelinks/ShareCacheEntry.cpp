#include "sharelinks/ShareCacheEntry.h"

#include "common/Iso8601.h"
#include "json/JsonCodec.h"
#include "sharelinks/ShareWireRecords.h"

namespace murmela {

QJsonObject toJson(const ShareCacheEntry& entry) {
  QJsonObject object;
  object.insert(QStringLiteral("share_id"), entry.shareID);
  object.insert(QStringLiteral("content_hash"), entry.contentHash);
  object.insert(QStringLiteral("contact_handle"), entry.contactHandle);
  object.insert(QStringLiteral("contact_display"), entry.contactDisplay);
  object.insert(QStringLiteral("share_url"), entry.shareURL.toString(QUrl::FullyEncoded));
  object.insert(QStringLiteral("created_at"), Iso8601::format(entry.createdAt));
  object.insert(QStringLiteral("expires_at"), Iso8601::format(entry.expiresAt));
  object.insert(QStringLiteral("revoked"), entry.revoked);
  return object;
}

ShareCacheEntry shareCacheEntryFromJson(const QJsonObject& object, const QString& path) {
  const Json::ObjectReader reader(object, path);
  ShareCacheEntry entry;
  entry.shareID = reader.string(QStringLiteral("share_id"));
  entry.contentHash = reader.string(QStringLiteral("content_hash"));
  entry.contactHandle = reader.string(QStringLiteral("contact_handle"));
  entry.contactDisplay = reader.string(QStringLiteral("contact_display"));
  entry.shareURL = readAbsoluteUrl(reader, QStringLiteral("share_url"));
  entry.createdAt =
      Json::toDate(reader.required(QStringLiteral("created_at")), reader.pathOf(QStringLiteral("created_at")), true);
  entry.expiresAt =
      Json::toDate(reader.required(QStringLiteral("expires_at")), reader.pathOf(QStringLiteral("expires_at")), true);
  entry.revoked = reader.boolean(QStringLiteral("revoked"));
  return entry;
}

}  // namespace murmela
