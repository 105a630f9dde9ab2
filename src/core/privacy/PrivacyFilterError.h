#pragma once

#include "common/MurmelaError.h"

namespace murmela {

// The errors of the privacy filter setup: the host check, the setup driver and
// the runtime's Python. Each case has its own user-facing message; seven carry
// one text that the message ends with or embeds.
class PrivacyFilterError : public MurmelaError {
 public:
  enum class Kind {
    runtimeUnavailable,
    pythonTooOld,
    pythonTooNew,
    venvCreationFailed,
    pipInstallFailed,
    modelDownloadFailed,
    smokeTestFailed,
    notAppleSilicon,
    pythonNotFound,
  };

  PrivacyFilterError(Kind kind, QString text = {}) : kind_(kind), text_(std::move(text)) {}

  static PrivacyFilterError runtimeUnavailable(QString text) { return {Kind::runtimeUnavailable, std::move(text)}; }
  static PrivacyFilterError pythonTooOld(QString version) { return {Kind::pythonTooOld, std::move(version)}; }
  static PrivacyFilterError pythonTooNew(QString version) { return {Kind::pythonTooNew, std::move(version)}; }
  static PrivacyFilterError venvCreationFailed(QString text) { return {Kind::venvCreationFailed, std::move(text)}; }
  static PrivacyFilterError pipInstallFailed(QString text) { return {Kind::pipInstallFailed, std::move(text)}; }
  static PrivacyFilterError modelDownloadFailed(QString text) { return {Kind::modelDownloadFailed, std::move(text)}; }
  static PrivacyFilterError smokeTestFailed(QString text) { return {Kind::smokeTestFailed, std::move(text)}; }
  static PrivacyFilterError notAppleSilicon() { return {Kind::notAppleSilicon}; }
  static PrivacyFilterError pythonNotFound() { return {Kind::pythonNotFound}; }

  Kind kind() const { return kind_; }
  const QString& text() const { return text_; }

  QString typeName() const override { return QStringLiteral("PrivacyFilterError"); }
  QString description() const override;
  int code() const override { return static_cast<int>(kind_); }

  bool operator==(const PrivacyFilterError& other) const { return kind_ == other.kind_ && text_ == other.text_; }

 private:
  Kind kind_;
  QString text_;
};

}  // namespace murmela
