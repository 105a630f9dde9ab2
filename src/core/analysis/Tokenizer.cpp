#include "analysis/Tokenizer.h"

#include "common/WholeWordMatcher.h"

namespace murmela {

QStringList tokenize(const QString& text) {
  const QString lowered = WholeWordMatcher::lowered(text);
  QStringList tokens;
  forEachToken(lowered, [&tokens](const TokenView& token) { tokens.append(token.text.toString()); });
  return tokens;
}

}  // namespace murmela
