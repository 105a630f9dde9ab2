#pragma once

#include "data/ContactAccessStatus.h"
#include "data/ContactStore.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>

namespace murmela {

// Turns the handles of conversation partners (phone numbers and e-mail
// addresses) into the names of the user's contacts.
class ContactResolver {
 public:
  // A resolver over its own store: the vCard address book the user chooses.
  ContactResolver();
  explicit ContactResolver(std::shared_ptr<ContactStore> store);

  // The current state of contacts access; never asks the user.
  ContactAccessStatus authorizationStatus() const { return store_->authorizationStatus(); }
  // Asks the user when they have not decided yet; returns the state afterwards.
  ContactAccessStatus requestAccess();

  // Names for the handles that match a contact, keyed by the handles exactly
  // as given. Empty, without touching the contacts, unless access is
  // authorized. Each handle ends with the name of the last matching contact
  // in the store's order. Throws the store's error when the contacts cannot
  // be read.
  QHash<QString, QString> displayNames(const QStringList& handles) const;

  // The key by which handles and contact values are matched: an e-mail
  // address trimmed and lower-cased; a phone number as its digits, with "+1"
  // before ten digits, "+" before eleven digits that begin with 1, and "+"
  // before the digits of a number written with a leading "+".
  static QString normalize(const QString& handle);
  // Given and family name joined by a space, else the nickname, else
  // "Unnamed Contact".
  static QString displayName(const StoreContact& contact);

 private:
  std::shared_ptr<ContactStore> store_;
};

}  // namespace murmela
