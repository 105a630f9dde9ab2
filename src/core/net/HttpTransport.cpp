#include "net/HttpTransport.h"

#include "common/HttpReply.h"
#include "net/HttpExchange.h"
#include "net/TransportError.h"

#include <algorithm>
#include <optional>

namespace murmela {
namespace {

constexpr const char* kOfferedEncodings = "gzip, deflate";

// Whether every coding a Content-Encoding names is one the requests offer.
// An empty header, or an empty item in its list, names no coding: identity.
bool isOffered(const QByteArray& codings) {
  for (const QByteArray& coding : codings.split(',')) {
    const QByteArray name = coding.trimmed().toLower();
    if (!name.isEmpty() && name != "identity" && name != "gzip" && name != "x-gzip" && name != "deflate") return false;
  }
  return true;
}

// The whole answer in memory, up to its bound.
class BufferedAnswer : public HttpAnswerReceiver {
 public:
  explicit BufferedAnswer(qint64 maxBodyBytes) : maxBodyBytes_(maxBodyBytes) {}

  bool answerHeaders(int status, const HttpHeaders& headers) override {
    status_ = status;
    headers_ = headers;
    // An answer in a coding that was not offered is refused here, before
    // libcurl decodes any of it.
    for (const auto& [name, value] : headers) {
      if (name.compare("Content-Encoding", Qt::CaseInsensitive) == 0 && !isOffered(value)) {
        refusedEncoding = value;
        return false;
      }
    }
    return true;
  }

  // The decoded body, at most maxBodyBytes of it. The buffer grows in doubling
  // steps but never past the bound, so memory stays near it. An error answer
  // past the bound still says what went wrong by its status: its first
  // maxBodyBytes are kept and the rest is not read.
  bool answerBody(const char* data, size_t length) override {
    if (const qint64 room = maxBodyBytes_ - body.size(); static_cast<qint64>(length) > room) {
      if (!isErrorStatus()) {
        oversized = true;
        return false;
      }
      cutShort = true;
      length = static_cast<size_t>(room);
    }
    const qint64 needed = body.size() + static_cast<qint64>(length);
    if (needed > body.capacity())
      body.reserve(static_cast<qsizetype>(std::min(maxBodyBytes_, std::max(needed, 2 * body.capacity()))));
    body.append(data, static_cast<qsizetype>(length));
    return !cutShort;
  }

  HttpHeaders headers_;
  QByteArray body;
  bool oversized = false;  // a 2xx answer past the bound: abandoned
  bool cutShort = false;   // any other answer past the bound: its start is kept
  std::optional<QByteArray> refusedEncoding;

 private:
  bool isErrorStatus() const { return status_ && (*status_ < 200 || *status_ > 299); }

  qint64 maxBodyBytes_;
  std::optional<int> status_;
};

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

QByteArray HttpResponse::header(const QByteArray& name) const { return headerValue(headers, name); }

namespace HttpTransport {

HttpResponse perform(const HttpRequest& request, std::stop_token stop) {
  HttpExchangeOptions options;
  options.address = joinUrl(request.baseUrl, request.path);
  options.method = request.method;
  options.headers = request.headers;
  options.body = &request.body;
  options.idleTimeoutSeconds = request.timeoutSeconds;
  if (!hasHeader(request.headers, "Accept-Encoding")) options.offeredEncodings = kOfferedEncodings;

  const qint64 maxBodyBytes = std::max<qint64>(request.maxAnswerBytes, 0);
  BufferedAnswer answer(maxBodyBytes);
  const HttpExchangeEnd end = runHttpExchange(options, answer, std::move(stop));
  if (answer.oversized) throw TransportError::oversizedAnswer(options.address, maxBodyBytes);
  if (answer.refusedEncoding) throw TransportError::refusedEncoding(options.address, *answer.refusedEncoding);

  HttpResponse response;
  response.status = end.status;
  response.headers = std::move(answer.headers_);
  response.body = std::move(answer.body);
  response.bodyCutShort = answer.cutShort;
  return response;
}

}  // namespace HttpTransport

}  // namespace murmela
