#pragma once

#include "theme/FontRegistry.h"
#include "theme/MurmelaTheme.h"

#include <QColor>
#include <QFont>
#include <QList>
#include <QString>

#include <optional>

namespace murmela {

// How the lines of a paragraph sit against each other. The application lays
// out left to right, so leading is the left edge.
enum class TextAlign { leading, center, trailing };

// What a paragraph does as a whole: spacing and alignment of its lines, how
// many lines it may take (0: no limit) and how far fitting may shrink it.
struct ParagraphStyle {
  qreal lineSpacing = 0.0;  // points added between lines
  TextAlign alignment = TextAlign::leading;
  int lineLimit = 0;
  qreal minimumScale = 1.0;
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
  bool monospacedDigits = false;      // every digit takes a cell of the widest one, its glyph centred
  std::optional<QColor> underline{};  // underlined in this colour

  // The font at a scale of the size (tracking scales with it). Qt sets a
  // QFont at whole pixel sizes: measure and draw through layoutText(), which
  // keeps fractional sizes, rather than with this font directly.
  QFont font(qreal scale = 1.0) const;
  // The string as shown: upper-cased when the style asks for it.
  QString displayText(const QString& text) const;
  ParagraphStyle paragraph() const { return {lineSpacing, alignment, lineLimit, minimumScale}; }
};

// One stretch of a paragraph in one style.
struct TextRun {
  QString text;
  TextStyle style;
};

// A paragraph of mixed runs that flow as one text (a caption with a coloured
// name, a count and its unit). A single-style text converts implicitly.
struct StyledText {
  QList<TextRun> runs;
  ParagraphStyle paragraph;

  StyledText() = default;
  StyledText(const QString& text, const TextStyle& style) : runs{{text, style}}, paragraph(style.paragraph()) {}
  explicit StyledText(const ParagraphStyle& paragraphStyle) : paragraph(paragraphStyle) {}

  StyledText& append(const QString& text, const TextStyle& style) {
    runs.append({text, style});
    return *this;
  }
  // The whole text as shown (each run upper-cased where its style says so).
  QString displayText() const;
  bool isEmpty() const;
};

}  // namespace murmela
