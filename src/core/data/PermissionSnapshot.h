#pragma once

#include "data/ContactAccessStatus.h"

namespace murmela {

// The two permissions as last probed: whether the Messages database can be
// opened, and the state of contacts access.
struct PermissionSnapshot {
  bool hasFullDiskAccess = false;
  ContactAccessStatus contactsStatus = ContactAccessStatus::notDetermined();

  friend bool operator==(const PermissionSnapshot&, const PermissionSnapshot&) = default;
};

}  // namespace murmela
