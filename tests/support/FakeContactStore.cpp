#include "support/FakeContactStore.h"

namespace murmela::test {

ContactAccessStatus FakeContactStore::requestAccess() {
  ++requests;
  if (status.kind() == ContactAccessStatus::Kind::notDetermined) status = answer;
  return status;
}

void FakeContactStore::enumerateContacts(const std::function<void(const StoreContact&)>& visit) const {
  ++enumerations;
  for (const StoreContact& contact : contacts) visit(contact);
  if (failEnumeration) throw FakeContactStoreError();
}

}  // namespace murmela::test
