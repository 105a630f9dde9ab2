#pragma once

#include "common/Date.h"
#include "data/ImportedChat.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace murmela {

// Turns a comma-separated export of one two-person chat into an ImportedChat.
//
// The file needs a header row with the columns "name", "timestamp" and
// "message" (any order, any letter case, quotes and a byte-order mark allowed)
// within its first ten non-blank rows; an optional "photo" / "photos" /
// "hasphoto" / "has_photo" column flags photos. Rows before the header are
// ignored; data rows are numbered from the header on ("Row 2" is the first
// one, and becomes the message with id 1). Exactly one sender besides the user
// is allowed. Failures are WrappedDataError::csvImportFailed; a file that
// cannot be read or is not UTF-8 raises FileError unchanged.
class CSVChatImporter {
 public:
  // The whole import, synchronous. `myName` is the user's name as written in the
  // sender column (trimmed; "You" when blank); matching ignores case and accents.
  ImportedChat importChat(const QString& path, const QString& myName) const;
  // The same on text already in memory.
  ImportedChat importChatFromText(const QString& text, const QString& myName) const;

  // Rows of the text: split at every line break (LF, CR, CRLF, VT, FF, NEL,
  // LS, PS), empty lines dropped. A quoted field cannot span lines.
  static QList<QStringList> parseCSV(const QString& text);
  // Fields of one line: doubled quotes inside quotes give one quote, any other
  // quote toggles quoting, commas outside quotes separate fields.
  static QStringList parseCSVLine(QStringView line);
  // "1", "true", "yes", "y", "photo", "image" (any case, trimmed) are true.
  static bool parseBoolean(const QString& value);
  // First success of: ISO-8601 with or without fractional seconds (zone
  // required); a finite number as Unix seconds, or milliseconds above 1e10,
  // within the years 1 to 9999; then, in the local time zone,
  // "yyyy-MM-dd HH:mm:ss", "yyyy-MM-dd HH:mm", "MM/dd/yyyy HH:mm:ss",
  // "MM/dd/yyyy HH:mm", "M/d/yy, h:mm a", "M/d/yyyy, h:mm a".
  static std::optional<Date> parseDate(const QString& text);

  // The user's name as compared with the sender column: trimmed, case and
  // diacritics folded, lower-cased.
  static QString foldedName(const QString& name);
};

}  // namespace murmela
