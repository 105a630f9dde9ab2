#pragma once

#include "theme/FontRegistry.h"
#include "theme/MurmelaTheme.h"

#include <QColor>
#include <QFont>
#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

namespace murmela {

// How the lines of a paragraph sit against each other. The application lays
// out left to right, so leading is the left edge.
enum class TextAlign { leading, center, trailing };

// The direction a paragraph runs in, which orders its runs of different
// scripts: our sentences are English and run left to right, whatever script a
// name inside them is in (so "<name> misses you first, …" keeps its words in
// order and its full stop at the end); a name shown by itself may take the
// direction of its own first letter.
enum class TextDirection { leftToRight, rightToLeft, automatic };

// What a paragraph does as a whole: spacing and alignment of its lines, how
// many lines it may take (0: no limit), how far fitting may shrink it, and
// the direction it runs in.
struct ParagraphStyle {
  qreal lineSpacing = 0.0;  // points added between lines
  TextAlign alignment = TextAlign::leading;
  int lineLimit = 0;
  qreal minimumScale = 1.0;
  TextDirection direction = TextDirection::leftToRight;
};

// The look of a text: one of the bundled families at a size in points (one
// point is one logical pixel), its weight, italic, tracking (points added
// after every character), upper-casing (done on the string, never glyph by
// glyph), colour, and the paragraph fields for texts of a single style.
// An aggregate: write it with designated initialisers,
//   TextStyle{.typeface = Typeface::caveat, .size = 40, .color = MurmelaTheme::sageDeep}.
struct TextStyle {
  Typeface typeface = Typeface::inter;
  qreal size = 12.0;
  QFont::Weight weight = QFont::Normal;
  bool italic = false;
  qreal tracking = 0.0;
  bool upperCase = false;
  QColor color = MurmelaTheme::ink;  // ink: the default text colour of every slide
  qreal lineSpacing = 0.0;
  TextAlign alignment = TextAlign::leading;
  int lineLimit = 0;
  qreal minimumScale = 1.0;
  TextDirection direction = TextDirection::leftToRight;
  bool monospacedDigits = false;      // every digit takes a cell of the widest one, its glyph centred
  std::optional<QColor> underline{};  // underlined in this colour

  // The font at a scale of the size (tracking scales with it). Qt sets a
  // QFont at whole pixel sizes: measure and draw through layoutText(), which
  // keeps fractional sizes, rather than with this font directly.
  QFont font(qreal scale = 1.0) const;
  // The string as shown: upper-cased when the style asks for it.
  QString displayText(const QString& text) const;
  ParagraphStyle paragraph() const { return {lineSpacing, alignment, lineLimit, minimumScale, direction}; }
};

// Whether a text holds letters of a right-to-left script (Hebrew, Arabic...).
bool hasRightToLeftLetters(QStringView text);

// One stretch of a paragraph in one style. An isolated run is set apart from
// the runs around it in the ordering of scripts: a right-to-left name keeps
// its place before the number that follows it ("<name> 51%"), where it would
// otherwise take the number into its own right-to-left order. (A run without
// right-to-left letters needs no setting apart and is laid out as it is.)
struct TextRun {
  QString text;
  TextStyle style;
  bool isolated = false;
};

// A paragraph of mixed runs that flow as one text (a caption with a coloured
// name, a count and its unit). A single-style text converts implicitly.
struct StyledText {
  QList<TextRun> runs;
  ParagraphStyle paragraph;

  StyledText() = default;
  StyledText(const QString& text, const TextStyle& style) : runs{{text, style}}, paragraph(style.paragraph()) {}
  explicit StyledText(const ParagraphStyle& paragraphStyle) : paragraph(paragraphStyle) {}

  StyledText& append(const QString& text, const TextStyle& style, bool isolated = false) {
    runs.append({text, style, isolated});
    return *this;
  }
  // The whole text as shown (each run upper-cased where its style says so).
  QString displayText() const;
  bool isEmpty() const;
};

}  // namespace murmela
