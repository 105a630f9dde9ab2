#include "DevText.h"

#include "common/UnicodeText.h"

#include <QLocale>

#include <cmath>

namespace murmela::devbackend::DevText {

QString paddedText(const QString& text) {
  const QString lower = text.toLower();
  QString padded;
  padded.reserve(lower.size() + 2);
  padded.append(QLatin1Char(' '));
  qsizetype wordStart = padded.size();  // where the word being read began
  const auto endWord = [&] {
    while (padded.size() > wordStart && padded.endsWith(QLatin1Char('\''))) padded.chop(1);
    if (padded.size() > wordStart) {
      padded.append(QLatin1Char(' '));
      wordStart = padded.size();
    }
  };
  for (qsizetype i = 0; i < lower.size(); ++i) {
    char32_t codePoint = lower[i].unicode();
    if (lower[i].isHighSurrogate() && i + 1 < lower.size() && lower[i + 1].isLowSurrogate()) {
      codePoint = QChar::surrogateToUcs4(lower[i], lower[i + 1]);
      ++i;
    }
    if (codePoint == U'\u2019') codePoint = U'\'';
    if (UnicodeText::isAlphanumeric(codePoint) || (codePoint == U'\'' && padded.size() > wordStart)) {
      if (QChar::requiresSurrogates(codePoint)) {
        padded.append(QChar(QChar::highSurrogate(codePoint)));
        padded.append(QChar(QChar::lowSurrogate(codePoint)));
      } else {
        padded.append(QChar(static_cast<char16_t>(codePoint)));
      }
    } else {
      endWord();
    }
  }
  endWord();
  if (padded.size() == 1) padded.append(QLatin1Char(' '));  // no words: "  ", as paddedWords gives
  return padded;
}

bool containsTerm(const QString& padded, const QString& term) {
  // " " + term + " " inside padded, found without building it.
  if (term.isEmpty()) return padded.contains(QLatin1String("  "));
  for (qsizetype at = padded.indexOf(term, 1); at > 0; at = padded.indexOf(term, at + 1)) {
    const qsizetype after = at + term.size();
    if (padded[at - 1] == QLatin1Char(' ') && after < padded.size() && padded[after] == QLatin1Char(' ')) return true;
  }
  return false;
}

const QSet<QString>& stopwords() {
  static const QSet<QString> words = [] {
    QSet<QString> set;
    for (const char* word :
         {"a",     "about", "after", "again", "all",  "also",  "am",   "an",     "and",   "any",  "are",
          "as",    "at",    "be",    "been",  "but",  "by",    "can",  "could",  "did",   "do",   "does",
          "don't", "for",   "from",  "get",   "got",  "had",   "has",  "have",   "he",    "her",  "him",
          "his",   "how",   "i",     "i'm",   "if",   "in",    "is",   "it",     "it's",  "its",  "just",
          "me",    "my",    "no",    "not",   "of",   "oh",    "ok",   "okay",   "on",    "or",   "our",
          "out",   "she",   "so",    "that",  "the",  "their", "them", "then",   "there", "they", "this",
          "to",    "too",   "u",     "up",    "us",   "was",   "we",   "were",   "what",  "when", "which",
          "who",   "will",  "with",  "would", "yeah", "yes",   "you",  "you're", "your"})
      set.insert(QString::fromLatin1(word));
    return set;
  }();
  return words;
}

QString duration(double seconds) {
  const auto unit = [](double value, const char* singular, const char* plural) {
    const qint64 whole = std::max<qint64>(1, std::llround(value));
    return QString::number(whole) + QLatin1Char(' ') + QLatin1String(whole == 1 ? singular : plural);
  };
  if (!std::isfinite(seconds) || seconds < 0) seconds = 0;
  if (seconds < 90) return unit(seconds, "second", "seconds");
  if (seconds < 3570) return unit(seconds / 60, "minute", "minutes");
  if (seconds < 36 * 3600) return unit(seconds / 3600, "hour", "hours");
  return unit(seconds / 86400, "day", "days");
}

QString dayText(Date date) {
  return QLocale(QLocale::English, QLocale::UnitedStates).toString(date.toQDateTime(), QStringLiteral("MMMM d, yyyy"));
}

QString monthText(Date date) {
  return QLocale(QLocale::English, QLocale::UnitedStates).toString(date.toQDateTime(), QStringLiteral("MMMM yyyy"));
}

QString htmlEscaped(const QString& text) {
  QString escaped = text.toHtmlEscaped();  // & < > "
  return escaped.replace(QLatin1Char('\''), QLatin1String("&#39;"));
}

QString excerpt(const QString& text, qsizetype count) {
  const QString simplified = text.simplified();
  if (UnicodeText::graphemeCount(simplified) <= count) return simplified;
  return UnicodeText::graphemePrefix(simplified, count).trimmed() + QStringLiteral("\u2026");
}

}  // namespace murmela::devbackend::DevText
