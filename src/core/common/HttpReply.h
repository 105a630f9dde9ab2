#pragma once

#include <QByteArray>
#include <QString>

namespace murmela::HttpReply {

// "http://h/api" + "/v1/x" -> "http://h/api/v1/x"; one "/" between the two.
// (QUrl::resolved would drop the base's path.)
QString joinUrl(const QString& baseUrl, const QString& path);

// The application version it declares for itself, or "unknown" without one.
QString applicationVersion();
// "Murmela/<application version>": the User-Agent of every request the
// application makes.
QByteArray userAgent();

}  // namespace murmela::HttpReply
