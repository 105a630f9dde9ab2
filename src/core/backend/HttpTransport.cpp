#include "backend/HttpTransport.h"

#include "backend/TransportError.h"
#include "common/HttpReply.h"
#include "common/MurmelaError.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

#include <atomic>
#include <climits>
#include <cmath>
#include <memory>

namespace murmela {
namespace {

TransportError::Kind kindOf(QNetworkReply::NetworkError error) {
  switch (error) {
    case QNetworkReply::ConnectionRefusedError:
      return TransportError::Kind::cannotConnect;
    case QNetworkReply::RemoteHostClosedError:
      return TransportError::Kind::connectionLost;
    case QNetworkReply::HostNotFoundError:
      return TransportError::Kind::hostNotFound;
    case QNetworkReply::TimeoutError:
      return TransportError::Kind::timedOut;
    // Only reached when the caller did not cancel: the transfer time-out fired.
    case QNetworkReply::OperationCanceledError:
      return TransportError::Kind::timedOut;
    case QNetworkReply::SslHandshakeFailedError:
      return TransportError::Kind::secureConnectionFailed;
    case QNetworkReply::ProtocolUnknownError:
      return TransportError::Kind::badURL;
    case QNetworkReply::ProtocolFailure:
      return TransportError::Kind::connectionLost;
    default:
      return TransportError::Kind::other;
  }
}

int timeoutMilliseconds(double seconds) {
  if (!(seconds > 0.0)) return 0;
  const double ms = std::ceil(seconds * 1000.0);
  return ms >= static_cast<double>(INT_MAX) ? INT_MAX : static_cast<int>(ms);
}

}  // namespace

HttpRequest jsonPost(const QString& baseUrl, const QString& path, QByteArray body, const std::optional<QString>& token,
                     double timeoutSeconds) {
  HttpRequest request;
  request.baseUrl = baseUrl;
  request.path = path;
  request.body = std::move(body);
  request.timeoutSeconds = timeoutSeconds;
  request.headers.append({QByteArrayLiteral("Content-Type"), QByteArrayLiteral("application/json")});
  if (token) request.headers.append({QByteArrayLiteral("Authorization"), "Bearer " + token->toUtf8()});
  return request;
}

QByteArray HttpResponse::header(const QByteArray& name) const {
  for (const auto& [key, value] : headers)
    if (key.compare(name, Qt::CaseInsensitive) == 0) return value;
  return {};
}

namespace HttpTransport {

HttpResponse perform(const HttpRequest& request, std::stop_token stop) {
  const QString address = joinUrl(request.baseUrl, request.path);
  const QUrl url(address, QUrl::StrictMode);
  const QString scheme = url.scheme().toLower();
  if (!url.isValid() || url.host().isEmpty() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
    throw TransportError(TransportError::Kind::badURL, address);
  if (stop.stop_requested()) throw CancellationError();

  QNetworkAccessManager manager;
  QNetworkRequest networkRequest(url);
  networkRequest.setTransferTimeout(timeoutMilliseconds(request.timeoutSeconds));
  for (const auto& [name, value] : request.headers) networkRequest.setRawHeader(name, value);

  // The reply is a child of the manager; it goes first, and with it any
  // abort still queued for it.
  std::unique_ptr<QNetworkReply> reply(manager.sendCustomRequest(networkRequest, request.method, request.body));
  std::atomic<bool> cancelled{false};
  {
    QEventLoop loop;
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QNetworkReply* target = reply.get();
    // May run on any thread (whoever requests the stop): the abort itself is
    // queued onto this thread, where the reply lives.
    const std::stop_callback onStop(stop, [&cancelled, target] {
      cancelled.store(true);
      QMetaObject::invokeMethod(
          target, [target] { target->abort(); }, Qt::QueuedConnection);
    });
    if (!reply->isFinished()) loop.exec(QEventLoop::ExcludeUserInputEvents);
  }

  const QNetworkReply::NetworkError error = reply->error();
  if (error == QNetworkReply::OperationCanceledError && cancelled.load()) throw CancellationError();

  const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
  if (status.isValid() && HttpReply::isCompleteAnswer(error)) {
    HttpResponse response;
    response.status = status.toInt();
    response.headers = reply->rawHeaderPairs();
    response.body = reply->readAll();
    return response;
  }
  if (error != QNetworkReply::NoError) {
    const TransportError::Kind kind = status.isValid() && kindOf(error) == TransportError::Kind::other
                                          ? TransportError::Kind::connectionLost
                                          : kindOf(error);
    throw TransportError(kind, address, static_cast<int>(error), reply->errorString());
  }
  HttpResponse response;  // finished without error and without a status: not HTTP
  response.body = reply->readAll();
  return response;
}

}  // namespace HttpTransport

}  // namespace murmela
