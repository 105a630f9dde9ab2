#include "net/HttpExchange.h"

#include "common/HttpReply.h"
#include "common/MurmelaError.h"
#include "net/TransportError.h"

#include <QUrl>

#include <arpa/inet.h>
#include <curl/curl.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <exception>
#include <memory>
#include <mutex>

namespace murmela {
namespace {

using Clock = std::chrono::steady_clock;

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

// Whether `host` names this machine: "localhost" or a loopback address.
bool isLoopback(const QString& host) {
  const QByteArray name = host.toLower().toLatin1();
  if (name == "localhost" || name.endsWith(".localhost")) return true;
  in_addr v4{};
  in6_addr v6{};
  if (::inet_pton(AF_INET, name.constData(), &v4) == 1) return (ntohl(v4.s_addr) >> 24) == 127;
  return ::inet_pton(AF_INET6, name.constData(), &v6) == 1 && IN6_IS_ADDR_LOOPBACK(&v6);
}

// The application's proxy lookup, once installed.
struct InstalledProxyLookup {
  std::mutex lock;
  ProxyLookup lookup;
};
InstalledProxyLookup& installedProxyLookup() {
  static InstalledProxyLookup installed;
  return installed;
}

std::optional<ProxyRoute> proxyFor(const QUrl& url) {
  InstalledProxyLookup& installed = installedProxyLookup();
  std::unique_lock guard(installed.lock);
  const ProxyLookup lookup = installed.lookup;
  guard.unlock();
  return lookup ? lookup(url) : std::nullopt;
}

// The proxy for `url`: none for this machine; else the lookup's, else the
// environment's (libcurl's own reading).
void useProxyFor(CURL* handle, const QUrl& url) {
  if (isLoopback(url.host())) {
    curl_easy_setopt(handle, CURLOPT_NOPROXY, "*");
    return;
  }
  const std::optional<ProxyRoute> route = proxyFor(url);
  if (!route) return;
  curl_easy_setopt(handle, CURLOPT_NOPROXY, "");
  curl_easy_setopt(handle, CURLOPT_PROXY, route->address.constData());  // libcurl keeps a copy
  if (!route->user.isEmpty()) {
    curl_easy_setopt(handle, CURLOPT_PROXYUSERNAME, route->user.constData());
    curl_easy_setopt(handle, CURLOPT_PROXYPASSWORD, route->password.constData());
  }
}

// One exchange's state as libcurl's callbacks see it. They run inside
// libcurl's C code: nothing thrown may leave them. A failure is kept, the
// transfer is stopped (a short count), and the failure is thrown again once
// libcurl has returned.
struct Exchange {
  explicit Exchange(HttpAnswerReceiver& target, qint64 least) : receiver(target), leastBytes(least) {}

  HttpAnswerReceiver& receiver;
  HttpHeaders headers;
  std::optional<int> status;  // of the latest status line
  bool headersGiven = false;  // the receiver has this answer's headers
  bool stopped = false;       // the receiver ended the exchange
  std::exception_ptr failure;
  // What moved (headers, body, request body) and when: the idle time-out
  // runs from the last move, the least rate's window from the last time it
  // was met.
  Clock::time_point lastActivity = Clock::now();
  Clock::time_point windowStart = lastActivity;
  qint64 leastBytes;
  qint64 moved = 0;
  qint64 movedAtWindowStart = 0;
  curl_off_t uploaded = 0;

  static constexpr size_t kStop = 0;  // any count other than the one given ends the transfer

  void noteMoved(qint64 bytes) {
    lastActivity = Clock::now();
    moved += bytes;
    if (moved - movedAtWindowStart >= leastBytes) {
      windowStart = lastActivity;
      movedAtWindowStart = moved;
    }
  }

  template <typename Call>
  size_t deliver(size_t length, Call call) noexcept {
    try {
      if (!call()) stopped = true;
    } catch (...) {
      failure = std::current_exception();
    }
    return stopped || failure ? kStop : length;
  }

  static size_t onBody(char* data, size_t size, size_t count, void* self) noexcept {
    auto* exchange = static_cast<Exchange*>(self);
    const size_t length = size * count;
    exchange->noteMoved(static_cast<qint64>(length));
    return exchange->deliver(length, [&] { return exchange->receiver.answerBody(data, length); });
  }

  // One header line at a time. A new status line (after a 1xx answer) starts
  // the headers afresh; the empty line after a final answer's headers hands
  // them over; lines after that (trailers) are not headers of the answer.
  static size_t onHeader(char* data, size_t size, size_t count, void* self) noexcept {
    auto* exchange = static_cast<Exchange*>(self);
    const size_t length = size * count;
    exchange->noteMoved(static_cast<qint64>(length));
    return exchange->deliver(length,
                             [&] { return exchange->headerLine(QByteArray(data, qsizetype(length)).trimmed()); });
  }

