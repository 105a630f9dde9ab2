#include "deck/cards/SignaturePhraseCard.h"

#include "deck/cards/PhraseHyphenation.h"
#include "theme/MurmelaTheme.h"

namespace murmela {

QString signaturePhraseLine(const QString& phrase) {
  return QStringLiteral("\u201C ") + hyphenatedPhrase(phrase) + QStringLiteral("\u201D");
}

StatTileLayout layoutSignaturePhraseCard(const SignaturePhraseCard& card, const QRectF& rect) {
  const TextStyle phraseStyle{.typeface = Typeface::caveat,
                              .size = signaturePhrasePointSize(card.phrase),
                              .color = MurmelaTheme::rose,
                              .lineLimit = 3,
                              .minimumScale = 0.85};
  const TextStyle countStyle{.typeface = Typeface::dmSerifDisplay,
                             .size = 30,
                             .color = MurmelaTheme::rose,
                             .lineLimit = 1,
                             .minimumScale = 0.6};
  const QSizeF box(statTileContentWidth(rect.width()), kUnlimitedWidth);
  return layoutStatTile(
      {fitText(signaturePhraseLine(card.phrase), phraseStyle, box), fitText(card.count, countStyle, box)}, true, rect);
}

}  // namespace murmela
