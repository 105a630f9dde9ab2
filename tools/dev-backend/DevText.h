#pragma once

#include "common/Date.h"

#include <QSet>
#include <QString>
#include <QStringList>

namespace murmela::devbackend::DevText {

// The lower-cased words of a text (letters, marks and digits, with
// apostrophes inside a word kept, "don't"; the curly apostrophe counts as
// "'"), joined by single spaces and padded with one space on each side ("  "
// when there is none), so that " " + term + " " finds a whole-word term of one
// or more words.
QString paddedText(const QString& text);
bool containsTerm(const QString& padded, const QString& term);

// Common English words that make no phrase on their own.
const QSet<QString>& stopwords();

// "42 seconds", "5 minutes", "3 hours", "2 days" (rounded, singular for 1).
QString duration(double seconds);
// "March 5, 2024" and "March 2024", in UTC with English month names.
QString dayText(Date date);
QString monthText(Date date);
// The text with & < > " ' written as character references, for HTML.
QString htmlEscaped(const QString& text);
// The first `count` characters of the text, with "…" when it was longer.
QString excerpt(const QString& text, qsizetype count);

}  // namespace murmela::devbackend::DevText
