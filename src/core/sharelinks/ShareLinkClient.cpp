#include "sharelinks/ShareLinkClient.h"

#include "backend/BackendRegistration.h"
#include "common/MurmelaError.h"
#include "common/UnicodeText.h"
#include "json/JsonCodec.h"
#include "net/HttpTransport.h"
#include "net/TransportError.h"
#include "sharelinks/ShareContentHash.h"
#include "sharelinks/ShareCreatesInFlight.h"
#include "sharelinks/ShareLinkError.h"

#include <QUrl>

#include <condition_variable>
#include <mutex>

namespace murmela {
namespace {

constexpr qsizetype kPreviewBytes = 1000;

// Request bodies are written as reports are: pretty, keys sorted, "\/".
template <typename Body>
QByteArray encodeBody(const Body& body) {
  return Json::write(QJsonValue(body.toJson()), Json::Layout::Pretty);
}

// The body of a 2xx answer; every other answer throws its ShareLinkError.
const QByteArray& successBody(const HttpResponse& response) {
  if (!response.status) throw ShareLinkError::invalidResponse(QStringLiteral("Missing HTTP response"));
  const int status = *response.status;
  if (response.isSuccess()) return response.body;
  if (status == 401) throw ShareLinkError::unauthorized();
  if (status == 429) {
    std::optional<qint64> limit;
    try {
      limit = ShareErrorEnvelope::fromJson(Json::parseObject(response.body, QStringLiteral("error"))).detail.limit;
    } catch (const Json::DecodingError&) {
      // Not the limit's envelope: the limit is unknown.
    }
    throw ShareLinkError::rateLimited(limit);
  }
  throw ShareLinkError::httpFailed(status, UnicodeText::strictUtf8(response.body, true).value_or(QString()));
}

// Waits for `delay`, or less when a stop is requested.
void pause(std::chrono::milliseconds delay, std::stop_token stop) {
  std::mutex lock;
  std::condition_variable_any never;
  std::unique_lock guard(lock);
  never.wait_for(guard, stop, delay, [] { return false; });
}

}  // namespace

QString ShareLinkClient::defaultBaseURL(const QStringList& arguments) {
  const qsizetype flag = arguments.indexOf(kBaseUrlArgument);
  if (flag >= 0 && flag + 1 < arguments.size()) {
    const QString candidate = arguments.at(flag + 1);
    const QUrl url(candidate, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (url.isValid() && !url.host().isEmpty() && (scheme == QLatin1String("http") || scheme == QLatin1String("https")))
      return candidate;
  }
  return defaultBackendBaseUrl();
}

ShareLinkClient::ShareLinkClient(QString baseURL, QString appVersion, ShareLinkCacheStore& cache)
    : baseURL_(std::move(baseURL)), appVersion_(std::move(appVersion)), cache_(&cache) {}

QString ShareLinkClient::revokePath(const QString& shareID) {
  // QUrl reads "%2E" back as ".", so a dot segment cannot be escaped: it would
  // address another resource.
  if (shareID.isEmpty() || shareID == QLatin1String(".") || shareID == QLatin1String(".."))
    throw ShareLinkError::invalidResponse(QStringLiteral("Invalid share identifier \"") + shareID + QLatin1Char('"'));
  return kSharesPath + QLatin1Char('/') + QString::fromLatin1(QUrl::toPercentEncoding(shareID)) +
         QStringLiteral("/revoke");
}

template <typename Response>
Response ShareLinkClient::post(const QString& path, const QByteArray& body, const std::optional<QString>& token,
                               std::stop_token stop) const {
  const HttpRequest request = jsonPost(baseURL_, path, body, token, kRequestTimeoutSeconds);
  HttpResponse response;
  try {
    response = HttpTransport::perform(request, std::move(stop));
  } catch (const TransportError& error) {
    // An answer past the bound is a bad answer, not a network failure to retry.
    if (error.isUnreadableAnswer()) throw ShareLinkError::invalidResponse(error.networkErrorText());
    throw;
  }
  const QByteArray& answer = successBody(response);
  try {
    return Response::fromJson(Json::parseObject(answer, QStringLiteral("response")));
  } catch (const Json::DecodingError& error) {
    // A multi-byte character cut at the last byte makes the whole preview empty.
    const QString preview = UnicodeText::strictUtf8(answer.left(kPreviewBytes), true).value_or(QString());
    throw ShareLinkError::invalidResponse(error.description() + QLatin1Char(' ') + preview);
  }
}

template <typename Response>
Response ShareLinkClient::postWithNetworkRetry(const QString& path, const QByteArray& body, const QString& token,
                                               std::stop_token stop) const {
  // Once sent, the request runs to its answer (no stop token): the caller
  // must learn what the backend did.
  if (stop.stop_requested()) throw CancellationError();
  try {
    return post<Response>(path, body, token, {});
  } catch (const TransportError&) {
    pause(networkRetryDelay_, stop);
  }
  if (stop.stop_requested()) throw CancellationError();
  try {
    return post<Response>(path, body, token, {});
  } catch (const TransportError&) {
    throw ShareLinkError::httpFailed(0, QStringLiteral("Network failure"));
  }
}

QString ShareLinkClient::registerInstall(std::stop_token stop) const {
  const QByteArray body = encodeBody(BackendRegistration::makeRequest(appVersion_));
  return post<ShareRegisterResponse>(kRegisterPath, body, std::nullopt, std::move(stop)).authToken;
}

template <typename Response>
Response ShareLinkClient::postAuthenticatedWithRetries(const QString& path, const QByteArray& body,
                                                       std::stop_token stop) const {
  // A registration's own failure (a 401 included) ends the call unchanged.
  const QString token = registerInstall(stop);
  try {
    return postWithNetworkRetry<Response>(path, body, token, stop);
  } catch (const ShareLinkError& error) {
    if (error.kind() != ShareLinkError::Kind::unauthorized) throw;
  }
  return postWithNetworkRetry<Response>(path, body, registerInstall(stop), stop);
}

ShareLinkGenerationResult ShareLinkClient::createShareLink(const WrappedReport& report,
                                                           const std::optional<QString>& contactHandle,
                                                           std::stop_token stop) const {
  const QString contentHash = shareContentHash(report);
  // Held from the look in the cache to the record there: a create for the
  // same pair that starts meanwhile waits for it, then finds its link.
  std::optional<ShareCreatesInFlight::Claim> inFlight;
  if (contactHandle) {
    inFlight.emplace(ShareCreatesInFlight::shared().claim(*contactHandle, contentHash, stop));
    if (const std::optional<ShareCacheEntry> cached = cache_->cachedShare(*contactHandle, contentHash))
      return {{cached->shareID, cached->shareURL, cached->contentHash, cached->expiresAt}, true};
  }

  const QByteArray body = encodeBody(ShareCreateRequest::forReport(report));
  const ShareLinkResult link = postAuthenticatedWithRetries<ShareLinkResult>(kSharesPath, body, std::move(stop));

  ShareCacheEntry entry;
  entry.shareID = link.shareID;
  entry.contentHash = link.contentHash;
  entry.contactHandle = contactHandle.value_or(QStringLiteral("report:") + link.contentHash);
  entry.contactDisplay = report.participantNames.them;
  entry.shareURL = link.shareURL;
  entry.createdAt = cache_->now();
  entry.expiresAt = link.expiresAt;
  entry.revoked = false;
  cache_->upsert(entry);
  return {link, false};
}

void ShareLinkClient::revokeShareLink(const QString& shareID, std::stop_token stop) const {
  const QString path = revokePath(shareID);
  postAuthenticatedWithRetries<ShareRevokeResponse>(path, encodeBody(EmptyShareBody{}), std::move(stop));
  cache_->markRevoked(shareID);
}

}  // namespace murmela
