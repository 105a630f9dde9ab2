#include "deck/cards/PhraseHyphenation.h"

#include "common/UnicodeText.h"

#include <QList>

#include <unicode/uchar.h>

#include <algorithm>

namespace murmela {
namespace {

constexpr qsizetype kShortestHyphenatedWord = 8;
constexpr qsizetype kChunk = 4;
constexpr QChar kSoftHyphen(0x00AD);

bool isLetterCluster(QStringView cluster) {
  return !cluster.isEmpty() && u_hasBinaryProperty(UnicodeText::codePointAt(cluster, 0), UCHAR_ALPHABETIC);
}

void flushWord(QList<QStringView>& word, QString& out) {
  const bool hyphenate = word.size() >= kShortestHyphenatedWord;
  for (qsizetype i = 0; i < word.size(); ++i) {
    if (hyphenate && i > 0 && i % kChunk == 0) out.append(kSoftHyphen);
    out.append(word[i]);
  }
  word.clear();
}

}  // namespace

QString hyphenatedPhrase(const QString& phrase) {
  const QString lower = phrase.toLower();
  QString out;
  out.reserve(lower.size() + lower.size() / kChunk);
  QList<QStringView> word;
  UnicodeText::forEachGrapheme(lower, [&](QStringView cluster) {
    if (isLetterCluster(cluster)) {
      word.append(cluster);
      return;
    }
    flushWord(word, out);
    out.append(cluster);
  });
  flushWord(word, out);
  return out;
}

double signaturePhrasePointSize(const QString& phrase) {
  const auto n = static_cast<double>(UnicodeText::graphemeCount(phrase));
  return std::min(24.0, std::max(17.0, 24.0 - 7.0 * n / 36.0));
}

}  // namespace murmela
