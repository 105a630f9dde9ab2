#include "backend/BackendWireRecords.h"

#include "json/JsonCodec.h"

#include <QStringList>

namespace murmela {

using Json::ObjectReader;

namespace {

std::optional<qint64> optionalInteger(const ObjectReader& reader, const QString& key) {
  if (reader.isAbsent(key)) return std::nullopt;
  return reader.integer(key);
}

}  // namespace

QJsonObject RegisterRequest::toJson() const {
  return {{QStringLiteral("install_id"), installID},
          {QStringLiteral("app_version"), appVersion},
          {QStringLiteral("platform"), platform}};
}

RegisterRequest RegisterRequest::fromJson(const QJsonObject& object, const QString& path) {
  const ObjectReader r(object, path);
  return {r.string(QStringLiteral("install_id")), r.string(QStringLiteral("app_version")),
          r.string(QStringLiteral("platform"))};
}

QJsonObject RegisterResponse::toJson() const { return {{QStringLiteral("auth_token"), authToken}}; }

RegisterResponse RegisterResponse::fromJson(const QJsonObject& object, const QString& path) {
  return {ObjectReader(object, path).string(QStringLiteral("auth_token"))};
}

QString BackendErrorDetail::summary() const {
  QStringList parts;
  if (runID) parts.append(QStringLiteral("backendRunID=") + *runID);
  if (diagnosticID) parts.append(QStringLiteral("diagnosticID=") + *diagnosticID);
  if (statusCode) parts.append(QStringLiteral("status=") + QString::number(*statusCode));
  if (message) parts.append(QStringLiteral("message=") + *message);
  return parts.join(QLatin1Char(' '));
}

QJsonObject BackendErrorDetail::toJson() const {
  QJsonObject object;
  if (message) object.insert(QStringLiteral("message"), *message);
  if (statusCode) object.insert(QStringLiteral("status_code"), *statusCode);
  if (diagnosticID) object.insert(QStringLiteral("diagnostic_id"), *diagnosticID);
  if (runID) object.insert(QStringLiteral("run_id"), *runID);
  return object;
}

BackendErrorDetail BackendErrorDetail::fromJson(const QJsonObject& object, const QString& path) {
  const ObjectReader r(object, path);
  return {r.optionalString(QStringLiteral("message")), optionalInteger(r, QStringLiteral("status_code")),
          r.optionalString(QStringLiteral("diagnostic_id")), r.optionalString(QStringLiteral("run_id"))};
}

QJsonObject BackendErrorEnvelope::toJson() const { return {{QStringLiteral("detail"), detail.toJson()}}; }

BackendErrorEnvelope BackendErrorEnvelope::fromJson(const QJsonObject& object, const QString& path) {
  const ObjectReader detail = ObjectReader(object, path).object(QStringLiteral("detail"));
  return {BackendErrorDetail::fromJson(detail.object(), detail.path())};
}

}  // namespace murmela
