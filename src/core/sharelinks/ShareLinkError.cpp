#include "sharelinks/ShareLinkError.h"

namespace murmela {

namespace {
const QString kGenericFailure = QStringLiteral("Couldn't create share link. Try again in a moment.");
}

ShareLinkError ShareLinkError::invalidResponse(QString message) {
  ShareLinkError error(Kind::invalidResponse);
  error.message_ = std::move(message);
  return error;
}

ShareLinkError ShareLinkError::rateLimited(std::optional<qint64> limit) {
  ShareLinkError error(Kind::rateLimited);
  error.limit_ = limit;
  return error;
}

ShareLinkError ShareLinkError::httpFailed(int status, QString body) {
  ShareLinkError error(Kind::httpFailed);
  error.status_ = status;
  error.message_ = std::move(body);
  return error;
}

ShareLinkError ShareLinkError::unauthorized() { return ShareLinkError(Kind::unauthorized); }

QString ShareLinkError::errorDescription() const {
  switch (kind_) {
    case Kind::invalidResponse:
      return QStringLiteral("Share link returned an invalid response: ") + message_;
    case Kind::rateLimited: {
      QString text = QStringLiteral("You've created a lot of shares today. Try again tomorrow.");
      if (limit_) text += QStringLiteral(" Daily limit: ") + QString::number(*limit_) + QLatin1Char('.');
      return text;
    }
    case Kind::httpFailed:
      return QStringLiteral("Share link HTTP ") + QString::number(status_) + QStringLiteral(": ") + message_;
    case Kind::unauthorized:
      return QStringLiteral("Share link authorization failed.");
  }
  return {};
}

QString ShareLinkError::userFacingMessage() const {
  switch (kind_) {
    case Kind::rateLimited:
      return errorDescription();
    case Kind::httpFailed:
      return status_ < 500 ? errorDescription() : kGenericFailure;
    case Kind::invalidResponse:
    case Kind::unauthorized:
      return kGenericFailure;
  }
  return kGenericFailure;
}

}  // namespace murmela
