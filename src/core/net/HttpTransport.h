#pragma once

#include "common/HttpReply.h"
#include "net/HttpExchange.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <stop_token>

namespace murmela {

// One request to a backend: the path is joined to the base URL as a string, so
// a base that carries a path keeps it ("https://h/api" + "/v1/x").
struct HttpRequest {
  QByteArray method = "POST";
  QString baseUrl;
  QString path;
  HttpHeaders headers;
  QByteArray body;
  double timeoutSeconds = 60.0;  // idle time-out: no byte moved for this long; 0 or less: none
  // The most answer bytes taken, counted after any content decoding.
  qint64 maxAnswerBytes = kDefaultMaxAnswerBytes;

  // The bound of a call whose answer is a small record: a registration (141
  // bytes from the development backend), an event, a share link made or
  // revoked, an error envelope; an error page longer than the bound keeps its
  // status (HttpResponse::bodyCutShort). The analysis steps give their own
  // (HostedAnalysisClient).
  static constexpr qint64 kDefaultMaxAnswerBytes = 64LL * 1024;
};

// A POST of a JSON body: "Content-Type: application/json", and
// "Authorization: Bearer <token>" when a token is given (an empty one too).
HttpRequest jsonPost(const QString& baseUrl, const QString& path, QByteArray body, const std::optional<QString>& token,
                     double timeoutSeconds);

struct HttpResponse {
  std::optional<int> status;  // absent: the answer was not an HTTP response
  HttpHeaders headers;
  QByteArray body;
  // An error answer (a status outside 200 to 299) longer than the request's
  // bound: `body` holds its first maxAnswerBytes, the rest was not read.
  bool bodyCutShort = false;

  QByteArray header(const QByteArray& name) const;  // first of that name, case-insensitive
  bool isSuccess() const { return status && *status >= 200 && *status <= 299; }
};

using HttpReply::joinUrl;

namespace HttpTransport {

// "Murmela/<application version>", as the runtime download sends it too.
using HttpReply::userAgent;

// Performs one request on the calling thread and blocks it until the answer is
// complete (runHttpExchange over HTTP/1.1). The thread needs no event loop. The
// request goes on the wire once: it is never sent again below this call,
// whatever becomes of the connection (retries are the callers' own), and no
// redirect is followed: a 3xx is an answer like any other status, and nothing
// goes to its Location. Proxies are those the environment names; TLS
// certificates are verified. Every request names the application and its
// version as its User-Agent, unless the request sets one. Only gzip and
// deflate are offered (unless the request sets its own Accept-Encoding), and
// an answer in any other coding is refused at its headers.
//
// Any HTTP status is an answer (the body of a 4xx or 5xx included). A request
// that ends without a complete answer throws TransportError: no connection,
// lost connection, time-out (also in the middle of the body), invalid URL.
// A 2xx answer whose decoded body grows past `maxAnswerBytes` is abandoned
// there and throws TransportError badServerResponse (isUnreadableAnswer());
// any other answer past it is still an answer: its status, its headers and
// the first `maxAnswerBytes` of its body (bodyCutShort).
// When `stop` is requested the request is aborted and CancellationError is
// thrown; a stop or the time-out ends the call promptly, also while the name
// is still being resolved. The body is sent from `request` in place: it must
// stay unchanged until the call returns.
HttpResponse perform(const HttpRequest& request, std::stop_token stop = {});

}  // namespace HttpTransport

}  // namespace murmela
