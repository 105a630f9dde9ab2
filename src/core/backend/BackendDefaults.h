#pragma once

#include "common/HttpReply.h"

#include <QString>

namespace murmela {

// The built-in base URL of the hosted backend, fixed when the application is
// built (the MURMELA_BACKEND_URL build setting). Nothing changes it at run time.
QString defaultBackendBaseUrl();

// The application version sent to the backend: the version the application
// declares for itself, or "unknown" when it declares none.
using HttpReply::applicationVersion;

}  // namespace murmela
