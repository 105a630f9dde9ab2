#include "analysis/ApologyAnalyzer.h"

#include "analysis/PreparedText.h"

#include <array>

namespace murmela {
namespace {

struct ApologyTerms {
  TermMatcher sorry{QStringLiteral("sorry")};
  std::array<QString, 4> phrases{QStringLiteral("my bad"), QStringLiteral("i was wrong"), QStringLiteral("my fault"),
                                 QStringLiteral("i apologize")};
  std::array<PairSignature, 4> signatures{PairSignature(phrases[0]), PairSignature(phrases[1]),
                                          PairSignature(phrases[2]), PairSignature(phrases[3])};
};

const ApologyTerms& apologyTerms() {
  static const ApologyTerms terms;
  return terms;
}

}  // namespace

bool containsApology(const PreparedText& text) {
  const ApologyTerms& terms = apologyTerms();
  if (terms.sorry.containedIn(text)) return true;
  for (size_t i = 0; i < terms.phrases.size(); ++i)
    if (text.containsLiteral(terms.phrases[i], terms.signatures[i])) return true;
  return false;
}

bool containsApology(const QString& text) { return containsApology(PreparedText(text)); }

PersonIntBreakdown ApologyAnalyzer::analyze(const MessageList& messages) const {
  return analyze(PreparedConversation(messages));
}

PersonIntBreakdown ApologyAnalyzer::analyze(const PreparedConversation& conversation) const {
  PersonIntBreakdown counts;
  for (qsizetype at = 0; at < conversation.size(); ++at) {
    if (!containsApology(conversation.text(at))) continue;
    if (conversation.message(at).isFromMe)
      ++counts.me;
    else
      ++counts.them;
  }
  return counts;
}

}  // namespace murmela
