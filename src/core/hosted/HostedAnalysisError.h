#pragma once

#include "common/MurmelaError.h"

#include <QString>

namespace murmela {

// The hosted analysis client's errors. The description is what the user sees
// (after "[HostedAnalysisError] ").
class HostedAnalysisError : public MurmelaError {
 public:
  enum class Kind { invalidResponse, httpFailed, privacyFilterUnavailable, privacyAnonymizationFailed };

  static HostedAnalysisError invalidResponse(QString text) { return {Kind::invalidResponse, 0, std::move(text)}; }
  static HostedAnalysisError httpFailed(int status, QString body) { return {Kind::httpFailed, status, std::move(body)}; }
  static HostedAnalysisError privacyFilterUnavailable(QString text) {
    return {Kind::privacyFilterUnavailable, 0, std::move(text)};
  }
  static HostedAnalysisError privacyAnonymizationFailed(QString text) {
    return {Kind::privacyAnonymizationFailed, 0, std::move(text)};
  }

  Kind kind() const { return kind_; }
  int status() const { return status_; }       // httpFailed only
  const QString& text() const { return text_; }  // the body for httpFailed

  QString typeName() const override { return QStringLiteral("HostedAnalysisError"); }
  QString description() const override;
  int code() const override { return static_cast<int>(kind_); }

 private:
  HostedAnalysisError(Kind kind, int status, QString text) : kind_(kind), status_(status), text_(std::move(text)) {}

  Kind kind_;
  int status_;
  QString text_;
};

}  // namespace murmela
