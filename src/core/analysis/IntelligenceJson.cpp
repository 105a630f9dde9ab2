#include "analysis/IntelligenceJson.h"

#include "common/UnicodeText.h"

namespace murmela::IntelligenceJson {

std::optional<QByteArray> extractFirstObject(const QString& text) {
  // The walk is over characters (grapheme clusters): a brace or quote that
  // carries a combining mark is some other character.
  const QList<qsizetype> bounds = UnicodeText::graphemeBoundaries(text);
  const auto character = [&](qsizetype index) {
    return QStringView(text).mid(bounds[index], bounds[index + 1] - bounds[index]);
  };
  const qsizetype count = bounds.size() - 1;

  qsizetype first = 0;
  while (first < count && character(first) != u"{") ++first;
  if (first == count) return std::nullopt;

  int depth = 0;
  bool inString = false;
  bool escaped = false;
  for (qsizetype index = first; index < count; ++index) {
    const QStringView c = character(index);
    if (escaped) {
      escaped = false;
    } else if (c == u"\\") {
      escaped = true;
    } else if (c == u"\"") {
      inString = !inString;
    } else if (inString) {
      continue;
    } else if (c == u"{") {
      ++depth;
    } else if (c == u"}") {
      if (depth == 1) return QStringView(text).mid(bounds[first], bounds[index + 1] - bounds[first]).toUtf8();
      --depth;
    }
  }
  return std::nullopt;
}

}  // namespace murmela::IntelligenceJson
