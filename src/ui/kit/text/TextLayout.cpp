#include "kit/text/TextLayout.h"

#include "common/UnicodeText.h"
#include "kit/text/EmojiRuns.h"
#include "theme/FontFactory.h"

#include <QFontMetricsF>
#include <QHash>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace murmela {
namespace {

constexpr QChar kLineSeparator(0x2028);  // QTextLayout ignores "\n"
constexpr QChar kEllipsis(0x2026);
// The controls that set an isolated run apart in the ordering of scripts,
// running in the paragraph's direction (a name followed by English words
// inside the run keeps them in order).
constexpr QChar kLeftToRightIsolate(0x2066);
constexpr QChar kRightToLeftIsolate(0x2067);
constexpr QChar kFirstStrongIsolate(0x2068);
constexpr QChar kPopDirectionalIsolate(0x2069);

QChar isolateFor(TextDirection direction) {
  switch (direction) {
    case TextDirection::leftToRight:
      return kLeftToRightIsolate;
    case TextDirection::rightToLeft:
      return kRightToLeftIsolate;
    case TextDirection::automatic:
      break;
  }
  return kFirstStrongIsolate;
}
constexpr qreal kNoWrapWidth = 1.0e6;
constexpr qreal kTolerance = 0.01;
constexpr int kFitSteps = 12;

// Qt 6.4 rounds every font to a whole pixel size (10.5 points would be set at
// 11). Texts are therefore shaped and measured at eight times their size,
// where that rounding is an eighth of a point at most, and drawn through a
// painter scaled back by the same factor: the glyphs are rendered at the
// exact fractional size on any device.
constexpr qreal kOversampling = 8.0;

// The text of a paragraph as Qt lays it out: the shown string and one format
// for every stretch of it (run style, emoji runs in the emoji family, digits
// with their tabular spacing).
struct Prepared {
  QString text;
  QList<QTextLayout::FormatRange> formats;
  QList<QTextCharFormat> plainFormats;  // the run's own format for each range (for an ellipsis)
  QFont baseFont;
  ParagraphStyle paragraph;
  // Tabular digits are centred in their cells: half a digit's padding goes on
  // the character before it. A line that starts with a digit has none there,
  // and is set in by that half (by position, oversampled units).
  QHash<qsizetype, qreal> leads;
};

QTextCharFormat runFormat(const TextStyle& style, const QFont& font) {
  QTextCharFormat format;
  format.setFont(font, QTextCharFormat::FontPropertiesAll);
  format.setForeground(style.color);
  if (style.underline) {
    format.setFontUnderline(true);
    format.setUnderlineColor(*style.underline);
  }
  return format;
}

void addRange(Prepared& prepared, qsizetype start, qsizetype length, const QTextCharFormat& format,
              const QTextCharFormat& plain) {
  if (length <= 0) return;
  prepared.formats.append({static_cast<int>(start), static_cast<int>(length), format});
  prepared.plainFormats.append(plain);
}

// One look a stretch of the paragraph is set in: a run's text or its emoji.
struct Look {
  const TextStyle* style = nullptr;
  QFont font;
  QTextCharFormat plain;
};

bool isAsciiDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// The paragraph at `scale` of its sizes, in oversampled units.
Prepared prepare(const StyledText& styled, qreal textScale) {
  const qreal scale = textScale * kOversampling;
  Prepared prepared;
  prepared.paragraph = styled.paragraph;
  prepared.paragraph.lineSpacing *= scale;
  prepared.baseFont = styled.runs.isEmpty() ? TextStyle{}.font(scale) : styled.runs.first().style.font(scale);

  // Every character's look, and the spacing it gets beyond its look's tracking.
  QList<Look> looks;
  QList<qsizetype> lookOf;
  QList<qreal> extra;
  QList<std::pair<qsizetype, qreal>> paddedDigits;  // position, padding
  for (const TextRun& run : styled.runs) {
    QString shown = run.style.displayText(run.text);
    shown.replace(QLatin1String("\r\n"), QString(kLineSeparator));
    shown.replace(QLatin1Char('\n'), kLineSeparator);
    const bool isolate = run.isolated && hasRightToLeftLetters(shown);
    if (isolate) shown = isolateFor(styled.paragraph.direction) + shown + kPopDirectionalIsolate;
    const qsizetype base = prepared.text.size();
    prepared.text += shown;

    const QFont font = run.style.font(scale);
    QFont emoji = FontFactory::emojiFont(run.style.size * scale);
    if (run.style.tracking != 0.0) emoji.setLetterSpacing(QFont::AbsoluteSpacing, run.style.tracking * scale);
    const qsizetype textLook = looks.size();
    looks.append({&run.style, font, runFormat(run.style, font)});
    looks.append({&run.style, emoji, runFormat(run.style, emoji)});
    lookOf.resize(prepared.text.size(), textLook);
    extra.resize(prepared.text.size(), 0.0);
    for (const TextRange& range : emojiRuns(shown))
      for (qsizetype i = range.start; i < range.start + range.length; ++i) lookOf[base + i] = textLook + 1;
    if (isolate) {  // the controls take no room, not even the tracking
      extra[base] = -run.style.tracking * scale;
      extra[prepared.text.size() - 1] = -run.style.tracking * scale;
    }

    if (!run.style.monospacedDigits) continue;
    const QFontMetricsF metrics(font);
    qreal widest = 0.0;
    for (char16_t digit = u'0'; digit <= u'9'; ++digit)
      widest = std::max(widest, metrics.horizontalAdvance(QChar(digit)));
    for (qsizetype i = base; i < prepared.text.size(); ++i)
      if (lookOf[i] == textLook && isAsciiDigit(prepared.text[i]))
        paddedDigits.append({i, widest - metrics.horizontalAdvance(prepared.text[i])});
  }

  // Each digit keeps half its padding after it and puts half on the whole
  // character (grapheme cluster) before it, so the glyph sits in the middle
  // of its cell.
  const QList<qsizetype> clusters =
      paddedDigits.isEmpty() ? QList<qsizetype>{} : UnicodeText::graphemeBoundaries(prepared.text);
  for (const auto& [position, padding] : paddedDigits) {
    const qreal half = padding / 2.0;
    extra[position] += half;
    prepared.leads.insert(position, half);
    if (position == 0 || prepared.text[position - 1] == kLineSeparator) continue;
    const auto after = std::lower_bound(clusters.cbegin(), clusters.cend(), position);
    const qsizetype clusterStart = after == clusters.cbegin() ? 0 : *(after - 1);
    for (qsizetype i = clusterStart; i < position; ++i) extra[i] += half;
  }

  // One range for every stretch of one look and one spacing.
  for (qsizetype start = 0; start < prepared.text.size();) {
    qsizetype end = start + 1;
    while (end < prepared.text.size() && lookOf[end] == lookOf[start] && extra[end] == extra[start]) ++end;
    const Look& look = looks[lookOf[start]];
    if (extra[start] == 0.0) {
      addRange(prepared, start, end - start, look.plain, look.plain);
    } else {
      QFont spaced = look.font;
      spaced.setLetterSpacing(QFont::AbsoluteSpacing, look.style->tracking * scale + extra[start]);
      addRange(prepared, start, end - start, runFormat(*look.style, spaced), look.plain);
    }
    start = end;
  }
  return prepared;
}

// The paragraph cut after `end` characters (trailing blanks dropped) with an
// ellipsis in the format of the run it ends in.
Prepared truncated(const Prepared& prepared, qsizetype end) {
  while (end > 0 && prepared.text[end - 1].isSpace()) --end;
  Prepared result;
  result.baseFont = prepared.baseFont;
  result.paragraph = prepared.paragraph;
  result.leads = prepared.leads;
  result.text = prepared.text.left(end) + kEllipsis;
  QTextCharFormat ellipsisFormat = prepared.plainFormats.isEmpty() ? QTextCharFormat() : prepared.plainFormats.first();
  for (qsizetype i = 0; i < prepared.formats.size(); ++i) {
    const QTextLayout::FormatRange& range = prepared.formats[i];
    if (range.start >= end) break;
    addRange(result, range.start, std::min<qsizetype>(range.length, end - range.start), range.format,
             prepared.plainFormats[i]);
    ellipsisFormat = prepared.plainFormats[i];
  }
  addRange(result, end, 1, ellipsisFormat, ellipsisFormat);
  return result;
}

enum class Wrap { none, words, anywhere };

Qt::LayoutDirection directionOf(const Prepared& prepared) {
  switch (prepared.paragraph.direction) {
    case TextDirection::leftToRight:
      return Qt::LeftToRight;
    case TextDirection::rightToLeft:
      return Qt::RightToLeft;
    case TextDirection::automatic:
      break;
  }
  return prepared.text.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight;
}

// Lays the prepared text out for a width in points.
std::shared_ptr<QTextLayout> build(const Prepared& prepared, qreal width, Wrap wrap) {
  auto layout = std::make_shared<QTextLayout>(prepared.text, prepared.baseFont);
  QTextOption option;
  option.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
  option.setTextDirection(directionOf(prepared));
  const bool limited = std::isfinite(width) && wrap != Wrap::none;
  option.setWrapMode(!limited              ? QTextOption::NoWrap
                     : wrap == Wrap::words ? QTextOption::WordWrap
                                           : QTextOption::WrapAtWordBoundaryOrAnywhere);
  layout->setTextOption(option);
  layout->setFormats(prepared.formats);
  layout->setCacheEnabled(true);
  layout->beginLayout();
  for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
    line.setLeadingIncluded(true);
    line.setLineWidth(limited ? std::max(width, 0.0) * kOversampling : kNoWrapWidth);
  }
  layout->endLayout();
  return layout;
}

