#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <cstddef>
#include <optional>
#include <stop_token>

namespace murmela {

using HttpHeaders = QList<QPair<QByteArray, QByteArray>>;

// The first header of that name (case-insensitive), or an empty value.
QByteArray headerValue(const HttpHeaders& headers, const QByteArray& name);
bool hasHeader(const HttpHeaders& headers, const QByteArray& name);

// What an exchange does with the answer as it arrives. Both are called on the
// thread that runs the exchange, from inside libcurl, and may throw: the
// exchange then stops, and the exception leaves runHttpExchange once libcurl
// has let go of the transfer (nothing thrown crosses libcurl's C code).
class HttpAnswerReceiver {
 public:
  virtual ~HttpAnswerReceiver() = default;
  // The final answer's status and headers, once its last header has arrived.
  // An interim 1xx answer, a proxy's answer to CONNECT and trailers are not
  // given. false: the exchange stops here, and that is no failure.
  virtual bool answerHeaders(int status, const HttpHeaders& headers) = 0;
  // The next piece of the body (decoded when codings were offered). false:
  // the exchange stops here, and that is no failure.
  virtual bool answerBody(const char* data, size_t size) = 0;
};

// One request and its bounds.
struct HttpExchangeOptions {
  QString address;  // an http or https URL with a host
  QByteArray method = "GET";
  HttpHeaders headers;               // the application's User-Agent is added unless one is set
  const QByteArray* body = nullptr;  // sent from here, in place; must outlive the exchange
  bool allowHttp2 = false;           // HTTP/2 where TLS negotiates it, else HTTP/1.1 only
  // The content codings libcurl offers and decodes ("gzip, deflate"); empty:
  // none offered, the body is taken as it comes.
  QByteArray offeredEncodings;
  double idleTimeoutSeconds = 60.0;  // no byte moved for this long fails; 0 or less: none
  // Fewer than leastBytes moved in any leastRateSeconds fails
  // (TransportError::tooSlow); 0: no least rate.
  qint64 leastBytes = 0;
  double leastRateSeconds = 0;
  // A PEM file of certificate authorities trusted in place of the system's (a
  // test's own server); empty: the system's.
  QString certificateAuthorities;
};

struct HttpExchangeEnd {
  std::optional<int> status;  // absent: the answer was not an HTTP response
  bool stoppedByReceiver = false;
};

// Runs one exchange through libcurl on the calling thread and blocks it until
// the exchange ends. The thread needs no event loop. The request goes on the
// wire once, on a connection of its own: nothing below this call sends it
// again, and no redirect is followed (a 3xx is an answer like any other).
// Proxies are those the environment names (http_proxy, https_proxy, all_proxy,
// no_proxy, as libcurl reads them); a request to this machine goes direct.
// TLS certificates are verified.
//
// Ends with the status when the answer came whole or the receiver stopped it.
// Throws TransportError when it ended without that (no connection, a lost
// one, the idle time-out or the least rate, also in the middle of the body, an
// invalid URL); CancellationError when `stop` was requested, which also ends
// it promptly while the name is still being resolved; and whatever the
// receiver threw.
HttpExchangeEnd runHttpExchange(const HttpExchangeOptions& options, HttpAnswerReceiver& receiver, std::stop_token stop);

// runHttpExchange for a GET that follows up to `maxRedirects` redirects (a 3xx
// with a Location, resolved against the address that answered it) without
// reading their bodies; the receiver sees only the last answer. One more
// fails with TransportError::tooManyRedirects, as does a redirect from https
// to anything else with TransportError::insecureRedirect.
void fetchFollowingRedirects(HttpExchangeOptions options, int maxRedirects, HttpAnswerReceiver& receiver,
                             std::stop_token stop);

}  // namespace murmela
