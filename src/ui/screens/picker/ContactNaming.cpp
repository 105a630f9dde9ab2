#include "screens/picker/ContactNaming.h"

#include "common/UnicodeText.h"

#include <QStringList>

namespace murmela {
namespace {

bool isNameSeparator(QChar c) {
  return c.isSpace() || c == QLatin1Char('-') || c == QChar(0x2013) || c == QChar(0x2014);
}

}  // namespace

QString contactRowName(const ContactSummary& contact) {
  if (contact.displayName && !contact.displayName->isEmpty()) return *contact.displayName;
  return contact.handle;
}

QString defaultDisplayName(const ContactSummary& contact) {
  const QString trimmed = contactRowName(contact).trimmed();
  qsizetype start = 0;
  while (start < trimmed.size() && isNameSeparator(trimmed[start])) ++start;
  if (start == trimmed.size()) return trimmed;
  qsizetype end = start;
  while (end < trimmed.size() && !isNameSeparator(trimmed[end])) ++end;
  return trimmed.mid(start, end - start);
}

QString finalizedContactName(const QString& confirmedName, const ContactSummary& contact) {
  const QString trimmed = confirmedName.trimmed();
  return trimmed.isEmpty() ? defaultDisplayName(contact) : trimmed;
}

QString contactInitials(const QString& name) {
  QString initials;
  int taken = 0;
  for (const QString& piece : name.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
    if (taken++ == 2) break;
    initials += UnicodeText::graphemePrefix(piece, 1);
  }
  return initials;
}

}  // namespace murmela
