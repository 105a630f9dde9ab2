#include "kit/text/EmojiRuns.h"

#include "common/UnicodeText.h"

namespace murmela {
namespace {

constexpr char16_t kEmojiPresentationSelector = 0xFE0F;
constexpr char16_t kCombiningKeycap = 0x20E3;

}  // namespace

bool isEmojiCluster(QStringView cluster) {
  if (cluster.isEmpty()) return false;
  if (UnicodeText::isLikelyEmoji(cluster)) return true;
  const char32_t first = UnicodeText::codePointAt(cluster, 0);
  if (!UnicodeText::isEmoji(first)) return false;
  return cluster.contains(QChar(kEmojiPresentationSelector)) || cluster.contains(QChar(kCombiningKeycap));
}

QList<TextRange> emojiRuns(QStringView text) {
  QList<TextRange> runs;
  const QList<qsizetype> bounds = UnicodeText::graphemeBoundaries(text);
  for (qsizetype i = 0; i + 1 < bounds.size(); ++i) {
    const qsizetype start = bounds[i];
    const qsizetype length = bounds[i + 1] - start;
    if (!isEmojiCluster(text.mid(start, length))) continue;
    if (!runs.isEmpty() && runs.last().start + runs.last().length == start) {
      runs.last().length += length;
    } else {
      runs.append({start, length});
    }
  }
  return runs;
}

}  // namespace murmela
