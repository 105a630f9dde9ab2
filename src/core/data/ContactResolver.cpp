#include "data/ContactResolver.h"

#include "data/VCardContactStore.h"

#include <unicode/uchar.h>

#include <QSet>

namespace murmela {

ContactResolver::ContactResolver() : store_(std::make_shared<VCardContactStore>()) {}

ContactResolver::ContactResolver(std::shared_ptr<ContactStore> store) : store_(std::move(store)) {}

ContactAccessStatus ContactResolver::requestAccess() { return store_->requestAccess(); }

QString ContactResolver::normalize(const QString& handle) {
  if (handle.contains(QLatin1Char('@'))) return handle.trimmed().toLower();

  // Every code point with a Unicode numeric value, in order.
  QString digits;
  qsizetype count = 0;
  for (const char32_t codePoint : handle.toUcs4()) {
    if (u_getIntPropertyValue(static_cast<UChar32>(codePoint), UCHAR_NUMERIC_TYPE) == U_NT_NONE) continue;
    digits += QString::fromUcs4(&codePoint, 1);
    ++count;
  }
  if (count == 10) return QStringLiteral("+1") + digits;
  if (count == 11 && digits.startsWith(QLatin1Char('1'))) return QLatin1Char('+') + digits;
  if (handle.startsWith(QLatin1Char('+'))) return QLatin1Char('+') + digits;
  return digits;
}

QString ContactResolver::displayName(const StoreContact& contact) {
  QStringList parts;
  if (!contact.givenName.isEmpty()) parts.append(contact.givenName);
  if (!contact.familyName.isEmpty()) parts.append(contact.familyName);
  const QString name = parts.join(QLatin1Char(' '));
  if (!name.isEmpty()) return name;
  if (!contact.nickname.isEmpty()) return contact.nickname;
  return QStringLiteral("Unnamed Contact");
}

QHash<QString, QString> ContactResolver::displayNames(const QStringList& handles) const {
  QHash<QString, QString> names;
  if (!store_->authorizationStatus().isAuthorized()) return names;

  const QSet<QString> requested(handles.begin(), handles.end());
  QHash<QString, QStringList> byKey;
  for (const QString& handle : handles) {
    const QString key = normalize(handle);
    if (!key.isEmpty()) byKey[key].append(handle);
  }

  store_->enumerateContacts([&](const StoreContact& contact) {
    const QString name = displayName(contact);
    auto assign = [&](const QString& value) {
      const auto indexed = byKey.constFind(normalize(value));
      if (indexed != byKey.constEnd()) {
        for (const QString& handle : *indexed) names.insert(handle, name);
      }
      if (requested.contains(value)) names.insert(value, name);
    };
    for (const QString& phone : contact.phoneNumbers) assign(phone);
    for (const QString& email : contact.emailAddresses) assign(email);
  });
  return names;
}

}  // namespace murmela
