#include "common/AppPaths.h"
#include "common/AppSettings.h"
#include "common/AtomicFile.h"
#include "common/FileError.h"
#include "common/MurmelaError.h"
#include "support/FullFileSystem.h"
#include "support/TestEnvironment.h"
#include "support/TestRegistry.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <stdexcept>
#include <QTest>

using namespace murmela;

class SettingsAndPathsTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void appFolderFollowsTheDataLocation() {
    // The test runner points XDG_DATA_HOME into the build tree.
    const QString expected = qEnvironmentVariable("XDG_DATA_HOME") + "/murmela-app";
    QCOMPARE(*AppPaths::appFolder(), expected);
    QCOMPARE(*AppPaths::inAppFolder("logs/analysis.log"), expected + "/logs/analysis.log");
    AppPaths::overrideAppFolder(QStringLiteral("/tmp/elsewhere"));
    QCOMPARE(*AppPaths::appFolder(), QStringLiteral("/tmp/elsewhere"));
    AppPaths::overrideAppFolder(std::nullopt);
    QVERIFY(!AppPaths::inAppFolder("x").has_value());
    AppPaths::reset();
    QCOMPARE(*AppPaths::appFolder(), expected);
  }

  void settingsRoundTripAndClear() {
    test::TestEnvironment environment;
    AppSettings& settings = AppSettings::shared();
    QVERIFY(!settings.contains("installID"));
    settings.setValue("installID", "macos-ABC");
    settings.setValue("didTrackInstall", true);
    QCOMPARE(settings.value("installID").toString(), QStringLiteral("macos-ABC"));
    QVERIFY(QFile::exists(environment.path("settings.ini")));
    settings.remove("installID");
    QVERIFY(!settings.contains("installID"));
    settings.clearAll();
    QVERIFY(!settings.contains("didTrackInstall"));
  }

  void errorTexts() {
    const CancellationError cancelled;
    QCOMPARE(cancelled.userFacingText(), QStringLiteral("[CancellationError] The operation was cancelled."));
    QCOMPARE(cancelled.domain(), QStringLiteral("MurmelaCore.CancellationError"));
    QCOMPARE(QByteArray(cancelled.what()), cancelled.userFacingText().toUtf8());
    QCOMPARE(describeError(cancelled), cancelled.description());
    QCOMPARE(describeError(std::runtime_error("caf\xc3\xa9 closed")), QStringLiteral("caf\u00e9 closed"));
    QCOMPARE(describeError(std::make_exception_ptr(std::runtime_error("x"))), QStringLiteral("x"));
    QCOMPARE(describeError(std::make_exception_ptr(42)), QStringLiteral("unknown error"));
  }

  void aFullFileSystemLeavesTheOldFile() {
    QTemporaryDir folder;
    test::FullFileSystem disk(folder.path());
    const QString path = folder.filePath("report.json");
    writeFileAtomically(path, "{}\n");
    disk.fill();
    QVERIFY_THROWS_EXCEPTION(FileError, writeFileAtomically(path, QByteArray(16 * 1024, 'x')));
    QCOMPARE(QDir(folder.path()).entryList({"*.json*"}, QDir::Files | QDir::Hidden), QStringList{"report.json"});
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("{}\n"));
  }

  // A write through a symbolic link replaces the file it leads to, not the link.
  void writesThroughALink() {
    QTemporaryDir folder;
    QVERIFY(QDir(folder.path()).mkdir("synced") && QFile::link("synced/shares.json", folder.filePath("shares.json")));
    writeFileAtomically(folder.filePath("shares.json"), "{}\n");
    QVERIFY(QFileInfo(folder.filePath("shares.json")).isSymLink());
    QCOMPARE(readFileBytes(folder.filePath("synced/shares.json")), QByteArray("{}\n"));
  }

  // What a write killed before its rename leaves goes; a running writer's
  // stays. No process has an id past 2^22, the most Linux hands out.
  void partialFilesOfEndedWritersAreRemoved() {
    QTemporaryDir folder;
    const QString running = QString(".a.json.partial-%1-0000beef").arg(QCoreApplication::applicationPid());
    for (const QString& name : {QString(".a.json.partial-4194305-0badf00d"), running, QString("b.json")})
      QVERIFY(QFile(folder.filePath(name)).open(QIODevice::WriteOnly));
    removeAbandonedPartialWrites(folder.path());
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name), (QStringList{running, "b.json"}));
  }
};

MURMELA_TEST(SettingsAndPathsTest)
#include "SettingsAndPathsTest.moc"
