#include "privacy/anonymization/NameRehydration.h"

#include "common/UnicodeText.h"

#include <QList>
#include <QPair>

#include <algorithm>

namespace murmela {
namespace {

using Entry = QPair<QString, QString>;  // placeholder, name

// Longest placeholder first; equal lengths in a fixed (code-point) order.
QList<Entry> orderedEntries(const QMap<QString, QString>& reverseNameMap) {
  QList<QPair<qsizetype, Entry>> sized;
  sized.reserve(reverseNameMap.size());
  for (auto it = reverseNameMap.begin(); it != reverseNameMap.end(); ++it)
    sized.append({UnicodeText::graphemeCount(it.key()), {it.key(), it.value()}});
  std::stable_sort(sized.begin(), sized.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
  QList<Entry> entries;
  entries.reserve(sized.size());
  for (const auto& item : sized) entries.append(item.second);
  return entries;
}

bool standsForTheUser(const QString& name) {
  const QString lowered = name.trimmed().toLower();
  return lowered == QLatin1String("you") || lowered == QLatin1String("me");
}

QString rehydrateWith(QString text, const QList<Entry>& entries) {
  const QString your = QStringLiteral("your");
  for (const auto& [placeholder, name] : entries) {
    if (name.isEmpty() || placeholder.isEmpty()) continue;
    if (standsForTheUser(name)) {
      text.replace(placeholder + QStringLiteral("'s"), your, Qt::CaseInsensitive);
      text.replace(placeholder + QStringLiteral("\u2019s"), your, Qt::CaseInsensitive);
      text.replace(placeholder, QStringLiteral("you"), Qt::CaseInsensitive);
    } else {
      text.replace(placeholder, name, Qt::CaseInsensitive);
    }
  }
  text.replace(QStringLiteral("you's"), your, Qt::CaseInsensitive);
  return text;
}

JSONValue rehydrateValue(const JSONValue& value, const QList<Entry>& entries);

JSONValue::Object rehydrateObject(const JSONValue::Object& object, const QList<Entry>& entries) {
  JSONValue::Object out;
  for (auto it = object.begin(); it != object.end(); ++it) out.insert(it.key(), rehydrateValue(it.value(), entries));
  return out;
}

JSONValue rehydrateValue(const JSONValue& value, const QList<Entry>& entries) {
  switch (value.kind()) {
    case JSONValue::Kind::string:
      return JSONValue::string(rehydrateWith(*value.stringValue(), entries));
    case JSONValue::Kind::array: {
      JSONValue::Array out;
      out.reserve(value.arrayValue()->size());
      for (const JSONValue& element : *value.arrayValue()) out.append(rehydrateValue(element, entries));
      return JSONValue::array(std::move(out));
    }
    case JSONValue::Kind::object:
      return JSONValue::object(rehydrateObject(*value.objectValue(), entries));
    case JSONValue::Kind::number:
    case JSONValue::Kind::boolean:
    case JSONValue::Kind::null:
      break;
  }
  return value;
}

}  // namespace

QString rehydrate(const QString& text, const QMap<QString, QString>& reverseNameMap) {
  return rehydrateWith(text, orderedEntries(reverseNameMap));
}

JSONValue rehydrate(const JSONValue& value, const QMap<QString, QString>& reverseNameMap) {
  return rehydrateValue(value, orderedEntries(reverseNameMap));
}

JSONValue::Object rehydrate(const JSONValue::Object& object, const QMap<QString, QString>& reverseNameMap) {
  return rehydrateObject(object, orderedEntries(reverseNameMap));
}

}  // namespace murmela
