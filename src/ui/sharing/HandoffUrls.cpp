#include "sharing/HandoffUrls.h"

namespace murmela::HandoffUrls {
namespace {

// Characters that stay literal inside a query value besides the unreserved
// ones (letters, digits, "-", ".", "_", "~").
const QByteArray kLiteralInValue = QByteArrayLiteral("!$'()*,;:@/?");

std::optional<QUrl> strictUrl(const QByteArray& encoded) {
  QUrl url = QUrl::fromEncoded(encoded, QUrl::StrictMode);
  if (!url.isValid()) return std::nullopt;
  return url;
}

}  // namespace

QByteArray encodeQueryValue(const QString& text) { return QUrl::toPercentEncoding(text, kLiteralInValue); }

QString socialPostOrigin() { return QStringLiteral("https://x.com"); }

std::optional<QUrl> messagesUrl(const QString& text) {
  return strictUrl(QByteArrayLiteral("sms:?body=") + encodeQueryValue(text));
}

std::optional<QUrl> socialPostUrl(const QString& text) {
  return strictUrl(socialPostOrigin().toUtf8() + QByteArrayLiteral("/intent/tweet?text=") + encodeQueryValue(text));
}

std::optional<QUrl> emailUrl(const QUrl& link) {
  return strictUrl(QByteArrayLiteral("mailto:?body=") + encodeQueryValue(link.toString(QUrl::FullyEncoded)));
}

}  // namespace murmela::HandoffUrls
