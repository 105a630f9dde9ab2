#include "kit/text/FallbackCases.h"

#include "common/UnicodeText.h"
#include "kit/text/EmojiRuns.h"

#include <QChar>

#include <unicode/uchar.h>

#include <algorithm>

namespace murmela {
namespace {

constexpr char16_t kEmojiPresentationSelector = 0xFE0F;
constexpr char16_t kCombiningKeycap = 0x20E3;
constexpr quint32 kEmojiClass = 0xFFFF'FFFFu;

// A character that falls back is sorted by its script: the letters of one
// script fall back to one font. Symbols, marks and signs outside any script
// come from whichever font holds their block (arrows, mathematical letters,
// dingbats), so they are sorted by block.
quint32 fallbackClass(char32_t codePoint) {
  constexpr quint32 kBlockClass = 0x8000'0000u;
  const QChar::Script script = QChar::script(codePoint);
  if (script == QChar::Script_Common || script == QChar::Script_Inherited || script == QChar::Script_Unknown)
    return kBlockClass | static_cast<quint32>(ublock_getCode(static_cast<UChar32>(codePoint)));
  return static_cast<quint32>(script);
}

}  // namespace

// QFontMetricsF::inFontUcs4() answers for the fallback fonts too: the raw
// font is the style's own file alone.
FallbackCases::FallbackCases(const TextStyle& style) : style_(style), font_(QRawFont::fromFont(style.font())) {
  for (char32_t c = 0x20; c < 0x7F; ++c) asciiCovered_[c] = font_.supportsCharacter(c);
  // Case 0: wholly in the style's own font, whatever the characters.
  caseOfKey_.insert({}, 0);
  boxes_.append(LineBox::of(layoutText(QStringLiteral("0"), style_)));
}

bool FallbackCases::inStyleFont(char32_t codePoint) {
  if (codePoint < 0x80) return asciiCovered_[codePoint];
  auto found = covered_.constFind(codePoint);
  if (found == covered_.cend()) found = covered_.insert(codePoint, font_.supportsCharacter(codePoint));
  return *found;
}

int FallbackCases::caseOf(const QString& text) {
  const QString shown = style_.displayText(text);
  const bool plain = std::all_of(shown.cbegin(), shown.cend(),
                                 [this](QChar c) { return c.unicode() < 0x80 && asciiCovered_[c.unicode()]; });
  if (plain) return 0;

  // The emoji are set in the emoji font, the rest in the style's font or
  // whatever it falls back to. Finding emoji takes the text's clusters:
  // only for a text with a character that may begin or make one.
  const bool mayHoldEmoji = std::any_of(shown.cbegin(), shown.cend(), [](QChar c) {
    return c.isSurrogate() || c.unicode() == kEmojiPresentationSelector || c.unicode() == kCombiningKeycap ||
           (c.unicode() >= 0x2000 && UnicodeText::isEmoji(c.unicode()));
  });
  const QList<TextRange> emoji = mayHoldEmoji ? emojiRuns(shown) : QList<TextRange>{};
  QList<quint32> key;
  if (!emoji.isEmpty()) key.append(kEmojiClass);
  qsizetype nextRun = 0;
  for (qsizetype i = 0; i < shown.size();) {
    if (nextRun < emoji.size() && i >= emoji[nextRun].start) {
      i = emoji[nextRun].start + emoji[nextRun].length;
      ++nextRun;
      continue;
    }
    char32_t codePoint = shown[i].unicode();
    qsizetype width = 1;
    if (shown[i].isHighSurrogate() && i + 1 < shown.size() && shown[i + 1].isLowSurrogate()) {
      codePoint = QChar::surrogateToUcs4(shown[i], shown[i + 1]);
      width = 2;
    }
    if (!inStyleFont(codePoint)) {
      const quint32 fallback = fallbackClass(codePoint);
      if (!key.contains(fallback)) key.append(fallback);
    }
    i += width;
  }
  if (key.isEmpty()) return 0;

  std::sort(key.begin(), key.end());
  if (const auto found = caseOfKey_.constFind(key); found != caseOfKey_.cend()) return *found;
  const int fallbackCase = static_cast<int>(boxes_.size());
  caseOfKey_.insert(key, fallbackCase);
  boxes_.append(LineBox::of(layoutText(text, style_, kUnlimitedWidth, 1)));
  return fallbackCase;
}

}  // namespace murmela
