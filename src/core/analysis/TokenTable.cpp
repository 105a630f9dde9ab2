#include "analysis/TokenTable.h"

#include "common/UnicodeText.h"

#include <algorithm>

namespace murmela {
namespace {

bool allBelowCombining(QStringView text) {
  return std::all_of(text.begin(), text.end(), [](QChar unit) { return unit.unicode() < 0x300; });
}

}  // namespace

int TokenTable::intern(const TokenView& token) {
  const auto seen = spellings_.find(token.text);
  if (seen != spellings_.end()) return seen->second;
  const QString spelling = token.text.toString();
  const QString text = token.simple ? spelling : UnicodeText::nfc(spelling);
  int id;
  const auto known = byText_.find(text);
  if (known != byText_.end()) {
    id = known->second;
  } else {
    id = static_cast<int>(tokens_.size());
    tokens_.push_back({text, allBelowCombining(text)});
    byText_.emplace(text, id);
  }
  spellings_.emplace(spelling, id);
  return id;
}

}  // namespace murmela
