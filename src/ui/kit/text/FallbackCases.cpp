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
// What is known of a UTF-16 unit.
constexpr quint8 kLookedUp = 1;
constexpr quint8 kInFont = 2;
constexpr quint8 kMayMakeEmoji = 4;  // may begin or make an emoji cluster

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

quint8 FallbackCases::unitInfo(char16_t unit) {
  if (unitInfo_.empty()) unitInfo_.assign(0x10000, 0);
  quint8& info = unitInfo_[unit];
  if (info == 0) {
    info = kLookedUp;
    if (QChar::isSurrogate(unit)) {
      info |= kMayMakeEmoji;  // a character beyond the first plane: looked up whole
    } else {
      if (font_.supportsCharacter(unit)) info |= kInFont;
      if (unit == kEmojiPresentationSelector || unit == kCombiningKeycap ||
          (unit >= 0x2000 && UnicodeText::isEmoji(unit)))
        info |= kMayMakeEmoji;
    }
  }
  return info;
}

bool FallbackCases::inStyleFont(char32_t codePoint) {
  if (codePoint < 0x10000) return unitInfo(static_cast<char16_t>(codePoint)) & kInFont;
  auto found = covered_.constFind(codePoint);
  if (found == covered_.cend()) found = covered_.insert(codePoint, font_.supportsCharacter(codePoint));
  return *found;
}

bool FallbackCases::plainAtAGlance(QStringView text) const {
  return std::all_of(text.cbegin(), text.cend(), [this](QChar c) {
    if (c.unicode() >= 0x80) return false;
    const char16_t shown = style_.upperCase && c.isLower() ? c.toUpper().unicode() : c.unicode();
    return asciiCovered_[shown];
  });
}

int FallbackCases::caseOf(const QString& text) {
  if (plainAtAGlance(text)) return 0;
  const QString shown = style_.displayText(text);

  // The emoji are set in the emoji font, the rest in the style's font or
  // whatever it falls back to. Finding emoji takes the text's clusters:
  // only for a text with a character that may begin or make one.
  const bool mayHoldEmoji =
      std::any_of(shown.cbegin(), shown.cend(), [this](QChar c) { return unitInfo(c.unicode()) & kMayMakeEmoji; });
  const QList<TextRange> emoji = mayHoldEmoji ? emojiRuns(shown) : QList<TextRange>{};
  QList<quint32>& key = key_;  // kept from text to text: no allocation per text
  key.clear();
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
