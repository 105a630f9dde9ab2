#include "backend/TransportError.h"

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

QString TransportError::description() const {
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
