#include "DevBackend.h"

#include "DevAnalysis.h"
#include "DevText.h"
#include "backend/BackendWireRecords.h"
#include "common/Iso8601.h"
#include "json/JsonCodec.h"
#include "data/RelationshipType.h"
#include "data/ReportJson.h"
#include "hosted/HostedAnalysisWorkflow.h"
#include "hosted/HostedWireRecords.h"

#include <QCryptographicHash>
#include <QJsonObject>
#include <QUrl>

namespace murmela::devbackend {
namespace {

const QString kRegister = QStringLiteral("/v1/register");
const QString kAnalysisStep = QStringLiteral("/v1/analysis-step");
const QString kEventsPrefix = QStringLiteral("/v1/events/");
const QString kShares = QStringLiteral("/v1/shares");
const QString kSharesPrefix = QStringLiteral("/v1/shares/");
const QString kRevokeSuffix = QStringLiteral("/revoke");
const QString kSharePagePrefix = QStringLiteral("/s/");
const QStringList kEvents = {QStringLiteral("app_installed"), QStringLiteral("choice"),
                             QStringLiteral("murmela_created")};

QString sha256Hex(const QByteArray& bytes) {
  return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

DevResponse json(int status, const QJsonObject& object, QString note = {}) {
  DevResponse response;
  response.status = status;
  response.body = Json::write(QJsonValue(object), Json::Layout::Compact, false);
  response.note = std::move(note);
  return response;
}

// The backend's run identifier for an analysis run: derived from the part of
// the client request identifier before ":" (the client's run identifier).
QString backendRunID(const QString& clientRequestID) {
  return QStringLiteral("dev-run-") + sha256Hex(clientRequestID.section(QLatin1Char(':'), 0, 0).toUtf8()).left(12);
}

bool isJsonContent(const QByteArray& contentType) {
  return contentType.split(';').value(0).trimmed().toLower() == "application/json";
}

void requireStrings(const Json::ObjectReader& reader, std::initializer_list<const char*> keys) {
  for (const char* key : keys) reader.string(QLatin1String(key));
}

}  // namespace

QByteArray DevRequest::header(const QByteArray& name) const {
  for (const auto& [key, value] : headers)
    if (key.compare(name, Qt::CaseInsensitive) == 0) return value;
  return {};
}

DevBackend::DevBackend() : DevBackend(Options()) {}

DevBackend::DevBackend(Options options) : options_(std::move(options)) {}

QStringList DevBackend::servedRoutes() {
  return {QStringLiteral("POST /v1/register"),
          QStringLiteral("POST /v1/analysis-step   (chunk_analysis, synthesize, insight_copy)"),
          QStringLiteral("POST /v1/events/app_installed"),
          QStringLiteral("POST /v1/events/choice"),
          QStringLiteral("POST /v1/events/murmela_created"),
          QStringLiteral("POST /v1/shares"),
          QStringLiteral("POST /v1/shares/<id>/revoke"),
          QStringLiteral("GET  /s/<id>   (the page a share link opens)")};
}

qsizetype DevBackend::registrationCount() const {
  std::lock_guard guard(lock_);
  return registrations_;
}

QStringList DevBackend::events() const {
  std::lock_guard guard(lock_);
  return events_;
}

void DevBackend::setPublicBaseUrl(QString origin) {
  std::lock_guard guard(lock_);
  options_.publicBaseUrl = std::move(origin);
}

Date DevBackend::now() const { return options_.clock ? options_.clock() : Date::now(); }

DevResponse DevBackend::handle(const DevRequest& request) {
  std::lock_guard guard(lock_);
  // Whatever a handler meets, the caller gets an answer in the contract's
  // error form, never a dead process.
  try {
    if (options_.onRequest) options_.onRequest(request);
    return route(request);
  } catch (const MurmelaError& failure) {
    return error(500, QStringLiteral("Internal error: [%1] %2").arg(failure.typeName(), failure.description()));
  } catch (const std::exception& failure) {
    return error(500, QStringLiteral("Internal error: ") + QString::fromLocal8Bit(failure.what()));
  } catch (...) {
    return error(500, QStringLiteral("Internal error"));
  }
}

DevResponse DevBackend::route(const DevRequest& request) {
  const QString path = QString::fromUtf8(request.path);
  if (path.startsWith(kSharePagePrefix) && path.size() > kSharePagePrefix.size()) {
    if (request.method != "GET") return error(405, QStringLiteral("Use GET for ") + path);
    return sharePage(QUrl::fromPercentEncoding(path.mid(kSharePagePrefix.size()).toUtf8()));
  }
  const bool revoke = path.startsWith(kSharesPrefix) && path.endsWith(kRevokeSuffix) &&
                      path.size() > kSharesPrefix.size() + kRevokeSuffix.size();
  const bool known = path == kRegister || path == kAnalysisStep || path == kShares || revoke ||
                     (path.startsWith(kEventsPrefix) && kEvents.contains(path.mid(kEventsPrefix.size())));
  if (!known) return error(404, QStringLiteral("No such endpoint: ") + path);
  if (request.method != "POST") return error(405, QStringLiteral("Use POST for ") + path);
  if (!isJsonContent(request.header("Content-Type")))
    return error(415, QStringLiteral("Content-Type must be application/json"));

  if (path == kRegister) return registerInstall(request);

  const std::optional<QString> installID = authenticate(request);
  if (!installID) {
    return error(401, request.header("Authorization").isEmpty() ? QStringLiteral("Missing bearer token")
                                                                : QStringLiteral("Invalid or expired token"));
  }
  if (path == kAnalysisStep) {
    if (options_.dropAnalysisSteps && options_.dropAnalysisSteps()) {
      DevResponse dropped;
      dropped.note = QStringLiteral("connection closed without an answer");
      dropped.dropConnection = true;
      return dropped;
    }
    return analysisStep(request, *installID);
  }
  if (path == kShares) return createShare(request, *installID);
  if (revoke) {
    try {
      Json::parseObject(request.body, QStringLiteral("body"));
    } catch (const Json::DecodingError& failure) {
      return error(400, QStringLiteral("Invalid revoke body: ") + failure.description());
    }
    const QString encoded = path.mid(kSharesPrefix.size(), path.size() - kSharesPrefix.size() - kRevokeSuffix.size());
    return revokeShare(QUrl::fromPercentEncoding(encoded.toUtf8()), *installID);
  }
  return event(path.mid(kEventsPrefix.size()), request);
}

std::optional<QString> DevBackend::authenticate(const DevRequest& request) const {
  const QByteArray header = request.header("Authorization");
  if (!header.startsWith("Bearer ")) return std::nullopt;
  const auto found = tokens_.constFind(QString::fromUtf8(header.mid(7)));
  if (found == tokens_.constEnd()) return std::nullopt;
  return found.value();
}

DevResponse DevBackend::error(int status, const QString& message, const std::optional<QString>& runID) {
  QJsonObject detail{
      {QStringLiteral("message"), message},
      {QStringLiteral("status_code"), status},
      {QStringLiteral("diagnostic_id"), QStringLiteral("dev-diag-%1").arg(++diagnostics_, 4, 10, QLatin1Char('0'))}};
  if (runID) detail.insert(QStringLiteral("run_id"), *runID);
  return json(status, {{QStringLiteral("detail"), detail}}, message);
}

DevResponse DevBackend::registerInstall(const DevRequest& request) {
  RegisterRequest body;
  try {
    body = RegisterRequest::fromJson(Json::parseObject(request.body, QStringLiteral("body")), QStringLiteral("body"));
  } catch (const Json::DecodingError& failure) {
    return error(400, QStringLiteral("Invalid registration: ") + failure.description());
  }
  if (body.platform != RegisterRequest::kPlatform)
    return error(400, QStringLiteral("Unsupported platform \"%1\"").arg(body.platform));
  if (!body.installID.startsWith(QStringLiteral("macos-")) || body.installID.size() <= 6)
    return error(400, QStringLiteral("install_id must be \"macos-\" followed by the install's UUID"));

  ++registrations_;
  const QString token =
      QStringLiteral("dev-") +
      sha256Hex((body.installID + QLatin1Char(':') + QString::number(registrations_)).toUtf8()).left(40);
  tokens_.insert(token, body.installID);
  return json(200,
              {{QStringLiteral("auth_token"), token},
               {QStringLiteral("token_type"), QStringLiteral("bearer")},
               {QStringLiteral("install_id"), body.installID}},
              QStringLiteral("registered %1 (app %2)").arg(body.installID, body.appVersion));
}

DevResponse DevBackend::analysisStep(const DevRequest& request, const QString& /*installID*/) {
  DevStep read;
  try {
    read = DevStep::read(request.body);
  } catch (const Json::DecodingError& failure) {
    return error(400, QStringLiteral("Invalid analysis step: ") + failure.description());
  }
  const AnalysisStepRequest& step = read.request;
  const QString runID = backendRunID(step.clientRequestID);
  if (step.schemaVersion != AnalysisStepRequest::kSchemaVersion)
    return error(400, QStringLiteral("Unsupported schema_version %1").arg(step.schemaVersion), runID);
  if (!hostedAnalysisWorkflowFromRawValue(step.workflow))
    return error(400, QStringLiteral("Unknown workflow \"%1\"").arg(step.workflow), runID);
  if (step.clientRequestID.isEmpty()) return error(400, QStringLiteral("client_request_id is empty"), runID);

  JSONValue::Object result;
  try {
    if (step.step == QLatin1String("chunk_analysis")) {
      result = DevAnalysis::analyzeChunk(read);
    } else if (step.step == QLatin1String("synthesize")) {
      result = DevAnalysis::synthesize(read);
    } else if (step.step == QLatin1String("insight_copy")) {
      result = DevAnalysis::insightCopy(read);
    } else {
      return error(400, QStringLiteral("Unknown step \"%1\"").arg(step.step), runID);
    }
  } catch (const Json::DecodingError& failure) {
    return error(400, QStringLiteral("Invalid %1 payload: ").arg(step.step) + failure.description(), runID);
  }

  AnalysisStepResponse response;
  response.result = std::move(result);
  response.metadata =
      JSONValue::Object{{QStringLiteral("run_id"), JSONValue::string(runID)},
                        {QStringLiteral("ai_provider"), JSONValue::string(QStringLiteral("murmela-dev-backend"))},
                        {QStringLiteral("elapsed_seconds"), JSONValue::number(0.0)}};
  return json(200, response.toJson(), QStringLiteral("%1 %2 (%3)").arg(step.step, step.clientRequestID, step.workflow));
}

DevResponse DevBackend::event(const QString& name, const DevRequest& request) {
  try {
    const Json::ObjectReader body(Json::parseObject(request.body, QStringLiteral("body")), QStringLiteral("body"));
    requireStrings(body, {"app_version", "macos_version", "chip_family"});
    if (name != QLatin1String("app_installed")) {
      const QString mode = body.string(QStringLiteral("mode"));
      if (mode != QLatin1String("hybrid") && mode != QLatin1String("cloud"))
        return error(400, QStringLiteral("Unknown mode \"%1\"").arg(mode));
    }
    if (name == QLatin1String("murmela_created")) {
      body.integer(QStringLiteral("message_count"));
      body.integer(QStringLiteral("duration_ms"));
      const QString type = body.string(QStringLiteral("relationship_type"));
      if (!relationshipTypeFromRawValue(type))
        return error(400, QStringLiteral("Unknown relationship_type \"%1\"").arg(type));
    }
  } catch (const Json::DecodingError& failure) {
    return error(400, QStringLiteral("Invalid %1 event: ").arg(name) + failure.description());
  }
  events_.append(name);
  return json(200, {{QStringLiteral("ok"), true}}, QStringLiteral("event ") + name);
}

DevResponse DevBackend::createShare(const DevRequest& request, const QString& installID) {
  if (options_.shareRefusal) {
    if (std::optional<DevResponse> refusal = options_.shareRefusal()) return *refusal;
  }
  WrappedReport report;
  QString contactDisplay;
  try {
    const Json::ObjectReader body(Json::parseObject(request.body, QStringLiteral("body")), QStringLiteral("body"));
    report = ReportJson::fromJson(body.object(QStringLiteral("report")).object());
    contactDisplay = body.string(QStringLiteral("contact_display"));
    const QString type = body.string(QStringLiteral("relationship_type"));
    if (!relationshipTypeFromRawValue(type))
      return error(400, QStringLiteral("Unknown relationship_type \"%1\"").arg(type));
  } catch (const Json::DecodingError& failure) {
    return error(400, QStringLiteral("Invalid share: ") + failure.description());
  }

  const Date created = now();
  QList<Date>& history = sharesCreated_[installID];
  history.removeIf([&](Date at) { return created.secondsSince(at) >= 86400.0; });
  if (history.size() >= options_.dailyShareLimit) {
    QJsonObject detail{{QStringLiteral("message"), QStringLiteral("Daily share limit reached")},
                       {QStringLiteral("limit"), options_.dailyShareLimit}};
    return json(429, {{QStringLiteral("detail"), detail}}, QStringLiteral("share limit reached for ") + installID);
  }
  history.append(created);

  // The same hash as the application's own content hash of a report: SHA-256
  // of its compact JSON form.
  const QString contentHash = sha256Hex(ReportJson::encode(report, Json::Layout::Compact));
  ++shareSequence_;
  const QString shareID =
      QStringLiteral("s") +
      sha256Hex((installID + contentHash + QString::number(shareSequence_) + Iso8601::formatWithMilliseconds(created))
                    .toUtf8())
          .left(12);
  const Date expiresAt = created.addingSeconds(options_.shareLifetimeDays * 86400.0);
  shares_.insert(shareID, {installID, false, contactDisplay, expiresAt});
  QString base = options_.publicBaseUrl;
  while (base.endsWith(QLatin1Char('/'))) base.chop(1);
  return json(201,
              {{QStringLiteral("share_id"), shareID},
               {QStringLiteral("share_url"), base + QStringLiteral("/s/") + shareID},
               {QStringLiteral("content_hash"), contentHash},
               {QStringLiteral("expires_at"), Iso8601::format(expiresAt)}},
              QStringLiteral("share %1 for %2").arg(shareID, contactDisplay));
}

DevResponse DevBackend::revokeShare(const QString& shareID, const QString& installID) {
  const auto found = shares_.find(shareID);
  if (found == shares_.end() || found->installID != installID)
    return error(404, QStringLiteral("No share \"%1\" for this install").arg(shareID));
  found->revoked = true;
  return json(200, {{QStringLiteral("ok"), true}}, QStringLiteral("revoked ") + shareID);
}

DevResponse DevBackend::sharePage(const QString& shareID) {
  const auto found = shares_.constFind(shareID);
  DevResponse response;
  response.contentType = "text/html; charset=utf-8";
  const QString id = DevText::htmlEscaped(shareID);
  QString title;
  QString body;
  if (found == shares_.cend()) {
    response.status = 404;
    title = QStringLiteral("Share not found");
    body = QStringLiteral("<p>There is no share <code>%1</code>.</p>").arg(id);
  } else if (found->revoked) {
    response.status = 410;
    title = QStringLiteral("Share revoked");
    body = QStringLiteral("<p>The share <code>%1</code> was revoked.</p>").arg(id);
  } else {
    response.status = 200;
    title = QStringLiteral("Murmela \u2014 ") + DevText::htmlEscaped(found->contactDisplay);
    body = QStringLiteral(
               "<p>A Murmela report with <strong>%1</strong>.</p>\n<p>Share <code>%2</code>, until %3.</p>\n"
               "<p>Served by the Murmela development backend, which keeps no report pages.</p>")
               .arg(DevText::htmlEscaped(found->contactDisplay), id, Iso8601::format(found->expiresAt));
  }
  response.body = QStringLiteral(
                      "<!DOCTYPE html>\n<html lang=\"en\">\n<head><meta charset=\"utf-8\"><title>%1</title></head>\n"
                      "<body>\n<h1>%1</h1>\n%2\n</body>\n</html>\n")
                      .arg(title, body)
                      .toUtf8();
  response.note = QStringLiteral("share page %1 (%2)").arg(shareID).arg(response.status);
  return response;
}

}  // namespace murmela::devbackend
