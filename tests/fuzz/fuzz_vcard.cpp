// The vCard parser on any bytes (nothing it returns holds a carriage return,
// which ends a line), and a round trip: contacts taken from the input, written
// as vCard 3.0 with every special character escaped, parse back to the same
// contacts.
#include "FuzzCheck.h"
#include "data/VCardParser.h"

using namespace murmela;

namespace {

QString escaped(QString value) {
  value.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
  value.replace(QLatin1Char(','), QLatin1String("\\,"));
  value.replace(QLatin1Char(';'), QLatin1String("\\;"));
  value.replace(QLatin1Char('\n'), QLatin1String("\\n"));
  return value;
}

bool holdsCarriageReturn(const StoreContact& contact) {
  const QStringList values = QStringList{contact.givenName, contact.familyName, contact.nickname} +
                             contact.phoneNumbers + contact.emailAddresses;
  return std::any_of(values.begin(), values.end(),
                     [](const QString& value) { return value.contains(QLatin1Char('\r')); });
}

// Cards are separated by U+0001 in the input, fields by U+0002: given name,
// family name, nickname, then numbers, and addresses (those with an "@").
QList<StoreContact> contactsFrom(const QString& text) {
  QList<StoreContact> contacts;
  for (const QString& card : text.split(QChar(1), Qt::SkipEmptyParts)) {
    QStringList fields = card.split(QChar(2));
    for (QString& field : fields) field.remove(QLatin1Char('\r'));
    StoreContact contact{fields.value(0), fields.value(1), fields.value(2), {}, {}};
    for (qsizetype i = 3; i < fields.size(); ++i) {
      if (fields[i].contains(QLatin1Char('@'))) {
        contact.emailAddresses.append(fields[i]);
      } else if (!fields[i].startsWith(QLatin1String("tel:"), Qt::CaseInsensitive)) {
        contact.phoneNumbers.append(fields[i]);
      }
    }
    // A card whose N names nobody is named by its FN; none is written here.
    contacts.append(contact);
  }
  return contacts;
}

QByteArray written(const QList<StoreContact>& contacts) {
  QString out;
  for (const StoreContact& contact : contacts) {
    out += QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\n");
    out += QStringLiteral("N:") + escaped(contact.familyName) + QLatin1Char(';') + escaped(contact.givenName) +
           QStringLiteral(";;;\r\n");
    out += QStringLiteral("NICKNAME:") + escaped(contact.nickname) + QStringLiteral("\r\n");
    for (const QString& phone : contact.phoneNumbers) out += QStringLiteral("TEL;TYPE=CELL:") + escaped(phone) + "\r\n";
    for (const QString& email : contact.emailAddresses) out += QStringLiteral("item1.EMAIL:") + escaped(email) + "\r\n";
    out += QStringLiteral("END:VCARD\r\n");
  }
  return out.toUtf8();
}

// The N components are joined by blanks after empty values are dropped, so a
// name is compared as it reads.
bool sameContacts(const QList<StoreContact>& a, const QList<StoreContact>& b) {
  if (a.size() != b.size()) return false;
  for (qsizetype i = 0; i < a.size(); ++i)
    if (a[i] != b[i]) return false;
  return true;
}

}  // namespace

MURMELA_FUZZ_ENVIRONMENT("America/New_York")

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArray bytes = fuzz::bytesOf(data, size);
  for (const StoreContact& contact : VCardParser::parse(bytes)) FUZZ_CHECK(!holdsCarriageReturn(contact));

  const QList<StoreContact> contacts = contactsFrom(QString::fromUtf8(bytes));
  FUZZ_CHECK(sameContacts(VCardParser::parse(written(contacts)), contacts));
  return 0;
}
