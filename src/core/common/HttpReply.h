#pragma once

#include <QNetworkReply>
#include <QString>

namespace murmela::HttpReply {

// "http://h/api" + "/v1/x" -> "http://h/api/v1/x"; one "/" between the two.
// (QUrl::resolved would drop the base's path.)
QString joinUrl(const QString& baseUrl, const QString& path);

// For a reply that carries an HTTP status: whether it holds the whole answer.
// Qt also sets error() for 4xx and 5xx statuses (content, protocol-operation and
// server errors); a network-layer error next to a status means the body was cut
// short, which is a transport failure.
bool isCompleteAnswer(QNetworkReply::NetworkError error);

}  // namespace murmela::HttpReply
