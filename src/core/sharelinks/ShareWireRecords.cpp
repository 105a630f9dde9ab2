#include "sharelinks/ShareWireRecords.h"

#include "common/Iso8601.h"
#include "data/RelationshipType.h"
#include "data/ReportJson.h"

#include <QRegularExpression>

namespace murmela {

QUrl readAbsoluteUrl(const Json::ObjectReader& reader, const QString& key) {
  const QString text = reader.string(key);
  const QUrl url(text, QUrl::StrictMode);
  // Only a web address is ever listed or handed to the desktop: a file, a
  // network share or a script is not a share link, nor is an address that
  // carries a user name or password (it would be cached, listed and shared).
  const QString scheme = url.scheme().toLower();
  const bool web = scheme == QLatin1String("https") || scheme == QLatin1String("http");
  static const QRegularExpression pathStart(QStringLiteral("[/?#]"));
  const QString authority = text.section(QStringLiteral("://"), 1).section(pathStart, 0, 0);
  if (!url.isValid() || url.isRelative() || url.host().isEmpty() || !web || !url.userInfo().isEmpty() ||
      authority.contains(QLatin1Char('@')))
    throw Json::DecodingError(reader.pathOf(key), QStringLiteral("Invalid URL: ") + text);
  return url;
}

QJsonObject ShareLinkResult::toJson() const {
  return {{QStringLiteral("share_id"), shareID},
          {QStringLiteral("share_url"), shareURL.toString(QUrl::FullyEncoded)},
          {QStringLiteral("content_hash"), contentHash},
          {QStringLiteral("expires_at"), Iso8601::format(expiresAt)}};
}

ShareLinkResult ShareLinkResult::fromJson(const QJsonObject& object, const QString& path) {
  const Json::ObjectReader reader(object, path);
  ShareLinkResult result;
  result.shareID = reader.string(QStringLiteral("share_id"));
  result.shareURL = readAbsoluteUrl(reader, QStringLiteral("share_url"));
  result.contentHash = reader.string(QStringLiteral("content_hash"));
  const QString expiry = reader.string(QStringLiteral("expires_at"));
  const std::optional<Date> expiresAt = Iso8601::parse(expiry, true);
  if (!expiresAt)
    throw Json::DecodingError(reader.pathOf(QStringLiteral("expires_at")),
                              QStringLiteral("Invalid ISO-8601 date: ") + expiry);
  result.expiresAt = *expiresAt;
  return result;
}

ShareCreateRequest ShareCreateRequest::forReport(const WrappedReport& report) {
  return {report, report.participantNames.them, rawValue(report.relationshipType)};
}

QJsonObject ShareCreateRequest::toJson() const {
  return {{QStringLiteral("report"), ReportJson::toJson(report)},
          {QStringLiteral("contact_display"), contactDisplay},
          {QStringLiteral("relationship_type"), relationshipType}};
}

ShareRevokeResponse ShareRevokeResponse::fromJson(const QJsonObject& object, const QString& path) {
  return {Json::ObjectReader(object, path).boolean(QStringLiteral("ok"))};
}

ShareErrorEnvelope ShareErrorEnvelope::fromJson(const QJsonObject& object, const QString& path) {
  const Json::ObjectReader detail = Json::ObjectReader(object, path).object(QStringLiteral("detail"));
  ShareErrorEnvelope envelope;
  envelope.detail.message = detail.optionalString(QStringLiteral("message"));
  if (!detail.isAbsent(QStringLiteral("limit"))) envelope.detail.limit = detail.integer(QStringLiteral("limit"));
  return envelope;
}

}  // namespace murmela
