#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <optional>

namespace murmela::HandoffUrls {

// A text as the value of a URL query parameter: UTF-8, every byte outside
// the letters, digits and "-._~!$'()*,;:@/?" written as "%" and two
// upper-case hexadecimal digits. "&", "+", "=" and "#" are encoded too, so a
// receiver never cuts the value at them or reads "+" as a space.
QByteArray encodeQueryValue(const QString& text);

// "sms:?body=" and the encoded text: Messages with the text filled in.
std::optional<QUrl> messagesUrl(const QString& text);
// The social network's post page with the text filled in
// ("https://x.com/intent/tweet?text=" and the encoded text).
std::optional<QUrl> socialPostUrl(const QString& text);
// A new mail whose body is the link ("mailto:?body=" and the encoded link).
std::optional<QUrl> emailUrl(const QUrl& link);

// The scheme and host of the social network's post page.
QString socialPostOrigin();

}  // namespace murmela::HandoffUrls
