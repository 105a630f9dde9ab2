#include "analysis/TokenTable.h"

#include "common/UnicodeText.h"

#include <algorithm>

namespace murmela {
namespace {

bool allBelowCombining(QStringView text) {
  return std::all_of(text.begin(), text.end(), [](QChar unit) { return unit.unicode() < 0x300; });
}

// FNV-1a over the UTF-16 units, finished with a multiply: tokens are short.
std::uint32_t hashOf(QStringView text) {
  std::uint32_t hash = 2166136261u;
  for (const QChar unit : text) hash = (hash ^ unit.unicode()) * 16777619u;
  return hash ^ (hash >> 15);
}

}  // namespace

int TokenTable::Index::find(QStringView text, std::uint32_t hash) const {
  if (cells.empty()) return -1;
  const size_t mask = cells.size() - 1;
  for (size_t at = hash & mask;; at = (at + 1) & mask) {
    const Slot& slot = cells[at];
    if (slot.entry < 0) return -1;
    if (slot.hash == hash && keys[static_cast<size_t>(slot.entry)] == text) return ids[static_cast<size_t>(slot.entry)];
  }
}

void TokenTable::Index::insert(const QString& text, std::uint32_t hash, int id) {
  if ((keys.size() + 1) * 2 > cells.size()) {
    const size_t capacity = cells.empty() ? 256 : cells.size() * 2;
    cells.assign(capacity, Slot{});
    for (size_t entry = 0; entry < keys.size(); ++entry) {
      const std::uint32_t known = hashOf(keys[entry]);
      size_t at = known & (capacity - 1);
      while (cells[at].entry >= 0) at = (at + 1) & (capacity - 1);
      cells[at] = {known, static_cast<std::int32_t>(entry)};
    }
  }
  const size_t mask = cells.size() - 1;
  size_t at = hash & mask;
  while (cells[at].entry >= 0) at = (at + 1) & mask;
  cells[at] = {hash, static_cast<std::int32_t>(keys.size())};
  keys.push_back(text);
  ids.push_back(id);
}

int TokenTable::intern(const TokenView& token) {
  const std::uint32_t spellingHash = hashOf(token.text);
  const int seen = spellings_.find(token.text, spellingHash);
  if (seen >= 0) return seen;
  const QString spelling = token.text.toString();
  const QString text = token.simple ? spelling : UnicodeText::nfc(spelling);
  const std::uint32_t textHash = token.simple ? spellingHash : hashOf(text);
  int id = byText_.find(text, textHash);
  if (id < 0) {
    id = static_cast<int>(tokens_.size());
    tokens_.push_back({text, allBelowCombining(text)});
    byText_.insert(text, textHash, id);
  }
  spellings_.insert(spelling, spellingHash, id);
  return id;
}

}  // namespace murmela
