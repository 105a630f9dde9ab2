#pragma once

#include "backend/BackendDefaults.h"
#include "data/WrappedReport.h"
#include "sharelinks/ShareLinkCacheStore.h"
#include "sharelinks/ShareWireRecords.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <chrono>
#include <optional>
#include <stop_token>

namespace murmela {

// Turns a report into a link that the backend serves for a limited time, and
// revokes such links. Built on the spot for each use; it keeps no token and no
// state of its own between calls. Every operation registers the install for a
// bearer token and makes one authenticated JSON POST, with one retry after a
// network failure and one fresh registration after the token is refused.
//
// Calls are blocking: run them on a worker (ShareLinkWorker). A stop requested
// on `stop` aborts a registration, the wait before a retry and a create's wait
// for another create of the same link (the call then throws
// CancellationError), but not the create or revoke request itself once
// sent: its outcome is always recorded in the cache, so no live link goes
// unrecorded.
//
// Failures: ShareLinkError for every answer that is not a success and for a
// second network failure in a row; TransportError unchanged when a
// registration gets no answer; Json::EncodingError when the report cannot be
// written; CancellationError on a stop.
class ShareLinkClient {
 public:
  static inline const QString kBaseUrlArgument = QStringLiteral("-shareAPIBaseURL");
  static inline const QString kRegisterPath = QStringLiteral("/v1/register");
  static inline const QString kSharesPath = QStringLiteral("/v1/shares");
  static constexpr double kRequestTimeoutSeconds = 60.0;
  static constexpr std::chrono::milliseconds kNetworkRetryDelay{650};

  // The URL after the first "-shareAPIBaseURL" when it is an absolute http or
  // https URL; otherwise the built-in backend's.
  static QString defaultBaseURL(const QStringList& arguments);

  explicit ShareLinkClient(QString baseURL = defaultBaseURL(QCoreApplication::arguments()),
                           QString appVersion = applicationVersion(),
                           ShareLinkCacheStore& cache = ShareLinkCacheStore::shared());

  const QString& baseURL() const { return baseURL_; }
  const QString& appVersion() const { return appVersion_; }
  std::chrono::milliseconds networkRetryDelay() const { return networkRetryDelay_; }
  void setNetworkRetryDelay(std::chrono::milliseconds delay) { networkRetryDelay_ = delay; }

  // With a contact handle, an unrevoked, unexpired cached link for that
  // handle and the report's content hash is returned without any request
  // (fromLocalCache). Otherwise the report is posted to "/v1/shares" and the
  // new link recorded in the cache, under the handle or, without one, under
  // "report:" + the backend's content hash. Creates with a handle for the same
  // handle and content run one at a time in the process (whichever client
  // makes them): one that starts while another is still on its way waits for
  // it and is then answered from the link it recorded, so two presses never
  // make two links. Its stop ends that wait at once; creates for other
  // handles or contents never wait for each other.
  ShareLinkGenerationResult createShareLink(const WrappedReport& report, const std::optional<QString>& contactHandle,
                                            std::stop_token stop = {}) const;

  // Posts to "/v1/shares/<id>/revoke" (the identifier percent-encoded as one
  // path segment) and, once the backend agreed, marks the cached entry
  // revoked. A failure leaves the cache as it was.
  void revokeShareLink(const QString& shareID, std::stop_token stop = {}) const;

  // "/v1/shares/<id>/revoke". An identifier that cannot be one path segment
  // (empty, "." or "..") throws ShareLinkError::invalidResponse.
  static QString revokePath(const QString& shareID);

 private:
  // One request, its status classified.
  template <typename Response>
  Response post(const QString& path, const QByteArray& body, const std::optional<QString>& token,
                std::stop_token stop) const;
  // The request again after networkRetryDelay() when it got no answer.
  template <typename Response>
  Response postWithNetworkRetry(const QString& path, const QByteArray& body, const QString& token,
                                std::stop_token stop) const;
  // Register, call; on a refused token register once more and call again.
  template <typename Response>
  Response postAuthenticatedWithRetries(const QString& path, const QByteArray& body, std::stop_token stop) const;
  QString registerInstall(std::stop_token stop) const;

  QString baseURL_;
  QString appVersion_;
  ShareLinkCacheStore* cache_;
  std::chrono::milliseconds networkRetryDelay_ = kNetworkRetryDelay;
};

}  // namespace murmela
