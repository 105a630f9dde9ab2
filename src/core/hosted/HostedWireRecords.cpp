#include "hosted/HostedWireRecords.h"

#include "json/JsonCodec.h"

namespace murmela {

using Json::ObjectReader;

namespace {

JSONValue::Object objectMember(const ObjectReader& reader, const QString& key) {
  return JSONValue::objectFromJson(Json::toObject(reader.required(key), reader.pathOf(key)));
}

}  // namespace

QJsonObject HostedParticipants::toJson() const { return {{QStringLiteral("me"), me}, {QStringLiteral("them"), them}}; }

HostedParticipants HostedParticipants::fromJson(const QJsonObject& object, const QString& path) {
  const ObjectReader r(object, path);
  return {r.string(QStringLiteral("me")), r.string(QStringLiteral("them"))};
}

QJsonObject AnalysisStepRequest::toJson() const {
  return {{QStringLiteral("schema_version"), schemaVersion},
          {QStringLiteral("client_request_id"), clientRequestID},
          {QStringLiteral("workflow"), workflow},
          {QStringLiteral("step"), step},
          {QStringLiteral("app_version"), appVersion},
          {QStringLiteral("participants"), participants.toJson()},
          {QStringLiteral("payload"), JSONValue::toJson(payload)}};
}

AnalysisStepRequest AnalysisStepRequest::fromJson(const QJsonObject& object, const QString& path) {
  const ObjectReader r(object, path);
  AnalysisStepRequest request;
  request.schemaVersion = r.integer(QStringLiteral("schema_version"));
  request.clientRequestID = r.string(QStringLiteral("client_request_id"));
  request.workflow = r.string(QStringLiteral("workflow"));
  request.step = r.string(QStringLiteral("step"));
  request.appVersion = r.string(QStringLiteral("app_version"));
  const ObjectReader participants = r.object(QStringLiteral("participants"));
  request.participants = HostedParticipants::fromJson(participants.object(), participants.path());
  request.payload = objectMember(r, QStringLiteral("payload"));
  return request;
}

QJsonObject AnalysisStepResponse::toJson() const {
  QJsonObject object{{QStringLiteral("result"), JSONValue::toJson(result)}};
  if (metadata) object.insert(QStringLiteral("metadata"), JSONValue::toJson(*metadata));
  return object;
}

AnalysisStepResponse AnalysisStepResponse::fromJson(const QJsonObject& object, const QString& path) {
  const ObjectReader r(object, path);
  AnalysisStepResponse response;
  response.result = objectMember(r, QStringLiteral("result"));
  if (!r.isAbsent(QStringLiteral("metadata"))) response.metadata = objectMember(r, QStringLiteral("metadata"));
  return response;
}

}  // namespace murmela
