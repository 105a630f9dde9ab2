#pragma once

#include <QJsonObject>
#include <QString>

#include <optional>

namespace murmela {

// The records every client of the backend shares: registration and the body of
// an error answer. Each has its JSON form: toJson() writes every field under
// its wire key; fromJson() reads strictly (a required member that is missing,
// null or of the wrong kind throws Json::DecodingError naming it under `path`;
// optional members may be missing or null; unknown members are ignored).

// Registration body: {"install_id", "app_version", "platform"}.
struct RegisterRequest {
  static inline const QString kPlatform = QStringLiteral("macos");  // the backend's platform tag

  QString installID;
  QString appVersion;
  QString platform = kPlatform;

  QJsonObject toJson() const;
  static RegisterRequest fromJson(const QJsonObject& object, const QString& path = QStringLiteral("register"));
};

// Registration answer: {"auth_token"}.
struct RegisterResponse {
  QString authToken;

  QJsonObject toJson() const;
  static RegisterResponse fromJson(const QJsonObject& object, const QString& path = QStringLiteral("response"));
};

// The "detail" of a backend error body; every field optional.
struct BackendErrorDetail {
  std::optional<QString> message;       // "message"
  std::optional<qint64> statusCode;     // "status_code"
  std::optional<QString> diagnosticID;  // "diagnostic_id"
  std::optional<QString> runID;         // "run_id"

  // "backendRunID=… diagnosticID=… status=… message=…", each part only when
  // present, joined with spaces; empty when nothing is present.
  QString summary() const;

  QJsonObject toJson() const;
  static BackendErrorDetail fromJson(const QJsonObject& object, const QString& path = QStringLiteral("detail"));
};

// A backend error body: {"detail": {...}}.
struct BackendErrorEnvelope {
  BackendErrorDetail detail;

  QJsonObject toJson() const;
  static BackendErrorEnvelope fromJson(const QJsonObject& object, const QString& path = QStringLiteral("error"));
};

}  // namespace murmela
