#include "data/AppPermissionService.h"

#include <sqlite3.h>

namespace murmela {

PermissionSnapshot AppPermissionService::snapshot() const {
  sqlite3* database = nullptr;
  const int result = sqlite3_open_v2(MessagesDatabaseReader::sqliteFileName(databaseReader.databasePath()).constData(),
                                     &database, MessagesDatabaseReader::kOpenFlags, nullptr);
  if (database != nullptr) sqlite3_close(database);
  return PermissionSnapshot{result == SQLITE_OK, contactResolver->authorizationStatus()};
}

}  // namespace murmela
