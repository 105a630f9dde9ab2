#include "backend/BackendDefaults.h"

namespace murmela {

QString defaultBackendBaseUrl() { return QStringLiteral(MURMELA_BACKEND_URL); }

}  // namespace murmela
