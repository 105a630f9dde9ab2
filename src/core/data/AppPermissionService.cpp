#include "data/AppPermissionService.h"

namespace murmela {

PermissionSnapshot AppPermissionService::snapshot() const {
  return PermissionSnapshot{databaseReader.canOpen(), contactResolver->authorizationStatus()};
}

}  // namespace murmela
