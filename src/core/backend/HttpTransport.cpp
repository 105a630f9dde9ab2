#include "backend/HttpTransport.h"

#include "backend/BackendDefaults.h"
#include "backend/TransportError.h"
#include "common/HttpReply.h"
#include "common/MurmelaError.h"

#include <QNetworkProxy>
#include <QNetworkProxyFactory>
#include <QUrl>

#include <curl/curl.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <exception>
#include <memory>
#include <optional>

namespace murmela {
namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kOfferedEncodings = "gzip, deflate";

// libcurl's process-wide set-up, once, before the first handle.
void initialiseCurl() {
  static const CURLcode initialised = curl_global_init(CURL_GLOBAL_DEFAULT);
  if (initialised != CURLE_OK)
    throw TransportError(TransportError::Kind::other, {}, initialised,
                         QString::fromUtf8(curl_easy_strerror(initialised)));
}

TransportError::Kind kindOf(CURLcode code) {
  switch (code) {
    case CURLE_COULDNT_CONNECT:
      return TransportError::Kind::cannotConnect;
    case CURLE_COULDNT_RESOLVE_HOST:
      return TransportError::Kind::hostNotFound;
    case CURLE_OPERATION_TIMEDOUT:
      return TransportError::Kind::timedOut;
    case CURLE_GOT_NOTHING:
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_PARTIAL_FILE:
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_HTTP2:
    case CURLE_HTTP2_STREAM:
      return TransportError::Kind::connectionLost;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS:
    case CURLE_SSL_CRL_BADFILE:
      return TransportError::Kind::secureConnectionFailed;
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_URL_MALFORMAT:
      return TransportError::Kind::badURL;
    default:
      return TransportError::Kind::other;
  }
}

struct EasyDeleter {
  void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct MultiDeleter {
  void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};
struct ListDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

// An easy handle added to a multi handle, taken out again on every way out.
class Attached {
 public:
  Attached(CURLM* multi, CURL* easy) : multi_(multi), easy_(easy) {
    if (curl_multi_add_handle(multi_, easy_) != CURLM_OK) throw std::bad_alloc();
  }
  ~Attached() { curl_multi_remove_handle(multi_, easy_); }
  Attached(const Attached&) = delete;
  Attached& operator=(const Attached&) = delete;

 private:
  CURLM* multi_;
  CURL* easy_;
};

// Whether every coding a Content-Encoding names is one the requests offer.
// An empty header, or an empty item in its list, names no coding: identity.
bool isOffered(const QByteArray& codings) {
  for (const QByteArray& coding : codings.split(',')) {
    const QByteArray name = coding.trimmed().toLower();
    if (!name.isEmpty() && name != "identity" && name != "gzip" && name != "x-gzip" && name != "deflate")
      return false;
  }
  return true;
}

// What one transfer has received so far, and when a byte last moved. The
// callbacks run inside libcurl's C code: nothing thrown may leave them. A
// failure is kept, the transfer is stopped (a short count), and the failure is
// thrown again once libcurl has returned.
struct Transfer {
  HttpHeaders headers;
  QByteArray body;
  qint64 maxBodyBytes = HttpRequest::kDefaultMaxAnswerBytes;
  std::optional<int> status;  // of the latest status line
  bool oversized = false;     // a 2xx answer past the bound: abandoned
  bool cutShort = false;      // any other answer past the bound: its start is kept
  std::optional<QByteArray> refusedEncoding;  // a Content-Encoding that was not offered
  std::exception_ptr failure;
  Clock::time_point lastActivity = Clock::now();
  curl_off_t uploaded = 0;

  static constexpr size_t kStop = 0;  // any count other than the one given ends the transfer

  bool isErrorStatus() const { return status && (*status < 200 || *status > 299); }

  // The decoded body, at most maxBodyBytes of it. The buffer grows in doubling
  // steps but never past the bound, so memory stays near it. An error answer
  // past the bound still says what went wrong by its status: its first
  // maxBodyBytes are kept and the rest is not read.
  void append(const char* data, size_t length) {
    if (const qint64 room = maxBodyBytes - body.size(); static_cast<qint64>(length) > room) {
      if (!isErrorStatus()) {
        oversized = true;
        return;
      }
      cutShort = true;
      length = static_cast<size_t>(room);
    }
    const qint64 needed = body.size() + static_cast<qint64>(length);
    if (needed > body.capacity())
      body.reserve(static_cast<qsizetype>(std::min(maxBodyBytes, std::max(needed, 2 * body.capacity()))));
    body.append(data, static_cast<qsizetype>(length));
  }

  static size_t onBody(char* data, size_t size, size_t count, void* self) noexcept {
    auto* transfer = static_cast<Transfer*>(self);
    try {
      transfer->append(data, size * count);
    } catch (...) {
      transfer->failure = std::current_exception();
    }
    if (transfer->oversized || transfer->cutShort || transfer->failure) return kStop;
    transfer->lastActivity = Clock::now();
    return size * count;
  }

