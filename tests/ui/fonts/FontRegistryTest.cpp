#include "data/MurmelaResources.h"
#include "support/TestRegistry.h"
#include "theme/FontRegistry.h"

#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QRawFont>
#include <QTemporaryDir>
#include <QTest>

#include <fontconfig/fontconfig.h>

using namespace murmela;

namespace {

// The files of installed fonts of a family, as a fresh fontconfig
// configuration (not the process's filtered one) sees them.
QStringList installedFiles(const QString& family) {
  QStringList files;
  FcConfig* config = FcInitLoadConfigAndFonts();
  if (!config) return files;
  const QByteArray name = family.toUtf8();
  FcPattern* pattern = FcPatternBuild(nullptr, FC_FAMILY, FcTypeString, name.constData(), nullptr);
  FcObjectSet* objects = FcObjectSetBuild(FC_FILE, nullptr);
  if (FcFontSet* set = FcFontList(config, pattern, objects)) {
    for (int i = 0; i < set->nfont; ++i) {
      FcChar8* file = nullptr;
      if (FcPatternGetString(set->fonts[i], FC_FILE, 0, &file) == FcResultMatch)
        files.append(QString::fromUtf8(reinterpret_cast<const char*>(file)));
    }
    FcFontSetDestroy(set);
  }
  FcObjectSetDestroy(objects);
  FcPatternDestroy(pattern);
  FcConfigDestroy(config);
  return files;
}

// The font file's identity: its "head" table holds the file's checksum and
// its creation and modification times.
QByteArray headOf(const QRawFont& font) { return font.fontTable("head"); }

QString bundled(const QString& fileName) { return QDir(MurmelaResources::bundle().path()).filePath(fileName); }

}  // namespace

class FontRegistryTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() {
    // Ask for the family before registering, as a window would: the database is
    // filled with the installed fonts first.
    QFont early(QStringLiteral("Inter"));
    QVERIFY(QRawFont::fromFont(early).isValid());
    FontRegistry::registerFonts();
  }

  void everyUsedFaceResolvesToTheBundledFile_data() {
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("weight");
    QTest::addColumn<bool>("italic");
    QTest::addColumn<QString>("file");
    const QString inter = FontRegistry::familyName(Typeface::inter);
    const QString caveat = FontRegistry::familyName(Typeface::caveat);
    const QString serif = FontRegistry::familyName(Typeface::dmSerifDisplay);
    QTest::newRow("Inter 400") << inter << 400 << false << "Inter-VariableFont_opsz,wght.ttf";
    QTest::newRow("Inter 500") << inter << 500 << false << "Inter-Medium.ttf";
    QTest::newRow("Inter 600") << inter << 600 << false << "Inter-SemiBold.ttf";
    QTest::newRow("Inter 700") << inter << 700 << false << "Inter-Bold.ttf";
    QTest::newRow("Inter italic") << inter << 400 << true << "Inter-Italic-VariableFont_opsz,wght.ttf";
    QTest::newRow("Caveat 400") << caveat << 400 << false << "Caveat-VariableFont_wght.ttf";
    QTest::newRow("DM Serif Display") << serif << 400 << false << "DMSerifDisplay-Regular.ttf";
    QTest::newRow("DM Serif Display italic") << serif << 400 << true << "DMSerifDisplay-Italic.ttf";
  }
  void everyUsedFaceResolvesToTheBundledFile() {
    QFETCH(QString, family);
    QFETCH(int, weight);
    QFETCH(bool, italic);
    QFETCH(QString, file);
    QFont font(family);
    font.setPixelSize(24);
    font.setWeight(QFont::Weight(weight));
    font.setItalic(italic);
    const QRawFont resolved = QRawFont::fromFont(font);
    QVERIFY(resolved.isValid());
    QCOMPARE(resolved.familyName(), family);
    const QRawFont expected(bundled(file), 24);
    QVERIFY2(expected.isValid(), qPrintable(file));
    QVERIFY2(headOf(resolved) == headOf(expected),
             qPrintable(QStringLiteral("%1 %2%3 came from another file (style %4)")
                            .arg(family)
                            .arg(weight)
                            .arg(italic ? QStringLiteral(" italic") : QString())
                            .arg(resolved.styleName())));
  }

  void installedCopyIsReallyThere() {
    // The check above means something only with a competing installed family.
    const QStringList files = installedFiles(QStringLiteral("Inter"));
    if (files.isEmpty()) QSKIP("no installed Inter (fonts-inter) to compete with the bundled one");
    for (const QString& file : files) QVERIFY(!file.startsWith(MurmelaResources::bundle().path()));
  }

  void registrationHappensOnce() {
    QVERIFY(FontRegistry::hasRegistered());
    const QStringList files = FontRegistry::registeredFiles();
    QCOMPARE(files, FontRegistry::fontFiles(MurmelaResources::bundle()));
    FontRegistry::registerFonts();
    QCOMPARE(FontRegistry::registeredFiles(), files);
    for (Typeface typeface : {Typeface::dmSerifDisplay, Typeface::inter, Typeface::caveat})
      QVERIFY(FontRegistry::registeredFamilies().contains(FontRegistry::familyName(typeface)));
  }

  void fontFilesKeepTheNamedOrderAndSkipMissingOnes() {
    QTemporaryDir dir;
    const QStringList names = FontRegistry::fontResourceNames();
    QCOMPARE(names.size(), 5);
    // Every named file but the third, plus one extra weight and a non-font file.
    for (qsizetype i = 0; i < names.size(); ++i) {
      if (i == 2) continue;
      QVERIFY(QFile::copy(bundled(names[i] + QStringLiteral(".ttf")), dir.filePath(names[i] + QStringLiteral(".ttf"))));
    }
    QVERIFY(QFile::copy(bundled(QStringLiteral("Inter-Bold.ttf")), dir.filePath(QStringLiteral("A-Extra.ttf"))));
    QFile notFont(dir.filePath(QStringLiteral("README.txt")));
    QVERIFY(notFont.open(QIODevice::WriteOnly));
    const QStringList files = FontRegistry::fontFiles(ResourceBundle(dir.path()));
    QStringList fileNames;
    for (const QString& file : files) fileNames.append(QFileInfo(file).fileName());
    QCOMPARE(fileNames, (QStringList{names[0] + ".ttf", names[1] + ".ttf", names[3] + ".ttf", names[4] + ".ttf",
                                     QStringLiteral("A-Extra.ttf")}));
  }
};

MURMELA_TEST(FontRegistryTest)
#include "FontRegistryTest.moc"
