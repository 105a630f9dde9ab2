#pragma once

#include "common/MurmelaError.h"
#include "data/ContactStore.h"

#include <QList>

#include <atomic>
#include <optional>

namespace murmela::test {

// A contacts store held in memory: a fixed state, a scripted answer to the
// access request, contacts in list order, and an optional failure.
class FakeContactStore : public ContactStore {
 public:
  ContactAccessStatus status = ContactAccessStatus::authorized();
  // The state a request leads to when the user has not decided yet.
  ContactAccessStatus answer = ContactAccessStatus::authorized();
  QList<StoreContact> contacts;
  bool failEnumeration = false;

  mutable std::atomic<int> enumerations{0};
  std::atomic<int> requests{0};

  ContactAccessStatus authorizationStatus() const override { return status; }
  ContactAccessStatus requestAccess() override;
  void enumerateContacts(const std::function<void(const StoreContact&)>& visit) const override;
};

// The error a failing FakeContactStore throws.
class FakeContactStoreError : public MurmelaError {
 public:
  QString typeName() const override { return QStringLiteral("FakeContactStoreError"); }
  QString description() const override { return QStringLiteral("The contacts could not be read."); }
  int code() const override { return 1; }
};

}  // namespace murmela::test
