#include "deck/cards/TailFit.h"

#include "common/UnicodeText.h"

namespace murmela {

TextLayout fitTextKeepingTail(const QString& head, const QString& tail, const TextStyle& style, const QSizeF& box,
                              qreal minScale) {
  TextLayout whole = fitText(head + tail, style, box, minScale);
  if (!whole.elided || tail.isEmpty()) return whole;

  // The longest start of the head that, with an ellipsis and the tail, fits uncut.
  const auto shortened = [&](qsizetype clusters) {
    return fitText(UnicodeText::graphemePrefix(head, clusters).trimmed() + QChar(0x2026) + tail, style, box, minScale);
  };
  qsizetype low = 0;
  qsizetype high = UnicodeText::graphemeCount(head) - 1;
  std::optional<TextLayout> best;
  while (low <= high) {
    const qsizetype middle = (low + high) / 2;
    TextLayout candidate = shortened(middle);
    if (candidate.elided) {
      high = middle - 1;
    } else {
      best = std::move(candidate);
      low = middle + 1;
    }
  }
  if (!best) return fitText(tail.trimmed(), style, box, minScale);
  best->elided = true;
  return *best;
}

}  // namespace murmela
