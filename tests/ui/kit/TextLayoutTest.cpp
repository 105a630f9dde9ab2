#include "kit/text/EmojiRuns.h"
#include "kit/text/TextLayout.h"
#include "support/TestRegistry.h"
#include "testing/PaintRecorder.h"
#include "theme/FontFactory.h"

#include <QGlyphRun>
#include <QImage>
#include <QMap>
#include <QPainter>
#include <QRawFont>
#include <QTest>
#include <QTextLayout>

using namespace murmela;

Q_DECLARE_METATYPE(TextRange)

namespace {

const TextStyle kSerif88{.typeface = Typeface::dmSerifDisplay, .size = 88, .lineLimit = 1};
const TextStyle kCaveat{.typeface = Typeface::caveat, .size = 30};
const TextStyle kLabel{.typeface = Typeface::inter, .size = 10, .tracking = 2.0, .upperCase = true};

const QString kHebrew = QStringLiteral("\u05E0\u05D5\u05E2\u05D4 \u05DB\u05D4\u05DF");  // a right-to-left name

}  // namespace

class TextLayoutTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { FontRegistry::registerFonts(); }

  // What fitting chose: full size, a scale between, or the floor and an ellipsis.
  void fittingShrinksBeforeItElides_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<qreal>("boxWidth");
    QTest::addColumn<qreal>("minScale");
    QTest::addColumn<QString>("outcome");
    QTest::newRow("fits") << "12,345" << 338.0 << 0.55 << "full";
    QTest::newRow("shrinks") << "1,234,567,890" << 338.0 << 0.55 << "shrunk";
    QTest::newRow("shrinks to the floor, then elides") << "1,234,567,890,123,456,789" << 338.0 << 0.55 << "elided";
    QTest::newRow("no shrinking allowed") << "1,234,567,890" << 338.0 << 1.0 << "elided";
  }
  void fittingShrinksBeforeItElides() {
    QFETCH(QString, text);
    QFETCH(qreal, boxWidth);
    QFETCH(qreal, minScale);
    QFETCH(QString, outcome);
    const TextLayout fitted = fitText(text, kSerif88, QSizeF(boxWidth, 400), minScale);
    QCOMPARE(fitted.lines.size(), 1);
    QVERIFY2(fitted.width() <= boxWidth + 0.01, qPrintable(QString::number(fitted.width())));
    if (outcome == QLatin1String("full")) {
      QCOMPARE(fitted.scale, 1.0);
      QVERIFY(!fitted.elided);
    } else if (outcome == QLatin1String("shrunk")) {
      QVERIFY(fitted.scale < 1.0 && fitted.scale > minScale);
      QVERIFY(!fitted.elided);
      QCOMPARE(fitted.shownText(), text);
      // The largest scale that fits: a little more would not.
      QVERIFY(layoutText(text, kSerif88, kUnlimitedWidth).width() * (fitted.scale + 0.01) > boxWidth);
    } else {
      QCOMPARE(fitted.scale, minScale);
      QVERIFY(fitted.elided);
      QVERIFY(fitted.shownText().endsWith(QChar(0x2026)));
    }
  }

  void multiLineFitKeepsWordsWholeAndRespectsTheBoxHeight() {
    const TextStyle style{.typeface = Typeface::dmSerifDisplay, .size = 40, .lineLimit = 2, .minimumScale = 0.6};
    // A word wider than the box is shrunk rather than broken.
    const TextLayout word = fitText(QStringLiteral("supercalifragilistic"), style, QSizeF(300, 200));
    QVERIFY(word.scale < 1.0);
    QCOMPARE(word.lines.size(), 1);
    // A box one line high keeps one line, however long the text.
    const QString longText = QStringLiteral("the quick brown fox jumps over the lazy dog again and again and again");
    const qreal lineHeight = layoutText(QStringLiteral("x"), style).height() * 0.6;
    const TextLayout low = fitText(longText, style, QSizeF(300, lineHeight + 1));
    QCOMPARE(low.lines.size(), 1);
    QVERIFY(low.elided);
    QVERIFY(low.height() <= lineHeight + 1.01);
  }

  void lineLimitElidesTheLastKeptLine() {
    const QString text = QStringLiteral("one two three four five six seven eight nine ten eleven twelve");
    const TextLayout layout = layoutText(text, kCaveat, 120, 2);
    QCOMPARE(layout.lines.size(), 2);
    QVERIFY(layout.elided);
    QVERIFY(layout.lines.last().text.endsWith(QChar(0x2026)));
    QVERIFY(!layout.lines.last().text.contains(QStringLiteral(" \u2026")));
    const TextLayout unlimited = layoutText(text, kCaveat, 120);
    QVERIFY(unlimited.lines.size() > 2);
    QVERIFY(!unlimited.elided);
  }

  void trackingAddsItsPointsAfterEveryCharacter_data() {
    QTest::addColumn<qreal>("tracking");
    QTest::newRow("none") << 0.0;
    QTest::newRow("1.6") << 1.6;
    QTest::newRow("2.6") << 2.6;
  }
  void trackingAddsItsPointsAfterEveryCharacter() {
    QFETCH(qreal, tracking);
    const QString text = QStringLiteral("SHARE");
    const TextStyle plain{.typeface = Typeface::inter, .size = 9};
    TextStyle tracked = plain;
    tracked.tracking = tracking;
    const qreal difference = layoutText(text, tracked).width() - layoutText(text, plain).width();
    QVERIFY2(std::abs(difference - tracking * text.size()) < 0.05, qPrintable(QString::number(difference)));
  }

  void upperCasingIsDoneOnTheString() {
    const TextLayout layout = layoutText(QStringLiteral("Straße · días"), kLabel);
    QCOMPARE(layout.shownText(), QStringLiteral("STRASSE · DÍAS"));
  }

  void linesAlignAgainstTheWidestLine_data() {
    QTest::addColumn<int>("alignment");
    QTest::addColumn<qreal>("share");  // where the short line sits in the free space
    QTest::newRow("leading") << int(TextAlign::leading) << 0.0;
    QTest::newRow("center") << int(TextAlign::center) << 0.5;
    QTest::newRow("trailing") << int(TextAlign::trailing) << 1.0;
  }
  void linesAlignAgainstTheWidestLine() {
    QFETCH(int, alignment);
    QFETCH(qreal, share);
    TextStyle style = kCaveat;
    style.alignment = TextAlign(alignment);
    style.lineSpacing = 8;
    const TextLayout layout = layoutText(QStringLiteral("a much longer first line\nshort"), style);
    QCOMPARE(layout.lines.size(), 2);
    const TextLine& first = layout.lines[0];
    const TextLine& second = layout.lines[1];
    QCOMPARE(first.rect.x(), 0.0);
    QVERIFY(std::abs(second.rect.x() - share * (first.rect.width() - second.rect.width())) < 0.01);
    QVERIFY(std::abs(second.rect.top() - (first.rect.bottom() + 8)) < 0.01);
    QCOMPARE(layout.height(), second.rect.bottom());
  }

  void emptyTextStillTakesALine() {
    const TextLayout layout = layoutText(QString(), kCaveat);
    QCOMPARE(layout.lines.size(), 1);
    QVERIFY(layout.height() > 20);
    QCOMPARE(layout.width(), 0.0);
  }

  void trailingBlankBelongsToTheText() {
    const qreal bare = layoutText(QStringLiteral("messages."), kCaveat).width();
    const qreal withBlank = layoutText(QStringLiteral("messages. "), kCaveat).width();
    QVERIFY(withBlank > bare + 2);
  }

  void emojiRunsAreFound_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<TextRange>>("runs");
    using Runs = QList<TextRange>;
    QTest::newRow("none") << "hello #1 * 12" << Runs{};
    QTest::newRow("dingbats and arrows stay text") << "\u2726 Top Emoji \u2726 \u21B3 \u25CF \u25C6 \u2193" << Runs{};
    QTest::newRow("one in text") << "ok \U0001F602 go" << Runs{{3, 2}};
    QTest::newRow("neighbours join") << "\U0001F602\U0001F97A!" << Runs{{0, 4}};
    QTest::newRow("heart with selector") << "a\u2764\uFE0F" << Runs{{1, 2}};
    QTest::newRow("flag") << "\U0001F1F5\U0001F1F9 PT" << Runs{{0, 4}};
    QTest::newRow("family") << "\U0001F469\u200D\U0001F469\u200D\U0001F467" << Runs{{0, 8}};
    QTest::newRow("keycap") << "1\uFE0F\u20E3 x" << Runs{{0, 3}};
  }
  void emojiRunsAreFound() {
    QFETCH(QString, text);
    QFETCH(QList<TextRange>, runs);
    QCOMPARE(emojiRuns(text), runs);
  }

  // Mixed text: the emoji in the colour emoji family, the rest in its own.
  void mixedTextIsDrawnWithEmojiRunsInTheEmojiFamily() {
    StyledText text(QStringLiteral("You & "), TextStyle{.typeface = Typeface::caveat, .size = 40});
    text.append(QStringLiteral("Ana \U0001F338 12"),
                TextStyle{.typeface = Typeface::caveat, .size = 40, .color = MurmelaTheme::rose});
    PaintRecorder recorder;
    QPainter painter(&recorder);
    painter.translate(10, 20);
    const TextLayout layout = layoutText(text);
    layout.draw(painter, QPointF(0, 0));
    painter.end();

    const auto emoji = recorder.firstText(QStringLiteral("\U0001F338"));
    QVERIFY(emoji);
    QCOMPARE(emoji->font.family(), FontFactory::emojiFamily());
    QCOMPARE(emoji->fontSize, 40.0);
    const auto name = recorder.firstText(QStringLiteral("Ana"));
    QVERIFY(name);
    QCOMPARE(name->font.family(), QStringLiteral("Caveat"));
    QCOMPARE(name->color, MurmelaTheme::rose);
    const auto digits = recorder.firstText(QStringLiteral("12"));
    QVERIFY(digits);
    QCOMPARE(digits->font.family(), QStringLiteral("Caveat"));
    const auto lead = recorder.firstText(QStringLiteral("You"));
    QVERIFY(lead);
    QCOMPARE(lead->color, MurmelaTheme::ink);
    // Drawn where the layout says, in the painter's coordinates.
    QVERIFY(std::abs(lead->bounds.left() - 10.0) < 0.01);
    QVERIFY(std::abs(lead->baselineOrigin.y() - (20.0 + layout.firstBaseline())) < 0.01);
    QVERIFY(name->bounds.left() > lead->bounds.right() - 0.01);
  }

  // The window (1x) and the exported image (3x) put the ink in the same place.
  void textLandsInTheSamePlaceAtEveryScale() {
    const TextLayout layout =
        layoutText(QStringLiteral("The rules."), TextStyle{.typeface = Typeface::dmSerifDisplay, .size = 30});
    const auto inkBounds = [&](qreal scale) {
      QImage image(QSize(300, 80) * scale, QImage::Format_ARGB32_Premultiplied);
      image.setDevicePixelRatio(scale);
      image.fill(Qt::transparent);
      QPainter painter(&image);
      layout.draw(painter, QPointF(20.5, 10.25));
      painter.end();
      QRect ink;
      for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
          if (qAlpha(image.pixel(x, y)) > 127) ink |= QRect(x, y, 1, 1);
      return QRectF(ink.x() / scale, ink.y() / scale, ink.width() / scale, ink.height() / scale);
    };
    const QRectF once = inkBounds(1.0);
    const QRectF thrice = inkBounds(3.0);
    QVERIFY(!once.isEmpty());
    for (const qreal difference : {once.left() - thrice.left(), once.top() - thrice.top(),
                                   once.right() - thrice.right(), once.bottom() - thrice.bottom()})
      QVERIFY2(std::abs(difference) <= 1.0, qPrintable(QStringLiteral("%1").arg(difference)));
    // And the ink starts where the layout says the line starts, on the baseline (no descenders).
    QVERIFY(std::abs(thrice.left() - 20.5) < 2.0);
    QVERIFY(std::abs(thrice.bottom() - (10.25 + layout.firstBaseline())) < 1.5);
  }

  // The paragraph runs left to right unless told otherwise, so a sentence that
  // starts with a right-to-left name keeps its full stop at the right end;
  // a paragraph left to decide for itself follows its first letter.
  void paragraphsRunInTheirOwnDirection_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("direction");
    QTest::addColumn<bool>("stopOnTheRight");
    QTest::newRow("an English sentence") << kHebrew + " misses you first." << int(TextDirection::leftToRight) << true;
    QTest::newRow("a name left to itself") << kHebrew + "." << int(TextDirection::automatic) << false;
    QTest::newRow("a Latin name left to itself") << "Maya." << int(TextDirection::automatic) << true;
    QTest::newRow("right to left asked for") << "Maya." << int(TextDirection::rightToLeft) << false;
  }
  void paragraphsRunInTheirOwnDirection() {
    QFETCH(QString, text);
    QFETCH(int, direction);
    QFETCH(bool, stopOnTheRight);
    const TextStyle style{.size = 12, .direction = TextDirection(direction)};
    const TextLayout layout = layoutText(text, style);
    QCOMPARE(layout.lines.size(), 1);
    // Where the full stop (the last character) is drawn, in oversampled units.
    const QTextLine line = layout.engine->lineAt(0);
    const qreal stop = line.cursorToX(text.size() - 1) - line.x();
    QCOMPARE(stop > line.naturalTextWidth() / 2.0, stopOnTheRight);
    QCOMPARE(StyledText(text, style).paragraph.direction, TextDirection(direction));
  }

  // A right-to-left name set apart from what follows it keeps a following
  // number after it; left in the flow, the number joins the name's own
  // right-to-left order and is drawn before it.
  void isolatedNamesKeepTheirNumbersAfterThem_data() {
    QTest::addColumn<QString>("head");
    QTest::addColumn<bool>("isolated");
    QTest::addColumn<QString>("word");  // a part of the head that must stay left of the number
    QTest::newRow("a name set apart") << kHebrew << true << kHebrew.left(1);
    QTest::newRow("a name and words set apart") << kHebrew + " CAVED \u00B7" << true << "CAVED";
    QTest::newRow("a name in the flow") << kHebrew << false << kHebrew.left(1);
  }
  void isolatedNamesKeepTheirNumbersAfterThem() {
    QFETCH(QString, head);
    QFETCH(bool, isolated);
    QFETCH(QString, word);
    const TextStyle style{.size = 12, .tracking = 1.5};
    const TextLayout layout =
        layoutText(StyledText(style.paragraph()).append(head, style, isolated).append(" 51%", style));
    QCOMPARE(layout.shownText(), head + " 51%");
    PaintRecorder recorder;
    QPainter painter(&recorder);
    layout.draw(painter, QPointF(10, 10));
    painter.end();
    const std::optional<PaintRecord> number = recorder.firstText(QStringLiteral("51"));
    const std::optional<PaintRecord> inHead = recorder.firstText(word);
    QVERIFY(number && inHead);
    QCOMPARE(inHead->bounds.left() < number->bounds.left(), isolated);
    QVERIFY(!recorder.allText().contains(QChar(0x2066)));
  }

  // Tabular digits: every digit takes one cell, as wide as the widest digit,
  // with its glyph in the middle of the cell, at the start of a line too (so
  // "100" centred in the processing ring does not read "1 00").
  void monospacedDigitsSitInTheMiddleOfEqualCells_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("typeface");
    QTest::addColumn<qreal>("tracking");
    QTest::newRow("the ring's 100") << "100" << int(Typeface::dmSerifDisplay) << 0.0;
    QTest::newRow("ones among zeros") << "1010" << int(Typeface::inter) << 0.0;
    QTest::newRow("a year, tracked") << "2047" << int(Typeface::inter) << 1.5;
    QTest::newRow("a second line starting with a one") << "01\n10" << int(Typeface::dmSerifDisplay) << 0.0;
  }
  void monospacedDigitsSitInTheMiddleOfEqualCells() {
    QFETCH(QString, text);
    QFETCH(int, typeface);
    QFETCH(qreal, tracking);
    const TextStyle style{.typeface = Typeface(typeface), .size = 28, .tracking = tracking, .monospacedDigits = true};
    const TextLayout zeros = layoutText(QStringLiteral("0000"), style);
    const qreal cell = zeros.width() / 4.0;  // zero is the widest digit in both faces; tracking included
    const TextLayout layout = layoutText(text, style);
    // Glyph centres (their advance's middle) in points, line by line.
    QMap<qreal, QList<qreal>> centres;
    for (const QGlyphRun& run : layout.engine->glyphRuns()) {
      const QList<QPointF> positions = run.positions();
      const QList<QPointF> advances = run.rawFont().advancesForGlyphIndexes(run.glyphIndexes());
      for (qsizetype i = 0; i < positions.size(); ++i)
        centres[positions[i].y()].append((positions[i].x() + advances[i].x() / 2.0) / 8.0);
    }
    const QStringList lines = text.split(QLatin1Char('\n'));
    QCOMPARE(centres.size(), lines.size());
    for (QList<qreal>& line : centres) std::sort(line.begin(), line.end());
    for (const QList<qreal>& line : centres) {
      QCOMPARE(line.size(), lines.first().size());
      for (qsizetype i = 0; i < line.size(); ++i) {
        const qreal expected = i * cell + (cell - tracking) / 2.0;  // tracking follows every glyph
        QVERIFY2(std::abs(line[i] - expected) < 0.05,
                 qPrintable(QStringLiteral("digit %1 at %2, cell middle %3").arg(i).arg(line[i]).arg(expected)));
      }
    }
    QVERIFY(std::abs(layout.width() - lines.first().size() * cell) < 0.05);
    TextStyle proportional = style;
    proportional.monospacedDigits = false;
    QVERIFY(layoutText(QStringLiteral("1111"), proportional).width() < zeros.width() - 1);
  }
};

MURMELA_TEST(TextLayoutTest)
#include "TextLayoutTest.moc"
