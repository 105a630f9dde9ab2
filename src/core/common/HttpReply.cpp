#include "common/HttpReply.h"

namespace murmela::HttpReply {

QString joinUrl(const QString& baseUrl, const QString& path) {
  QString base = baseUrl;
  while (base.endsWith(QLatin1Char('/'))) base.chop(1);
  if (path.isEmpty()) return base;
  return path.startsWith(QLatin1Char('/')) ? base + path : base + QLatin1Char('/') + path;
}

bool isCompleteAnswer(QNetworkReply::NetworkError error) {
  const int code = static_cast<int>(error);
  if (error == QNetworkReply::NoError) return true;
  if (error == QNetworkReply::ContentReSendError) return false;
  if (code >= 201 && code <= 299) return true;                             // content errors: 401, 403, 404, other 4xx
  if (error == QNetworkReply::ProtocolInvalidOperationError) return true;  // 400
  return code >= 401 && code <= 499;                                       // server errors: 500, 501, 503, other 5xx
}

}  // namespace murmela::HttpReply