// The height of the first `count` lines with the paragraph's spacing (oversampled units).
qreal heightOf(const QTextLayout& layout, int count, qreal lineSpacing) {
  qreal height = 0.0;
  for (int i = 0; i < count; ++i) height += layout.lineAt(i).height() + (i > 0 ? lineSpacing : 0.0);
  return height;
}

// How many lines fit in a height in points (at least one).
int linesWithin(const QTextLayout& layout, qreal height, qreal lineSpacing) {
  int count = 1;
  while (count < layout.lineCount() &&
         heightOf(layout, count + 1, lineSpacing) <= (height + kTolerance) * kOversampling)
    ++count;
  return count;
}

bool fits(const Prepared& prepared, const QSizeF& box, int lineLimit) {
  const std::shared_ptr<QTextLayout> layout = build(prepared, box.width(), Wrap::words);
  if (lineLimit > 0 && layout->lineCount() > lineLimit) return false;
  for (int i = 0; i < layout->lineCount(); ++i)
    if (layout->lineAt(i).naturalTextWidth() > (box.width() + kTolerance) * kOversampling) return false;
  return heightOf(*layout, layout->lineCount(), prepared.paragraph.lineSpacing) <=
         (box.height() + kTolerance) * kOversampling;
}

// The line's advance: the last line keeps its trailing blanks (they belong to
// the text), a wrapped line does not.
qreal advanceOf(const QTextLine& line, bool last) {
  return last ? std::max(line.horizontalAdvance(), line.naturalTextWidth()) : line.naturalTextWidth();
}

