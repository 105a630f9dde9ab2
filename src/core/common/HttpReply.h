#pragma once

#include <QString>

namespace murmela::HttpReply {

// "http://h/api" + "/v1/x" -> "http://h/api/v1/x"; one "/" between the two.
// (QUrl::resolved would drop the base's path.)
QString joinUrl(const QString& baseUrl, const QString& path);

}  // namespace murmela::HttpReply
