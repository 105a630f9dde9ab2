#include "data/MurmelaResources.h"
#include "kit/text/TextLayout.h"
#include "support/TestRegistry.h"
#include "theme/FontFactory.h"

#include <QDir>
#include <QRawFont>
#include <QTest>

using namespace murmela;

namespace {

QString bundled(const QString& fileName) { return QDir(MurmelaResources::bundle().path()).filePath(fileName); }

}  // namespace

class FontFactoryTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { FontRegistry::registerFonts(); }

  // Every face the screens ask for, made the way the kit makes it.
  void factoryFontsResolveToTheBundledFiles_data() {
    QTest::addColumn<int>("typeface");
    QTest::addColumn<int>("weight");
    QTest::addColumn<bool>("italic");
    QTest::addColumn<QString>("file");
    const auto row = [](const char* name, Typeface typeface, QFont::Weight weight, bool italic, const char* file) {
      QTest::newRow(name) << int(typeface) << int(weight) << italic << QString::fromLatin1(file);
    };
    row("Inter regular", Typeface::inter, QFont::Normal, false, "Inter-VariableFont_opsz,wght.ttf");
    row("Inter medium", Typeface::inter, QFont::Medium, false, "Inter-Medium.ttf");
    row("Inter semibold", Typeface::inter, QFont::DemiBold, false, "Inter-SemiBold.ttf");
    row("Inter bold", Typeface::inter, QFont::Bold, false, "Inter-Bold.ttf");
    row("Inter italic", Typeface::inter, QFont::Normal, true, "Inter-Italic-VariableFont_opsz,wght.ttf");
    row("Caveat", Typeface::caveat, QFont::Normal, false, "Caveat-VariableFont_wght.ttf");
    row("DM Serif Display", Typeface::dmSerifDisplay, QFont::Normal, false, "DMSerifDisplay-Regular.ttf");
    row("DM Serif Display italic", Typeface::dmSerifDisplay, QFont::Normal, true, "DMSerifDisplay-Italic.ttf");
  }
  void factoryFontsResolveToTheBundledFiles() {
    QFETCH(int, typeface);
    QFETCH(int, weight);
    QFETCH(bool, italic);
    QFETCH(QString, file);
    const QFont font = FontFactory::font(Typeface(typeface), 10.5, QFont::Weight(weight), italic);
    const QRawFont resolved = QRawFont::fromFont(font);
    QVERIFY(resolved.isValid());
    const QRawFont expected(bundled(file), 12);
    QVERIFY2(resolved.fontTable("head") == expected.fontTable("head"), qPrintable(resolved.styleName()));
  }

  void emojiRunsUseTheColourEmojiFamily() {
    const QRawFont resolved = QRawFont::fromFont(FontFactory::emojiFont(28));
    QCOMPARE(resolved.familyName(), QStringLiteral("Noto Color Emoji"));
  }

  // Qt rounds a QFont to whole pixels (10.5 would be set at 11); kit texts
  // keep the fractional size the screens give.
  void kitTextKeepsFractionalSizes_data() {
    QTest::addColumn<qreal>("size");
    QTest::newRow("9.5") << 9.5;
    QTest::newRow("10.5") << 10.5;
    QTest::newRow("19.72") << 19.72;
  }
  void kitTextKeepsFractionalSizes() {
    QFETCH(qreal, size);
    const QRawFont exact(bundled(QStringLiteral("Inter-VariableFont_opsz,wght.ttf")), size);
    const QString sample = QStringLiteral("MMMMMMMMMM");
    qreal expectedWidth = 0.0;
    for (const QPointF& advance : exact.advancesForGlyphIndexes(exact.glyphIndexesForString(sample)))
      expectedWidth += advance.x();
    const TextLayout layout = layoutText(sample, TextStyle{.typeface = Typeface::inter, .size = size});
    QVERIFY2(std::abs(layout.width() - expectedWidth) < 0.05 * sample.size(),
             qPrintable(QStringLiteral("%1 vs %2").arg(layout.width()).arg(expectedWidth)));
    QVERIFY(std::abs(layout.firstBaseline() - exact.ascent()) < 0.2);
  }
};

MURMELA_TEST(FontFactoryTest)
#include "FontFactoryTest.moc"
