#include "data/ContactStoreError.h"

namespace murmela {

QString ContactStoreError::description() const {
  switch (kind_) {
    case Kind::noAddressBook:
      return QStringLiteral("No address book has been chosen.");
    case Kind::unreadable: {
      QString text = QStringLiteral("Could not read the address book ") + path_;
      if (!reason_.isEmpty()) text += QStringLiteral(": ") + reason_;
      return text;
    }
  }
  return path_;
}

}  // namespace murmela