TextLayout finish(const Prepared& prepared, std::shared_ptr<QTextLayout> layout, bool elided, qreal scale) {
  TextLayout result;
  result.elided = elided;
  result.scale = scale;
  const int count = layout->lineCount();
  // A line is set in by the half padding of a tabular digit it starts with.
  const auto leadOf = [&](const QTextLine& line) {
    return layout->textOption().textDirection() == Qt::LeftToRight ? prepared.leads.value(line.textStart(), 0.0) : 0.0;
  };
  qreal widest = 0.0;
  for (int i = 0; i < count; ++i) {
    const QTextLine line = layout->lineAt(i);
    widest = std::max(widest, leadOf(line) + advanceOf(line, i == count - 1));
  }
  qreal y = 0.0;
  for (int i = 0; i < count; ++i) {
    QTextLine line = layout->lineAt(i);
    const qreal lead = leadOf(line);
    const qreal advance = lead + advanceOf(line, i == count - 1);
    qreal x = 0.0;
    switch (prepared.paragraph.alignment) {
      case TextAlign::leading:
        break;
      case TextAlign::center:
        x = (widest - advance) / 2.0;
        break;
      case TextAlign::trailing:
        x = widest - advance;
        break;
    }
    // Qt may still shift the glyphs inside the line (right-to-left text):
    // place the line so that its text starts at x.
    line.setPosition(QPointF(0.0, 0.0));
    const qreal shift = line.naturalTextRect().x();
    line.setPosition(QPointF(x + lead - shift, y));
    QString shown = prepared.text.mid(line.textStart(), line.textLength());
    for (const QChar control :
         {kLineSeparator, kLeftToRightIsolate, kRightToLeftIsolate, kFirstStrongIsolate, kPopDirectionalIsolate})
      shown.remove(control);
    const QRectF box(x / kOversampling, y / kOversampling, advance / kOversampling, line.height() / kOversampling);
    result.lines.append({shown, box, (y + line.ascent()) / kOversampling});
    y += line.height() + (i + 1 < count ? prepared.paragraph.lineSpacing : 0.0);
  }
  result.size = QSizeF(widest / kOversampling, y / kOversampling);
  result.engine = std::move(layout);
  return result;
}

