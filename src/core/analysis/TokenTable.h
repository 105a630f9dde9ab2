#pragma once

#include "analysis/Tokenizer.h"

#include <QString>
#include <QStringView>

#include <unordered_map>
#include <vector>

namespace murmela {

namespace TokenTableDetail {
struct ViewHash {
  using is_transparent = void;
  size_t operator()(QStringView text) const { return qHash(text); }
};
struct ViewEqual {
  using is_transparent = void;
  bool operator()(QStringView a, QStringView b) const { return a == b; }
};
}  // namespace TokenTableDetail

// The distinct tokens of one run, numbered from 0 in order of first sight.
// Canonically equivalent spellings share one number: the text of a token is
// its NFC form. Counting by number keeps long conversations cheap.
class TokenTable {
 public:
  struct Token {
    QString text;  // NFC
    bool simple;   // every unit below U+0300: characters == units
  };

  int intern(const TokenView& token);

  const Token& operator[](int id) const { return tokens_[static_cast<size_t>(id)]; }
  size_t size() const { return tokens_.size(); }

 private:
  using Index = std::unordered_map<QString, int, TokenTableDetail::ViewHash, TokenTableDetail::ViewEqual>;
  Index spellings_;  // every spelling seen
  Index byText_;     // NFC forms
  std::vector<Token> tokens_;
};

}  // namespace murmela
