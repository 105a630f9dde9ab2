#pragma once

#include "common/HttpReply.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <optional>
#include <stop_token>

namespace murmela {

using HttpHeaders = QList<QPair<QByteArray, QByteArray>>;

// One request to a backend: the path is joined to the base URL as a string, so
// a base that carries a path keeps it ("https://h/api" + "/v1/x").
struct HttpRequest {
  QByteArray method = "POST";
  QString baseUrl;
  QString path;
  HttpHeaders headers;
  QByteArray body;
  double timeoutSeconds = 60.0;  // idle time-out: no byte moved for this long; 0 or less: none
};

// A POST of a JSON body: "Content-Type: application/json", and
// "Authorization: Bearer <token>" when a token is given (an empty one too).
HttpRequest jsonPost(const QString& baseUrl, const QString& path, QByteArray body, const std::optional<QString>& token,
                     double timeoutSeconds);

struct HttpResponse {
  std::optional<int> status;  // absent: the answer was not an HTTP response
  HttpHeaders headers;
  QByteArray body;

  QByteArray header(const QByteArray& name) const;  // first of that name, case-insensitive
  bool isSuccess() const { return status && *status >= 200 && *status <= 299; }
};

using HttpReply::joinUrl;

namespace HttpTransport {

// Performs one request on the calling thread and blocks it until the answer is
// complete. The thread needs no running event loop: the request runs in a local
// one, with a network access manager of its own.
//
// Any HTTP status is an answer (the body of a 4xx or 5xx included). A request
// that ends without a complete answer throws TransportError: no connection,
// lost connection, time-out (also in the middle of the body), invalid URL.
// When `stop` is requested the request is aborted and CancellationError is
// thrown; a stop requested before the call sends nothing.
HttpResponse perform(const HttpRequest& request, std::stop_token stop = {});

}  // namespace HttpTransport

}  // namespace murmela
