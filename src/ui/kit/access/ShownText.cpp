#include "kit/access/ShownText.h"

#include "kit/text/TextLayout.h"

#include <QStringList>

#include <algorithm>

namespace murmela {

ShownText shownText(const TextLayout& layout, const QRectF& rect, bool heading) {
  QStringList lines;
  for (const TextLine& line : layout.lines) lines.append(line.text.trimmed());
  lines.removeAll(QString());
  // A word hyphenated across two lines is read whole.
  QString text;
  for (const QString& line : lines) {
    if (!text.isEmpty() && !text.endsWith(QChar(0x00AD)) && !text.endsWith(QLatin1Char('-'))) text += QLatin1Char(' ');
    if (text.endsWith(QChar(0x00AD))) text.chop(1);
    text += line;
  }
  return {.text = text, .rect = rect, .heading = heading};
}

namespace {
// Longer than this, an announced message is said in short.
constexpr qsizetype kLongMessage = 160;
// How far in its first colon or sentence end may stand.
constexpr qsizetype kShortReach = 120;
}  // namespace

QString spokenMessage(const QString& text) {
  const QString whole = text.simplified();
  if (whole.size() <= kLongMessage) return whole;
  if (const qsizetype colon = whole.indexOf(QStringLiteral(": ")); colon > 0 && colon <= kShortReach)
    return whole.left(colon) + QLatin1Char('.');
  if (const qsizetype end = whole.indexOf(QStringLiteral(". ")); end > 0 && end < kShortReach) return whole.left(end + 1);
  const qsizetype space = whole.lastIndexOf(QLatin1Char(' '), kShortReach);
  return whole.left(space > 0 ? space : kShortReach) + QChar(0x2026);
}

QString spokenLabel(const QString& label) {
  QString spoken;
  for (const QChar character : label)
    if (character.unicode() < 0x2190 || character.unicode() > 0x21FF) spoken += character;  // the Arrows block
  return spoken.simplified();
}

bool readsBefore(const QRectF& a, const QRectF& b) {
  const qreal overlap = std::min(a.bottom(), b.bottom()) - std::max(a.top(), b.top());
  const qreal lower = std::min(a.height(), b.height());
  if (overlap > 0.0 && overlap >= lower / 2.0) return a.left() < b.left();
  return a.top() < b.top();
}

QList<ReadingEntry> interleaveReadingOrder(const QList<QList<ReadingEntry>>& lists) {
  QList<qsizetype> next(lists.size(), 0);
  QList<ReadingEntry> order;
  for (;;) {
    qsizetype best = -1;
    for (qsizetype list = 0; list < lists.size(); ++list) {
      if (next[list] >= lists[list].size()) continue;
      if (best < 0 || readsBefore(lists[list][next[list]].rect, lists[best][next[best]].rect)) best = list;
    }
    if (best < 0) return order;
    order.append(lists[best][next[best]++]);
  }
}

}  // namespace murmela
