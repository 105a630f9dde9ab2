#pragma once

#include "common/MurmelaError.h"

#include <QString>

namespace murmela {

// A request that ended without an HTTP answer: the connection could not be
// made or was lost, the time-out passed, or the answer was unusable at the
// transport level. Cancellation by the caller is CancellationError instead.
class TransportError : public MurmelaError {
 public:
  enum class Kind {
    timedOut,
    cannotConnect,
    hostNotFound,
    connectionLost,
    secureConnectionFailed,
    badURL,
    badServerResponse,
    other,
  };

  // networkError is the HTTP library's result code (libcurl's CURLcode; 0 when
  // none) and networkErrorText the library's wording of it; both are kept for
  // the log.
  TransportError(Kind kind, QString failingUrl, int networkError = 0, QString networkErrorText = {});

  // The answer grew past the request's bound, or came in a content encoding
  // that was not offered, and was abandoned: a bad answer (badServerResponse)
  // that no retry would make any better (isUnreadableAnswer()).
  static TransportError oversizedAnswer(QString failingUrl, qint64 maxBytes);
  static TransportError refusedEncoding(QString failingUrl, const QByteArray& encoding);
  // Fewer than `bytes` arrived over `seconds`: a connection too slow to ever
  // finish (timedOut), said as such.
  static TransportError tooSlow(QString failingUrl, qint64 bytes, double seconds);
  // A redirect past `limit` of them, or one from https to plain http: the
  // server's answer was not taken (badServerResponse), said as such.
  static TransportError tooManyRedirects(QString failingUrl, int limit);
  static TransportError insecureRedirect(QString failingUrl, const QString& target);

  Kind kind() const { return kind_; }
  bool isUnreadableAnswer() const { return unreadable_; }
  const QString& failingUrl() const { return failingUrl_; }
  int networkError() const { return networkError_; }
  const QString& networkErrorText() const { return networkErrorText_; }

  QString typeName() const override { return QStringLiteral("TransportError"); }
  QString description() const override;
  int code() const override { return static_cast<int>(kind_); }

 private:
  Kind kind_;
  QString failingUrl_;
  int networkError_;
  QString networkErrorText_;
  bool unreadable_ = false;
  QString explanation_;  // said in place of the kind's own description
};

}  // namespace murmela