TextLayout layoutAt(const StyledText& text, qreal scale, qreal width, int maxLines) {
  const Prepared prepared = prepare(text, scale);
  std::shared_ptr<QTextLayout> layout = build(prepared, width, Wrap::anywhere);
  if (maxLines <= 0 || layout->lineCount() <= maxLines) return finish(prepared, std::move(layout), false, scale);

  // Keep the longest prefix that, with an ellipsis, still takes maxLines lines.
  const qsizetype lastLineStart = layout->lineAt(maxLines - 1).textStart();
  QList<qsizetype> cuts;
  for (const qsizetype bound : UnicodeText::graphemeBoundaries(prepared.text))
    if (bound >= lastLineStart && bound < prepared.text.size()) cuts.append(bound);
  if (cuts.isEmpty()) cuts.append(lastLineStart);
  qsizetype low = 0;
  qsizetype high = cuts.size() - 1;
  while (low < high) {
    const qsizetype middle = (low + high + 1) / 2;
    if (build(truncated(prepared, cuts[middle]), width, Wrap::anywhere)->lineCount() <= maxLines) {
      low = middle;
    } else {
      high = middle - 1;
    }
  }
  const Prepared cut = truncated(prepared, cuts[low]);
  return finish(cut, build(cut, width, Wrap::anywhere), true, scale);
}

int limitFor(const StyledText& text, int maxLines) { return maxLines > 0 ? maxLines : text.paragraph.lineLimit; }

}  // namespace

QString TextLayout::shownText() const {
  QStringList parts;
  for (const TextLine& line : lines) parts.append(line.text);
  return parts.join(QLatin1Char('\n'));
}

void TextLayout::draw(QPainter& painter, QPointF topLeft) const {
  if (!engine) return;
  painter.save();
  painter.translate(topLeft);
  painter.scale(1.0 / kOversampling, 1.0 / kOversampling);
  engine->draw(&painter, QPointF(0.0, 0.0));
  painter.restore();
}

QRectF TextLayout::draw(QPainter& painter, const QRectF& box, Qt::Alignment alignment) const {
  const QRectF placed = alignedRect(size, box, alignment);
  draw(painter, placed.topLeft());
  return placed;
}

QRectF TextLayout::drawCentered(QPainter& painter, QPointF centre) const {
  const QRectF placed(centre - QPointF(size.width() / 2.0, size.height() / 2.0), size);
  draw(painter, placed.topLeft());
  return placed;
}

QRectF alignedRect(const QSizeF& size, const QRectF& box, Qt::Alignment alignment) {
  qreal x = box.left() + (box.width() - size.width()) / 2.0;
  if (alignment & Qt::AlignLeft) x = box.left();
  if (alignment & Qt::AlignRight) x = box.right() - size.width();
  qreal y = box.top() + (box.height() - size.height()) / 2.0;
  if (alignment & Qt::AlignTop) y = box.top();
  if (alignment & Qt::AlignBottom) y = box.bottom() - size.height();
  return QRectF(QPointF(x, y), size);
}

TextLayout layoutText(const StyledText& text, qreal width, int maxLines) {
  return layoutAt(text, 1.0, width, limitFor(text, maxLines));
}

TextLayout layoutText(const QString& text, const TextStyle& style, qreal width, int maxLines) {
  return layoutText(StyledText(text, style), width, maxLines);
}

TextLayout fitText(const StyledText& text, const QSizeF& box, qreal minScale) {
  const qreal floor = std::clamp(minScale < 0.0 ? text.paragraph.minimumScale : minScale, 0.01, 1.0);
  const int lineLimit = text.paragraph.lineLimit;
  const auto fitsAt = [&](qreal scale) { return fits(prepare(text, scale), box, lineLimit); };

  qreal chosen = 1.0;
  if (!fitsAt(1.0)) {
    if (floor < 1.0 && fitsAt(floor)) {
      qreal low = floor;
      qreal high = 1.0;
      for (int step = 0; step < kFitSteps; ++step) {
        const qreal middle = (low + high) / 2.0;
        (fitsAt(middle) ? low : high) = middle;
      }
      chosen = low;
    } else {
      chosen = floor;
    }
  }
  // Keep as many lines as the box holds, within the line limit.
  const Prepared prepared = prepare(text, chosen);
  const std::shared_ptr<QTextLayout> whole = build(prepared, box.width(), Wrap::anywhere);
  int maxLines = linesWithin(*whole, box.height(), prepared.paragraph.lineSpacing);
  if (lineLimit > 0) maxLines = std::min(maxLines, lineLimit);
  return layoutAt(text, chosen, box.width(), maxLines);
}

TextLayout fitText(const QString& text, const TextStyle& style, const QSizeF& box, qreal minScale) {
  return fitText(StyledText(text, style), box, minScale);
}

TextLayout drawText(QPainter& painter, const StyledText& text, const QRectF& box, Qt::Alignment alignment) {
  TextLayout layout = fitText(text, box.size());
  layout.draw(painter, box, alignment);
  return layout;
}

}  // namespace murmela
