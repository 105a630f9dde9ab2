#pragma once

#include "common/MurmelaError.h"

namespace murmela {

// A failure to read the user's address book.
class ContactStoreError : public MurmelaError {
 public:
  enum class Kind { noAddressBook, unreadable };

  ContactStoreError(Kind kind, QString path, QString reason = {})
      : kind_(kind), path_(std::move(path)), reason_(std::move(reason)) {}

  Kind kind() const { return kind_; }
  const QString& path() const { return path_; }

  QString typeName() const override { return QStringLiteral("ContactStoreError"); }
  QString description() const override;
  int code() const override { return static_cast<int>(kind_); }

 private:
  Kind kind_;
  QString path_;
  QString reason_;
};

}  // namespace murmela
