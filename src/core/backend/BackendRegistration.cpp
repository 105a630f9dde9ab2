#include "backend/BackendRegistration.h"

#include "backend/AppInstallIdentity.h"
#include "json/JsonCodec.h"
#include "net/HttpTransport.h"
#include "net/TransportError.h"

namespace murmela::BackendRegistration {

RegisterRequest makeRequest(const QString& appVersion) {
  return {AppInstallIdentity::current(), appVersion, RegisterRequest::kPlatform};
}

QString registerInstall(const QString& baseUrl, const QString& appVersion, double timeoutSeconds, std::stop_token stop) {
  const QByteArray body = Json::write(QJsonValue(makeRequest(appVersion).toJson()), Json::Layout::Compact);
  const HttpRequest request = jsonPost(baseUrl, kPath, body, std::nullopt, timeoutSeconds);
  const HttpResponse response = HttpTransport::perform(request, std::move(stop));
  if (!response.isSuccess())
    throw TransportError(TransportError::Kind::badServerResponse, joinUrl(baseUrl, kPath));
  return RegisterResponse::fromJson(Json::parseObject(response.body, QStringLiteral("response"))).authToken;
}

}  // namespace murmela::BackendRegistration
