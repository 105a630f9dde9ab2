#pragma once

#include "common/MurmelaError.h"

#include <QString>

#include <optional>

namespace murmela {

// A failure of the share-link backend exchange.
class ShareLinkError : public MurmelaError {
 public:
  enum class Kind { invalidResponse, rateLimited, httpFailed, unauthorized };

  static ShareLinkError invalidResponse(QString message);
  static ShareLinkError rateLimited(std::optional<qint64> limit);
  static ShareLinkError httpFailed(int status, QString body);
  static ShareLinkError unauthorized();

  Kind kind() const { return kind_; }
  const QString& message() const { return message_; }  // invalidResponse
  std::optional<qint64> limit() const { return limit_; }  // rateLimited
  int status() const { return status_; }                  // httpFailed
  const QString& body() const { return message_; }        // httpFailed

  QString errorDescription() const;
  // The text a screen shows for this error.
  QString userFacingMessage() const;

  QString typeName() const override { return QStringLiteral("ShareLinkError"); }
  QString description() const override { return errorDescription(); }
  int code() const override { return static_cast<int>(kind_); }

 private:
  explicit ShareLinkError(Kind kind) : kind_(kind) {}
  Kind kind_;
  QString message_;
  std::optional<qint64> limit_;
  int status_ = 0;
};

}  // namespace murmela
