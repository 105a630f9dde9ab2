#include "data/MurmelaResources.h"
#include "support/TestRegistry.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace murmela;

namespace {

const QString kBundle = QStringLiteral("Murmela_MurmelaCore.bundle");

bool makeFolder(const QString& path) { return QDir().mkpath(path); }

bool makeFile(const QString& path) {
  QDir().mkpath(QFileInfo(path).path());
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write("x") == 1;
}

// Relative path -> SHA-256 of every file below a folder.
QMap<QString, QByteArray> contents(const QString& folder) {
  QMap<QString, QByteArray> out;
  QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) continue;
    out.insert(QDir(folder).relativeFilePath(path),
               QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256));
  }
  return out;
}

}  // namespace

class ResourceBundleTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void searchOrder_data() {
    QTest::addColumn<QStringList>("folders");  // made below the temporary root
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("found");  // relative to the root; "" for none
    const QString shared = QStringLiteral("prefix/share/murmela/") + kBundle;
    const QString beside = QStringLiteral("prefix/bin/") + kBundle;
    const QString build = QStringLiteral("source/") + kBundle;
    QTest::newRow("installed data folder wins over the executable's folder")
        << QStringList{shared, beside, build} << QStringList{} << shared;
    QTest::newRow("beside the executable") << QStringList{beside, build} << QStringList{} << beside;
    QTest::newRow("a file with the bundle's name is no bundle") << QStringList{beside} << QStringList{shared} << beside;
    QTest::newRow("build location last") << QStringList{build} << QStringList{shared, beside} << build;
    QTest::newRow("nothing") << QStringList{} << QStringList{build} << QString();
  }
  void searchOrder() {
    QFETCH(QStringList, folders);
    QFETCH(QStringList, files);
    QFETCH(QString, found);
    QTemporaryDir root;
    for (const QString& folder : folders) QVERIFY(makeFolder(root.filePath(folder)));
    for (const QString& file : files) QVERIFY(makeFile(root.filePath(file)));
    QVERIFY(makeFolder(root.filePath(QStringLiteral("prefix/bin"))));
    const MurmelaResources::SearchLocations locations{root.filePath(QStringLiteral("prefix/bin")),
                                                      root.filePath(QStringLiteral("source/") + kBundle)};
    const std::optional<QString> located = MurmelaResources::locate(locations);
    if (found.isEmpty()) {
      QVERIFY(!located);
      QCOMPARE(MurmelaResources::missingBundleMessage(locations),
               QStringLiteral("could not load resource bundle: from %1 or %2")
                   .arg(root.filePath(QStringLiteral("prefix/bin/") + kBundle), locations.buildLocation));
    } else {
      QCOMPARE(located, std::optional<QString>(root.filePath(found)));
    }
  }

  void candidatesAreCleanPaths() {
    const QStringList candidates = MurmelaResources::candidates({QStringLiteral("/opt/murmela/bin"), QString()});
    QCOMPARE(candidates, (QStringList{QStringLiteral("/opt/murmela/share/murmela/") + kBundle,
                                      QStringLiteral("/opt/murmela/bin/") + kBundle}));
    QVERIFY(MurmelaResources::candidates({}).isEmpty());
  }

  void resourceLookup() {
    QTemporaryDir root;
    QVERIFY(makeFile(root.filePath(QStringLiteral("fake_report.json"))));
    QVERIFY(makeFolder(root.filePath(QStringLiteral("folder.json"))));
    QVERIFY(makeFile(root.filePath(QStringLiteral("licenses/OFL.txt"))));
    const ResourceBundle bundle(root.path());
    QCOMPARE(bundle.url(QStringLiteral("fake_report"), QStringLiteral("json")),
             std::optional<QString>(root.filePath(QStringLiteral("fake_report.json"))));
    QVERIFY(!bundle.url(QStringLiteral("fake_report"), QStringLiteral("ttf")));
    QVERIFY(!bundle.url(QStringLiteral("folder"), QStringLiteral("json")));
    QVERIFY(!bundle.url(QStringLiteral("licenses/OFL"), QStringLiteral("txt")));
    QCOMPARE(bundle.files({QStringLiteral("*.json")}), QStringList{root.filePath(QStringLiteral("fake_report.json"))});
  }

  void processBundleHoldsTheResources() {
    // This test program lives in the build tree, away from murmela: it finds
    // the bundle at the build location.
    const ResourceBundle& bundle = MurmelaResources::bundle();
    QCOMPARE(&bundle, &MurmelaResources::bundle());
    QCOMPARE(bundle.path(), QDir::cleanPath(QStringLiteral(MURMELA_BUILD_RESOURCE_BUNDLE)));
    for (const char* font :
         {"Inter-VariableFont_opsz,wght", "Inter-Italic-VariableFont_opsz,wght", "Caveat-VariableFont_wght",
          "DMSerifDisplay-Regular", "DMSerifDisplay-Italic", "Inter-Medium", "Inter-SemiBold", "Inter-Bold"})
      QVERIFY2(bundle.url(QString::fromLatin1(font), QStringLiteral("ttf")), font);
    for (const char* report : {"fake_report", "fake_report_minimal", "fake_report_friendship"})
      QVERIFY2(bundle.url(QString::fromLatin1(report), QStringLiteral("json")), report);
    for (const char* license : {"OFL-Inter.txt", "OFL-Caveat.txt", "OFL-DMSerifDisplay.txt"}) {
      QFile file(QDir(bundle.path()).filePath(QStringLiteral("licenses/") + QString::fromLatin1(license)));
      QVERIFY2(file.open(QIODevice::ReadOnly), license);
      QVERIFY(file.readAll().contains("SIL OPEN FONT LICENSE Version 1.1"));
    }
  }

  void foundFromTheBuildTree() {
    const QString appFolder = QStringLiteral(MURMELA_APP_FOLDER);
    QVERIFY(QFileInfo(appFolder + QStringLiteral("/murmela")).isExecutable());
    const std::optional<QString> located = MurmelaResources::locate({appFolder, QString()});
    QCOMPARE(located, std::optional<QString>(QDir::cleanPath(appFolder + QLatin1Char('/') + kBundle)));
    QCOMPARE(contents(*located), contents(QStringLiteral(MURMELA_BUILD_RESOURCE_BUNDLE)));
  }

  void foundFromAnInstalledLayout() {
    const QString cmake = qEnvironmentVariable("MURMELA_CMAKE_COMMAND", QStringLiteral("cmake"));
    const QString binaryDir = qEnvironmentVariable("MURMELA_TEST_BINARY_DIR");
    QVERIFY(!binaryDir.isEmpty());
    QTemporaryDir prefix;
    QProcess install;
    install.setProcessChannelMode(QProcess::MergedChannels);
    install.start(cmake, {QStringLiteral("--install"), binaryDir, QStringLiteral("--prefix"), prefix.path()});
    QVERIFY(install.waitForFinished(120000));
    QVERIFY2(install.exitStatus() == QProcess::NormalExit && install.exitCode() == 0, install.readAll().constData());

    const QString bin = prefix.filePath(QStringLiteral("bin"));
    QVERIFY(QFileInfo(bin + QStringLiteral("/murmela")).isExecutable());
    // Nothing beside the installed executable, nothing at the build location:
    // the installed data folder alone must be found.
    QVERIFY(!QFileInfo::exists(bin + QLatin1Char('/') + kBundle));
    const std::optional<QString> located =
        MurmelaResources::locate({bin, prefix.filePath(QStringLiteral("no-source/")) + kBundle});
    QCOMPARE(located, std::optional<QString>(prefix.filePath(QStringLiteral("share/murmela/")) + kBundle));
    QCOMPARE(contents(*located), contents(QStringLiteral(MURMELA_BUILD_RESOURCE_BUNDLE)));
  }
};

MURMELA_TEST(ResourceBundleTest)
#include "ResourceBundleTest.moc"
