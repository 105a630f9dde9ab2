#pragma once

#include "data/ContactResolver.h"
#include "data/MessagesDatabaseReader.h"
#include "data/PermissionSnapshot.h"

#include <memory>

namespace murmela {

// Probes the two permissions the application needs, without asking the user.
struct AppPermissionService {
  MessagesDatabaseReader databaseReader;
  std::shared_ptr<ContactResolver> contactResolver;

  // Full Disk Access is granted exactly when the reader's database opens
  // read-only; the contacts state is read afresh. Never fails. Touches the
  // disk: call it off the GUI thread.
  PermissionSnapshot snapshot() const;
};

}  // namespace murmela
