#pragma once

#include "hosted/JSONValue.h"

#include <QJsonObject>
#include <QString>

#include <optional>

namespace murmela {

// The records the hosted analysis client exchanges with the backend. Each has
// its JSON form: toJson() writes every field under its wire key; fromJson()
// reads strictly (a required member that is missing, null or of the wrong
// kind throws Json::DecodingError naming it under `path`; optional members
// may be missing or null; unknown members are ignored).

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

// The two participant names of every analysis step: {"me", "them"}.
struct HostedParticipants {
  QString me;
  QString them;

  QJsonObject toJson() const;
  static HostedParticipants fromJson(const QJsonObject& object, const QString& path = QStringLiteral("participants"));
  friend bool operator==(const HostedParticipants&, const HostedParticipants&) = default;
};

// The envelope of one analysis step.
struct AnalysisStepRequest {
  static constexpr qint64 kSchemaVersion = 1;

  qint64 schemaVersion = kSchemaVersion;  // "schema_version"
  QString clientRequestID;                // "client_request_id"
  QString workflow;                       // "workflow"
  QString step;                           // "step"
  QString appVersion;                     // "app_version"
  HostedParticipants participants;        // "participants"
  JSONValue::Object payload;              // "payload"

  QJsonObject toJson() const;
  static AnalysisStepRequest fromJson(const QJsonObject& object, const QString& path = QStringLiteral("request"));
};

// The answer of one analysis step: {"result": {...}, "metadata": {...}?}.
struct AnalysisStepResponse {
  JSONValue::Object result;
  std::optional<JSONValue::Object> metadata;

  QJsonObject toJson() const;
  static AnalysisStepResponse fromJson(const QJsonObject& object, const QString& path = QStringLiteral("response"));
};

// The "detail" of a backend error body; every field optional.
struct BackendErrorDetail {
  std::optional<QString> message;      // "message"
  std::optional<qint64> statusCode;    // "status_code"
  std::optional<QString> diagnosticID;  // "diagnostic_id"
  std::optional<QString> runID;        // "run_id"

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
