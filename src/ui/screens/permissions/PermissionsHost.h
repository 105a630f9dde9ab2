#pragma once

#include "data/PermissionSnapshot.h"
#include "kit/widgets/HostSignal.h"

#include <functional>
#include <optional>

namespace murmela {

// What the permissions screen reads and asks of the application.
struct PermissionsHost {
  std::function<std::optional<PermissionSnapshot>()> permissions;  // the last probe's, none while it runs
  std::function<void()> refreshPermissions;                        // probes again
  std::function<void()> openFullDiskAccessSettings;
  std::function<void()> requestContactsAccess;
  std::function<void()> back;              // to the intelligence choice
  std::function<void()> continueToPicker;  // to the contact picker
  HostSignal permissionsChanged;
};

}  // namespace murmela
