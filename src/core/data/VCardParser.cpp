#include "data/VCardParser.h"

namespace murmela::VCardParser {

namespace {

// Physical lines joined: a line that begins with a space or a tab continues
// the line before it, without that first character.
QStringList unfoldedLines(const QString& text) {
  QStringList lines;
  qsizetype start = 0;
  const qsizetype size = text.size();
  auto addLine = [&](qsizetype end) {
    const QStringView line = QStringView(text).sliced(start, end - start);
    if (!line.isEmpty() && (line.front() == QLatin1Char(' ') || line.front() == QLatin1Char('\t')) && !lines.isEmpty())
      lines.last() += line.sliced(1);
    else
      lines.append(line.toString());
  };
  for (qsizetype i = 0; i < size; ++i) {
    const QChar c = text.at(i);
    if (c != QLatin1Char('\r') && c != QLatin1Char('\n')) continue;
    addLine(i);
    if (c == QLatin1Char('\r') && i + 1 < size && text.at(i + 1) == QLatin1Char('\n')) ++i;
    start = i + 1;
  }
  if (start < size) addLine(size);
  return lines;
}

// Splits at every `separator` that is not escaped by a backslash; the pieces
// keep their escapes.
QList<QStringView> splitUnescaped(QStringView value, QChar separator) {
  QList<QStringView> pieces;
  qsizetype start = 0;
  for (qsizetype i = 0; i < value.size(); ++i) {
    if (value[i] == QLatin1Char('\\')) {
      ++i;
    } else if (value[i] == separator) {
      pieces.append(value.sliced(start, i - start));
      start = i + 1;
    }
  }
  pieces.append(value.sliced(start));
  return pieces;
}

QString unescaped(QStringView value) {
  QString result;
  result.reserve(value.size());
  for (qsizetype i = 0; i < value.size(); ++i) {
    const QChar c = value[i];
    if (c != QLatin1Char('\\') || i + 1 == value.size()) {
      result += c;
      continue;
    }
    const QChar next = value[++i];
    if (next == QLatin1Char('n') || next == QLatin1Char('N')) {
      result += QLatin1Char('\n');
    } else if (next == QLatin1Char('\\') || next == QLatin1Char(',') || next == QLatin1Char(';')) {
      result += next;
    } else {
      result += c;
      result += next;
    }
  }
  return result;
}

// A list component ("a,b") as one text, its values joined by a space.
QString joinedValues(QStringView component) {
  QStringList values;
  for (QStringView value : splitUnescaped(component, QLatin1Char(','))) {
    QString text = unescaped(value);
    if (!text.isEmpty()) values.append(text);
  }
  return values.join(QLatin1Char(' '));
}

QString phoneValue(QStringView value) {
  if (value.startsWith(QLatin1String("tel:"), Qt::CaseInsensitive)) {
    QStringView number = value.sliced(4);
    const qsizetype parameters = number.indexOf(QLatin1Char(';'));
    if (parameters >= 0) number = number.first(parameters);
    return number.toString();
  }
  return unescaped(value);
}

struct Property {
  QString name;  // upper case, without its group
  QStringView value;
};

// "group.NAME;param=x;param="a:b":value" -> NAME and value.
std::optional<Property> property(const QString& line) {
  bool quoted = false;
  qsizetype colon = -1;
  for (qsizetype i = 0; i < line.size(); ++i) {
    const QChar c = line.at(i);
    if (c == QLatin1Char('"')) {
      quoted = !quoted;
    } else if (c == QLatin1Char(':') && !quoted) {
      colon = i;
      break;
    }
  }
  if (colon <= 0) return std::nullopt;
  QStringView head = QStringView(line).first(colon);
  const qsizetype semicolon = head.indexOf(QLatin1Char(';'));
  if (semicolon >= 0) head = head.first(semicolon);
  const qsizetype dot = head.lastIndexOf(QLatin1Char('.'));
  if (dot >= 0) head = head.sliced(dot + 1);
  return Property{head.trimmed().toString().toUpper(), QStringView(line).sliced(colon + 1)};
}

// One card as it is read: the contact, and the first FN (formatted name).
struct Card {
  StoreContact contact;
  bool hasName = false;
  bool hasNickname = false;
  QString formattedName;

  // vCard 4.0 makes N optional: a card whose N names nobody is named by its
  // FN, as a given name, so that the contact's name shows.
  StoreContact finished() && {
    if (contact.givenName.trimmed().isEmpty() && contact.familyName.trimmed().isEmpty() &&
        !formattedName.trimmed().isEmpty()) {
      contact.givenName = formattedName.trimmed();
      contact.familyName.clear();
    }
    return std::move(contact);
  }
};

}  // namespace

QList<StoreContact> parse(const QByteArray& data) {
  QString text = QString::fromUtf8(data);
  if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);

  QList<StoreContact> contacts;
  std::optional<Card> card;
  for (const QString& line : unfoldedLines(text)) {
    const std::optional<Property> entry = property(line);
    if (!entry) continue;
    const bool isCardValue = entry->value.trimmed().compare(QLatin1String("VCARD"), Qt::CaseInsensitive) == 0;
    if (entry->name == QLatin1String("BEGIN") && isCardValue) {
      if (card) contacts.append(std::move(*card).finished());
      card = Card{};
    } else if (!card) {
      continue;
    } else if (entry->name == QLatin1String("END") && isCardValue) {
      contacts.append(std::move(*card).finished());
      card.reset();
    } else if (entry->name == QLatin1String("N") && !card->hasName) {
      const QList<QStringView> components = splitUnescaped(entry->value, QLatin1Char(';'));
      card->contact.familyName = joinedValues(components.value(0));
      card->contact.givenName = joinedValues(components.value(1));
      card->hasName = true;
    } else if (entry->name == QLatin1String("FN") && card->formattedName.isEmpty()) {
      card->formattedName = unescaped(entry->value);
    } else if (entry->name == QLatin1String("NICKNAME") && !card->hasNickname) {
      card->contact.nickname = unescaped(splitUnescaped(entry->value, QLatin1Char(',')).value(0));
      card->hasNickname = true;
    } else if (entry->name == QLatin1String("TEL")) {
      card->contact.phoneNumbers.append(phoneValue(entry->value));
    } else if (entry->name == QLatin1String("EMAIL")) {
      card->contact.emailAddresses.append(unescaped(entry->value));
    }
  }
  if (card) contacts.append(std::move(*card).finished());
  return contacts;
}

}  // namespace murmela::VCardParser
