#pragma once

#include "json/JSONValue.h"

#include <QMap>
#include <QString>

namespace murmela {

// Puts the names back into what the backend wrote about an anonymized
// conversation. `reverseNameMap` maps each placeholder to the name it stands
// for.
//
// Placeholders are replaced longest first (so "P10" is never read as "P1"
// followed by "0"), ignoring case, each in the text as the earlier
// replacements left it. A placeholder whose name is "You" or "Me" (any case,
// trimmed) becomes "your" before "'s" or "’s" and "you" elsewhere; any other
// becomes its name as written; an empty name is skipped. Finally every "you's"
// (any case) becomes "your".
QString rehydrate(const QString& text, const QMap<QString, QString>& reverseNameMap);

// The same for every string inside a JSON value (array elements and object
// values included); keys, numbers, Booleans and null stay as they are.
JSONValue rehydrate(const JSONValue& value, const QMap<QString, QString>& reverseNameMap);
JSONValue::Object rehydrate(const JSONValue::Object& object, const QMap<QString, QString>& reverseNameMap);

}  // namespace murmela
