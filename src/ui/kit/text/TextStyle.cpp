#include "kit/text/TextStyle.h"

#include "theme/FontFactory.h"

#include <algorithm>

namespace murmela {

QFont TextStyle::font(qreal scale) const {
  QFont result = FontFactory::font(typeface, size * scale, weight, italic);
  if (tracking != 0.0) result.setLetterSpacing(QFont::AbsoluteSpacing, tracking * scale);
  return result;
}

bool hasRightToLeftLetters(QStringView text) {
  return std::any_of(text.cbegin(), text.cend(), [](QChar c) {
    const QChar::Direction direction = c.direction();
    return direction == QChar::DirR || direction == QChar::DirAL;
  });
}

QString TextStyle::displayText(const QString& text) const { return upperCase ? text.toUpper() : text; }

QString StyledText::displayText() const {
  QString result;
  for (const TextRun& run : runs) result += run.style.displayText(run.text);
  return result;
}

bool StyledText::isEmpty() const {
  for (const TextRun& run : runs)
    if (!run.text.isEmpty()) return false;
  return true;
}

}  // namespace murmela
