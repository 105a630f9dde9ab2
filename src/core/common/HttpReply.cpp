#include "common/HttpReply.h"

#include <QCoreApplication>

namespace murmela::HttpReply {

QString joinUrl(const QString& baseUrl, const QString& path) {
  QString base = baseUrl;
  while (base.endsWith(QLatin1Char('/'))) base.chop(1);
  if (path.isEmpty()) return base;
  return path.startsWith(QLatin1Char('/')) ? base + path : base + QLatin1Char('/') + path;
}

QString applicationVersion() {
  const QString version = QCoreApplication::applicationVersion();
  return version.isEmpty() ? QStringLiteral("unknown") : version;
}

QByteArray userAgent() { return "Murmela/" + applicationVersion().toUtf8(); }

}  // namespace murmela::HttpReply
