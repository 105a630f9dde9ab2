#include "net/TransportError.h"

namespace murmela {

TransportError::TransportError(Kind kind, QString failingUrl, int networkError, QString networkErrorText)
    : kind_(kind),
      failingUrl_(std::move(failingUrl)),
      networkError_(networkError),
      networkErrorText_(std::move(networkErrorText)) {}

TransportError TransportError::oversizedAnswer(QString failingUrl, qint64 maxBytes) {
  // libcurl's "write error" (23): the answer was refused while it was read.
  TransportError error(Kind::badServerResponse, std::move(failingUrl), 23,
                       QStringLiteral("The answer is larger than %1 bytes.").arg(maxBytes));
  error.unreadable_ = true;
  return error;
}

TransportError TransportError::refusedEncoding(QString failingUrl, const QByteArray& encoding) {
  TransportError error(Kind::badServerResponse, std::move(failingUrl), 23,
                       QStringLiteral("The answer is encoded as %1, which was not offered.")
                           .arg(QString::fromLatin1(encoding.left(64))));
  error.unreadable_ = true;
  return error;
}

TransportError TransportError::tooSlow(QString failingUrl, qint64 bytes, double seconds) {
  const QString text = QStringLiteral("The connection is too slow: fewer than %1 bytes arrived in %2 seconds.")
                           .arg(bytes)
                           .arg(seconds);
  // libcurl's "timeout was reached" (28).
  TransportError error(Kind::timedOut, std::move(failingUrl), 28, text);
  error.explanation_ = text;
  return error;
}

TransportError TransportError::tooManyRedirects(QString failingUrl, int limit) {
  const QString text = QStringLiteral("The server redirected the request more than %1 times.").arg(limit);
  // libcurl's "too many redirects" (47).
  TransportError error(Kind::badServerResponse, std::move(failingUrl), 47, text);
  error.explanation_ = text;
  return error;
}

TransportError TransportError::insecureRedirect(QString failingUrl, const QString& target) {
  const QString text =
      QStringLiteral("The server redirected a secure request to an insecure address (%1).").arg(target.left(200));
  TransportError error(Kind::badServerResponse, std::move(failingUrl), 47, text);
  error.explanation_ = text;
  return error;
}

QString TransportError::description() const {
  if (!explanation_.isEmpty()) return explanation_;
  switch (kind_) {
    case Kind::timedOut: return QStringLiteral("The request timed out.");
    case Kind::cannotConnect: return QStringLiteral("Could not connect to the server.");
    case Kind::hostNotFound: return QStringLiteral("A server with the specified hostname could not be found.");
    case Kind::connectionLost: return QStringLiteral("The network connection was lost.");
    case Kind::secureConnectionFailed:
      return QStringLiteral("A secure connection to the server could not be made.");
    case Kind::badURL: return QStringLiteral("The server address is not a valid URL.");
    case Kind::badServerResponse: return QStringLiteral("The server returned an unexpected answer.");
    case Kind::other:
      if (networkErrorText_.isEmpty()) return QStringLiteral("The network request failed.");
      return QStringLiteral("The network request failed: ") + networkErrorText_;
  }
  return QStringLiteral("The network request failed.");
}

}  // namespace murmela
