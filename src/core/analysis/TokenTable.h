#pragma once

#include "analysis/Tokenizer.h"

#include <QString>
#include <QStringView>

#include <cstdint>
#include <vector>

namespace murmela {

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
  // Open addressing over every spelling seen, and over the NFC forms.
  struct Slot {
    std::uint32_t hash = 0;
    std::int32_t entry = -1;  // index into the keys of the index; -1 when empty
  };
  struct Index {
    std::vector<Slot> cells;
    std::vector<QString> keys;
    std::vector<int> ids;
    // The token number of `text`, or -1.
    int find(QStringView text, std::uint32_t hash) const;
    void insert(const QString& text, std::uint32_t hash, int id);
  };

  Index spellings_;
  Index byText_;
  std::vector<Token> tokens_;
};

}  // namespace murmela
