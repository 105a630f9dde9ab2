#pragma once

#include "json/JSONValue.h"

#include <QJsonObject>
#include <QString>

#include <optional>

namespace murmela {

// The records of the analysis steps the hosted analysis client exchanges with
// the backend (registration and error bodies: BackendWireRecords). Each has
// its JSON form: toJson() writes every field under its wire key; fromJson()
// reads strictly (a required member that is missing, null or of the wrong
// kind throws Json::DecodingError naming it under `path`; optional members
// may be missing or null; unknown members are ignored).

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

}  // namespace murmela
