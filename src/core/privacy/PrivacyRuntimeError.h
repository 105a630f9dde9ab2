#pragma once

#include "common/MurmelaError.h"

#include <exception>

namespace murmela {

// The errors of the runtime installer and its download. The description is
// the user-facing message.
class PrivacyRuntimeError : public MurmelaError {
 public:
  enum class Kind { downloadFailed, installFailed, manifestMissing, manifestInvalid, executableMissing, modelMissing };

  // `text` is the message's text, or the path of the missing item.
  PrivacyRuntimeError(Kind kind, QString text) : kind_(kind), text_(std::move(text)) {}

  static PrivacyRuntimeError downloadFailed(QString text) { return {Kind::downloadFailed, std::move(text)}; }
  static PrivacyRuntimeError installFailed(QString text) { return {Kind::installFailed, std::move(text)}; }
  static PrivacyRuntimeError manifestMissing(QString manifestPath) { return {Kind::manifestMissing, std::move(manifestPath)}; }
  static PrivacyRuntimeError manifestInvalid(QString text) { return {Kind::manifestInvalid, std::move(text)}; }
  static PrivacyRuntimeError executableMissing(QString executablePath) {
    return {Kind::executableMissing, std::move(executablePath)};
  }
  static PrivacyRuntimeError modelMissing(QString modelPath) { return {Kind::modelMissing, std::move(modelPath)}; }

  Kind kind() const { return kind_; }
  const QString& text() const { return text_; }

  QString typeName() const override { return QStringLiteral("PrivacyRuntimeError"); }
  QString description() const override;
  int code() const override { return static_cast<int>(kind_); }

  // The user-facing description of any error the privacy runtime passes on:
  // ours, the file system's, or a plain std::exception.
  static QString describe(const std::exception_ptr& error);

 private:
  Kind kind_;
  QString text_;
};

}  // namespace murmela