  bool headerLine(const QByteArray& line) {
    if (line.startsWith("HTTP/")) {
      headers.clear();
      headersGiven = false;
      bool valid = false;
      const int code = line.split(' ').value(1).toInt(&valid);
      status = valid ? std::optional<int>(code) : std::nullopt;
    } else if (line.isEmpty()) {
      if (status && *status >= 200 && !headersGiven) {
        headersGiven = true;
        return receiver.answerHeaders(*status, headers);
      }
    } else if (const qsizetype colon = line.indexOf(':'); colon > 0 && !headersGiven) {
      headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
    }
    return true;
  }

  static int onProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t uploadedNow) noexcept {
    auto* exchange = static_cast<Exchange*>(self);
    if (uploadedNow != exchange->uploaded) {
      exchange->noteMoved(static_cast<qint64>(uploadedNow - exchange->uploaded));
      exchange->uploaded = uploadedNow;
    }
    return 0;
  }
};

void configure(CURL* handle, const HttpExchangeOptions& options, const QUrl& url, const QByteArray& encodedUrl,
               const QByteArray& agent, const QByteArray& authorities) {
  curl_easy_setopt(handle, CURLOPT_URL, encodedUrl.constData());
  curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
  // A request goes on the wire once. A connection of its own, never reused:
  // libcurl sends a request again by itself only on a reused connection that
  // closed before any answer byte, or on an HTTP/2 stream the server refused
  // (a stream of a connection already in use, which a fresh one never is).
  curl_easy_setopt(handle, CURLOPT_FRESH_CONNECT, 1L);
  curl_easy_setopt(handle, CURLOPT_FORBID_REUSE, 1L);
  curl_easy_setopt(handle, CURLOPT_HTTP_VERSION,
                   static_cast<long>(options.allowHttp2 ? CURL_HTTP_VERSION_2TLS : CURL_HTTP_VERSION_1_1));
  curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
  // No redirect is followed here: a 307 or 308 would send the body on to
  // whatever host the answer names. A 3xx is the answer.
  curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 0L);
  // A stop or a time-out ends the call without waiting for the resolver's
  // thread (name resolution may take many seconds): the thread is left to end
  // on its own.
  curl_easy_setopt(handle, CURLOPT_QUICK_EXIT, 1L);
  curl_easy_setopt(handle, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
  if (!hasHeader(options.headers, "User-Agent")) curl_easy_setopt(handle, CURLOPT_USERAGENT, agent.constData());
  useProxyFor(handle, url);
  if (!authorities.isEmpty()) curl_easy_setopt(handle, CURLOPT_CAINFO, authorities.constData());

  // The body is read in place, never copied.
  static const QByteArray kNoBody;
  const QByteArray& body = options.body ? *options.body : kNoBody;
  if (options.method == "GET" && body.isEmpty()) {
    curl_easy_setopt(handle, CURLOPT_HTTPGET, 1L);
  } else {
    curl_easy_setopt(handle, CURLOPT_POSTFIELDS, body.constData());
    curl_easy_setopt(handle, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    if (options.method != "POST") curl_easy_setopt(handle, CURLOPT_CUSTOMREQUEST, options.method.constData());
  }
  // Only the codings offered: each of libcurl's other decoders (brotli, zstd)
  // may hold a window of up to 128 MiB for one answer.
  if (!options.offeredEncodings.isEmpty())
    curl_easy_setopt(handle, CURLOPT_ACCEPT_ENCODING, options.offeredEncodings.constData());
}

Clock::duration seconds(double value) {
  return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(std::max(value, 0.0)));
}

}  // namespace

void setProxyLookup(ProxyLookup lookup) {
  InstalledProxyLookup& installed = installedProxyLookup();
  const std::lock_guard guard(installed.lock);
  installed.lookup = std::move(lookup);
}

QByteArray headerValue(const HttpHeaders& headers, const QByteArray& name) {
  for (const auto& [key, value] : headers)
    if (key.compare(name, Qt::CaseInsensitive) == 0) return value;
  return {};
}

bool hasHeader(const HttpHeaders& headers, const QByteArray& name) {
  return std::any_of(headers.begin(), headers.end(),
                     [&name](const auto& header) { return header.first.compare(name, Qt::CaseInsensitive) == 0; });
}

