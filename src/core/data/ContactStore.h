#pragma once

#include "data/ContactAccessStatus.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace murmela {

// One contact as the store hands it out: only what names a conversation partner.
struct StoreContact {
  QString givenName;
  QString familyName;
  QString nickname;
  QStringList phoneNumbers;    // as written, in the contact's order
  QStringList emailAddresses;  // as written, in the contact's order

  friend bool operator==(const StoreContact&, const StoreContact&) = default;
};

// The user's contacts as the application sees them: the state of the user's
// permission, a request for it, and the contacts in the store's order.
class ContactStore {
 public:
  virtual ~ContactStore() = default;

  // The current state; never asks the user.
  virtual ContactAccessStatus authorizationStatus() const = 0;
  // Asks the user when they have not answered yet, then returns the state.
  // Never fails.
  virtual ContactAccessStatus requestAccess() = 0;
  // Calls `visit` for every contact in the store's order; throws a
  // MurmelaError when the contacts cannot be read.
  virtual void enumerateContacts(const std::function<void(const StoreContact&)>& visit) const = 0;
};

}  // namespace murmela
