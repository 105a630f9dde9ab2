#include "backend/BackendDefaults.h"

#include <QCoreApplication>

namespace murmela {

QString defaultBackendBaseUrl() { return QStringLiteral(MURMELA_BACKEND_URL); }

QString applicationVersion() {
  const QString version = QCoreApplication::applicationVersion();
  return version.isEmpty() ? QStringLiteral("unknown") : version;
}

}  // namespace murmela
