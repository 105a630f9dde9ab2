#pragma once

#include "backend/BackendWireRecords.h"
#include "common/Date.h"
#include "json/JsonCodec.h"
#include "data/WrappedReport.h"

#include <QJsonObject>
#include <QString>
#include <QUrl>

#include <optional>

namespace murmela {

// The records the share-link client exchanges with the backend. Answers are
// read strictly: a required member that is missing, null or of the wrong kind
// throws Json::DecodingError naming it under `path`; unknown members are
// ignored.

// Registration: the same body and answer as every other backend client's
// ({"install_id", "app_version", "platform": "macos"} and {"auth_token"}).
using ShareRegisterRequest = RegisterRequest;
using ShareRegisterResponse = RegisterResponse;

// A link as the backend hands it out: {"share_id", "share_url", "content_hash",
// "expires_at"}. "share_url" must be an absolute URL; "expires_at" an internet
// date-time, with or without fractional seconds, in UTC ("Z") or with an offset.
struct ShareLinkResult {
  QString shareID;
  QUrl shareURL;
  QString contentHash;
  Date expiresAt;

  QJsonObject toJson() const;
  static ShareLinkResult fromJson(const QJsonObject& object, const QString& path = QStringLiteral("response"));
  friend bool operator==(const ShareLinkResult&, const ShareLinkResult&) = default;
};

// The result of a create: the link, and whether it came from the local cache
// (no request was made then).
struct ShareLinkGenerationResult {
  ShareLinkResult link;
  bool fromLocalCache = false;
};

// Body of "/v1/shares": {"report", "contact_display", "relationship_type"}.
struct ShareCreateRequest {
  WrappedReport report;
  QString contactDisplay;    // the report's participantNames.them
  QString relationshipType;  // raw value of the report's relationship type

  static ShareCreateRequest forReport(const WrappedReport& report);
  QJsonObject toJson() const;
};

// Body of a revoke: an empty object.
struct EmptyShareBody {
  QJsonObject toJson() const { return {}; }
};

// Answer of a revoke: {"ok": <boolean>}; the value itself is not examined.
struct ShareRevokeResponse {
  bool ok = false;
  static ShareRevokeResponse fromJson(const QJsonObject& object, const QString& path = QStringLiteral("response"));
};

// The body of a 429 answer: {"detail": {"message"?, "limit"?}}.
struct ShareErrorDetail {
  std::optional<QString> message;
  std::optional<qint64> limit;
};
struct ShareErrorEnvelope {
  ShareErrorDetail detail;
  static ShareErrorEnvelope fromJson(const QJsonObject& object, const QString& path = QStringLiteral("error"));
};

// A required string member holding an absolute http or https URL with a host;
// any other scheme (file, smb, javascript, ...) is a decoding error.
QUrl readAbsoluteUrl(const Json::ObjectReader& reader, const QString& key);

}  // namespace murmela
