// The drawing kit's own pages: type, fitting, paragraphs, symbols, shapes.
#include "GalleryRegistry.h"

#include "kit/controls/PaintedButton.h"
#include "kit/layout/Stack.h"
#include "kit/paint/PainterState.h"
#include "kit/paint/Pens.h"
#include "kit/paint/Shadow.h"
#include "kit/paint/Shapes.h"
#include "kit/symbols/Symbols.h"
#include "kit/text/TextLayout.h"
#include "theme/MurmelaTheme.h"

#include <QPainter>

namespace murmela::gallery {
namespace {

constexpr QSizeF kSheet{390.0, 780.0};
const TextStyle kNote{
    .typeface = Typeface::inter, .size = 8, .tracking = 0.6, .upperCase = true, .color = MurmelaTheme::inkSoft};

void sheetBackground(QPainter& painter, const QSizeF& size) {
  painter.fillRect(QRectF(QPointF(0, 0), size), MurmelaTheme::cream);
}

// A faint outline of the box a text was fitted into.
void outlineBox(QPainter& painter, const QRectF& box) {
  const PainterStateScope scope(painter);
  painter.setBrush(Qt::NoBrush);
  painter.setPen(dashedStroke(0.5, {2, 2}).pen(withOpacity(MurmelaTheme::rose, 0.7)));
  painter.drawRect(box);
}

void paintTypeSpecimen(QPainter& painter) {
  sheetBackground(painter, kSheet);
  struct Sample {
    const char* note;
    TextStyle style;
    const char* text;
  };
  const QList<Sample> samples = {
      {"DM Serif Display 88", {.typeface = Typeface::dmSerifDisplay, .size = 88}, "48,213"},
      {"DM Serif Display 40 italic",
       {.typeface = Typeface::dmSerifDisplay, .size = 40, .italic = true},
       "\u201Cbabe\u201D"},
      {"DM Serif Display 30", {.typeface = Typeface::dmSerifDisplay, .size = 30}, "The receipts."},
      {"DM Serif Display 16 italic, sage-deep",
       {.typeface = Typeface::dmSerifDisplay, .size = 16, .italic = true, .color = MurmelaTheme::sageDeep},
       "murmela.app"},
      {"Caveat 40, sage-deep",
       {.typeface = Typeface::caveat, .size = 40, .color = MurmelaTheme::sageDeep},
       "You & Maya "},
      {"Caveat 20, sage-deep",
       {.typeface = Typeface::caveat, .size = 20, .color = MurmelaTheme::sageDeep},
       "all the small things, totaled up. "},
      {"Inter 12 semibold, tracking 2, upper-cased",
       {.typeface = Typeface::inter, .size = 12, .weight = QFont::DemiBold, .tracking = 2, .upperCase = true},
       "Share"},
      {"Inter 10.5, tracking 1.8, upper-cased, ink-soft",
       {.typeface = Typeface::inter, .size = 10.5, .tracking = 1.8, .upperCase = true, .color = MurmelaTheme::inkSoft},
       "March 3, 2021 \u2014 June 5, 2024"},
      {"Inter 10 medium, tracking 1.1",
       {.typeface = Typeface::inter, .size = 10, .weight = QFont::Medium, .tracking = 1.1},
       "2019 2021 2023"},
      {"Inter 9, tracking 1.6, upper-cased, ink-soft",
       {.typeface = Typeface::inter, .size = 9, .tracking = 1.6, .upperCase = true, .color = MurmelaTheme::inkSoft},
       "who sent more"},
      {"Inter 7 bold", {.typeface = Typeface::inter, .size = 7, .weight = QFont::Bold}, "12p 6p 12a 6a 12p"},
      {"Inter 28, emoji run in Noto Color Emoji",
       {.typeface = Typeface::inter, .size = 28},
       "\U0001F602 \u2764\uFE0F \U0001F97A \U0001F1F5\U0001F1F9"},
  };
  Stack stack = Stack::vertical(4, StackAlign::leading);
  QList<TextLayout> notes;
  QList<TextLayout> texts;
  for (const Sample& sample : samples) {
    notes.append(layoutText(QString::fromUtf8(sample.note), kNote));
    texts.append(fitText(QString::fromUtf8(sample.text), sample.style, QSizeF(350, 200), 0.5));
    stack.add(notes.last(), Insets{.top = 6});
    stack.add(texts.last());
  }
  const QList<QRectF> frames = stack.layout(QRectF(20, 10, 350, 760));
  for (qsizetype i = 0; i < samples.size(); ++i) {
    notes[i].draw(painter, frames[2 * i].topLeft());
    texts[i].draw(painter, frames[2 * i + 1].topLeft());
  }
}

// Data too wide for its place: fitted by the minimum scale first, then elided.
constexpr QSizeF kFittingSheet{390.0, 1180.0};

void paintFitting(QPainter& painter) {
  sheetBackground(painter, kFittingSheet);
  struct Case {
    TextStyle style;
    QSizeF box;
    QString text;
  };
  const TextStyle count{.typeface = Typeface::dmSerifDisplay, .size = 88, .lineLimit = 1, .minimumScale = 0.55};
  const TextStyle term{.typeface = Typeface::dmSerifDisplay,
                       .size = 72,
                       .italic = true,
                       .color = MurmelaTheme::rose,
                       .lineLimit = 2,
                       .minimumScale = 0.55};
  const TextStyle name{.typeface = Typeface::caveat,
                       .size = 40,
                       .color = MurmelaTheme::sageDeep,
                       .alignment = TextAlign::center,
                       .lineLimit = 2,
                       .minimumScale = 0.6};
  const auto quoted = [](const QString& text) { return QStringLiteral("\u201C") + text + QStringLiteral("\u201D"); };
  const QList<Case> cases = {
      {count, {338, 125}, QStringLiteral("48,213")},
      {count, {338, 125}, QStringLiteral("1,234,567,890")},
      {count, {338, 125}, QStringLiteral("123,456,789,012,345,678")},
      {term, {318, 160}, quoted(QStringLiteral("babe"))},
      {term, {318, 160}, quoted(QStringLiteral("Maximiliana Alexandrina Montgomery-Smyth"))},
      {name, {338, 100}, QStringLiteral("You & Ana \U0001F338\u2728 ")},
      {name, {338, 100}, QStringLiteral("You & \u05E0\u05D5\u05E2\u05D4 \u05DB\u05D4\u05DF ")},
      {name, {338, 100}, QStringLiteral("You & Maximiliana Alexandrina Montgomery-Smyth ")},
  };
  qreal y = 10;
  for (const Case& item : cases) {
    const QRectF box(26, y, item.box.width(), item.box.height());
    outlineBox(painter, box);
    const TextLayout fitted = fitText(item.text, item.style, box.size());
    fitted.draw(painter, box, Qt::AlignHCenter | Qt::AlignTop);
    const TextLayout note = layoutText(QStringLiteral("scale %1%2, %3 line(s)")
                                           .arg(fitted.scale, 0, 'f', 2)
                                           .arg(fitted.elided ? QStringLiteral(", elided") : QString())
                                           .arg(fitted.lines.size()),
                                       kNote);
    note.draw(painter, QPointF(box.left(), box.bottom() + 2));
    y = box.bottom() + 4 + note.height() + 6;
  }
}

void paintParagraphs(QPainter& painter) {
  const QSizeF size(390, 300);
  sheetBackground(painter, size);
  const TextStyle caveat{.typeface = Typeface::caveat, .size = 21, .alignment = TextAlign::center};
  TextStyle sage = caveat;
  sage.color = MurmelaTheme::sageDeep;
  TextStyle rose = caveat;
  rose.color = MurmelaTheme::rose;
  TextStyle small{.typeface = Typeface::caveat, .size = 17, .color = MurmelaTheme::inkSoft};
  StyledText dialect(ParagraphStyle{.alignment = TextAlign::center});
  dialect.append(QStringLiteral("you say "), caveat)
      .append(QStringLiteral("\u201Cbabe\u201D"), sage)
      .append(QStringLiteral(" \u00B7 they say "), caveat)
      .append(QStringLiteral("\u201Cbub\u201D"), rose)
      .append(QStringLiteral(".\neverything you need to know. "), small);
  const TextLayout first = layoutText(dialect, 326);
  first.draw(painter, QRectF(32, 20, 326, first.height()), Qt::AlignHCenter | Qt::AlignTop);

  const TextStyle label{
      .typeface = Typeface::inter, .size = 11, .tracking = 2, .upperCase = true, .color = MurmelaTheme::inkSoft};
  const TextLayout number =
      layoutText(QStringLiteral("1,783"),
                 TextStyle{.typeface = Typeface::dmSerifDisplay, .size = 54, .color = MurmelaTheme::rose});
  const TextLayout times = layoutText(QStringLiteral("times"), label);
  const BaselineRowLayout row = layoutBaselineRow({BaselineItem::of(number), BaselineItem::of(times)}, 8);
  const QPointF origin(195 - row.size.width() / 2, 110);
  number.draw(painter, origin + row.frames[0].topLeft());
  times.draw(painter, origin + row.frames[1].topLeft());
  {
    const PainterStateScope scope(painter);
    painter.setPen(StrokeStyle{.width = 0.5}.pen(withOpacity(MurmelaTheme::gold, 0.8)));
    painter.drawLine(QPointF(40, origin.y() + row.baseline), QPointF(350, origin.y() + row.baseline));
  }

  TextStyle underlined{.typeface = Typeface::dmSerifDisplay, .size = 32, .underline = MurmelaTheme::gold};
  layoutText(QStringLiteral("March 3, 2021"), underlined).draw(painter, QPointF(36, 200));
  const TextStyle digits{.typeface = Typeface::inter,
                         .size = 10,
                         .tracking = 1.4,
                         .color = MurmelaTheme::inkSoft,
                         .monospacedDigits = true};
  layoutText(QStringLiteral("111,111\n808,080"), digits).draw(painter, QPointF(36, 250));
  {
    const RotationScope turned(painter, QPointF(260, 260), -3);
    layoutText(QStringLiteral("messages. "),
               TextStyle{.typeface = Typeface::caveat, .size = 30, .color = MurmelaTheme::rose})
        .drawCentered(painter, QPointF(260, 260));
  }
}

void paintSymbols(QPainter& painter) {
  const QList<Symbol> symbols = allSymbols();
  const QSizeF size(390, 40 + 34.0 * symbols.size());
  sheetBackground(painter, size);
  const QList<qreal> points{10, 14, 24};
  const QList<SymbolWeight> weights{SymbolWeight::regular, SymbolWeight::semibold, SymbolWeight::bold};
  qreal y = 20;
  for (const Symbol symbol : symbols) {
    layoutText(symbolName(symbol), kNote).draw(painter, QPointF(12, y + 10));
    qreal x = 130;
    for (const qreal point : points) {
      for (const SymbolWeight weight : weights) {
        const QRectF cell(x, y, 26, 26);
        painter.fillRect(cell, MurmelaTheme::creamDeep);
        drawSymbol(painter, symbol, cell, point, weight, MurmelaTheme::ink);
        x += 26 + (weight == SymbolWeight::bold ? 6 : 1);
      }
    }
    y += 34;
  }
}

void paintShapes(QPainter& painter) {
  const QSizeF size(390, 420);
  sheetBackground(painter, size);
  const QRectF a(24, 20, 150, 100);
  const QRectF b(216, 20, 150, 100);
  painter.fillPath(roundedRectPath(a, 30, CornerStyle::circular), MurmelaTheme::creamDeep);
  painter.fillPath(roundedRectPath(b, 30, CornerStyle::continuous), MurmelaTheme::creamDeep);
  painter.setBrush(Qt::NoBrush);
  painter.setPen(StrokeStyle{.width = 1}.pen(MurmelaTheme::ink));
  painter.drawPath(roundedRectPath(a, 30, CornerStyle::circular));
  painter.drawPath(roundedRectPath(b, 30, CornerStyle::continuous));
  layoutText(QStringLiteral("circular 30"), kNote).draw(painter, QPointF(a.left(), a.bottom() + 4));
  layoutText(QStringLiteral("continuous 30"), kNote).draw(painter, QPointF(b.left(), b.bottom() + 4));

  // Dashed outlines as the stickers and cards use them.
  painter.fillPath(roundedRectPath(QRectF(24, 150, 150, 60), 4), MurmelaTheme::creamDeep);
  painter.setPen(dashedStroke(1, {4, 3}).pen(withOpacity(MurmelaTheme::rose, 0.4)));
  painter.drawPath(roundedRectPath(QRectF(24, 150, 150, 60), 4));
  painter.setPen(dashedStroke(1.2, {4, 3}, Qt::RoundCap).pen(MurmelaTheme::inkSoft));
  painter.drawLine(QPointF(216, 160), QPointF(366, 160));
  painter.setPen(dashedStroke(1.2, {3, 3}).pen(MurmelaTheme::ink));
  painter.drawEllipse(QPointF(290, 190), 18, 18);

  // Capsules, and the progress bar's segments.
  painter.setPen(StrokeStyle{.width = 1.3}.pen(MurmelaTheme::sageDeep));
  painter.setBrush(MurmelaTheme::cream);
  painter.drawPath(capsulePath(QRectF(24, 240, 132, 44)));
  painter.fillPath(capsulePath(QRectF(216, 240, 132, 44)), MurmelaTheme::sageDeep);
  for (int i = 0; i < 14; ++i)
    painter.fillPath(capsulePath(QRectF(24 + i * 25.5, 300, 21.5, 2.5)),
                     i < 5 ? MurmelaTheme::sageDeep : withOpacity(MurmelaTheme::sageDeep, 0.22));

  // Shadows: the chevron's two, and a card's.
  const QPainterPath chevron = symbolPath(Symbol::chevronRight, 14, SymbolWeight::semibold).translated(80, 360);
  drawShadow(painter, chevron, {QColor(0, 0, 0, 71), 2, {0, 1}});
  drawShadow(painter, chevron, {QColor(0, 0, 0, 46), 5, {0, 2}});
  painter.fillPath(chevron, MurmelaTheme::inkSoft);
  const QPainterPath card = roundedRectPath(QRectF(216, 330, 132, 60), 10);
  drawShadow(painter, card, {QColor(0, 0, 0, 31), 4, {0, 1}});
  painter.fillPath(card, MurmelaTheme::cream);
}

// The closer's two buttons, as the painted button draws them in each state.
void paintButtons(QPainter& painter) {
  const QSizeF size(390, 250);
  sheetBackground(painter, size);
  const TextStyle word{
      .typeface = Typeface::inter, .size = 12, .weight = QFont::DemiBold, .tracking = 2, .upperCase = true};
  const auto label = [&](Symbol symbol, const QString& text) {
    return SymbolLabel{.symbol = symbol,
                       .symbolSize = 12,
                       .symbolWeight = SymbolWeight::semibold,
                       .spacing = 8,
                       .text = text,
                       .style = word};
  };
  ButtonStyle share;
  share.label = label(Symbol::squareAndArrowUp, QStringLiteral("Share"));
  share.content = MurmelaTheme::cream;
  share.fill = MurmelaTheme::sageDeep;
  share.fixedSize = QSizeF(132, 44);
  ButtonStyle done;
  done.label = label(Symbol::house, QStringLiteral("Done"));
  done.content = MurmelaTheme::sageDeep;
  done.fill = MurmelaTheme::cream;
  done.outline = MurmelaTheme::sageDeep;
  done.outlineWidth = 1.3;
  done.fixedSize = QSizeF(132, 44);
  const QList<QPair<QString, ButtonState>> states = {
      {QStringLiteral("rest"), {}},
      {QStringLiteral("pressed"), {false, true, false}},
      {QStringLiteral("disabled"), {false, false, true}},
  };
  qreal y = 40;
  for (const auto& [name, state] : states) {
    layoutText(name, kNote).draw(painter, QPointF(12, y - 4));
    paintButton(painter, share, layoutButton(share, QPointF(130, y + 20)), state);
    paintButton(painter, done, layoutButton(done, QPointF(290, y + 20)), state);
    y += 70;
  }
}

void buildKitPage(GalleryPage& page) {
  page.add(QStringLiteral("kit-type-specimen"), kSheet, paintTypeSpecimen,
           QStringLiteral("the three families at sizes the screens use; emoji runs in colour"), {3.0, 1.0});
  page.add(QStringLiteral("kit-fitting"), kFittingSheet, paintFitting,
           QStringLiteral("long data: shrink to the minimum scale first, elide last (dashed: the box)"), {3.0, 1.0});
  page.add(
      QStringLiteral("kit-paragraphs"), QSizeF(390, 300), paintParagraphs,
      QStringLiteral("mixed runs, a first-baseline row (gold: the baseline), underline, tabular digits, rotation"));
  page.add(QStringLiteral("kit-symbols"), QSizeF(390, 40 + 34.0 * allSymbols().size()), paintSymbols,
           QStringLiteral("every symbol at 10, 14 and 24 points, regular, semibold and bold"));
  page.add(QStringLiteral("kit-buttons"), QSizeF(390, 250), paintButtons,
           QStringLiteral("painted buttons: one painter, a style per look; rest, pressed, disabled"));
  page.add(QStringLiteral("kit-shapes"), QSizeF(390, 420), paintShapes,
           QStringLiteral("corners, dashes in points, capsules, blurred shadows"));
}

}  // namespace

MURMELA_GALLERY_AREA(kit, "Drawing kit", 10, buildKitPage);

}  // namespace murmela::gallery
