#pragma once

#include "common/MurmelaError.h"

namespace murmela {

// The data layer's errors: each case carries one text, and the description is
// a fixed prefix followed by that text.
class WrappedDataError : public MurmelaError {
 public:
  enum class Kind { databaseOpenFailed, databaseQueryFailed, fixtureNotFound, fixtureDecodeFailed, csvImportFailed };

  WrappedDataError(Kind kind, QString text) : kind_(kind), text_(std::move(text)) {}

  static WrappedDataError databaseOpenFailed(QString text) { return {Kind::databaseOpenFailed, std::move(text)}; }
  static WrappedDataError databaseQueryFailed(QString text) { return {Kind::databaseQueryFailed, std::move(text)}; }
  static WrappedDataError fixtureNotFound(QString name) { return {Kind::fixtureNotFound, std::move(name)}; }
  static WrappedDataError fixtureDecodeFailed(QString text) { return {Kind::fixtureDecodeFailed, std::move(text)}; }
  static WrappedDataError csvImportFailed(QString text) { return {Kind::csvImportFailed, std::move(text)}; }

  Kind kind() const { return kind_; }
  const QString& text() const { return text_; }

  QString typeName() const override { return QStringLiteral("WrappedDataError"); }
  QString description() const override;
  int code() const override { return static_cast<int>(kind_); }

 private:
  Kind kind_;
  QString text_;
};

}  // namespace murmela
