#pragma once

#include "kit/text/TextLayout.h"
#include "kit/text/TextStyle.h"

#include <QHash>
#include <QList>
#include <QRawFont>
#include <QString>
#include <QStringView>

#include <vector>

namespace murmela {

// The height of one line of text and its baseline from the line's top.
struct LineBox {
  qreal height = 0.0;
  qreal baseline = 0.0;

  static LineBox of(const TextLayout& text) { return {text.height(), text.firstBaseline()}; }
  friend bool operator==(const LineBox&, const LineBox&) = default;
};

// The line boxes of one-line texts in a style, known without shaping each
// text. A line is as tall as the tallest of the fonts it is set in, and a
// text is set in its style's font, the colour emoji font for its emoji and
// whatever fonts its other characters fall back to. Texts are sorted into
// fallback cases by those characters: wholly in the style's font (case 0),
// or which emoji, scripts and (for symbols outside any script) Unicode
// blocks they hold beyond it. The first text of a case is shaped (on one
// line) to measure the case's box; every later one only has its characters
// looked up. Cases and look-ups are kept for the life of the object: they
// grow with the scripts and characters met, never with the texts.
class FallbackCases {
 public:
  explicit FallbackCases(const TextStyle& style);

  // The case a text falls in (measuring it when it is the first of its case).
  int caseOf(const QString& text);
  // Whether a text is in case 0 at a glance: printable ASCII, all of it in
  // the style's font (a look no dearer than reading the text).
  bool plainAtAGlance(QStringView text) const;
  // The box of a case returned by caseOf().
  LineBox box(int fallbackCase) const { return boxes_.value(fallbackCase); }
  LineBox boxOf(const QString& text) { return box(caseOf(text)); }

 private:
  bool inStyleFont(char32_t codePoint);
  // Whether a unit of the first plane is in the font and may make an emoji.
  quint8 unitInfo(char16_t unit);

  TextStyle style_;
  QRawFont font_;  // the style's own font file, without what it falls back to
  bool asciiCovered_[128] = {};
  std::vector<quint8> unitInfo_;          // by UTF-16 unit, filled as they are met
  QHash<char32_t, bool> covered_;         // characters beyond the first plane
  QList<quint32> key_;                    // the last text's classes (kept for its capacity)
  QHash<QList<quint32>, int> caseOfKey_;  // the sorted classes of what falls back
  QList<LineBox> boxes_;
};

}  // namespace murmela