  // One header line at a time. A new status line (after a 1xx answer) starts
  // the headers afresh: only the final answer's count.
  static size_t onHeader(char* data, size_t size, size_t count, void* self) noexcept {
    auto* transfer = static_cast<Transfer*>(self);
    try {
      const QByteArray line = QByteArray(data, static_cast<qsizetype>(size * count)).trimmed();
      if (line.startsWith("HTTP/")) {
        transfer->headers.clear();
        bool valid = false;
        const int status = line.split(' ').value(1).toInt(&valid);
        transfer->status = valid ? std::optional<int>(status) : std::nullopt;
      } else if (const qsizetype colon = line.indexOf(':'); colon > 0) {
        transfer->headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
        if (const QByteArray& value = transfer->headers.constLast().second;
            transfer->headers.constLast().first.compare("Content-Encoding", Qt::CaseInsensitive) == 0 &&
            !isOffered(value)) {
          transfer->refusedEncoding = value;
          return kStop;
        }
      }
    } catch (...) {
      transfer->failure = std::current_exception();
      return kStop;
    }
    transfer->lastActivity = Clock::now();
    return size * count;
  }

  static int onProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t uploadedNow) noexcept {
    auto* transfer = static_cast<Transfer*>(self);
    if (uploadedNow != transfer->uploaded) {
      transfer->uploaded = uploadedNow;
      transfer->lastActivity = Clock::now();
    }
    return 0;
  }
};

bool hasHeader(const HttpHeaders& headers, const char* name) {
  return std::any_of(headers.begin(), headers.end(),
                     [name](const auto& header) { return header.first.compare(name, Qt::CaseInsensitive) == 0; });
}

// The headers as libcurl takes them. libcurl's own "Expect: 100-continue"
// is switched off: it would hold a large body back for a second.
std::unique_ptr<curl_slist, ListDeleter> headerList(const HttpHeaders& headers) {
  std::unique_ptr<curl_slist, ListDeleter> list;
  auto add = [&list](const QByteArray& line) {
    curl_slist* longer = curl_slist_append(list.get(), line.constData());
    if (!longer) throw std::bad_alloc();
    (void)list.release();
    list.reset(longer);
  };
  // "Name;" is libcurl's form of a header with an empty value ("Name:" would remove it).
  for (const auto& [name, value] : headers) add(value.isEmpty() ? name + ';' : name + ": " + value);
  if (!hasHeader(headers, "Expect")) add("Expect:");
  return list;
}

// The proxy the application's network settings give for `url`, as the rest
// of the application's network access sees it (the application proxy when
// one is set, else the system's configuration with its exceptions): libcurl
// is told it explicitly and reads no proxy settings of its own.
void useProxyFor(CURL* easy, const QUrl& url) {
  curl_easy_setopt(easy, CURLOPT_NOPROXY, "");
  const QList<QNetworkProxy> proxies = QNetworkProxyFactory::proxyForQuery(QNetworkProxyQuery(url));
  for (const QNetworkProxy& proxy : proxies) {
    QByteArray scheme;
    if (proxy.type() == QNetworkProxy::HttpProxy || proxy.type() == QNetworkProxy::HttpCachingProxy) scheme = "http://";
    if (proxy.type() == QNetworkProxy::Socks5Proxy) scheme = "socks5h://";
    if (proxy.type() == QNetworkProxy::NoProxy) break;
    if (scheme.isEmpty()) continue;
    const QByteArray address = scheme + QUrl::toAce(proxy.hostName()) + ':' + QByteArray::number(proxy.port());
    curl_easy_setopt(easy, CURLOPT_PROXY, address.constData());
    if (!proxy.user().isEmpty()) {
      curl_easy_setopt(easy, CURLOPT_PROXYUSERNAME, proxy.user().toUtf8().constData());
      curl_easy_setopt(easy, CURLOPT_PROXYPASSWORD, proxy.password().toUtf8().constData());
    }
    return;
  }
  curl_easy_setopt(easy, CURLOPT_PROXY, "");  // a direct connection
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

  initialiseCurl();
  const std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
  const std::unique_ptr<CURLM, MultiDeleter> multi(curl_multi_init());
  if (!easy || !multi) throw std::bad_alloc();
  CURL* const handle = easy.get();

  const QByteArray encodedUrl = url.toEncoded();
  curl_easy_setopt(handle, CURLOPT_URL, encodedUrl.constData());
  curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
  // A request goes on the wire once. A connection of its own, never reused:
  // libcurl sends a request again by itself only on a reused connection that
  // closed before any answer byte, or on an HTTP/2 stream the server refused.
  curl_easy_setopt(handle, CURLOPT_FRESH_CONNECT, 1L);
  curl_easy_setopt(handle, CURLOPT_FORBID_REUSE, 1L);
  curl_easy_setopt(handle, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
  // No redirect is followed: a 307 or 308 would send the body on to whatever
  // host the answer names. A 3xx is the answer.
  curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 0L);
  // A stop or a time-out ends the call without waiting for the resolver's
  // thread (name resolution may take many seconds): the thread is left to end
  // on its own.
  curl_easy_setopt(handle, CURLOPT_QUICK_EXIT, 1L);
  const QByteArray agent = userAgent();
  if (!hasHeader(request.headers, "User-Agent")) curl_easy_setopt(handle, CURLOPT_USERAGENT, agent.constData());
  useProxyFor(handle, url);

  // The body is read in place from the request, never copied.
  if (request.method == "GET" && request.body.isEmpty()) {
    curl_easy_setopt(handle, CURLOPT_HTTPGET, 1L);
  } else {
    curl_easy_setopt(handle, CURLOPT_POSTFIELDS, request.body.constData());
    curl_easy_setopt(handle, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.size()));
    if (request.method != "POST") curl_easy_setopt(handle, CURLOPT_CUSTOMREQUEST, request.method.constData());
  }
  const std::unique_ptr<curl_slist, ListDeleter> headers = headerList(request.headers);
  curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers.get());
  // Only the encodings the backend uses: each of libcurl's other decoders
  // (brotli, zstd) may hold a window of up to 128 MiB for one answer, and an
  // answer in any encoding that was not offered is refused at its headers.
  if (!hasHeader(request.headers, "Accept-Encoding"))
    curl_easy_setopt(handle, CURLOPT_ACCEPT_ENCODING, kOfferedEncodings);

  Transfer transfer;
  transfer.maxBodyBytes = std::max<qint64>(request.maxAnswerBytes, 0);
  curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &Transfer::onBody);
  curl_easy_setopt(handle, CURLOPT_WRITEDATA, &transfer);
  curl_easy_setopt(handle, CURLOPT_HEADERFUNCTION, &Transfer::onHeader);
  curl_easy_setopt(handle, CURLOPT_HEADERDATA, &transfer);
  curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, &Transfer::onProgress);
  curl_easy_setopt(handle, CURLOPT_XFERINFODATA, &transfer);
  curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);

  const auto idleLimit = std::chrono::duration_cast<Clock::duration>(
      std::chrono::duration<double>(request.timeoutSeconds > 0.0 ? request.timeoutSeconds : 0.0));
  std::atomic<bool> cancelled{false};
  CURLcode result = CURLE_OK;
  {
    const Attached attached(multi.get(), handle);
    // May run on any thread (whoever requests the stop): it wakes the wait below.
    const std::stop_callback onStop(stop, [&cancelled, &multi] {
      cancelled.store(true);
      curl_multi_wakeup(multi.get());
    });
    for (;;) {
      if (cancelled.load()) throw CancellationError();
      int running = 0;
      if (const CURLMcode failed = curl_multi_perform(multi.get(), &running); failed != CURLM_OK)
        throw TransportError(TransportError::Kind::other, address, failed,
                             QString::fromUtf8(curl_multi_strerror(failed)));
      if (running == 0) break;
      auto wait = std::chrono::milliseconds(1000);
      if (idleLimit > Clock::duration::zero()) {
        const Clock::duration left = transfer.lastActivity + idleLimit - Clock::now();
        if (left <= Clock::duration::zero())
          throw TransportError(TransportError::Kind::timedOut, address, CURLE_OPERATION_TIMEDOUT,
                               QString::fromUtf8(curl_easy_strerror(CURLE_OPERATION_TIMEDOUT)));
        wait = std::min(wait, std::chrono::ceil<std::chrono::milliseconds>(left));
      }
      curl_multi_poll(multi.get(), nullptr, 0, static_cast<int>(wait.count()), nullptr);
    }
    int queued = 0;
    while (const CURLMsg* message = curl_multi_info_read(multi.get(), &queued))
      if (message->msg == CURLMSG_DONE && message->easy_handle == handle) result = message->data.result;
  }

  if (transfer.failure) std::rethrow_exception(transfer.failure);
  if (transfer.oversized) throw TransportError::oversizedAnswer(address, transfer.maxBodyBytes);
  if (transfer.refusedEncoding) throw TransportError::refusedEncoding(address, *transfer.refusedEncoding);
  long status = 0;
  curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status);
  if (transfer.cutShort && status > 0) result = CURLE_OK;  // stopped here on purpose
  if (result != CURLE_OK) {
    // A failure after the status line is a body cut short: the connection was lost.
    TransportError::Kind kind = kindOf(result);
    if (status > 0 && kind == TransportError::Kind::other) kind = TransportError::Kind::connectionLost;
    throw TransportError(kind, address, result, QString::fromUtf8(curl_easy_strerror(result)));
  }
  HttpResponse response;
  if (status > 0) response.status = static_cast<int>(status);  // else: not an HTTP answer
  response.headers = std::move(transfer.headers);
  response.body = std::move(transfer.body);
  response.bodyCutShort = transfer.cutShort;
  return response;
}

}  // namespace HttpTransport

}  // namespace murmela