HttpExchangeEnd runHttpExchange(const HttpExchangeOptions& options, HttpAnswerReceiver& receiver,
                                std::stop_token stop) {
  const QString& address = options.address;
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
  const QByteArray agent = HttpReply::userAgent();
  const QByteArray authorities = options.certificateAuthorities.toLocal8Bit();
  configure(handle, options, url, encodedUrl, agent, authorities);
  const std::unique_ptr<curl_slist, ListDeleter> headers = headerList(options.headers);
  curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers.get());

  const bool leastRate = options.leastBytes > 0 && options.leastRateSeconds > 0;
  Exchange exchange(receiver, leastRate ? options.leastBytes : 0);
  curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &Exchange::onBody);
  curl_easy_setopt(handle, CURLOPT_WRITEDATA, &exchange);
  curl_easy_setopt(handle, CURLOPT_HEADERFUNCTION, &Exchange::onHeader);
  curl_easy_setopt(handle, CURLOPT_HEADERDATA, &exchange);
  curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, &Exchange::onProgress);
  curl_easy_setopt(handle, CURLOPT_XFERINFODATA, &exchange);
  curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);

  const Clock::duration idleLimit = seconds(options.idleTimeoutSeconds);
  const Clock::duration window = seconds(leastRate ? options.leastRateSeconds : 0.0);
  auto timedOut = [&address] {
    return TransportError(TransportError::Kind::timedOut, address, CURLE_OPERATION_TIMEDOUT,
                          QString::fromUtf8(curl_easy_strerror(CURLE_OPERATION_TIMEDOUT)));
  };
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
      const Clock::time_point now = Clock::now();
      if (idleLimit > Clock::duration::zero()) {
        const Clock::duration left = exchange.lastActivity + idleLimit - now;
        if (left <= Clock::duration::zero()) throw timedOut();
        wait = std::min(wait, std::chrono::ceil<std::chrono::milliseconds>(left));
      }
      if (window > Clock::duration::zero()) {
        const Clock::duration left = exchange.windowStart + window - now;
        if (left <= Clock::duration::zero())
          throw TransportError::tooSlow(address, options.leastBytes, options.leastRateSeconds);
        wait = std::min(wait, std::chrono::ceil<std::chrono::milliseconds>(left));
      }
      curl_multi_poll(multi.get(), nullptr, 0, static_cast<int>(wait.count()), nullptr);
    }
    int queued = 0;
    while (const CURLMsg* message = curl_multi_info_read(multi.get(), &queued))
      if (message->msg == CURLMSG_DONE && message->easy_handle == handle) result = message->data.result;
  }

  if (exchange.failure) std::rethrow_exception(exchange.failure);
  long status = 0;
  curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status);
  HttpExchangeEnd end;
  if (status > 0) end.status = static_cast<int>(status);  // else: not an HTTP answer
  end.stoppedByReceiver = exchange.stopped;
  if (result != CURLE_OK && !exchange.stopped) {
    // A failure after the status line is a body cut short: the connection was lost.
    TransportError::Kind kind = kindOf(result);
    if (status > 0 && kind == TransportError::Kind::other) kind = TransportError::Kind::connectionLost;
    throw TransportError(kind, address, result, QString::fromUtf8(curl_easy_strerror(result)));
  }
  return end;
}

namespace {

// Takes a redirect out of an exchange: its headers stop it there, before any
// of its body is read. Every other answer goes on to the receiver.
class RedirectCatcher : public HttpAnswerReceiver {
 public:
  explicit RedirectCatcher(HttpAnswerReceiver& next) : next_(next) {}

  bool answerHeaders(int status, const HttpHeaders& headers) override {
    if (status / 100 == 3) {
      if (QByteArray target = headerValue(headers, "Location"); !target.isEmpty()) {
        location = std::move(target);
        return false;
      }
    }
    return next_.answerHeaders(status, headers);
  }
  bool answerBody(const char* data, size_t size) override { return next_.answerBody(data, size); }

  std::optional<QByteArray> location;

 private:
  HttpAnswerReceiver& next_;
};

}  // namespace

void fetchFollowingRedirects(HttpExchangeOptions options, int maxRedirects, HttpAnswerReceiver& receiver,
                             std::stop_token stop) {
  const QString first = options.address;
  for (int redirects = 0;; ++redirects) {
    RedirectCatcher catcher(receiver);
    runHttpExchange(options, catcher, stop);
    if (!catcher.location) return;
    if (redirects >= maxRedirects) throw TransportError::tooManyRedirects(first, maxRedirects);
    const QUrl from(options.address);
    const QUrl to = from.resolved(QUrl::fromEncoded(*catcher.location));
    if (from.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0 &&
        to.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) != 0)
      throw TransportError::insecureRedirect(first, to.toString());
    options.address = QString::fromLatin1(to.toEncoded());  // checked by the next exchange
  }
}

}  // namespace murmela
