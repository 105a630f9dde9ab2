#pragma once

#include "common/JsonCodec.h"
#include "hosted/BackendDefaults.h"

#include <QByteArray>
#include <QJsonValue>
#include <QString>

#include <exception>
#include <functional>
#include <optional>
#include <stop_token>

namespace murmela {

// The client of the hosted analysis backend. Every exchange is one JSON POST
// made on the calling thread (the processing task's worker), blocking it until
// the answer; one request at a time, nothing kept between calls.
class HostedAnalysisClient {
 public:
  static inline const QString kRegisterPath = QStringLiteral("/v1/register");
  static inline const QString kAnalysisStepPath = QStringLiteral("/v1/analysis-step");
  static constexpr double kRegistrationTimeoutSeconds = 30.0;
  static constexpr double kAnalysisStepTimeoutSeconds = 900.0;

  explicit HostedAnalysisClient(QString baseUrl = defaultBackendBaseUrl(), QString appVersion = applicationVersion());

  const QString& baseUrl() const { return baseUrl_; }
  const QString& appVersion() const { return appVersion_; }

  // Posts `body` (a record with toJson()) to the base URL + `path`, with
  // "Authorization: Bearer <token>" when a token is given, and decodes a 2xx
  // answer as `Response` (a record with fromJson()). Writes the "HTTP POST"
  // lines of the analysis log. Throws:
  //  - Json::EncodingError when the body cannot be written (nothing is sent);
  //  - TransportError or CancellationError, unchanged, when no answer came;
  //  - HostedAnalysisError::httpFailed for a status outside 200 to 299;
  //  - HostedAnalysisError::invalidResponse when the answer is not HTTP or a
  //    2xx body does not decode.
  template <typename Response, typename Request>
  Response post(const QString& path, const Request& body, const std::optional<QString>& token, double timeoutSeconds,
                std::stop_token stop = {}) const {
    const QByteArray encoded = Json::write(QJsonValue(body.toJson()), Json::Layout::Compact);
    std::optional<Response> decoded;
    exchange(path, encoded, token, timeoutSeconds, std::move(stop), [&decoded](const QByteArray& data) {
      decoded = Response::fromJson(Json::parseObject(data, QStringLiteral("response")));
    });
    return std::move(*decoded);
  }

  // One line for the log: "type=… domain=… code=… msg=…", then "url=…" for a
  // transport error that names its address and "underlying=…" for the network
  // layer's own error. Never fails.
  static QString describe(const std::exception& error);

 private:
  void exchange(const QString& path, const QByteArray& body, const std::optional<QString>& token,
                double timeoutSeconds, std::stop_token stop, const std::function<void(const QByteArray&)>& decode) const;

  QString baseUrl_;
  QString appVersion_;
};

}  // namespace murmela
